// The file-existence test on real entries of every kind, and the start-up
// run's last word for each way out of the driver.

#include "app/mod_main.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/program_end.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_tree.h"
#include "ui/frm_main.h"
#include "ui/frm_main_test_peer.h"

namespace {

using lumbrel_test::ScriptedFrontEnd;
using lumbrel_test::TestTree;

TEST(IsFileExistingTest, CountsFilesWhateverTheirAttributesButNeverAFolder) {
  TestTree tree;
  tree.MakeFile("plain.exe");
  tree.MakeFile("readonly.exe");
  tree.SetAttributes("readonly.exe", platform::kAttrReadOnly);
  tree.MakeFile("hidden.exe");
  tree.SetAttributes("hidden.exe", platform::kAttrHidden);
  tree.MakeFile("system.exe");
  tree.SetAttributes("system.exe", platform::kAttrSystem | platform::kAttrHidden);
  tree.MakeFolder("folder.exe");

  for (const char* name : {"plain.exe", "readonly.exe", "hidden.exe", "system.exe"}) {
    EXPECT_TRUE(modMain::IsFileExisting(tree.PathOf(name))) << name;
  }
  EXPECT_FALSE(modMain::IsFileExisting(tree.PathOf("folder.exe")));
  EXPECT_FALSE(modMain::IsFileExisting(tree.PathOf("missing.exe")));
  EXPECT_FALSE(modMain::IsFileExisting(tree.PathOf("missing\\plain.exe")));
}

// A file-system object whose every use fails the way the test chooses, so
// that the driver's first step that touches the disk raises it.
class FailingFileSystem : public platform::FileSystemObject {
 public:
  explicit FailingFileSystem(std::function<void()> fail) : fail_(std::move(fail)) {}
  std::shared_ptr<platform::DriveCollection> Drives() override {
    return Fail<platform::DriveCollection>();
  }
  platform::FolderRef GetFolder(const std::string&) override { return Fail<platform::Folder>(); }
  std::string GetParentFolderName(const std::string&) override {
    fail_();
    return {};
  }
  void CopyFile(const std::string&, const std::string&, bool) override { fail_(); }
  void DeleteFile(const std::string&, bool) override { fail_(); }

 private:
  template <class T>
  std::shared_ptr<T> Fail() {
    fail_();
    return nullptr;
  }
  std::function<void()> fail_;
};

class RunTest : public ::testing::Test {
 protected:
  // A run whose drive listing does `fail`, answered Yes and OK.
  int RunFailingWith(std::function<void()> fail) {
    auto front_end = std::make_unique<ScriptedFrontEnd>();
    ui_ = front_end.get();
    window_ = std::make_unique<frmMain>(std::move(front_end));
    frmMainTestPeer::SetFileSystem(*window_, std::make_shared<FailingFileSystem>(std::move(fail)));
    frmMainTestPeer::SetUtilityFolder(*window_, "T:\\");
    ui_->QueueAnswer(6);
    ui_->QueueAnswer(1);
    return modMain::Run(*window_);
  }

  ScriptedFrontEnd* ui_ = nullptr;
  std::unique_ptr<frmMain> window_;
};

TEST_F(RunTest, PlatformErrorIsReportedWithItsNumberAndTextAndExitsThree) {
  EXPECT_EQ(RunFailingWith([] { throw platform::PlatformError(71); }), 3);
  EXPECT_EQ(ui_->ErrorReport(), "71 Disk not ready");
  EXPECT_EQ(ui_->Ending(), platform::Ending::kError);
  EXPECT_TRUE(ui_->Unloaded());
  // The report comes while the window is still there, then the end, then it goes.
  const auto& t = ui_->Transcript();
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(t[t.size() - 3], "error 71 Disk not ready");
  EXPECT_EQ(t[t.size() - 2], "end error");
  EXPECT_EQ(t[t.size() - 1], "unload");
}

TEST_F(RunTest, ExhaustedMemoryAndOtherFailuresAreReportedInPlainWords) {
  EXPECT_EQ(RunFailingWith([] { throw std::bad_alloc(); }), 3);
  EXPECT_EQ(ui_->ErrorReport(), "7 Out of memory");

  EXPECT_EQ(RunFailingWith([] { throw std::logic_error("broken list"); }), 3);
  EXPECT_EQ(ui_->ErrorReport(), "51 Internal error: broken list");
  EXPECT_EQ(ui_->Ending(), platform::Ending::kError);
}

TEST_F(RunTest, ProgramEndFromDeepInsideGivesItsOwnEndingAndStatus) {
  EXPECT_EQ(RunFailingWith([] { throw platform::ProgramEnd{platform::Ending::kInputClosed}; }), 1);
  EXPECT_EQ(ui_->Ending(), platform::Ending::kInputClosed);
  EXPECT_FALSE(ui_->ErrorReport().has_value());
  EXPECT_TRUE(ui_->Unloaded());
}

}  // namespace
