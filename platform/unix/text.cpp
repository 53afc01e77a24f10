#include "platform/text.h"

#include "platform/unix/unicode.h"

namespace platform {

std::string UpperCase(const std::string& text) {
  // Names are mostly ASCII: those bytes change in place, only the rest is
  // decoded.
  std::string upper = text;
  size_t i = 0;
  while (i < upper.size()) {
    char& byte = upper[i];
    if (static_cast<unsigned char>(byte) < 0x80) {
      if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 'a' + 'A');
      ++i;
      continue;
    }
    size_t next = i;
    char32_t c;
    if (!posix::DecodeUtf8(upper, next, c)) {
      ++i;
      continue;
    }
    char32_t mapped = posix::SimpleUpper(c);
    if (mapped != c) {
      std::string encoded;
      posix::AppendUtf8(encoded, mapped);
      upper.replace(i, next - i, encoded);
      next = i + encoded.size();
    }
    i = next;
  }
  return upper;
}

}  // namespace platform
