#pragma once

// A front-end driven by the test instead of a user: it records everything the
// window object does as one transcript, answers message boxes from a queue
// and clicks Cancel at moments the test chooses. Clicks follow the real
// window's rules: they reach the cancel handler only inside
// ProcessPendingEvents(), and only while the window is shown and Cancel is
// enabled.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/front_end.h"

namespace lumbrel_test {

// A box with no answer queued: thrown out of the run so that the test fails.
struct ScriptError {
  std::string what;
};

class ScriptedFrontEnd : public platform::FrontEnd {
 public:
  void QueueAnswer(int32_t code) { answers_.push_back(code); }
  // The user clicks Cancel now; the click waits for the next pump.
  void ClickCancel() { ++pending_clicks_; }
  // A click at the pump after the transcript first records `event`.
  void ClickCancelAfter(const std::string& event) { click_after_.push_back(event); }
  // Runs at every status write, before its pump (to change the disk mid-run).
  void OnStatus(std::function<void(const std::string& text)> hook) {
    status_hook_ = std::move(hook);
  }

  // One line per event: "show", "unload", "status 1 <text>", "status 2
  // <text>", "pump", "click", "cancel off", "box <style> <title> | <text>",
  // "answer 6", "error 76 <text>[ | <path>]", "end <name>".
  const std::vector<std::string>& Transcript() const { return transcript_; }
  // How many events begin with `start`.
  size_t Count(const std::string& start) const;

  void Show() override;
  void Unload() override;
  void SetStatusText(platform::StatusLine line, const std::string& text) override;
  void SetCancelEnabled(bool enabled) override;
  void ProcessPendingEvents() override;
  int32_t MessageBox(const std::string& text, int32_t style, const std::string& title) override;
  void ReportUnhandledError(int32_t number, const std::string& text,
                            const std::string& path) override;
  void ReportEnding(platform::Ending ending) override;

 private:
  void Record(std::string event);

  std::deque<int32_t> answers_;
  int32_t pending_clicks_ = 0;
  std::vector<std::string> click_after_;
  std::function<void(const std::string&)> status_hook_;
  std::vector<std::string> transcript_;
  bool shown_ = false;
  bool unloaded_ = false;
  bool cancel_enabled_ = true;
};

}  // namespace lumbrel_test
