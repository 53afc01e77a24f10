#include "ui/frm_main.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/message_box.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/frm_main_test_peer.h"

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

TEST_F(FrmMainWindowTest, ClicksReachTheFlagOnlyInsideAStatusWriteAndOnlyOnce) {
  script_->Show();
  script_->ClickCancel();
  script_->ClickCancel();
  EXPECT_FALSE(Flag());
  Peer::ShowMessage2(*form_, "C:\\x");
  EXPECT_TRUE(Flag());
  // Once the search has acted on the flag, the same clicks do not raise it
  // again at the next file.
  Peer::CancelRequested(*form_) = false;
  Peer::ShowMessage2(*form_, "C:\\y");
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

}  // namespace
