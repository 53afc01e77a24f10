// Any line as the answer to any box: the parser names one of that box's
// buttons or nothing, and only for a line that spells the button.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/posix/terminal/answer_parser.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trimmed(std::string_view text) {
  const char* blanks = " \t\r\n";
  while (!text.empty() && std::strchr(blanks, text.front()) && text.front() != '\0') {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::strchr(blanks, text.back()) && text.back() != '\0') {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  int32_t style = 0;
  std::memcpy(&style, data, sizeof style);
  const std::string_view line(reinterpret_cast<const char*>(data) + 4, size - 4);

  const auto buttons = platform::posix::ButtonsOf(style);
  Require(!buttons.empty() && buttons.size() <= 2);
  Require(!platform::posix::ButtonPrompt(style).empty());

  const auto answer = platform::posix::ParseAnswer(line, style);
  const std::string said = Lower(Trimmed(line));
  bool spelled = false;
  for (const auto& button : buttons) {
    const bool names_it = said == Lower(button.label) || said == Lower(button.label.substr(0, 1)) ||
                          said == std::to_string(button.code);
    if (names_it && !spelled) {
      // Labels differ in their first letter, so one line names one button.
      Require(answer.has_value() && *answer == button.code);
      spelled = true;
    }
  }
  Require(spelled == answer.has_value());
  return 0;
}
