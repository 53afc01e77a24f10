#pragma once

// The front-end for a program run on a terminal: the window as a framed
// panel redrawn in place below the dialogue so far; a message box as its
// title, text and a prompt naming its buttons, answered with one key (Enter
// takes the first button) or, when the input is not a terminal, with a line.
// Escape and Ctrl-C are clicks on Cancel.

#include <termios.h>

#include <cstdio>
#include <string>

#include "platform/front_end.h"
#include "platform/posix/terminal/terminal_panel.h"

namespace platform::posix {

struct TerminalOptions {
  int in_fd = 0;
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  // Keys one at a time from a terminal (true) or answer lines (false).
  bool keys = true;
  // The panel's width in characters; 0 asks the terminal.
  size_t width = 0;
};

class TerminalFrontEnd : public FrontEnd {
 public:
  explicit TerminalFrontEnd(TerminalOptions options);
  ~TerminalFrontEnd() override;

  void Show() override;
  void Unload() override;
  void SetStatusText(StatusLine line, const std::string& text) override;
  void SetCancelEnabled(bool enabled) override;
  void ProcessPendingEvents() override;
  int32_t MessageBox(const std::string& text, int32_t style, const std::string& title) override;
  void ReportUnhandledError(int32_t number, const std::string& text,
                            const std::string& path) override;
  void ReportEnding(Ending ending) override;

 private:
  size_t Width() const;
  void Print(const std::string& line);
  // Removes the panel (and an open box) from the screen.
  void EraseLive();
  void Draw();
  // Reads keys from the terminal until one names a button of the box.
  int32_t ReadKeyAnswer(int32_t style);
  // Reads lines until one names a button of the box.
  int32_t ReadLineAnswer(int32_t style);
  void EnterKeyMode();
  void LeaveKeyMode();

  TerminalOptions options_;
  PanelContent content_;
  size_t live_lines_ = 0;
  bool shown_ = false;
  bool key_mode_ = false;
  termios saved_settings_{};
};

}  // namespace platform::posix
