#include "platform/text.h"

namespace platform {

bool EqualsUpperCase(const std::string& text, const std::string& upper) {
  for (char byte : text) {
    if (static_cast<unsigned char>(byte) >= 0x80) return UpperCase(text) == upper;
  }
  // Both systems map ASCII letters alone, one byte for one.
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (AsciiUpper(text[i]) != upper[i]) return false;
  }
  return true;
}

}  // namespace platform
