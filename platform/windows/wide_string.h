#pragma once

// UTF-8 in the core, UTF-16 at the Win32 edge: the only conversions.

#include <string>
#include <string_view>

namespace platform::windows {

// Invalid UTF-8 becomes U+FFFD, as the system converts it.
std::wstring Widen(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view utf16);

}  // namespace platform::windows
