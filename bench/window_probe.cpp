// Watches the running program's main window from outside, as Windows does
// before it ghosts a window "Not Responding": a WM_NULL sent with a 1 s
// timeout, every 20 ms. Prints the longest wait with no message box open and
// with one, and when each wait of 1 s or more began ("box": a box was open
// as it began); with TEXT, when the second status line first held it; with
// CLICK, when Cancel was clicked, CLICK seconds after the first status line
// first named drive D, and when the "Cancel Repair?" box first appeared;
// and the longest wait during the work watched, from drive D (with CLICK) or
// TEXT until a box opened. Times are seconds after the window was first
// shown; -1 for never.
//
//   window_probe SECONDS [TEXT [CLICK]]
//
// Ends after SECONDS, or once the window has gone.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/windows/window/main_window_layout.h"

namespace layout = platform::windows::layout;

namespace {

constexpr UINT kTimeoutMs = 1000;

double Now() {
  static LARGE_INTEGER frequency{};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Whether the control's text holds `part`, as the window server keeps it: no
// message goes to the window.
bool Holds(HWND window, int control, const wchar_t* part) {
  wchar_t text[512] = L"";
  GetWindowTextW(GetDlgItem(window, control), text, 512);
  return std::wcsstr(text, part) != nullptr;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_probe SECONDS [TEXT [CLICK]]\n");
    return 2;
  }
  const double start = Now();
  const double limit = std::wcstod(argv[1], nullptr);
  const std::wstring wanted = argc > 2 ? argv[2] : L"";
  const double click_after = argc > 3 ? std::wcstod(argv[3], nullptr) : -1;

  HWND window = nullptr;
  double shown = -1, drive_d = -1, clicked = -1, text_at = -1, box_at = -1;
  double longest = 0, longest_with_box = 0;
  // The work watched: from drive D (with CLICK) or TEXT until a box opens.
  double work_longest = 0, work_end = -1;
  int probes = 0;
  std::string silences;
  while (Now() - start < limit) {
    if (window == nullptr) window = FindWindowW(nullptr, layout::kCaption);
    if (window != nullptr && !IsWindow(window)) break;
    if (window == nullptr || (shown < 0 && !IsWindowVisible(window))) {
      Sleep(10);
      continue;
    }
    if (shown < 0) shown = Now();
    DWORD_PTR result = 0;
    // A message box the window owns disables it while it is open.
    const bool box_open = !IsWindowEnabled(window);
    const double sent = Now();
    const bool answered =
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &result) != 0;
    const double waited = Now() - sent;
    ++probes;
    double& record = box_open ? longest_with_box : longest;
    if (waited > record) record = waited;
    const double work_from = click_after >= 0 ? drive_d : (text_at < 0 ? -1 : shown + text_at);
    if (work_from >= 0 && work_end < 0) {
      if (box_open) {
        work_end = sent - shown;
      } else if (waited > work_longest) {
        work_longest = waited;
      }
    }
    if (!answered || waited >= kTimeoutMs / 1000.0) {
      char at[32];
      std::snprintf(at, sizeof at, box_open ? " %.1f (box)" : " %.1f", sent - shown);
      silences += at;
    }
    if (drive_d < 0 && Holds(window, layout::kIdMessage, L"drive D")) drive_d = Now();
    if (clicked < 0 && click_after >= 0 && drive_d >= 0 && Now() - drive_d >= click_after) {
      // As a mouse click does: the click waits in the queue for the window's
      // next pump.
      PostMessageW(GetDlgItem(window, layout::kIdCancel), BM_CLICK, 0, 0);
      clicked = Now() - shown;
    }
    if (box_at < 0 && FindWindowW(nullptr, L"Cancel Repair?") != nullptr) box_at = Now() - shown;
    if (text_at < 0 && !wanted.empty() && Holds(window, layout::kIdMessage2, wanted.c_str())) {
      text_at = Now() - shown;
    }
    Sleep(20);
  }
  std::printf(
      "probes %d, longest wait %.3f s (%.3f s with a box open; %.3f s during the work, until "
      "%.2f s), waits of 1 s or more at:%s; drive D at %.2f s, clicked at %.2f s, text at "
      "%.2f s, box at %.2f s\n",
      probes, longest, longest_with_box, work_longest, work_end,
      silences.empty() ? " none" : silences.c_str(), drive_d < 0 ? -1 : drive_d - shown, clicked,
      text_at, box_at);
  return 0;
}
