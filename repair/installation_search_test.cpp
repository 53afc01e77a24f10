// The whole-drive search on a staged computer: what it shows and asks, and
// the Cancel button. Which files match and in what order is decided by the
// program's transcripts (tests/golden).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/message_box.h"
#include "platform/program_end.h"
#include "tests/support/frm_main_test_peer.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_computer.h"
#include "ui/frm_main.h"

namespace {

using lumbrel_test::ScriptedFrontEnd;
using platform::StatusLine;
using Peer = frmMainTestPeer;

class SearchTest : public ::testing::Test {
 protected:
  SearchTest() {
    computer_.AddDrive('Q');
    for (const char* name : {"f1.txt", "f2.txt", "f3.txt", "Target.bin"}) {
      computer_.MakeFile(std::string("Q:\\") + name);
    }
    auto front_end = std::make_unique<ScriptedFrontEnd>();
    screen_ = front_end.get();
    form_ = std::make_unique<frmMain>(std::move(front_end));
    form_->Window().Show();
  }

  StringArray Find(const std::string& drive = "Q") {
    return Peer::FindFilesOnDrive(*form_, drive, "target.BIN");
  }
  const std::vector<std::string>& Shown() const { return screen_->History(StatusLine::kDetail); }
  // The nth question comes between the writes of `before` and `after`.
  void ExpectBoxBetween(int nth, const std::string& before, const std::string& after) {
    EXPECT_LT(At("status 2 Q:\\" + before), At("box ", nth));
    EXPECT_LT(At("box ", nth), At("status 2 Q:\\" + after));
  }
  void ExpectCancelBoxes(size_t count) {
    ASSERT_EQ(screen_->Boxes().size(), count);
    for (const auto& box : screen_->Boxes()) {
      EXPECT_EQ(box.title, "Cancel Repair?");
      EXPECT_EQ(box.style, 68);
      EXPECT_EQ(box.text,
                "Your Quarnel Lumbrel page has not been repaired.\r\n\r\n"
                "Click Yes if you want to continue the repair.\r\n"
                "Click No if you want to cancel the repair.");
    }
  }

  lumbrel_test::TestComputer computer_;
  ScriptedFrontEnd* screen_;
  std::unique_ptr<frmMain> form_;

 private:
  std::ptrdiff_t At(const std::string& start, int nth = 0) const {
    const auto& all = screen_->Transcript();
    for (size_t i = 0; i < all.size(); ++i) {
      if (all[i].rfind(start, 0) == 0 && nth-- == 0) return static_cast<std::ptrdiff_t>(i);
    }
    return static_cast<std::ptrdiff_t>(all.size());
  }
};

TEST_F(SearchTest, ADriveWithoutFilesOrThatCannotBeReadShowsNothingAndNeverAsks) {
  computer_.AddDrive('E');
  computer_.MakeFolder("E:\\only\\folders");
  computer_.AddDrive('U', "missing");
  Peer::CancelRequested(*form_) = true;
  EXPECT_TRUE(Find("E").empty());
  EXPECT_TRUE(Find("U").empty());
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(screen_->Boxes().empty());
  // The click still waits for the first file of the next drive.
  screen_->QueueAnswer(platform::kAnswerYes);
  EXPECT_EQ(Find(), StringArray{"Q:\\Target.bin"});
  ExpectCancelBoxes(1);
}

TEST_F(SearchTest, CancelThenYesGoesOnAndALaterClickAsksAgain) {
  screen_->ClickCancelWhenShown(StatusLine::kDetail, "Q:\\f1.txt");
  screen_->ClickCancelWhenShown(StatusLine::kDetail, "Q:\\f3.txt");
  screen_->QueueAnswer(platform::kAnswerYes);
  screen_->QueueAnswer(platform::kAnswerYes);
  EXPECT_EQ(Find(), StringArray{"Q:\\Target.bin"});
  ExpectCancelBoxes(2);
  ExpectBoxBetween(0, "f1.txt", "f2.txt");
  ExpectBoxBetween(1, "f3.txt", "Target.bin");
  EXPECT_EQ(Shown().size(), 4u);
  EXPECT_FALSE(Peer::CancelRequested(*form_));
  EXPECT_FALSE(screen_->Unloaded());
}

TEST_F(SearchTest, CancelThenNoUnloadsTheWindowAndEndsTheProgramAtOnce) {
  screen_->ClickCancelWhenShown(StatusLine::kDetail, "Q:\\f2.txt");
  screen_->QueueAnswer(platform::kAnswerNo);
  try {
    Find();
    FAIL() << "the search returned after a confirmed cancel";
  } catch (const platform::ProgramEnd& end) {
    EXPECT_EQ(end.ending, platform::Ending::kCancelConfirmed);
  }
  ExpectCancelBoxes(1);
  EXPECT_EQ(Shown().back(), "Q:\\f2.txt");
  EXPECT_EQ(screen_->Transcript().back(), "unload");
}

TEST_F(SearchTest, ClicksBeforeTheSearchAreAskedAboutOnceAtTheFirstFile) {
  screen_->ClickCancel();
  screen_->ClickCancel();
  Peer::ShowMessage(*form_, "Analyzing your system, Please wait...");
  ASSERT_TRUE(Peer::CancelRequested(*form_));
  screen_->QueueAnswer(platform::kAnswerYes);
  EXPECT_EQ(Find(), StringArray{"Q:\\Target.bin"});
  ExpectCancelBoxes(1);
  ExpectBoxBetween(0, "f1.txt", "f2.txt");
}

}  // namespace
