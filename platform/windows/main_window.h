#pragma once

// The main window as Win32 builds it: a fixed dialog-framed top-level window
// with the bands, the two status boxes, the logo, the etched rule and Cancel.
// It runs no message loop of its own: events are handled only inside
// PumpEvents() (or a modal loop such as a message box's), and a click on
// Cancel reaches its handler only inside PumpEvents(); a click that comes at
// any other moment is held for the next pump.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/windows/main_window_layout.h"
#include "platform/windows/win32.h"

namespace platform::windows {

class MainWindow {
 public:
  // Creates the window hidden; throws PlatformError when the system cannot.
  explicit MainWindow(std::function<void()> on_cancel);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Null once destroyed.
  HWND Handle() const { return window_; }
  bool Visible() const { return window_ != nullptr && IsWindowVisible(window_); }
  // Centred on the screen's work area, Cancel focused. Idempotent.
  void Show();
  // Idempotent.
  void Destroy();
  // Sets the control's text and repaints it before returning.
  void SetText(layout::ControlId id, const std::string& utf8);
  void SetCancelEnabled(bool enabled);
  // Handles every pending event, then a click held from earlier.
  void PumpEvents();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  int Pixels(int32_t twips) const;
  void CreateControls();
  void Paint(HWND window);
  void DrawPicture(const DRAWITEMSTRUCT& item);
  LRESULT ColourStatic(HDC dc, HWND control);
  void Click();

  std::function<void()> on_cancel_;
  HWND window_ = nullptr;
  int dpi_ = 96;
  HBRUSH band_brush_ = nullptr;
  HFONT subtitle_font_ = nullptr;
  HBITMAP logo_ = nullptr;
  bool shown_once_ = false;
  bool pumping_ = false;
  bool click_held_ = false;
};

}  // namespace platform::windows
