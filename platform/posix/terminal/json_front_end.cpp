#include "platform/posix/terminal/json_front_end.h"

#include <utility>

#include "platform/message_box.h"
#include "platform/posix/terminal/answer_parser.h"
#include "platform/posix/terminal/json_writer.h"
#include "platform/posix/terminal/terminal_interrupt.h"
#include "platform/posix/terminal/terminal_text.h"

namespace platform::posix {
namespace {

constexpr std::chrono::milliseconds kWriteOutInterval{50};
// A fast walk makes hundreds of kilobytes of status lines in 50 ms; writing
// out at this size keeps the buffer small.
constexpr size_t kWriteOutSize = 32 * 1024;

}  // namespace

JsonFrontEnd::JsonFrontEnd(std::FILE* in, std::FILE* out, std::FILE* err, Clock clock)
    : in_(in), out_(out), err_(err), clock_(std::move(clock)), last_write_out_(clock_()) {
  InstallInterruptHandler();
}

JsonFrontEnd::~JsonFrontEnd() {
  SetInterruptIsClick(false);
  WriteOut();
}

void JsonFrontEnd::Show() {
  if (shown_) return;
  shown_ = true;
  SetInterruptIsClick(true);
  JsonLine("window", pending_).Add("state", "shown").End();
}

void JsonFrontEnd::Unload() {
  if (!shown_) return;
  shown_ = false;
  SetInterruptIsClick(false);
  JsonLine("window", pending_).Add("state", "closed").End();
  WriteOut();
}

void JsonFrontEnd::SetStatusText(StatusLine line, const std::string& text) {
  // The event of every file a search examines: its fixed part goes over whole.
  pending_ += line == StatusLine::kMessage ? R"({"event":"status","line":1,"text":)"
                                           : R"({"event":"status","line":2,"text":)";
  AppendJsonString(pending_, text);
  pending_ += "}\n";
  if (pending_.size() >= kWriteOutSize || clock_() - last_write_out_ >= kWriteOutInterval) {
    WriteOut();
  }
  status_just_written_ = true;
}

void JsonFrontEnd::SetCancelEnabled(bool enabled) {
  cancel_enabled_ = enabled;
  JsonLine("cancel-button", pending_).Add("enabled", enabled).End();
}

void JsonFrontEnd::ProcessPendingEvents() {
  // Right after a status write the clock was just read. Any other pump comes
  // from long work that writes nothing (a walk through folders without files,
  // a long copy): what waits goes out once due, so the last line shown (the
  // document being copied) does not wait for the work's end.
  if (!std::exchange(status_just_written_, false) &&
      clock_() - last_write_out_ >= kWriteOutInterval) {
    WriteOut();
  }
  if (TakeInterrupt() && shown_ && cancel_enabled_) DeliverCancelClick();
}

int32_t JsonFrontEnd::MessageBox(const std::string& text, int32_t style, const std::string& title) {
  JsonLine("box", pending_).Add("title", title).Add("style", style).Add("text", text).End();
  int32_t code = kAnswerOk;
  if (ButtonsOf(style).size() > 1) {
    for (;;) {
      WriteOut();
      const std::optional<AnswerLine> line = ReadAnswerLine([this] { return std::fgetc(in_); });
      if (!line) {
        WriteOut();
        throw ProgramEnd{Ending::kInputClosed};
      }
      if (auto answer = ParseAnswer(*line, style)) {
        code = *answer;
        break;
      }
      JsonLine("invalid-answer", pending_).Add("text", line->text).End();
    }
  }
  JsonLine("answer", pending_).Add("code", code).End();
  WriteOut();
  return code;
}

void JsonFrontEnd::ReportUnhandledError(int32_t number, const std::string& text,
                                        const std::string& path) {
  JsonLine event("error", pending_);
  event.Add("number", number).Add("text", text);
  if (!path.empty()) event.Add("path", path);
  event.End();
  WriteOut();
  std::fputs(UnhandledErrorReport(number, text, path).c_str(), err_);
  std::fflush(err_);
}

void JsonFrontEnd::ReportEnding(Ending ending) {
  // The end event is the last one: a reader stops there, so the window
  // closes first.
  Unload();
  JsonLine("end", pending_).Add("ending", EndingName(ending)).End();
  WriteOut();
}

void JsonFrontEnd::WriteOut() {
  last_write_out_ = clock_();
  if (pending_.empty()) return;
  std::fwrite(pending_.data(), 1, pending_.size(), out_);
  std::fflush(out_);
  pending_.clear();
}

}  // namespace platform::posix
