#pragma once

// The window services the main window object talks to the user through: one
// interface, implemented by the Win32 window, the terminal, and (in tests) a
// scripted front-end.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/program_end.h"

namespace platform {

enum class StatusLine : int32_t {
  kMessage = 1,   // what the repair is doing (ShowMessage)
  kMessage2 = 2,  // the file or document in hand (ShowMessage2)
};

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Runs for each click on Cancel while the button is enabled. A front-end
  // calls it only from inside ProcessPendingEvents() or MessageBox(), never
  // from another thread.
  void SetCancelHandler(std::function<void()> handler) { on_cancel_ = std::move(handler); }

  // Shows the window, not modal. Idempotent.
  virtual void Show() = 0;
  // Closes the window; nothing of it stays on screen. Idempotent.
  virtual void Unload() = 0;
  // Replaces the line's whole text and repaints it at once.
  virtual void SetStatusText(StatusLine line, const std::string& text) = 0;
  // Sets Cancel's enabled state and repaints the button at once.
  virtual void SetCancelEnabled(bool enabled) = 0;
  // Handles every window event pending now (paints, clicks, keys).
  virtual void ProcessPendingEvents() = 0;
  // A modal message box; returns the answer code (MessageBoxAnswer). May
  // throw ProgramEnd{Ending::kInputClosed} when the terminal's input ends.
  virtual int32_t MessageBox(const std::string& text, int32_t style, const std::string& title) = 0;
  // The report of an error nobody handled: "Run-time error '76':", the
  // error's text and, when `path` is not empty, the file or folder it
  // concerns, each in a paragraph of its own.
  virtual void ReportUnhandledError(int32_t number, const std::string& text,
                                    const std::string& path) = 0;
  // The last word of a run (the terminal's JSON end event; nothing for a
  // window).
  virtual void ReportEnding(Ending ending) = 0;

 protected:
  void DeliverCancelClick() {
    if (on_cancel_) on_cancel_();
  }

 private:
  std::function<void()> on_cancel_;
};

// The system's own front-end: the Win32 window on Windows; on Linux the
// terminal panel, or JSON lines when standard output is not a terminal.
std::unique_ptr<FrontEnd> CreateFrontEnd();

}  // namespace platform
