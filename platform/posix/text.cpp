#include "platform/text.h"

#include <cstdint>
#include <cstring>

#include "platform/posix/byte_words.h"
#include "platform/posix/unicode.h"

namespace platform {
namespace {

// Upper-cases `text` eight ASCII bytes at a time, up to the first word that
// holds another byte or the last whole word; returns where it stopped.
size_t AsciiWordsToUpper(std::string& text) {
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    if ((word & posix::kHighBits) != 0) break;
    // No byte carries into the next: each is below 0x80 and gains at most
    // 0x1F. The high bit then marks 'a' and above, and above 'z'.
    const uint64_t from_a = word + posix::kEachByte * (0x80 - 'a');
    const uint64_t past_z = word + posix::kEachByte * (0x80 - 'z' - 1);
    word -= (from_a & ~past_z & posix::kHighBits) >> 2;  // 0x20 off each lower-case letter
    std::memcpy(text.data() + i, &word, sizeof word);
  }
  return i;
}

}  // namespace

std::string UpperCase(const std::string& text) {
  // Names are mostly ASCII: those bytes change in place, only the rest is
  // decoded.
  std::string upper = text;
  size_t i = AsciiWordsToUpper(upper);
  while (i < upper.size()) {
    char& byte = upper[i];
    if (static_cast<unsigned char>(byte) < 0x80) {
      byte = AsciiUpper(byte);
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
