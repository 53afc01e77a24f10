#include "platform/unix/json_front_end.h"

#include "platform/message_box.h"
#include "platform/unix/answer_parser.h"
#include "platform/unix/json_writer.h"
#include "platform/unix/terminal_interrupt.h"

namespace platform::posix {
namespace {

constexpr std::chrono::milliseconds kWriteOutInterval{50};

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
  Emit(JsonLine("window").Add("state", "shown").Finish());
}

void JsonFrontEnd::Unload() {
  if (!shown_) return;
  shown_ = false;
  SetInterruptIsClick(false);
  Emit(JsonLine("window").Add("state", "closed").Finish());
  WriteOut();
}

void JsonFrontEnd::SetStatusText(StatusLine line, const std::string& text) {
  Emit(JsonLine("status").Add("line", static_cast<int32_t>(line)).Add("text", text).Finish());
  if (clock_() - last_write_out_ >= kWriteOutInterval) WriteOut();
}

void JsonFrontEnd::SetCancelEnabled(bool enabled) {
  cancel_enabled_ = enabled;
  Emit(JsonLine("cancel-button").Add("enabled", enabled).Finish());
}

void JsonFrontEnd::ProcessPendingEvents() {
  if (TakeInterrupt() && shown_ && cancel_enabled_) DeliverCancelClick();
}

int32_t JsonFrontEnd::MessageBox(const std::string& text, int32_t style, const std::string& title) {
  Emit(JsonLine("box").Add("title", title).Add("style", style).Add("text", text).Finish());
  int32_t code = kAnswerOk;
  if (ButtonsOf(style).size() > 1) {
    for (;;) {
      WriteOut();
      std::string line;
      if (!ReadLine(line)) {
        WriteOut();
        throw ProgramEnd{Ending::kInputClosed};
      }
      if (auto answer = ParseAnswer(line, style)) {
        code = *answer;
        break;
      }
      Emit(JsonLine("invalid-answer").Add("text", line).Finish());
    }
  }
  Emit(JsonLine("answer").Add("code", code).Finish());
  WriteOut();
  return code;
}

void JsonFrontEnd::ReportUnhandledError(int32_t number, const std::string& text) {
  Emit(JsonLine("error").Add("number", number).Add("text", text).Finish());
  WriteOut();
  std::fprintf(err_, "Run-time error '%d':\n\n%s\n", number, text.c_str());
  std::fflush(err_);
}

void JsonFrontEnd::ReportEnding(Ending ending) {
  Emit(JsonLine("end").Add("ending", EndingName(ending)).Finish());
  WriteOut();
}

void JsonFrontEnd::WriteOut() {
  last_write_out_ = clock_();
  if (pending_.empty()) return;
  std::fwrite(pending_.data(), 1, pending_.size(), out_);
  std::fflush(out_);
  pending_.clear();
}

bool JsonFrontEnd::ReadLine(std::string& line) {
  line.clear();
  int c = 0;
  while ((c = std::fgetc(in_)) != EOF && c != '\n') line += static_cast<char>(c);
  return c == '\n' || !line.empty();
}

}  // namespace platform::posix
