#pragma once

// A front-end driven by the test instead of a user: it records everything the
// window object shows, answers message boxes from a queue and clicks Cancel at
// moments the test chooses. Clicks follow the real window's rules: they reach
// the cancel handler only inside ProcessPendingEvents(), and only while the
// window is shown and Cancel is enabled.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/front_end.h"

namespace lumbrel_test {

// A test script that does not fit the run: a box with no answer queued, an
// answer the box has no button for. Thrown out of the run so the test fails.
struct ScriptError {
  std::string what;
};

class ScriptedFrontEnd : public platform::FrontEnd {
 public:
  struct Box {
    std::string title;
    int32_t style;
    std::string text;
  };

  // --- The script -----------------------------------------------------------
  // Answers for the coming boxes, in order (platform::MessageBoxAnswer codes).
  void QueueAnswer(int32_t code) { answers_.push_back(code); }
  // The user clicks Cancel now; the click waits for the next event pump.
  void ClickCancel() { ++pending_clicks_; }
  // A click during the pump that follows the first write of exactly `text`
  // to `line`.
  void ClickCancelWhenShown(platform::StatusLine line, const std::string& text) {
    click_texts_.push_back({line, text});
  }
  // Runs at every status write, after the text is recorded and before the
  // pump (for staging changes on disk in the middle of a run).
  void OnStatus(std::function<void(platform::StatusLine, const std::string&)> hook) {
    status_hook_ = std::move(hook);
  }

  // --- What the run showed ---------------------------------------------------
  const std::string& Text(platform::StatusLine line) const;
  // Every text written to the line, in order (the empty string included).
  const std::vector<std::string>& History(platform::StatusLine line) const;
  const std::vector<Box>& Boxes() const { return boxes_; }
  bool Shown() const { return shown_; }
  bool Unloaded() const { return unloaded_; }
  bool CancelEnabled() const { return cancel_enabled_; }
  int32_t Pumps() const { return pumps_; }
  std::optional<platform::Ending> Ending() const { return ending_; }
  // "76 Path not found" of an unhandled-error report, "76 Path not found |
  // C:\\x" when it names a path.
  std::optional<std::string> ErrorReport() const { return error_report_; }
  // One line per event: "show", "unload", "status 1 <text>", "cancel off",
  // "box <style> <title> | <text>", "answer 6", "click", "error 76 <text>",
  // "end <name>". Texts keep their CR and LF.
  const std::vector<std::string>& Transcript() const { return transcript_; }

  // --- platform::FrontEnd -------------------------------------------------------
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
  struct TextTrigger {
    platform::StatusLine line;
    std::string text;
  };

  void Click();

  std::deque<int32_t> answers_;
  int32_t pending_clicks_ = 0;
  std::vector<TextTrigger> click_texts_;
  std::function<void(platform::StatusLine, const std::string&)> status_hook_;

  std::string text_main_;
  std::string text_detail_;
  std::vector<std::string> history_main_;
  std::vector<std::string> history_detail_;
  std::vector<Box> boxes_;
  std::vector<std::string> transcript_;
  bool shown_ = false;
  bool unloaded_ = false;
  bool cancel_enabled_ = true;
  int32_t pumps_ = 0;
  std::optional<platform::Ending> ending_;
  std::optional<std::string> error_report_;
};

}  // namespace lumbrel_test
