#include "platform/text.h"

namespace platform {

bool EqualsUpperCase(const std::string& text, const std::string& upper) {
  for (char byte : text) {
    if (static_cast<unsigned char>(byte) >= 0x80) return UpperCase(text) == upper;
  }
  // Both systems map ASCII letters alone, one byte for one.
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char byte = text[i];
    const char mapped = byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte;
    if (mapped != upper[i]) return false;
  }
  return true;
}

}  // namespace platform
