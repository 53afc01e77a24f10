#include "platform/posix/terminal/json_writer.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/posix/byte_words.h"
#include "platform/posix/unicode.h"

namespace platform::posix {
namespace {

// Every byte of a string at worst becomes six characters ("\ufffd").
constexpr size_t kWorstGrowth = 6;

// Marks the high bit of each zero byte of `word`; above the lowest zero byte
// a marked byte may be a false one.
uint64_t ZeroBytes(uint64_t word) {
  return (word - kEachByte) & ~word & kHighBits;
}

// Marks the bytes of `word` that need an escape or decoding: the lowest mark
// is exact.
uint64_t SpecialBytes(uint64_t word) {
  return (word & kHighBits) | ZeroBytes(word & (kEachByte * 0x60)) |
         ZeroBytes(word ^ (kEachByte * '"')) | ZeroBytes(word ^ (kEachByte * '\\'));
}

bool IsPlain(unsigned char byte) {
  return byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\';
}

char* Put(char* to, std::string_view piece) {
  std::memcpy(to, piece.data(), piece.size());
  return to + piece.size();
}

// Escapes the byte at text[i], which is not plain, and what belongs to it.
char* PutSpecial(char* to, std::string_view text, size_t& i) {
  const auto byte = static_cast<unsigned char>(text[i]);
  if (byte == '\\' || byte == '"') {
    *to++ = '\\';
    *to++ = static_cast<char>(byte);
    ++i;
    return to;
  }
  if (byte < 0x20) {
    ++i;
    switch (byte) {
      case '\b': return Put(to, "\\b");
      case '\f': return Put(to, "\\f");
      case '\n': return Put(to, "\\n");
      case '\r': return Put(to, "\\r");
      case '\t': return Put(to, "\\t");
      default: {
        static constexpr char kHex[] = "0123456789abcdef";
        const char escaped[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
        return Put(to, std::string_view(escaped, sizeof escaped));
      }
    }
  }
  const size_t start = i;
  char32_t code_point = 0;
  if (!DecodeUtf8(text, i, code_point)) {
    ++i;
    return Put(to, "\\ufffd");
  }
  // Valid UTF-8 goes over as it came.
  return Put(to, text.substr(start, i - start));
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
  static_assert(std::endian::native == std::endian::little, "text[i] is a word's low byte");
  // Room for the worst case, written through a pointer and cut back once;
  // a word is stored whole even where only its first bytes count.
  const size_t start = out.size();
  out.resize(start + kWorstGrowth * text.size() + 2 + sizeof(uint64_t));
  char* to = out.data() + start;
  *to++ = '"';
  size_t i = 0;
  // Paths are mostly plain ASCII with a separator every few bytes: plain
  // bytes go over eight at a time.
  while (i + sizeof(uint64_t) <= text.size()) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    std::memcpy(to, &word, sizeof word);
    const uint64_t special = SpecialBytes(word);
    if (special == 0) {
      to += sizeof word;
      i += sizeof word;
      continue;
    }
    const auto plain = static_cast<size_t>(std::countr_zero(special)) / 8;
    to += plain;
    i += plain;
    to = PutSpecial(to, text, i);
  }
  while (i < text.size()) {
    if (IsPlain(static_cast<unsigned char>(text[i]))) {
      *to++ = text[i++];
    } else {
      to = PutSpecial(to, text, i);
    }
  }
  *to++ = '"';
  out.resize(static_cast<size_t>(to - out.data()));
}

// Event and member names are the program's own words and need no escape.
JsonLine::JsonLine(std::string_view event, std::string& out) : text_(out) {
  text_.append("{\"event\":\"").append(event).append(1, '"');
}

void JsonLine::Name(std::string_view name) {
  text_.append(",\"").append(name).append("\":");
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
