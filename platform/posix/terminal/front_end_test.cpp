// The two front-ends of Linux: the framed panel on a terminal and JSON lines
// through pipes.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/message_box.h"
#include "platform/posix/terminal/answer_parser.h"
#include "platform/posix/terminal/json_front_end.h"
#include "platform/posix/terminal/terminal_front_end.h"
#include "platform/posix/terminal/terminal_text.h"

namespace platform::posix {
namespace {

using Lines = std::vector<std::string>;

TEST(TerminalTextTest, NothingThatSteersTheTerminalIsShownAndWidthCountsCharacters) {
  EXPECT_EQ(WrapText("a\x1b[2Jb\tc\xE9", 20), (Lines{"a?[2Jb c\xEF\xBF\xBD"}));
  EXPECT_EQ(WrapText("\xC3\xBC\xC3\xBC\xC3\xBC", 3), (Lines{"\xC3\xBC\xC3\xBC\xC3\xBC"}));
  EXPECT_EQ(WrapText("a\r\nb\rc\n\nd", 5), (Lines{"a", "b", "c", "", "d"}));  // as boxes break
}

// A front-end whose input comes through a pipe and whose output, the error
// report too, is kept in memory; the JSON front-end's clock moves by hand.
class FrontEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(pipe(pipe_), 0);
    out_ = open_memstream(&out_data_, &out_size_);
  }
  void StartTerminal(bool keys) {
    Use(std::make_unique<TerminalFrontEnd>(TerminalOptions{pipe_[0], out_, out_, keys, 40}));
  }
  void StartJson(const std::string& input = "") {
    Type(input);
    in_ = fdopen(pipe_[0], "r");
    Use(std::make_unique<JsonFrontEnd>(in_, out_, out_, [this] { return now_; }));
  }
  void Use(std::unique_ptr<FrontEnd> front_end) {
    front_end_ = std::move(front_end);
    front_end_->SetCancelHandler([this] { ++clicks_; });
  }
  void Type(const std::string& keys) {
    ASSERT_EQ(write(pipe_[1], keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  void EndInput() {
    close(pipe_[1]);
    pipe_[1] = -1;
  }
  std::string Screen() {
    std::fflush(out_);
    return std::string(out_data_, out_size_);
  }
  void TearDown() override {
    front_end_.reset();
    in_ != nullptr ? std::fclose(in_) : close(pipe_[0]);
    if (pipe_[1] >= 0) close(pipe_[1]);
    std::fclose(out_);
    std::free(out_data_);
  }

  int pipe_[2] = {-1, -1};
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  char* out_data_ = nullptr;
  size_t out_size_ = 0;
  std::chrono::steady_clock::time_point now_{};
  int clicks_ = 0;
  std::unique_ptr<FrontEnd> front_end_;
};

TEST_F(FrontEndTest, ThePanelIsRedrawnInPlaceAndEscapeAloneIsAClick) {
  StartTerminal(true);
  front_end_->Show();
  const size_t before = Screen().size();
  front_end_->SetStatusText(StatusLine::kMessage, "Analyzing your system, Please wait...");
  front_end_->SetStatusText(StatusLine::kMessage2, "Dokumente f\xC3\xBCr Quarnel");
  const std::string redraw = Screen().substr(before);
  // Up over the 16 lines of the panel, clear, draw again, each line as wide.
  EXPECT_EQ(redraw.rfind("\r\x1b[16A\x1b[J+-- Quarnel Lumbrel Restore -----------+\n", 0), 0u);
  EXPECT_NE(redraw.find("| Analyzing your system, Please        |\n| wait..."), std::string::npos);
  EXPECT_NE(redraw.find("| Dokumente f\xC3\xBCr Quarnel                |"), std::string::npos)
      << redraw;
  EXPECT_NE(redraw.find("|            [ Cancel ]  Esc or Ctrl-C |"), std::string::npos);
  Type("\x1b[A");  // an arrow key
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 0);
  Type("\x1b");
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
  front_end_->SetCancelEnabled(false);
  EXPECT_NE(Screen().rfind("|              Cancel    (unavailable) |"), std::string::npos);
  Type("\x1b");
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
  front_end_->Unload();
  EXPECT_EQ(Screen().substr(Screen().size() - 9), "\r\x1b[16A\x1b[J");
}

TEST_F(FrontEndTest, BoxesTakeOneKeyAndRecordTheQuestionAsItWasShown) {
  StartTerminal(true);
  front_end_->Show();
  // 38 characters fill a line beside the indent; question and record wrap alike.
  const std::string filled = "Your documents are safe in C:\\Backups.";
  Type("xn\n\r");
  EXPECT_EQ(front_end_->MessageBox(filled + " Go on?", 36, "Q"), kAnswerNo);
  const std::string wrapped = "Q\n  " + filled + "\n  Go on?\n  ";
  EXPECT_NE(Screen().find(wrapped + "Yes / No (Enter: Yes) "), std::string::npos) << Screen();
  EXPECT_NE(Screen().find(wrapped + "> No\n\n+-- Quarnel"), std::string::npos) << Screen();
  EXPECT_EQ(front_end_->MessageBox("Repair now?", 36, "Q"), kAnswerYes);
  EXPECT_EQ(front_end_->MessageBox("Done.", 64, "Q"), kAnswerOk);
  EXPECT_NE(Screen().find("Q\n  Done.\n  OK (Enter) \n"), std::string::npos) << Screen();
  EXPECT_NE(Screen().find("Q\n  Done.\n  > OK\n"), std::string::npos) << Screen();
  EndInput();
  EXPECT_THROW(front_end_->MessageBox("Repair now?", 36, "Q"), ProgramEnd);
}

TEST_F(FrontEndTest, WithoutAKeyboardBoxesReadLines) {
  StartTerminal(false);
  // A line over 1 KiB is no answer, whatever it starts with.
  Type("y" + std::string(1024, ' ') + "\nNO\n");
  EXPECT_EQ(front_end_->MessageBox("Done.", 64, "Quarnel"), kAnswerOk);  // reads nothing
  EXPECT_EQ(front_end_->MessageBox("Repair now?", 4, "Q"), kAnswerNo);
  EXPECT_NE(Screen().find("Please answer Yes / No"), std::string::npos);
}

// JSON event formats, invalid and overlong answers and the input's end are
// decided by the end-to-end runs; these cases decide order, buffering,
// interrupts and the escapes few texts need.
TEST_F(FrontEndTest, JsonInvalidAnswersAreToldAndTheEndEventComesLast) {
  StartJson("maybe\n\tY \n");
  EXPECT_EQ(front_end_->MessageBox("Re\bpa\fir?", 36, "T"), kAnswerYes);
  // A stray byte is no character: it reads as U+FFFD.
  EXPECT_EQ(front_end_->MessageBox("Done.", 48, "T\x80"), kAnswerOk);  // reads nothing
  front_end_->Show();
  front_end_->Show();
  front_end_->ReportUnhandledError(76, "Path not found", "");
  front_end_->ReportEnding(Ending::kError);
  EXPECT_EQ(Screen(),
            "{\"event\":\"box\",\"title\":\"T\",\"style\":36,\"text\":\"Re\\bpa\\fir?\"}\n"
            "{\"event\":\"invalid-answer\",\"text\":\"maybe\"}\n"
            "{\"event\":\"answer\",\"code\":6}\n"
            "{\"event\":\"box\",\"title\":\"T\\ufffd\",\"style\":48,\"text\":\"Done.\"}\n"
            "{\"event\":\"answer\",\"code\":1}\n"
            "{\"event\":\"window\",\"state\":\"shown\"}\n"
            "{\"event\":\"error\",\"number\":76,\"text\":\"Path not found\"}\n"
            "Run-time error '76':\n\nPath not found\n"
            "{\"event\":\"window\",\"state\":\"closed\"}\n"
            "{\"event\":\"end\",\"ending\":\"error\"}\n");
}

// Long work that writes no status still names its document: a pump writes
// out what waits once it is due.
TEST_F(FrontEndTest, JsonStatusEventsWaitForAWriteOutThatIsDue) {
  StartJson();
  front_end_->SetStatusText(StatusLine::kMessage2, "C:\\a");
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(Screen(), "");
  now_ += std::chrono::milliseconds(50);
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(Screen(), "{\"event\":\"status\",\"line\":2,\"text\":\"C:\\\\a\"}\n");
}

TEST_F(FrontEndTest, JsonCtrlCIsAClickDeliveredOnceAtTheNextPump) {
  StartJson();
  front_end_->Show();
  std::raise(SIGINT);
  EXPECT_EQ(clicks_, 0);
  front_end_->ProcessPendingEvents();
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
  // Dropped while Cancel is disabled.
  front_end_->SetCancelEnabled(false);
  std::raise(SIGINT);
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
}

TEST_F(FrontEndTest, CtrlCEndsTheProgramOnceTheWindowIsGone) {
  StartTerminal(false);
  front_end_->Show();
  front_end_.reset();
  EXPECT_EXIT(std::raise(SIGINT), ::testing::KilledBySignal(SIGINT), "");
}

// The program's own front-end on a real terminal: a box takes one key,
// unechoed and without Enter, Escape cancels, and the settings come back.
TEST(TerminalKeysTest, OnAPseudoTerminalOneKeyAnswersAndTheSettingsComeBack) {
  std::fflush(nullptr);
  int terminal = -1;
  winsize size{24, 40, 0, 0};
  const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
  ASSERT_GE(child, 0);
  if (child == 0) {
    termios before{};
    tcgetattr(STDIN_FILENO, &before);
    std::unique_ptr<FrontEnd> front_end = CreateFrontEnd();
    // Asked before the window shows, as consent is, and then beside it.
    const int32_t first = front_end->MessageBox("Repair now?", 36, "Q");
    front_end->Show();
    const int32_t second = front_end->MessageBox("Go on?", 1, "Q");
    front_end->Unload();
    termios after{};
    tcgetattr(STDIN_FILENO, &after);
    std::printf("answers %d %d, settings back %d\n", first, second,
                after.c_lflag == before.c_lflag);
    std::fflush(stdout);
    _exit(0);
  }
  // Each key is typed once the terminal takes single keys, for at most five
  // seconds; what the child writes is read meanwhile.
  std::string screen;
  const auto type_in_key_mode = [&](const char* key, const char* shown) {
    termios mode{};
    char block[4096];
    for (int wait = 0; wait < 500; ++wait) {
      pollfd ready{terminal, POLLIN, 0};
      if (poll(&ready, 1, 10) > 0) {
        const ssize_t got = read(terminal, block, sizeof block);
        if (got > 0) screen.append(block, static_cast<size_t>(got));
      }
      if (screen.find(shown) != std::string::npos && tcgetattr(terminal, &mode) == 0 &&
          (mode.c_lflag & (ICANON | ECHO)) == 0) {
        return write(terminal, key, 1) == 1;
      }
    }
    return false;
  };
  const bool typed = type_in_key_mode("n", "Repair now?") && type_in_key_mode("\x1b", "Go on?");
  EXPECT_TRUE(typed) << "a box took no single keys:\n" << screen;
  if (!typed) kill(child, SIGKILL);
  char block[4096];
  for (ssize_t got = 0; (got = read(terminal, block, sizeof block)) > 0;) {
    screen.append(block, static_cast<size_t>(got));
  }
  waitpid(child, nullptr, 0);
  close(terminal);
  EXPECT_NE(screen.find("+-- Quarnel Lumbrel Restore -----------+"), std::string::npos);  // 40 wide
  EXPECT_NE(screen.find("(Enter: Yes) \r\n"), std::string::npos) << "the key was echoed";
  EXPECT_NE(screen.find("answers 7 2, settings back 1"), std::string::npos) << screen;
}

}  // namespace
}  // namespace platform::posix
