#include "platform/windows/window/dpi.h"

namespace platform::windows {
namespace {

constexpr int kStandardDpi = 96;

// A user32 function by name, or null where this system has none.
template <typename Function>
Function UserFunction(const char* name) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  FARPROC found = user != nullptr ? GetProcAddress(user, name) : nullptr;
  // Through the generic function type, which converts to any other without
  // the compiler objecting.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kStandardDpi;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kStandardDpi;
}

int WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto get_dpi = UserFunction<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = get_dpi != nullptr ? get_dpi(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

SIZE FrameSize(SIZE client, DWORD style, DWORD ex_style, int dpi) {
  using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = UserFunction<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (adjust == nullptr || !adjust(&frame, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    frame = {0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT DefaultFontAt(int dpi) {
  LOGFONTW font{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
  font.lfWidth = MulDiv(font.lfWidth, dpi, SystemDpi());
  return CreateFontIndirectW(&font);
}

}  // namespace platform::windows
