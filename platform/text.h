#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// ASCII letters alone, whatever the locale: the case rule of drive letters,
// device names, registry keys and answers typed by the user.
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// Upper case by the system's own mapping: Windows is asked on Windows; on
// Linux each Unicode letter maps to its simple upper case. Text that is not
// valid UTF-8 passes through byte for byte.
std::string UpperCase(const std::string& text);

// Whether UpperCase(text) == upper. Plain ASCII text, what file names mostly
// are, is compared in place without making the upper-case copy.
bool EqualsUpperCase(const std::string& text, const std::string& upper);

}  // namespace platform
