#include "platform/unix/json_writer.h"

#include <cstdio>

#include "platform/unix/unicode.h"

namespace platform::posix {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  size_t i = 0;
  while (i < text.size()) {
    char32_t code_point = 0;
    if (!DecodeUtf8(text, i, code_point)) {
      out += "\\ufffd";
      ++i;
      continue;
    }
    switch (code_point) {
      case U'"': out += "\\\""; break;
      case U'\\': out += "\\\\"; break;
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
          AppendUtf8(out, code_point);
        }
    }
  }
  return out + "\"";
}

JsonLine::JsonLine(std::string_view event) : text_("{\"event\":") {
  text_ += JsonString(event);
}

void JsonLine::Name(std::string_view name) {
  text_ += ',';
  text_ += JsonString(name);
  text_ += ':';
}

JsonLine& JsonLine::Add(std::string_view name, std::string_view text) {
  Name(name);
  text_ += JsonString(text);
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
