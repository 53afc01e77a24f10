#include "platform/text.h"

#include "platform/unix/unicode.h"

namespace platform {

std::string UpperCase(const std::string& text) {
  std::string upper;
  upper.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t c;
    if (posix::DecodeUtf8(text, i, c)) {
      posix::AppendUtf8(upper, posix::SimpleUpper(c));
    } else {
      upper += text[i++];
    }
  }
  return upper;
}

}  // namespace platform
