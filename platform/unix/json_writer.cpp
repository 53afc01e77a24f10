#include "platform/unix/json_writer.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/unix/unicode.h"

namespace platform::posix {
namespace {

constexpr uint64_t kEachByte = 0x0101010101010101u;
constexpr uint64_t kHighBits = 0x8080808080808080u;

// Marks the high bit of each zero byte of `word`; above the lowest zero byte
// a marked byte may be a false one.
uint64_t ZeroBytes(uint64_t word) {
  return (word - kEachByte) & ~word & kHighBits;
}

// The end of the run from `i` of bytes that need no escape and no decoding,
// eight at a time. The lowest marked byte of a word is exact, so it is
// where the run ends.
size_t PlainRunEnd(std::string_view text, size_t i) {
  static_assert(std::endian::native == std::endian::little, "text[i] is a word's low byte");
  while (i < text.size()) {
    uint64_t word = kEachByte * 'a';  // plain filler past the end
    const size_t size = std::min<size_t>(sizeof word, text.size() - i);
    // A whole word in one load; the tail is shifted in byte by byte in a
    // register, since a word stored in pieces and read back at once stalls
    // the processor.
    if (size == sizeof word) {
      std::memcpy(&word, text.data() + i, sizeof word);
    } else {
      for (size_t k = size; k-- > 0;) word = (word << 8) | static_cast<unsigned char>(text[i + k]);
    }
    const uint64_t special = (word & kHighBits) | ZeroBytes(word & (kEachByte * 0x60)) |
                             ZeroBytes(word ^ (kEachByte * '"')) |
                             ZeroBytes(word ^ (kEachByte * '\\'));
    if (special != 0) return i + static_cast<size_t>(std::countr_zero(special)) / 8;
    i += size;
  }
  return i;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  AppendJsonString(out, text);
  return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  size_t i = 0;
  while (i < text.size()) {
    // Paths are mostly plain ASCII: such runs go over in one piece.
    const size_t plain = PlainRunEnd(text, i);
    out.append(text, i, plain - i);
    i = plain;
    if (i == text.size()) break;
    // A path's separators are the common case: no decoding for them.
    if (text[i] == '\\' || text[i] == '"') {
      out += '\\';
      out += text[i++];
      continue;
    }
    const size_t start = i;
    char32_t code_point = 0;
    if (!DecodeUtf8(text, i, code_point)) {
      out += "\\ufffd";
      ++i;
      continue;
    }
    switch (code_point) {
      case U'\b': out += "\\b"; break;
      case U'\f': out += "\\f"; break;
      case U'\n': out += "\\n"; break;
      case U'\r': out += "\\r"; break;
      case U'\t': out += "\\t"; break;
      default:
        if (code_point < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(code_point));
          out += escaped;
        } else {
          // Valid UTF-8 goes over as it came.
          out.append(text, start, i - start);
        }
    }
  }
  out += '"';
}

JsonLine::JsonLine(std::string_view event, std::string& out) : text_(out) {
  text_ += "{\"event\":";
  AppendJsonString(text_, event);
}

void JsonLine::Name(std::string_view name) {
  text_ += ',';
  AppendJsonString(text_, name);
  text_ += ':';
}

JsonLine& JsonLine::Add(std::string_view name, std::string_view text) {
  Name(name);
  AppendJsonString(text_, text);
  return *this;
}

JsonLine& JsonLine::Add(std::string_view name, int32_t number) {
  Name(name);
  text_ += std::to_string(number);
  return *this;
}

JsonLine& JsonLine::Add(std::string_view name, bool value) {
  Name(name);
  text_ += value ? "true" : "false";
  return *this;
}

}  // namespace platform::posix
