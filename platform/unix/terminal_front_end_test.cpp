#include "platform/unix/terminal_front_end.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/message_box.h"
#include "platform/unix/answer_parser.h"
#include "platform/unix/terminal_panel.h"
#include "platform/unix/terminal_text.h"

namespace platform::posix {
namespace {

using Lines = std::vector<std::string>;

TEST(TerminalTextTest, LineBreaksStartLinesAndLongLinesWrapAtSpaces) {
  EXPECT_EQ(WrapText("Welcome\r\n\r\nPlease wait...", 20),
            (Lines{"Welcome", "", "Please wait..."}));
  EXPECT_EQ(WrapText("one two three four", 9), (Lines{"one two", "three", "four"}));
  EXPECT_EQ(WrapText("a\nb\rc", 5), (Lines{"a", "b", "c"}));
  EXPECT_EQ(WrapText("", 10), Lines{});
}

TEST(TerminalTextTest, LongWordsBreakAndNothingSteersTheTerminal) {
  EXPECT_EQ(WrapText("C:\\Program Files\\Quarnel\\QUARN.exe", 10),
            (Lines{"C:\\Program", "Files\\Quar", "nel\\QUARN.", "exe"}));
  EXPECT_EQ(WrapText("a\x1b[2Jb\tc", 20), (Lines{"a?[2Jb c"}));
  EXPECT_EQ(WrapText("f\xC3\xBCr \xE9", 20), (Lines{"f\xC3\xBCr \xEF\xBF\xBD"}));
  // Width counts characters, not bytes.
  EXPECT_EQ(WrapText("\xC3\xBC\xC3\xBC\xC3\xBC", 3), (Lines{"\xC3\xBC\xC3\xBC\xC3\xBC"}));
}

TEST(TerminalPanelTest, EveryLineFillsTheWidthAndTheLayoutHoldsStill) {
  PanelContent empty;
  Lines panel = ComposePanel(empty, 40);
  ASSERT_EQ(panel.size(), 16u);
  for (const std::string& line : panel) EXPECT_EQ(DisplayWidth(line), 40u) << line;
  EXPECT_EQ(panel[0].find("Quarnel Lumbrel Restore"), 4u);
  EXPECT_NE(panel[1].find("Quarnel"), std::string::npos);
  EXPECT_NE(panel[2].find("Lumbrel Restore"), std::string::npos);
  EXPECT_NE(panel[14].find("[ Cancel ]"), std::string::npos);

  PanelContent busy{"Copying New Documents...\r\n\r\nC:\\Program Files\\Quarnel",
                    "C:\\a\\very\\long\\path\\that\\does\\not\\fit\\in\\one\\line.qdc", false};
  Lines shown = ComposePanel(busy, 40);
  EXPECT_EQ(shown.size(), 16u);
  EXPECT_EQ(shown[4], "| Copying New Documents...             |");
  EXPECT_EQ(shown[5], "|                                      |");
  EXPECT_EQ(shown[6], "| C:\\Program Files\\Quarnel             |");
  EXPECT_EQ(shown[10], "| C:\\a\\very\\long\\path\\that\\does\\not\\fi |");
  EXPECT_EQ(shown[11], "| t\\in\\one\\line.qdc                    |");
  EXPECT_EQ(shown[14].find("[ Cancel ]"), std::string::npos);
  for (const std::string& line : shown) EXPECT_EQ(DisplayWidth(line), 40u) << line;
}

// A terminal front-end whose keys come through a pipe and whose screen is
// kept in memory.
class TerminalFrontEndTest : public ::testing::Test {
 protected:
  void Start(bool keys) {
    ASSERT_EQ(pipe(pipe_), 0);
    out_ = open_memstream(&out_data_, &out_size_);
    TerminalOptions options{pipe_[0], out_, out_, keys, 40};
    front_end_ = std::make_unique<TerminalFrontEnd>(options);
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
    close(pipe_[0]);
    if (pipe_[1] >= 0) close(pipe_[1]);
    std::fclose(out_);
    std::free(out_data_);
  }

  int pipe_[2] = {-1, -1};
  std::FILE* out_ = nullptr;
  char* out_data_ = nullptr;
  size_t out_size_ = 0;
  int clicks_ = 0;
  std::unique_ptr<TerminalFrontEnd> front_end_;
};

TEST_F(TerminalFrontEndTest, EscapeIsAClickButAnArrowKeyIsNot) {
  Start(true);
  front_end_->Show();
  Type("\x1b[A");
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 0);
  Type("\x1b");
  EXPECT_EQ(clicks_, 0);
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
  front_end_->SetCancelEnabled(false);
  Type("\x1b");
  front_end_->ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
}

TEST_F(TerminalFrontEndTest, StatusWritesRedrawThePanelInPlace) {
  Start(true);
  front_end_->Show();
  size_t before = Screen().size();
  front_end_->SetStatusText(StatusLine::kMain, "Analyzing your system, Please wait...");
  std::string redraw = Screen().substr(before);
  // Up over the 16 lines of the panel, clear, draw again.
  EXPECT_EQ(redraw.rfind("\r\x1b[16A\x1b[J", 0), 0u) << redraw;
  EXPECT_NE(redraw.find("| Analyzing your system, Please        |\n| wait..."), std::string::npos);
  front_end_->Unload();
  EXPECT_EQ(Screen().substr(Screen().size() - 9), "\r\x1b[16A\x1b[J");
}

TEST_F(TerminalFrontEndTest, BoxesTakeOneKeyAndEnterTakesTheFirstButton) {
  Start(true);
  // 38 characters fill a line beside the indent at width 40; the question
  // and its record wrap alike.
  const std::string filled = "Your documents are safe in C:\\Backups.";
  Type("y");
  EXPECT_EQ(front_end_->MessageBox(filled + " Go on?", 36, "Q"), kAnswerYes);
  const std::string wrapped = "Q\n  " + filled + "\n  Go on?\n  ";
  EXPECT_NE(Screen().find(wrapped + "Yes / No (Enter: Yes) "), std::string::npos) << Screen();
  EXPECT_NE(Screen().find(wrapped + "> Yes\n"), std::string::npos) << Screen();
  Type("xn");
  EXPECT_EQ(front_end_->MessageBox("Repair now?", 36, "Quarnel Lumbrel Restore"), kAnswerNo);
  Type("\n");
  EXPECT_EQ(front_end_->MessageBox("Repair now?", 36, "Quarnel Lumbrel Restore"), kAnswerYes);
  Type("\r");
  EXPECT_EQ(front_end_->MessageBox("Done.", 64, "Quarnel"), kAnswerOk);
  Type("\x1b");
  EXPECT_EQ(front_end_->MessageBox("Go on?", 1, "Quarnel"), kAnswerCancel);
  std::string screen = Screen();
  EXPECT_NE(screen.find("Yes / No (Enter: Yes)"), std::string::npos);
  EXPECT_NE(screen.find("Quarnel Lumbrel Restore\n  Repair now?\n  > No\n"), std::string::npos);
  EXPECT_NE(screen.find("Quarnel\n  Done.\n  > OK\n"), std::string::npos);
  EndInput();
  try {
    front_end_->MessageBox("Repair now?", 36, "Q");
    FAIL() << "a box was answered after the input ended";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.ending, Ending::kInputClosed);
  }
}

TEST_F(TerminalFrontEndTest, WithoutAKeyboardBoxesReadLines) {
  Start(false);
  // A line over 1 KiB is no answer, whatever it starts with.
  Type("y" + std::string(kMaxAnswerLine, ' ') + "\nNO\n");
  EXPECT_EQ(front_end_->MessageBox("Done.", 64, "Quarnel"), kAnswerOk);  // reads nothing
  EXPECT_EQ(front_end_->MessageBox("Repair now?", 4, "Q"), kAnswerNo);
  EXPECT_NE(Screen().find("Please answer Yes / No"), std::string::npos);
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
    front_end->Show();
    const int32_t first = front_end->MessageBox("Repair now?", 36, "Q");
    const int32_t second = front_end->MessageBox("Go on?", 1, "Q");
    front_end->Unload();
    termios after{};
    tcgetattr(STDIN_FILENO, &after);
    std::printf("answers %d %d, settings back %d\n", first, second,
                after.c_lflag == before.c_lflag);
    std::fflush(stdout);
    _exit(0);
  }
  std::string screen;
  // Reads the terminal until `text` shows, for at most five seconds.
  const auto await = [&](const std::string& text) {
    pollfd ready{terminal, POLLIN, 0};
    char block[4096];
    ssize_t got = 0;
    while (screen.find(text) == std::string::npos && poll(&ready, 1, 5000) > 0 &&
           (got = read(terminal, block, sizeof block)) > 0) {
      screen.append(block, static_cast<size_t>(got));
    }
    return screen.find(text) != std::string::npos;
  };
  EXPECT_TRUE(await("(Enter: Yes) ")) << screen;
  ASSERT_EQ(write(terminal, "n", 1), 1);
  EXPECT_TRUE(await("(Enter: OK) ")) << screen;
  ASSERT_EQ(write(terminal, "\x1b", 1), 1);
  EXPECT_TRUE(await("answers 7 2, settings back 1")) << screen;
  EXPECT_NE(screen.find("(Enter: Yes) \r\n"), std::string::npos) << "the key was echoed";
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(terminal);
}

}  // namespace
}  // namespace platform::posix
