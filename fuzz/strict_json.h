#pragma once

// A strict JSON reader for checking what the program writes: the grammar of
// RFC 8259 exactly, text that is valid UTF-8 throughout, no raw control
// character inside a string, and \u escapes whose surrogates pair up. It is
// written apart from the program's own writer so that the two cannot share
// a mistake.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace strict_json {

// Decodes one UTF-8 sequence at text[i] by the strict rules (no overlong
// forms, no surrogates, nothing above U+10FFFF); false when invalid.
inline bool NextUtf8(std::string_view text, size_t& i, uint32_t& code_point) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  size_t length = lead < 0x80         ? 1
                  : (lead >> 5) == 6  ? 2
                  : (lead >> 4) == 14 ? 3
                  : (lead >> 3) == 30 ? 4
                                      : 0;
  if (length == 0 || i + length > text.size()) return false;
  uint32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return false;
    value = (value << 6) | (byte(i + k) & 0x3Fu);
  }
  static constexpr uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return false;
  }
  code_point = value;
  i += length;
  return true;
}

inline void PutUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The input with each byte that is not part of valid UTF-8 replaced by
// U+FFFD: what a reader of the program's JSON must get back.
inline std::string WithReplacements(std::string_view text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    uint32_t c = 0;
    if (NextUtf8(text, i, c)) {
      PutUtf8(out, c);
    } else {
      PutUtf8(out, 0xFFFD);
      ++i;
    }
  }
  return out;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  // True when the whole text is exactly one JSON value (surrounding blanks
  // allowed). Decoded strings, in document order, are kept in Strings().
  bool Document() {
    Blanks();
    if (!Value(0)) return false;
    Blanks();
    return at_ == text_.size();
  }

  const std::vector<std::string>& Strings() const { return strings_; }

 private:
  static constexpr int kMaxDepth = 64;

  bool More() const { return at_ < text_.size(); }
  char Peek() const { return text_[at_]; }

  void Blanks() {
    while (More() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++at_;
  }

  bool Literal(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Value(int depth) {
    if (!More() || depth > kMaxDepth) return false;
    switch (Peek()) {
      case '{': return Object(depth + 1);
      case '[': return Array(depth + 1);
      case '"': return String();
      case 't': return Literal("true");
      case 'f': return Literal("false");
      case 'n': return Literal("null");
      default: return Number();
    }
  }

  bool Object(int depth) {
    ++at_;
    Blanks();
    if (More() && Peek() == '}') return ++at_, true;
    for (;;) {
      Blanks();
      if (!More() || Peek() != '"' || !String()) return false;
      Blanks();
      if (!More() || Peek() != ':') return false;
      ++at_;
      Blanks();
      if (!Value(depth)) return false;
      Blanks();
      if (!More()) return false;
      if (Peek() == '}') return ++at_, true;
      if (Peek() != ',') return false;
      ++at_;
    }
  }

  bool Array(int depth) {
    ++at_;
    Blanks();
    if (More() && Peek() == ']') return ++at_, true;
    for (;;) {
      Blanks();
      if (!Value(depth)) return false;
      Blanks();
      if (!More()) return false;
      if (Peek() == ']') return ++at_, true;
      if (Peek() != ',') return false;
      ++at_;
    }
  }

  bool Digits() {
    size_t start = at_;
    while (More() && Peek() >= '0' && Peek() <= '9') ++at_;
    return at_ > start;
  }

  bool Number() {
    if (More() && Peek() == '-') ++at_;
    if (!More()) return false;
    if (Peek() == '0') {
      ++at_;
    } else if (!Digits()) {
      return false;
    }
    if (More() && Peek() == '.') {
      ++at_;
      if (!Digits()) return false;
    }
    if (More() && (Peek() == 'e' || Peek() == 'E')) {
      ++at_;
      if (More() && (Peek() == '+' || Peek() == '-')) ++at_;
      if (!Digits()) return false;
    }
    return true;
  }

  bool Hex4(uint32_t& value) {
    if (at_ + 4 > text_.size()) return false;
    value = 0;
    for (int k = 0; k < 4; ++k) {
      char c = text_[at_++];
      uint32_t digit = c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
                       : c >= 'a' && c <= 'f' ? static_cast<uint32_t>(c - 'a' + 10)
                       : c >= 'A' && c <= 'F' ? static_cast<uint32_t>(c - 'A' + 10)
                                              : 16;
      if (digit == 16) return false;
      value = value << 4 | digit;
    }
    return true;
  }

  bool Escape(std::string& out) {
    if (!More()) return false;
    char c = text_[at_++];
    switch (c) {
      case '"': out += '"'; return true;
      case '\\': out += '\\'; return true;
      case '/': out += '/'; return true;
      case 'b': out += '\b'; return true;
      case 'f': out += '\f'; return true;
      case 'n': out += '\n'; return true;
      case 'r': out += '\r'; return true;
      case 't': out += '\t'; return true;
      case 'u': break;
      default: return false;
    }
    uint32_t unit = 0;
    if (!Hex4(unit)) return false;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return false;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      uint32_t low = 0;
      if (!Literal("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    PutUtf8(out, unit);
    return true;
  }

  bool String() {
    ++at_;
    std::string decoded;
    for (;;) {
      if (!More()) return false;
      char c = Peek();
      if (c == '"') break;
      if (c == '\\') {
        ++at_;
        if (!Escape(decoded)) return false;
        continue;
      }
      uint32_t code_point = 0;
      if (!NextUtf8(text_, at_, code_point) || code_point < 0x20) return false;
      PutUtf8(decoded, code_point);
    }
    ++at_;
    strings_.push_back(std::move(decoded));
    return true;
  }

  std::string_view text_;
  size_t at_ = 0;
  std::vector<std::string> strings_;
};

}  // namespace strict_json
