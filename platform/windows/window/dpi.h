#pragma once

// Dots per inch as the window's monitor has them. The per-monitor calls are
// looked up at run time: Vista, 7, 8 and older Wine lack them, and there the
// system's one density serves for every window.

#include "platform/windows/win32.h"

namespace platform::windows {

// The density every screen of the system had at sign-in; never 0.
int SystemDpi();

// The density of the monitor the window is on.
int WindowDpi(HWND window);

// The outer size of a window of `style` and `ex_style` whose client area is
// `client` pixels, with the frame the system draws at `dpi`.
SIZE FrameSize(SIZE client, DWORD style, DWORD ex_style, int dpi);

// The system's default dialog font (the one the stock object holds, made
// for SystemDpi()) scaled to `dpi`; the caller deletes it.
HFONT DefaultFontAt(int dpi);

}  // namespace platform::windows
