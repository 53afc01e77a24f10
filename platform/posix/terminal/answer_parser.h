#pragma once

// What the user may answer to a message box on the terminal or through a
// pipe: only the buttons of that box count.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

struct Button {
  int32_t code;       // a MessageBoxAnswer
  std::string label;  // "Yes", "No", "OK", "Cancel"
};

// The box's buttons, left to right (the first is the default); a style
// without a known button set shows OK alone.
std::vector<Button> ButtonsOf(int32_t style);

// The longest answer line; a longer one is an invalid answer whose rest is
// read past without being kept, so a stream without newlines cannot grow
// memory.
inline constexpr size_t kMaxAnswerLine = 1024;

struct AnswerLine {
  std::string text;  // without its newline, cut at kMaxAnswerLine
  bool too_long = false;
};

// One line, byte by byte from `next_byte` (a negative value at the end of the
// input). Nothing when the input ends before the line has a byte.
template <class NextByte>
std::optional<AnswerLine> ReadAnswerLine(NextByte next_byte) {
  AnswerLine line;
  int byte = 0;
  while ((byte = next_byte()) >= 0 && byte != '\n') {
    if (line.text.size() < kMaxAnswerLine) {
      line.text += static_cast<char>(byte);
    } else {
      line.too_long = true;
    }
  }
  if (byte < 0 && line.text.empty()) return std::nullopt;
  return line;
}

// A line of input: a button's label in any case, its first letter, or its
// answer code, with surrounding blanks (and a CR) ignored. Nothing for an
// answer that names no button of this box, the empty line included.
std::optional<int32_t> ParseAnswer(std::string_view line, int32_t style);
inline std::optional<int32_t> ParseAnswer(const AnswerLine& line, int32_t style) {
  return line.too_long ? std::nullopt : ParseAnswer(line.text, style);
}

// "Yes / No": the prompt naming the buttons.
std::string ButtonPrompt(int32_t style);

}  // namespace platform::posix
