#pragma once

// Text as the terminal panel shows it: lines wrapped to a width in
// characters, nothing that could steer the terminal.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

// Splits at CR LF (and a lone CR or LF), then wraps each line at spaces so
// no line is wider than `width` characters; a word wider than that (a long
// path) is broken. Control characters show as '?', invalid UTF-8 as U+FFFD.
// An empty text gives no line at all.
std::vector<std::string> WrapText(std::string_view text, size_t width);

// The report of an unhandled error for the error stream: "Run-time error
// '76':", the text and the path (left out when empty), a blank line between.
// A file's name may hold anything, so each character is made safe as above.
std::string UnhandledErrorReport(int32_t number, std::string_view text, std::string_view path);

// The number of characters (code points) in valid UTF-8 `text`.
size_t DisplayWidth(std::string_view text);

}  // namespace platform::posix
