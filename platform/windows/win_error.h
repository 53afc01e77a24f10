#pragma once

#include <cstdint>

#include "platform/error.h"

namespace platform::windows {

// The platform error for a Win32 error code: the one place where system
// errors get their numbers. Codes without a counterpart in the table become 75
// with the system's own text.
PlatformError ErrorFromCode(uint32_t code);

// Throws ErrorFromCode(GetLastError()).
[[noreturn]] void ThrowLastError();

}  // namespace platform::windows
