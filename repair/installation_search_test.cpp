// The whole-drive search on a staged computer: what it shows and asks, and
// the Cancel button. Which files match and in what order is decided by the
// program's transcripts (tests/golden).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/message_box.h"
#include "platform/program_end.h"
#include "tests/support/frm_main_test_peer.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_computer.h"
#include "ui/frm_main.h"

namespace {

using lumbrel_test::ScriptedFrontEnd;
using Peer = frmMainTestPeer;

const std::string kCancelQuestion =
    "box 68 Cancel Repair? | Your Quarnel Lumbrel page has not been repaired.\r\n\r\n"
    "Click Yes if you want to continue the repair.\r\n"
    "Click No if you want to cancel the repair.";

class SearchTest : public ::testing::Test {
 protected:
  SearchTest() : form_(std::make_unique<ScriptedFrontEnd>()) {
    computer_.AddDrive('Q');
    for (const char* name : {"f1.txt", "f2.txt", "f3.txt", "Target.bin"}) {
      computer_.MakeFile(std::string("Q:\\") + name);
    }
    form_.Window().Show();
  }

  ScriptedFrontEnd& Script() { return static_cast<ScriptedFrontEnd&>(form_.Window()); }
  StringArray Find(const std::string& drive = "Q") {
    return Peer::FindFilesOnDrive(form_, drive, "target.BIN");
  }
  // The Cancel question was asked once between the writes of each pair of
  // files, and nothing else was asked.
  void ExpectQuestionsBetween(const std::vector<std::pair<std::string, std::string>>& files) {
    EXPECT_EQ(Script().Count("box "), files.size());
    EXPECT_EQ(Script().Count(kCancelQuestion), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
      EXPECT_LT(At("status 2 Q:\\" + files[i].first), At("box ", i));
      EXPECT_LT(At("box ", i), At("status 2 Q:\\" + files[i].second));
    }
  }

  lumbrel_test::TestComputer computer_;
  frmMain form_;

 private:
  // Where the transcript has the nth event that begins with `start`.
  size_t At(const std::string& start, size_t nth = 0) {
    const auto& all = Script().Transcript();
    for (size_t i = 0; i < all.size(); ++i) {
      if (all[i].rfind(start, 0) == 0 && nth-- == 0) return i;
    }
    return all.size();
  }
};

TEST_F(SearchTest, ADriveWithoutFilesOrThatCannotBeReadShowsNothingAndNeverAsks) {
  computer_.AddDrive('E');
  computer_.MakeFolder("E:\\only\\folders");
  computer_.AddDrive('U', "missing");
  Peer::CancelRequested(form_) = true;
  EXPECT_TRUE(Find("E").empty());
  EXPECT_TRUE(Find("U").empty());
  EXPECT_EQ(Script().Count("status"), 0u);
  EXPECT_EQ(Script().Count("box"), 0u);
  // The click still waits for the first file of the next drive.
  Script().QueueAnswer(platform::kAnswerYes);
  EXPECT_EQ(Find(), StringArray{"Q:\\Target.bin"});
  ExpectQuestionsBetween({{"f1.txt", "f2.txt"}});
}

TEST_F(SearchTest, CancelThenYesGoesOnAndALaterClickAsksAgain) {
  Script().ClickCancelAfter("status 2 Q:\\f1.txt");
  Script().ClickCancelAfter("status 2 Q:\\f3.txt");
  Script().QueueAnswer(platform::kAnswerYes);
  Script().QueueAnswer(platform::kAnswerYes);
  EXPECT_EQ(Find(), StringArray{"Q:\\Target.bin"});
  ExpectQuestionsBetween({{"f1.txt", "f2.txt"}, {"f3.txt", "Target.bin"}});
  EXPECT_EQ(Script().Count("status 2 "), 4u);
  EXPECT_FALSE(Peer::CancelRequested(form_));
  EXPECT_EQ(Script().Count("unload"), 0u);
}

TEST_F(SearchTest, CancelThenNoUnloadsTheWindowAndEndsTheProgramAtOnce) {
  Script().ClickCancelAfter("status 2 Q:\\f2.txt");
  Script().QueueAnswer(platform::kAnswerNo);
  try {
    Find();
    FAIL() << "the search returned after a confirmed cancel";
  } catch (const platform::ProgramEnd& end) {
    EXPECT_EQ(end.ending, platform::Ending::kCancelConfirmed);
  }
  ExpectQuestionsBetween({{"f2.txt", "f3.txt"}});
  EXPECT_EQ(Script().Count("status 2 "), 2u);
  EXPECT_EQ(Script().Transcript().back(), "unload");
}

TEST_F(SearchTest, ClicksBeforeTheSearchAreAskedAboutOnceAtTheFirstFile) {
  Script().ClickCancel();
  Script().ClickCancel();
  Peer::ShowMessage(form_, "Analyzing your system, Please wait...");
  ASSERT_TRUE(Peer::CancelRequested(form_));
  Script().QueueAnswer(platform::kAnswerYes);
  EXPECT_EQ(Find(), StringArray{"Q:\\Target.bin"});
  ExpectQuestionsBetween({{"f1.txt", "f2.txt"}});
}

}  // namespace
