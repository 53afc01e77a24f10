#include "tests/support/scripted_front_end.h"

#include <algorithm>
#include <iostream>

#include "platform/message_box.h"

namespace lumbrel_test {
namespace {

bool IsButtonOf(int32_t style, int32_t code) {
  switch (style & 15) {
    case platform::kButtonsOk: return code == platform::kAnswerOk;
    case platform::kButtonsOkCancel:
      return code == platform::kAnswerOk || code == platform::kAnswerCancel;
    case platform::kButtonsYesNo:
      return code == platform::kAnswerYes || code == platform::kAnswerNo;
    default: return false;
  }
}

// Says why before throwing: GoogleTest reports a non-standard exception
// without its content.
[[noreturn]] void Fail(const std::string& what) {
  std::cerr << "scripted front-end: " << what << '\n';
  throw ScriptError{what};
}

}  // namespace

const std::string& ScriptedFrontEnd::Text(platform::StatusLine line) const {
  return line == platform::StatusLine::kMain ? text_main_ : text_detail_;
}

const std::vector<std::string>& ScriptedFrontEnd::History(platform::StatusLine line) const {
  return line == platform::StatusLine::kMain ? history_main_ : history_detail_;
}

void ScriptedFrontEnd::Show() {
  if (shown_) return;
  shown_ = true;
  transcript_.push_back("show");
}

void ScriptedFrontEnd::Unload() {
  if (unloaded_) return;
  shown_ = false;
  unloaded_ = true;
  transcript_.push_back("unload");
}

void ScriptedFrontEnd::SetStatusText(platform::StatusLine line, const std::string& text) {
  bool main = line == platform::StatusLine::kMain;
  (main ? text_main_ : text_detail_) = text;
  (main ? history_main_ : history_detail_).push_back(text);
  transcript_.push_back(std::string("status ") + (main ? "1 " : "2 ") + text);
  auto trigger = std::find_if(click_texts_.begin(), click_texts_.end(), [&](const TextTrigger& t) {
    return t.line == line && t.text == text;
  });
  if (trigger != click_texts_.end()) {
    click_texts_.erase(trigger);
    ++pending_clicks_;
  }
  if (status_hook_) status_hook_(line, text);
}

void ScriptedFrontEnd::SetCancelEnabled(bool enabled) {
  cancel_enabled_ = enabled;
  transcript_.push_back(enabled ? "cancel on" : "cancel off");
}

void ScriptedFrontEnd::ProcessPendingEvents() {
  ++pumps_;
  while (pending_clicks_ > 0) {
    --pending_clicks_;
    Click();
  }
}

void ScriptedFrontEnd::Click() {
  if (!shown_ || !cancel_enabled_) return;
  transcript_.push_back("click");
  DeliverCancelClick();
}

int32_t ScriptedFrontEnd::MessageBox(const std::string& text, int32_t style,
                                     const std::string& title) {
  boxes_.push_back({title, style, text});
  transcript_.push_back("box " + std::to_string(style) + " " + title + " | " + text);
  if (answers_.empty()) Fail("no answer queued for the box \"" + title + "\": " + text);
  int32_t code = answers_.front();
  answers_.pop_front();
  if (!IsButtonOf(style, code)) {
    Fail("answer " + std::to_string(code) + " is no button of the box \"" + title + "\" (style " +
         std::to_string(style) + ")");
  }
  transcript_.push_back("answer " + std::to_string(code));
  return code;
}

void ScriptedFrontEnd::ReportUnhandledError(int32_t number, const std::string& text,
                                            const std::string& path) {
  error_report_ = std::to_string(number) + " " + text + (path.empty() ? "" : " | " + path);
  transcript_.push_back("error " + *error_report_);
}

void ScriptedFrontEnd::ReportEnding(platform::Ending ending) {
  ending_ = ending;
  transcript_.push_back("end " + std::string(platform::EndingName(ending)));
}

}  // namespace lumbrel_test
