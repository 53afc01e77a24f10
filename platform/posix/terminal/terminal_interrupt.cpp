#include "platform/posix/terminal/terminal_interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>

namespace platform::posix {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;
volatile std::sig_atomic_t g_is_click = 0;
volatile std::sig_atomic_t g_restore_fd = -1;
termios g_restore_settings{};

extern "C" void OnInterrupt(int) {
  if (g_is_click) {
    g_interrupted = 1;
    return;
  }
  if (g_restore_fd >= 0) tcsetattr(g_restore_fd, TCSANOW, &g_restore_settings);
  // Die of the signal itself, so the parent sees an interrupted program.
  std::signal(SIGINT, SIG_DFL);
  raise(SIGINT);
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // Restart reads: an interrupt while a box waits for its answer is held,
  // not taken as the end of the input.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

void SetInterruptIsClick(bool is_click) {
  g_interrupted = 0;
  g_is_click = is_click ? 1 : 0;
}

bool TakeInterrupt() {
  if (!g_interrupted) return false;
  g_interrupted = 0;
  return true;
}

void SetTerminalToRestore(int fd, const termios& settings) {
  g_restore_fd = -1;
  g_restore_settings = settings;
  g_restore_fd = fd;
}

}  // namespace platform::posix
