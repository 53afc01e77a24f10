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

// A line of input: a button's label in any case, its first letter, or its
// answer code, with surrounding blanks (and a CR) ignored. Nothing for an
// answer that names no button of this box, the empty line included.
std::optional<int32_t> ParseAnswer(std::string_view line, int32_t style);

// "Yes / No": the prompt naming the buttons.
std::string ButtonPrompt(int32_t style);

}  // namespace platform::posix
