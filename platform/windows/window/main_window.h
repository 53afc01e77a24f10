#pragma once

// The main window as Win32 builds it: a fixed dialog-framed top-level window
// with the bands, the two status boxes, the logo, the etched rule and Cancel,
// laid out at its monitor's density and again whenever that changes. Cancel
// is the default button and takes the keys whenever the window is active.
// It runs no message loop of its own: events are handled only inside
// PumpEvents() (or a modal loop such as a message box's), and a click on
// Cancel reaches its handler only inside PumpEvents(); a click that comes at
// any other moment is held for the next pump.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/windows/win32.h"
#include "platform/windows/window/main_window_layout.h"

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
  // Makes `utf8` the control's content at once. The screen follows within
  // one display frame: the text is painted now when the last paint is a
  // frame old or Cancel is disabled (the copy phase, whose writes may be
  // followed by long copies), else by the next write or pump that is due.
  // A text that no frame could have shown is never painted. Compromise: a
  // deferred text followed by a long pause without writes or pumps waits for
  // the next one (or for PaintPending).
  void SetText(layout::ControlId id, const std::string& utf8);
  // Paints every text still waiting for the screen: before a message box,
  // before Cancel changes state, before the window goes.
  void PaintPending();
  void SetCancelEnabled(bool enabled);
  // Handles every pending event, then a click held from earlier; paints a
  // waiting text first when its frame is due. Right after a status write the
  // events are left for a later pump when the last one was under 4 ms ago:
  // a stream of writes then pumps four times a frame.
  void PumpEvents();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  int Pixels(int32_t twips) const;
  // A length in pixels at 96 DPI, at the window's density.
  int FromStandard(int pixels) const;
  SIZE FrameSize(int dpi) const;
  void CreateControls();
  void LayOut(int dpi);
  void Paint(HWND window);
  void DrawPicture(const DRAWITEMSTRUCT& item);
  LRESULT ColourStatic(HDC dc, HWND control);
  void Click();
  void PaintIfDue();

  struct StatusText {
    layout::ControlId id;
    HWND control;      // looked up once: each look-up asks the window system
    std::string text;  // UTF-8
    bool waiting;      // not yet on the screen
  };
  using Clock = std::chrono::steady_clock;

  std::function<void()> on_cancel_;
  std::vector<StatusText> texts_;
  Clock::time_point last_paint_{};
  Clock::time_point last_pump_{};
  bool written_since_pump_ = false;
  bool paint_waiting_ = false;
  bool cancel_enabled_ = true;  // kept, so that a write need not ask
  HWND window_ = nullptr;
  int dpi_ = 96;
  HBRUSH band_brush_ = nullptr;
  HFONT font_ = nullptr;
  HFONT subtitle_font_ = nullptr;
  HBITMAP logo_ = nullptr;
  bool shown_once_ = false;
  bool pumping_ = false;
  bool click_held_ = false;
};

}  // namespace platform::windows
