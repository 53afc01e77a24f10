#pragma once

#include <string>

namespace platform {

// Upper case by the system's own mapping: Windows is asked on Windows; on
// Linux each Unicode letter maps to its simple upper case. Text that is not
// valid UTF-8 passes through byte for byte.
std::string UpperCase(const std::string& text);

}  // namespace platform
