#include "tests/support/scripted_front_end.h"

#include <algorithm>
#include <iostream>

namespace lumbrel_test {
namespace {

// Says why before throwing: GoogleTest reports a non-standard exception
// without its content.
[[noreturn]] void Fail(const std::string& what) {
  std::cerr << "scripted front-end: " << what << '\n';
  throw ScriptError{what};
}

}  // namespace

size_t ScriptedFrontEnd::Count(const std::string& start) const {
  return static_cast<size_t>(
      std::count_if(transcript_.begin(), transcript_.end(),
                    [&](const std::string& e) { return e.rfind(start, 0) == 0; }));
}

void ScriptedFrontEnd::Record(std::string event) {
  const auto trigger = std::find(click_after_.begin(), click_after_.end(), event);
  if (trigger != click_after_.end()) {
    click_after_.erase(trigger);
    ++pending_clicks_;
  }
  transcript_.push_back(std::move(event));
}

void ScriptedFrontEnd::Show() {
  if (!shown_) Record("show");
  shown_ = true;
}

void ScriptedFrontEnd::Unload() {
  if (!unloaded_) Record("unload");
  unloaded_ = true;
  shown_ = false;
}

void ScriptedFrontEnd::SetStatusText(platform::StatusLine line, const std::string& text) {
  Record("status " + std::to_string(static_cast<int32_t>(line)) + " " + text);
  if (status_hook_) status_hook_(text);
}

void ScriptedFrontEnd::SetCancelEnabled(bool enabled) {
  cancel_enabled_ = enabled;
  Record(enabled ? "cancel on" : "cancel off");
}

void ScriptedFrontEnd::ProcessPendingEvents() {
  Record("pump");
  for (; pending_clicks_ > 0; --pending_clicks_) {
    if (!shown_ || !cancel_enabled_) continue;
    Record("click");
    DeliverCancelClick();
  }
}

int32_t ScriptedFrontEnd::MessageBox(const std::string& text, int32_t style,
                                     const std::string& title) {
  Record("box " + std::to_string(style) + " " + title + " | " + text);
  if (answers_.empty()) Fail("no answer queued for the box \"" + title + "\": " + text);
  const int32_t code = answers_.front();
  answers_.pop_front();
  Record("answer " + std::to_string(code));
  return code;
}

void ScriptedFrontEnd::ReportUnhandledError(int32_t number, const std::string& text,
                                            const std::string& path) {
  Record("error " + std::to_string(number) + " " + text + (path.empty() ? "" : " | " + path));
}

void ScriptedFrontEnd::ReportEnding(platform::Ending ending) {
  Record("end " + std::string(platform::EndingName(ending)));
}

}  // namespace lumbrel_test
