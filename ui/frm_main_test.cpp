#include "ui/frm_main.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/message_box.h"
#include "tests/support/scripted_front_end.h"
#include "ui/frm_main_test_peer.h"

namespace {

using lumbrel_test::ScriptedFrontEnd;
using platform::StatusLine;
using Peer = frmMainTestPeer;

class FrmMainWindowTest : public ::testing::Test {
 protected:
  FrmMainWindowTest() {
    auto front_end = std::make_unique<ScriptedFrontEnd>();
    script_ = front_end.get();
    form_ = std::make_unique<frmMain>(std::move(front_end));
  }

  bool Flag() { return Peer::CancelRequested(*form_); }

  ScriptedFrontEnd* script_;
  std::unique_ptr<frmMain> form_;
};

TEST_F(FrmMainWindowTest, StartsHiddenWithCancelEnabledAndNothingShown) {
  EXPECT_FALSE(Flag());
  EXPECT_FALSE(script_->Shown());
  EXPECT_TRUE(script_->CancelEnabled());
  EXPECT_TRUE(script_->Transcript().empty());
  EXPECT_EQ(script_->Pumps(), 0);
}

TEST_F(FrmMainWindowTest, StatusWritesReplaceTheirOwnLineAndPumpOnce) {
  Peer::ShowMessage(*form_, "Analyzing your system, Please wait...");
  Peer::ShowMessage(*form_, "Copying New Documents...\r\n\r\nC:\\Q");
  EXPECT_EQ(script_->Text(StatusLine::kMain), "Copying New Documents...\r\n\r\nC:\\Q");
  EXPECT_EQ(script_->Text(StatusLine::kDetail), "");
  EXPECT_EQ(script_->Pumps(), 2);

  Peer::ShowMessage2(*form_, "C:\\a.txt");
  Peer::ShowMessage2(*form_, "");
  EXPECT_EQ(script_->Text(StatusLine::kDetail), "");
  EXPECT_EQ(script_->History(StatusLine::kDetail), (std::vector<std::string>{"C:\\a.txt", ""}));
  EXPECT_EQ(script_->Text(StatusLine::kMain), "Copying New Documents...\r\n\r\nC:\\Q");
  EXPECT_EQ(script_->Pumps(), 4);
}

TEST_F(FrmMainWindowTest, ClickReachesTheFlagOnlyInsideAStatusWrite) {
  script_->Show();
  script_->ClickCancel();
  EXPECT_FALSE(Flag());
  Peer::ShowMessage2(*form_, "C:\\x");
  EXPECT_TRUE(Flag());

  // A click timed for a given text lands in exactly that write.
  Peer::CancelRequested(*form_) = false;
  script_->ClickCancelWhenShown(StatusLine::kDetail, "C:\\z");
  Peer::ShowMessage2(*form_, "C:\\y");
  EXPECT_FALSE(Flag());
  Peer::ShowMessage2(*form_, "C:\\z");
  EXPECT_TRUE(Flag());
}

TEST_F(FrmMainWindowTest, SeveralClicksBeforeAWriteGiveOneTrue) {
  script_->Show();
  script_->ClickCancel();
  script_->ClickCancel();
  script_->ClickCancel();
  Peer::ShowMessage2(*form_, "C:\\first");
  EXPECT_TRUE(Flag());
  EXPECT_EQ(script_->DeliveredClicks(), 3);

  // Once the search has acted on the flag, the same clicks do not raise it
  // again at the next file.
  Peer::CancelRequested(*form_) = false;
  Peer::ShowMessage2(*form_, "C:\\second");
  EXPECT_FALSE(Flag());
}

TEST_F(FrmMainWindowTest, TheHandlerOnlySetsTheFlag) {
  script_->Show();
  auto before = script_->Transcript();
  Peer::cmdCancel_Click(*form_);
  Peer::cmdCancel_Click(*form_);
  EXPECT_TRUE(Flag());
  EXPECT_TRUE(script_->CancelEnabled());
  EXPECT_EQ(script_->Transcript(), before);
}

TEST_F(FrmMainWindowTest, AClickOnTheDisabledButtonChangesNothing) {
  script_->Show();
  form_->Window().SetCancelEnabled(false);
  script_->ClickCancel();
  Peer::ShowMessage2(*form_, "doc.qdc");
  EXPECT_FALSE(Flag());
  EXPECT_EQ(script_->IgnoredClicks(), 1);

  // A flag raised before the button went grey keeps its value.
  Peer::CancelRequested(*form_) = true;
  script_->ClickCancel();
  Peer::ShowMessage2(*form_, "doc2.qdc");
  EXPECT_TRUE(Flag());
}

TEST_F(FrmMainWindowTest, AClickDuringABoxIsHeldForTheNextWrite) {
  script_->Show();
  script_->ClickCancelDuringBox(1);
  script_->QueueAnswer(platform::kAnswerYes);
  EXPECT_EQ(form_->Window().MessageBox("Search?", 36, "Quarnel"), platform::kAnswerYes);
  EXPECT_FALSE(Flag());
  Peer::ShowMessage(*form_, "Welcome");
  EXPECT_TRUE(Flag());
}

TEST_F(FrmMainWindowTest, UnloadClosesTheWindow) {
  script_->Show();
  form_->Unload();
  EXPECT_TRUE(script_->Unloaded());
  EXPECT_FALSE(script_->Shown());
}

TEST_F(FrmMainWindowTest, MembersAreCreatedOnceOnFirstUse) {
  platform::FileSystemObject& fso = Peer::FileSystem(*form_);
  EXPECT_EQ(&Peer::FileSystem(*form_), &fso);
  crtDTree& tree = Peer::SearchTree(*form_);
  EXPECT_EQ(&Peer::SearchTree(*form_), &tree);
}

TEST(ScriptedFrontEndTest, RefusesBoxesTheScriptDidNotPlanFor) {
  ScriptedFrontEnd script;
  EXPECT_THROW(script.MessageBox("text", 0, "title"), lumbrel_test::ScriptError);
  script.QueueAnswer(platform::kAnswerYes);
  EXPECT_THROW(script.MessageBox("text", 1, "title"), lumbrel_test::ScriptError);
}

}  // namespace
