// The whole-drive search on real folders: each test stands a drive on its own
// folder of the scratch drive, so a search never walks what other tests do.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/front_end.h"
#include "platform/message_box.h"
#include "platform/program_end.h"
#include "tests/support/chosen_drives.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_tree.h"
#include "ui/frm_main.h"
#include "ui/frm_main_test_peer.h"

namespace {

using lumbrel_test::ChosenDrives;
using lumbrel_test::ScriptedFrontEnd;
using lumbrel_test::TestTree;
using platform::StatusLine;
using Peer = frmMainTestPeer;

const char kCancelText[] =
    "Your Quarnel Lumbrel page has not been repaired.\r\n\r\n"
    "Click Yes if you want to continue the repair.\r\n"
    "Click No if you want to cancel the repair.";

class SearchTest : public ::testing::Test {
 protected:
  SearchTest() {
    auto front_end = std::make_unique<ScriptedFrontEnd>();
    screen_ = front_end.get();
    form_ = std::make_unique<frmMain>(std::move(front_end));
    Peer::SetFileSystem(*form_, drives_);
    form_->Window().Show();
  }

  // Drive Q stands on the folder `relative` of this test's tree.
  StringArray Find(const std::string& name, const std::string& relative = "") {
    drives_->AddDrive('Q', platform::kDriveFixed, tree_.PathOf(relative));
    return Peer::FindFilesOnDrive(*form_, "Q", name);
  }
  const std::vector<std::string>& Shown() const { return screen_->History(StatusLine::kDetail); }

  TestTree tree_;
  std::shared_ptr<ChosenDrives> drives_ = std::make_shared<ChosenDrives>();
  ScriptedFrontEnd* screen_;
  std::unique_ptr<frmMain> form_;
};

TEST_F(SearchTest, FixedDrivesAreListedAloneInCollectionOrder) {
  drives_->AddDrive('T', platform::kDriveFixed, tree_.Root());
  drives_->AddDrive('A', platform::kDriveRemovable, tree_.Root());
  drives_->AddDrive('N', platform::kDriveNetwork, tree_.Root());
  drives_->AddDrive('S', platform::kDriveCdRom, tree_.Root());
  drives_->AddDrive('M', platform::kDriveRamDisk, tree_.Root());
  drives_->AddDrive('V', platform::kDriveUnknown, tree_.Root());
  drives_->AddDrive('C', platform::kDriveFixed, tree_.Root());
  drives_->AddDrive('U', platform::kDriveFixed, tree_.PathOf("missing"));
  EXPECT_EQ(Peer::GetFixedDrives(*form_), (StringArray{"T", "C", "U"}));
}

TEST_F(SearchTest, OnlyWholeNamesMatchWhateverTheirLetterCase) {
  for (const char* folder : {"a", "b\\Target.bin", "c\\d"}) tree_.MakeFolder(folder);
  tree_.MakeFile("Target.bi");
  tree_.MakeFile("a\\MyTarget.bin");
  tree_.MakeFile("a\\TARGET.BIN");
  tree_.MakeFile("a\\Target.bin.old");
  tree_.MakeFile("a\\xTarget.binx");
  tree_.MakeFile("b\\Target.bin\\other.txt");
  tree_.MakeFile("c\\d\\target.bin");

  const StringArray matches = Find("Target.bin");
  EXPECT_EQ(matches,
            (StringArray{tree_.PathOf("a\\TARGET.BIN"), tree_.PathOf("c\\d\\target.bin")}));
  // Every file is shown once, in walk order, and nothing is asked.
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         tree_.PathOf("Target.bi"), tree_.PathOf("a\\MyTarget.bin"),
                         tree_.PathOf("a\\TARGET.BIN"), tree_.PathOf("a\\Target.bin.old"),
                         tree_.PathOf("a\\xTarget.binx"), tree_.PathOf("b\\Target.bin\\other.txt"),
                         tree_.PathOf("c\\d\\target.bin")}));
  EXPECT_TRUE(screen_->Boxes().empty());
}

TEST_F(SearchTest, ADriveWithoutFilesShowsNothingAndNeverAsks) {
  tree_.MakeFolder("only\\folders\\below");
  Peer::CancelRequested(*form_) = true;
  EXPECT_TRUE(Find("Target.bin").empty());
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(screen_->Boxes().empty());
  EXPECT_TRUE(Peer::CancelRequested(*form_));
}

TEST_F(SearchTest, AnUnreadableDriveGivesNothingAndTheNextIsStillSearched) {
  tree_.MakeFile("Target.bin");
  drives_->AddRealDrive('U');
  EXPECT_TRUE(Peer::FindFilesOnDrive(*form_, "U", "Target.bin").empty());
  drives_->AddDrive('W', platform::kDriveFixed, tree_.PathOf("gone"));
  EXPECT_TRUE(Peer::FindFilesOnDrive(*form_, "W", "Target.bin").empty());
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(screen_->Boxes().empty());
  EXPECT_EQ(Find("Target.bin"), StringArray{tree_.PathOf("Target.bin")});
}

TEST_F(SearchTest, ARealDriveRootGivesRootedPaths) {
  // M: is an empty drive of the test prefix that no other test writes to.
  const std::string placed = "M:\\Lumbrel-search-probe.bin";
  tree_.MakeFile("probe", "x");
  const auto fso = platform::CreateFileSystemObject();
  fso->CopyFile(tree_.PathOf("probe"), placed, true);
  StringArray matches;
  try {
    matches = Peer::FindFilesOnDrive(*form_, "m", "LUMBREL-SEARCH-PROBE.BIN");
  } catch (...) {
    fso->DeleteFile(placed, true);
    throw;
  }
  fso->DeleteFile(placed, true);
  EXPECT_EQ(matches, StringArray{placed});
  EXPECT_EQ(Shown(), std::vector<std::string>{placed});
}

class CancelTest : public SearchTest {
 protected:
  CancelTest() {
    for (const char* name : {"f1.txt", "f2.txt", "f3.txt", "Target.bin"}) tree_.MakeFile(name);
  }
  void ExpectCancelBox(const ScriptedFrontEnd::Box& box) {
    EXPECT_EQ(box.title, "Cancel Repair?");
    EXPECT_EQ(box.style, 68);
    EXPECT_EQ(box.text, kCancelText);
  }
  // Index in the transcript of the nth line starting with `start` (0 is the
  // first).
  std::ptrdiff_t At(const std::string& start, int nth = 0) const {
    const auto& all = screen_->Transcript();
    for (size_t i = 0; i < all.size(); ++i) {
      if (all[i].rfind(start, 0) == 0 && nth-- == 0) return static_cast<std::ptrdiff_t>(i);
    }
    return static_cast<std::ptrdiff_t>(all.size());
  }
  // The question comes between the write of `before` and that of `after`.
  void ExpectBoxBetween(int nth, const std::string& before, const std::string& after) {
    EXPECT_LT(At("status 2 " + tree_.PathOf(before)), At("box ", nth));
    EXPECT_LT(At("box ", nth), At("status 2 " + tree_.PathOf(after)));
  }
};

TEST_F(CancelTest, YesGoesOnAndALaterClickAsksAgain) {
  screen_->ClickCancelWhenShown(StatusLine::kDetail, tree_.PathOf("f1.txt"));
  screen_->ClickCancelWhenShown(StatusLine::kDetail, tree_.PathOf("f3.txt"));
  screen_->QueueAnswer(platform::kAnswerYes);
  screen_->QueueAnswer(platform::kAnswerYes);

  EXPECT_EQ(Find("target.BIN"), StringArray{tree_.PathOf("Target.bin")});
  ASSERT_EQ(screen_->Boxes().size(), 2u);
  ExpectCancelBox(screen_->Boxes()[0]);
  ExpectBoxBetween(0, "f1.txt", "f2.txt");
  ExpectBoxBetween(1, "f3.txt", "Target.bin");
  EXPECT_EQ(Shown().size(), 4u);
  EXPECT_FALSE(Peer::CancelRequested(*form_));
  EXPECT_FALSE(screen_->Unloaded());
}

TEST_F(CancelTest, NoUnloadsTheWindowAndEndsTheProgramAtOnce) {
  screen_->ClickCancelWhenShown(StatusLine::kDetail, tree_.PathOf("f2.txt"));
  screen_->QueueAnswer(platform::kAnswerNo);
  try {
    Find("Target.bin");
    FAIL() << "the search returned after a confirmed cancel";
  } catch (const platform::ProgramEnd& end) {
    EXPECT_EQ(end.ending, platform::Ending::kCancelConfirmed);
  }
  EXPECT_TRUE(screen_->Unloaded());
  ASSERT_EQ(screen_->Boxes().size(), 1u);
  ExpectCancelBox(screen_->Boxes()[0]);
  EXPECT_EQ(Shown().back(), tree_.PathOf("f2.txt"));
  EXPECT_EQ(screen_->Transcript().back(), "unload");
}

TEST_F(CancelTest, ClicksBeforeTheSearchAreAskedAboutOnceAtTheFirstFile) {
  screen_->ClickCancel();
  screen_->ClickCancel();
  Peer::ShowMessage(*form_, "Analyzing your system, Please wait...");
  ASSERT_TRUE(Peer::CancelRequested(*form_));
  screen_->QueueAnswer(platform::kAnswerYes);

  EXPECT_EQ(Find("Target.bin"), StringArray{tree_.PathOf("Target.bin")});
  ASSERT_EQ(screen_->Boxes().size(), 1u);
  ExpectBoxBetween(0, "f1.txt", "f2.txt");
}

}  // namespace
