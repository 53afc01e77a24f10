#pragma once

// The front-end for a program whose standard output is not a terminal: one
// JSON object per line per event, for scripts and deployment tools.
//
//   {"event":"window","state":"shown"} / "closed"
//   {"event":"status","line":1,"text":"..."}        (2: the detail line)
//   {"event":"cancel-button","enabled":false}
//   {"event":"box","title":"...","style":68,"text":"..."}
//   {"event":"invalid-answer","text":"..."}          then the next line
//   {"event":"answer","code":6}
//   {"event":"error","number":76,"text":"Path not found","path":"C:\\x"}
//                                                    (no path when none is known)
//   {"event":"end","ending":"success"}
//
// Output is buffered: written before every read of an answer, at the end,
// at a status write when 50 ms have passed since the last write-out or the
// buffer holds 32 KiB, and at a pump between status writes (long work) when
// 50 ms have passed. A box with OK alone reads nothing; any other box
// reads one line per answer (see answer_parser.h).

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/front_end.h"

namespace platform::posix {

class JsonFrontEnd : public FrontEnd {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // Answers come from `in`, events go to `out`, the error report to `err`.
  JsonFrontEnd(std::FILE* in, std::FILE* out, std::FILE* err,
               Clock clock = std::chrono::steady_clock::now);
  ~JsonFrontEnd() override;

  void Show() override;
  void Unload() override;
  void SetStatusText(StatusLine line, const std::string& text) override;
  void SetCancelEnabled(bool enabled) override;
  void ProcessPendingEvents() override;
  int32_t MessageBox(const std::string& text, int32_t style, const std::string& title) override;
  void ReportUnhandledError(int32_t number, const std::string& text,
                            const std::string& path) override;
  void ReportEnding(Ending ending) override;

 private:
  void WriteOut();

  std::FILE* in_;
  std::FILE* out_;
  std::FILE* err_;
  Clock clock_;
  std::chrono::steady_clock::time_point last_write_out_;
  std::string pending_;
  bool shown_ = false;
  bool cancel_enabled_ = true;
  bool status_just_written_ = false;
};

}  // namespace platform::posix
