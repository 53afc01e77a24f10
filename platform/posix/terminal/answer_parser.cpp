#include "platform/posix/terminal/answer_parser.h"

#include "platform/message_box.h"
#include "platform/text.h"

namespace platform::posix {
namespace {

std::string_view Trimmed(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<Button> ButtonsOf(int32_t style) {
  switch (style & 15) {
    case kButtonsOkCancel: return {{kAnswerOk, "OK"}, {kAnswerCancel, "Cancel"}};
    case kButtonsYesNo: return {{kAnswerYes, "Yes"}, {kAnswerNo, "No"}};
    default: return {{kAnswerOk, "OK"}};
  }
}

std::optional<int32_t> ParseAnswer(std::string_view line, int32_t style) {
  std::string_view answer = Trimmed(line);
  if (answer.empty()) return std::nullopt;
  for (const Button& button : ButtonsOf(style)) {
    if (EqualsIgnoringAsciiCase(answer, button.label) ||
        EqualsIgnoringAsciiCase(answer, button.label.substr(0, 1)) ||
        answer == std::to_string(button.code)) {
      return button.code;
    }
  }
  return std::nullopt;
}

std::string ButtonPrompt(int32_t style) {
  std::string prompt;
  for (const Button& button : ButtonsOf(style)) {
    if (!prompt.empty()) prompt += " / ";
    prompt += button.label;
  }
  return prompt;
}

}  // namespace platform::posix
