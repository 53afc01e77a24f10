#pragma once

// What the program's UTF-8 handling is checked against: nlohmann::json's
// reader, written apart from the program, which takes the raw bytes of a
// string only when they are valid UTF-8 (no overlong form, no surrogate,
// nothing above U+10FFFF).

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace utf8_reference {

// The length of the valid UTF-8 character at text[i], or 0 when none starts
// there. No proper prefix of a character is valid, so the shortest accepted
// length is the character's.
inline size_t ValidLength(std::string_view text, size_t i) {
  if (static_cast<unsigned char>(text[i]) < 0x80) return 1;
  for (size_t length = 2; length <= 4 && i + length <= text.size(); ++length) {
    std::string quoted = "\"";
    quoted.append(text.substr(i, length));
    quoted += '"';
    if (nlohmann::json::accept(quoted)) return length;
  }
  return 0;
}

// The input with each byte that is not part of valid UTF-8 replaced by
// U+FFFD: what a reader of the program's JSON must get back.
inline std::string WithReplacements(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (const size_t length = ValidLength(text, i); length != 0) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

}  // namespace utf8_reference
