#pragma once

#include "platform/windows/win32.h"

namespace platform::windows {

// The logo resource decoded by the system's own picture loader, as a bitmap
// of the picture's own size that the caller deletes; null when the program
// carries no logo or the system cannot decode it (the box then shows only
// its yellow ground).
HBITMAP LoadLogo(HINSTANCE instance);

}  // namespace platform::windows
