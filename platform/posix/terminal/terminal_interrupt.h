#pragma once

// Ctrl-C as a click on Cancel. The signal handler only notes the interrupt;
// the front-end delivers it at its next event pump, on the one thread. While
// no window is shown, Ctrl-C keeps its usual meaning and ends the program,
// after the terminal's settings are put back.

#include <termios.h>

namespace platform::posix {

// Installs the handler (idempotent).
void InstallInterruptHandler();
// Whether Ctrl-C is now a click (the window is shown) or ends the program.
void SetInterruptIsClick(bool is_click);
// True once for the interrupts that came since the last call.
bool TakeInterrupt();
// Settings the handler restores on `fd` before it ends the program; a
// negative fd restores nothing.
void SetTerminalToRestore(int fd, const termios& settings);

}  // namespace platform::posix
