#include "platform/posix/unicode.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/text.h"

namespace platform::posix {
namespace {

locale_t CaseLocale() {
  // Built into the C library since 2.35, so no locale package is needed.
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return locale;
}

unsigned char Byte(std::string_view text, size_t i) {
  return static_cast<unsigned char>(text[i]);
}

// Position of a code point in UTF-16 code-unit order: supplementary planes
// (surrogate pairs) sort between U+D7FF and U+E000.
uint32_t Utf16OrderKey(char32_t c) {
  uint32_t value = static_cast<uint32_t>(c);
  if (value >= 0x10000) return 0xD800 + (value - 0x10000);
  if (value >= 0xE000) return value + 0x110000;
  return value;
}

// Above every key a character can have, so that a stray byte never equals
// the character of the same number ("\xC0" is not "À").
constexpr uint32_t kInvalidByteKeys = 0x120000;

uint32_t AsciiUpperUnit(unsigned char b) {
  return static_cast<unsigned char>(AsciiUpper(static_cast<char>(b)));
}

// The next comparison unit of a name: the upper-cased code point, or a lone
// invalid byte after all characters.
uint32_t NextKey(std::string_view text, size_t& i) {
  unsigned char b = Byte(text, i);
  if (b < 0x80) {
    ++i;
    return AsciiUpperUnit(b);
  }
  char32_t c;
  if (DecodeUtf8(text, i, c)) return Utf16OrderKey(SimpleUpper(c));
  ++i;
  return kInvalidByteKeys + b;
}

}  // namespace

bool DecodeUtf8(std::string_view text, size_t& i, char32_t& code_point) {
  unsigned char lead = Byte(text, i);
  size_t length;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    code_point = lead;
    ++i;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07u, minimum = 0x10000;
  } else {
    return false;
  }
  if (i + length > text.size()) return false;
  for (size_t k = 1; k < length; ++k) {
    unsigned char next = Byte(text, i + k);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3Fu);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  code_point = value;
  i += length;
  return true;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  auto unit = [&out](uint32_t value) { out += static_cast<char>(value); };
  uint32_t c = static_cast<uint32_t>(code_point);
  if (c < 0x80) {
    unit(c);
  } else if (c < 0x800) {
    unit(0xC0 | (c >> 6));
    unit(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    unit(0xE0 | (c >> 12));
    unit(0x80 | ((c >> 6) & 0x3F));
    unit(0x80 | (c & 0x3F));
  } else {
    unit(0xF0 | (c >> 18));
    unit(0x80 | ((c >> 12) & 0x3F));
    unit(0x80 | ((c >> 6) & 0x3F));
    unit(0x80 | (c & 0x3F));
  }
}

char32_t SimpleUpper(char32_t code_point) {
  if (code_point < 0x80) {
    return AsciiUpperUnit(static_cast<unsigned char>(code_point));
  }
  locale_t locale = CaseLocale();
  if (locale == locale_t{}) return code_point;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(code_point), locale));
}

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    uint32_t ka = NextKey(a, i);
    uint32_t kb = NextKey(b, j);
    if (ka != kb) return ka < kb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool ListingLess(std::string_view a, std::string_view b) {
  int order = CompareNoCase(a, b);
  return order != 0 ? order < 0 : a < b;
}

uint64_t ListingPrefixKey(std::string_view name) {
  // The first eight comparison units, one byte each, while they are ASCII;
  // the first other unit becomes 0x80, above them all, and ends the key, so
  // that names alike up to there tie. An ended name reads as zeros, below
  // every unit.
  unsigned char head[8] = {};
  std::memcpy(head, name.data(), std::min<size_t>(name.size(), sizeof head));
  uint64_t key = 0;
  unsigned char high = 0;
  for (unsigned char byte : head) {
    high |= byte;
    key = (key << 8) | AsciiUpperUnit(byte);
  }
  if (high < 0x80) return key;  // the usual name: no decoding

  constexpr uint32_t kOther = 0x80;
  key = 0;
  size_t i = 0;
  for (int unit = 0; unit < 8; ++unit) {
    uint32_t next = i < name.size() ? NextKey(name, i) : 0;
    if (next > kOther) next = kOther;
    key = (key << 8) | next;
    if (next == kOther) return key << (8 * (7 - unit));
  }
  return key;
}

}  // namespace platform::posix
