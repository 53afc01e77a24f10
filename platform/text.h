#pragma once

#include <string>

namespace platform {

// Upper case by the system's own mapping: Windows is asked on Windows; on
// Linux each Unicode letter maps to its simple upper case. Text that is not
// valid UTF-8 passes through byte for byte.
std::string UpperCase(const std::string& text);

// Whether UpperCase(text) == upper. Plain ASCII text, what file names mostly
// are, is compared in place without making the upper-case copy.
bool EqualsUpperCase(const std::string& text, const std::string& upper);

}  // namespace platform
