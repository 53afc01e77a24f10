#include "platform/unix/json_front_end.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/message_box.h"

namespace platform::posix {
namespace {

using std::chrono::milliseconds;
using TimePoint = std::chrono::steady_clock::time_point;

// A front-end reading `input`, its output and error report in memory, on a
// clock the test moves by hand.
class JsonFrontEndTest : public ::testing::Test {
 protected:
  void Start(const std::string& input) {
    input_ = input;
    in_ =
        input_.empty() ? std::fopen("/dev/null", "r") : fmemopen(input_.data(), input_.size(), "r");
    out_ = open_memstream(&out_data_, &out_size_);
    err_ = open_memstream(&err_data_, &err_size_);
    front_end_ = std::make_unique<JsonFrontEnd>(in_, out_, err_, [this] { return now_; });
    front_end_->SetCancelHandler([this] { ++clicks_; });
  }

  void TearDown() override {
    front_end_.reset();
    std::fclose(in_);
    std::fclose(out_);
    std::fclose(err_);
    std::free(out_data_);
    std::free(err_data_);
  }

  // Everything the front-end has written out so far.
  std::string Out() {
    std::fflush(out_);
    return std::string(out_data_, out_size_);
  }
  std::string Err() {
    std::fflush(err_);
    return std::string(err_data_, err_size_);
  }

  std::string input_;
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  std::FILE* err_ = nullptr;
  char* out_data_ = nullptr;
  size_t out_size_ = 0;
  char* err_data_ = nullptr;
  size_t err_size_ = 0;
  TimePoint now_{};
  int clicks_ = 0;
  std::unique_ptr<JsonFrontEnd> front_end_;
};

TEST_F(JsonFrontEndTest, ARunReadsAsOneObjectPerLine) {
  Start("maybe\nY\nno\n");
  EXPECT_EQ(front_end_->MessageBox("Repair?", 36, "Quarnel Lumbrel Restore"), kAnswerYes);
  EXPECT_EQ(front_end_->MessageBox("Close Quarnel.", 48, "Quarnel Lumbrel Restore"), kAnswerOk);
  front_end_->Show();
  front_end_->Show();
  front_end_->SetStatusText(StatusLine::kMain, "Welcome\r\n\r\nPlease wait...");
  front_end_->SetStatusText(StatusLine::kDetail, "");
  front_end_->SetCancelEnabled(false);
  EXPECT_EQ(front_end_->MessageBox("Search all drives?", 52, "Quarnel"), kAnswerNo);
  // The window closes before the end event, which is the last one.
  front_end_->ReportEnding(Ending::kNotInstalled);
  EXPECT_EQ(Out(),
            "{\"event\":\"box\",\"title\":\"Quarnel Lumbrel Restore\",\"style\":36,"
            "\"text\":\"Repair?\"}\n"
            "{\"event\":\"invalid-answer\",\"text\":\"maybe\"}\n"
            "{\"event\":\"answer\",\"code\":6}\n"
            "{\"event\":\"box\",\"title\":\"Quarnel Lumbrel Restore\",\"style\":48,"
            "\"text\":\"Close Quarnel.\"}\n"
            "{\"event\":\"answer\",\"code\":1}\n"
            "{\"event\":\"window\",\"state\":\"shown\"}\n"
            "{\"event\":\"status\",\"line\":1,\"text\":\"Welcome\\r\\n\\r\\nPlease wait...\"}\n"
            "{\"event\":\"status\",\"line\":2,\"text\":\"\"}\n"
            "{\"event\":\"cancel-button\",\"enabled\":false}\n"
            "{\"event\":\"box\",\"title\":\"Quarnel\",\"style\":52,"
            "\"text\":\"Search all drives?\"}\n"
            "{\"event\":\"answer\",\"code\":7}\n"
            "{\"event\":\"window\",\"state\":\"closed\"}\n"
            "{\"event\":\"end\",\"ending\":\"not-installed\"}\n");
}

TEST_F(JsonFrontEndTest, StatusEventsAreWrittenOutEveryFiftyMilliseconds) {
  Start("");
  front_end_->Show();
  front_end_->SetStatusText(StatusLine::kDetail, "C:\\a");
  now_ += milliseconds(49);
  front_end_->SetStatusText(StatusLine::kDetail, "C:\\b");
  EXPECT_EQ(Out(), "");
  now_ += milliseconds(1);
  front_end_->SetStatusText(StatusLine::kDetail, "C:\\c");
  std::string written = Out();
  EXPECT_NE(written.find("C:\\\\c"), std::string::npos) << written;
  // The clock starts again at each write-out.
  now_ += milliseconds(30);
  front_end_->SetStatusText(StatusLine::kDetail, "C:\\d");
  EXPECT_EQ(Out(), written);
}

TEST_F(JsonFrontEndTest, StatusEventsAreWrittenOutOnceThirtyTwoKilobytesWait) {
  Start("");
  const std::string path = "C:\\" + std::string(100, 'p');
  const std::string line =
      "{\"event\":\"status\",\"line\":2,\"text\":\"C:\\\\" + std::string(100, 'p') + "\"}\n";
  const size_t lines_below = (32 * 1024 - 1) / line.size();
  for (size_t i = 0; i < lines_below; ++i) front_end_->SetStatusText(StatusLine::kDetail, path);
  EXPECT_EQ(Out(), "");
  // The clock stands still: size alone writes the whole lines out.
  front_end_->SetStatusText(StatusLine::kDetail, path);
  std::string expected;
  for (size_t i = 0; i <= lines_below; ++i) expected += line;
  EXPECT_EQ(Out(), expected);
  front_end_->SetStatusText(StatusLine::kDetail, path);
  EXPECT_EQ(Out(), expected);
}

TEST_F(JsonFrontEndTest, InputThatEndsBeforeAnAnswerEndsTheProgram) {
  Start("perhaps");
  try {
    front_end_->MessageBox("Repair?", 36, "T");
    FAIL() << "the box returned without an answer";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.ending, Ending::kInputClosed);
  }
  EXPECT_EQ(Out(),
            "{\"event\":\"box\",\"title\":\"T\",\"style\":36,\"text\":\"Repair?\"}\n"
            "{\"event\":\"invalid-answer\",\"text\":\"perhaps\"}\n");
}

TEST_F(JsonFrontEndTest, ALineOverOneKibibyteIsAnInvalidAnswerAndIsNotKept) {
  Start("y" + std::string(1023, ' ') + "\ny" + std::string(4096, ' ') + "\nn\n");
  EXPECT_EQ(front_end_->MessageBox("Repair?", 36, "T"), kAnswerYes);
  EXPECT_EQ(front_end_->MessageBox("Repair?", 36, "T"), kAnswerNo);
  EXPECT_NE(Out().find("invalid-answer"), std::string::npos);
  EXPECT_LT(Out().size(), 1300u);
}

TEST_F(JsonFrontEndTest, ALastLineWithoutNewlineStillAnswers) {
  Start("cancel");
  EXPECT_EQ(front_end_->MessageBox("Go on?", 1, "T"), kAnswerCancel);
}

TEST_F(JsonFrontEndTest, UnhandledErrorIsReportedOnBothStreams) {
  Start("");
  front_end_->ReportUnhandledError(76, "Path not found");
  EXPECT_EQ(Err(), "Run-time error '76':\n\nPath not found\n");
  EXPECT_EQ(Out(), "{\"event\":\"error\",\"number\":76,\"text\":\"Path not found\"}\n");
}

TEST_F(JsonFrontEndTest, CtrlCIsAClickDeliveredAtTheNextPump) {
  Start("y\n");
  front_end_->Show();
  std::raise(SIGINT);
  EXPECT_EQ(clicks_, 0);
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);

  // Held while a box waits for its answer.
  std::raise(SIGINT);
  EXPECT_EQ(front_end_->MessageBox("Stop?", 36, "T"), kAnswerYes);
  EXPECT_EQ(clicks_, 1);
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 2);

  // Dropped while Cancel is disabled.
  front_end_->SetCancelEnabled(false);
  std::raise(SIGINT);
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 2);
}

TEST_F(JsonFrontEndTest, CtrlCBeforeTheWindowIsShownEndsTheProgram) {
  Start("");
  EXPECT_EXIT(std::raise(SIGINT), ::testing::KilledBySignal(SIGINT), "");
}

}  // namespace
}  // namespace platform::posix
