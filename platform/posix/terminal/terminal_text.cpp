#include "platform/posix/terminal/terminal_text.h"

#include "platform/posix/unicode.h"

namespace platform::posix {
namespace {

// A line's characters, each as its UTF-8 bytes, made safe to print.
std::vector<std::string> SafeCharacters(std::string_view line) {
  std::vector<std::string> chars;
  size_t i = 0;
  while (i < line.size()) {
    char32_t code_point = 0;
    if (!DecodeUtf8(line, i, code_point)) {
      code_point = 0xFFFD;
      ++i;
    } else if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0)) {
      code_point = code_point == U'\t' ? U' ' : U'?';
    }
    std::string bytes;
    AppendUtf8(bytes, code_point);
    chars.push_back(std::move(bytes));
  }
  return chars;
}

void WrapLine(std::string_view line, size_t width, std::vector<std::string>& out) {
  std::vector<std::string> chars = SafeCharacters(line);
  size_t start = 0;
  if (chars.empty()) out.emplace_back();
  while (start < chars.size()) {
    size_t end = chars.size();
    if (end - start > width) {
      end = start + width;
      // Break after the last space that fits, if any; else mid-word.
      size_t space = end;
      while (space > start && chars[space] != " ") --space;
      if (space > start) end = space;
    }
    std::string piece;
    for (size_t k = start; k < end; ++k) piece += chars[k];
    out.push_back(std::move(piece));
    start = end;
    while (start < chars.size() && chars[start] == " ") ++start;
  }
}

}  // namespace

std::vector<std::string> WrapText(std::string_view text, size_t width) {
  std::vector<std::string> lines;
  if (text.empty() || width == 0) return lines;
  size_t begin = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    WrapLine(text.substr(begin, i - begin), width, lines);
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  return lines;
}

std::string UnhandledErrorReport(int32_t number, std::string_view text, std::string_view path) {
  std::string report = "Run-time error '" + std::to_string(number) + "':\n";
  for (std::string_view paragraph : {text, path}) {
    if (paragraph.empty()) continue;
    report += '\n';
    for (const std::string& character : SafeCharacters(paragraph)) report += character;
    report += '\n';
  }
  return report;
}

size_t DisplayWidth(std::string_view text) {
  size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace platform::posix
