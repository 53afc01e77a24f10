#include "platform/windows/window/window_front_end.h"

#include <memory>

#include "platform/error.h"
#include "platform/windows/wide_string.h"

namespace platform {

std::unique_ptr<FrontEnd> CreateFrontEnd() {
  return std::make_unique<windows::WindowFrontEnd>();
}

namespace windows {

WindowFrontEnd::WindowFrontEnd() : window_([this] { DeliverCancelClick(); }) {}

void WindowFrontEnd::SetStatusText(StatusLine line, const std::string& text) {
  window_.SetText(line == StatusLine::kMessage ? layout::kIdMessage : layout::kIdMessage2, text);
}

int32_t WindowFrontEnd::MessageBox(const std::string& text, int32_t style,
                                   const std::string& title) {
  window_.PaintPending();
  int answer =
      MessageBoxW(Owner(), Widen(text).c_str(), Widen(title).c_str(), static_cast<UINT>(style));
  if (answer == 0) {
    throw PlatformError(kInvalidProcedureCall, "The message box could not be shown: " + text);
  }
  return answer;
}

void WindowFrontEnd::ReportUnhandledError(int32_t number, const std::string& text,
                                          const std::string& path) {
  window_.PaintPending();
  std::wstring report = L"Run-time error '" + std::to_wstring(number) + L"':\r\n\r\n" + Widen(text);
  if (!path.empty()) report += L"\r\n\r\n" + Widen(path);
  MessageBoxW(Owner(), report.c_str(), layout::kCaption, MB_OK | MB_ICONERROR);
}

}  // namespace windows
}  // namespace platform
