#pragma once

#include "platform/error.h"

namespace platform::posix {

// What a failing call was about: a missing file is "File not found", a
// missing folder or path component is "Path not found".
enum class ErrnoSubject { kFile, kPath };

// The one mapping from errno values to the platform's error numbers.
// Unmapped values become 75 with the system's own text.
PlatformError ErrnoError(int error, ErrnoSubject subject);

}  // namespace platform::posix
