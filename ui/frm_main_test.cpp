#include "ui/frm_main.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/frm_main_test_peer.h"
#include "tests/support/scripted_front_end.h"

namespace {

using lumbrel_test::ScriptedFrontEnd;
using Peer = frmMainTestPeer;
using Events = std::vector<std::string>;

class FrmMainTest : public ::testing::Test {
 protected:
  FrmMainTest() : form_(std::make_unique<ScriptedFrontEnd>()) {}
  ScriptedFrontEnd& Script() { return static_cast<ScriptedFrontEnd&>(form_.Window()); }

  frmMain form_;
};

TEST_F(FrmMainTest, EachStatusWriteReplacesItsOwnLineAndPumpsOnce) {
  Peer::ShowMessage(form_, "Copying New Documents...\r\n\r\nC:\\Q");
  Peer::ShowMessage2(form_, "C:\\a.txt");
  Peer::ShowMessage2(form_, "");
  EXPECT_EQ(Script().Transcript(), (Events{"status 1 Copying New Documents...\r\n\r\nC:\\Q", "pump",
                                           "status 2 C:\\a.txt", "pump", "status 2 ", "pump"}));
}

// Clicks reach the flag only inside a status write, once, and the handler
// does nothing else.
TEST_F(FrmMainTest, ClicksOnlyRaiseTheFlagAtTheNextStatusWrite) {
  Script().Show();
  Script().ClickCancel();
  Script().ClickCancel();
  EXPECT_FALSE(Peer::CancelRequested(form_));
  Peer::ShowMessage2(form_, "C:\\x");
  EXPECT_TRUE(Peer::CancelRequested(form_));
  // Once the search has acted on the flag, the same clicks do not raise it
  // again at the next file.
  Peer::CancelRequested(form_) = false;
  Peer::ShowMessage2(form_, "C:\\y");
  EXPECT_FALSE(Peer::CancelRequested(form_));
  const Events before = Script().Transcript();
  Peer::cmdCancel_Click(form_);
  EXPECT_TRUE(Peer::CancelRequested(form_));
  EXPECT_EQ(Script().Transcript(), before);
}

}  // namespace
