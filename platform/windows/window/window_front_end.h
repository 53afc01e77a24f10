#pragma once

// The system's own front-end on Windows: the main window and the system's
// message box.

#include "platform/front_end.h"
#include "platform/windows/window/main_window.h"

namespace platform::windows {

class WindowFrontEnd : public FrontEnd {
 public:
  // Creates the main window hidden.
  WindowFrontEnd();

  void Show() override { window_.Show(); }
  void Unload() override { window_.Destroy(); }
  void SetStatusText(StatusLine line, const std::string& text) override;
  void SetCancelEnabled(bool enabled) override { window_.SetCancelEnabled(enabled); }
  void ProcessPendingEvents() override { window_.PumpEvents(); }
  // Owned by the main window once it is shown, by nothing before.
  int32_t MessageBox(const std::string& text, int32_t style, const std::string& title) override;
  void ReportUnhandledError(int32_t number, const std::string& text,
                            const std::string& path) override;
  void ReportEnding(Ending) override {}

 private:
  HWND Owner() const { return window_.Visible() ? window_.Handle() : nullptr; }

  MainWindow window_;
};

}  // namespace platform::windows
