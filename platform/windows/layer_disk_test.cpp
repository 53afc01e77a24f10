// The Windows back-end against real folders on the test prefix's scratch
// drive: what its own mechanics (attribute juggling, error codes, the
// program's own path) could get wrong and the conformance suite cannot stage.
// (Folder links are the disk walk's suite's.)

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/windows/win32.h"
#include "tests/support/test_tree.h"

namespace platform {
namespace {

int32_t RaisedNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const PlatformError& error) {
    return error.Number();
  }
  return 0;
}

class WindowsLayerTest : public ::testing::Test {
 protected:
  lumbrel_test::TestTree tree_;
  FileSystemObjectRef fs_ = CreateFileSystemObject();
};

TEST_F(WindowsLayerTest, AFailedRenameGivesBackTheReadOnlyMark) {
  tree_.MakeFile("new.txt", "new");
  tree_.MakeFile("old.txt", "old");
  tree_.SetAttributes("old.txt", kAttrReadOnly);
  ArmFault(FaultPoint::kCopyRename, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(
      RaisedNumber([&] { fs_->CopyFile(tree_.PathOf("new.txt"), tree_.PathOf("old.txt"), true); }),
      70);
  EXPECT_EQ(tree_.ReadFile("old.txt"), "old");
  EXPECT_EQ(tree_.List(), (std::vector<std::string>{"new.txt", "old.txt"}));
  // Still read-only: a delete without force is refused.
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("old.txt"), false); }), 70);
}

// The system answers "access denied" for a folder and "path not found" for
// a missing parent.
TEST_F(WindowsLayerTest, DeleteTellsMissingFilesAndFoldersApart) {
  tree_.MakeFolder("folder");
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("folder"), true); }), 53);
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("none\\x.txt"), true); }), 76);
  EXPECT_TRUE(tree_.Exists("folder"));
}

TEST_F(WindowsLayerTest, ExecutableFolderOffEveryDriveIsReported) {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  if (module[1] == L':') GTEST_SKIP() << "this build lies on a drive";
  try {
    ExecutableFolder();
    FAIL() << "a folder off every drive was given as a Windows path";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Number(), 76);
    EXPECT_NE(error.Text().find("is on no drive"), std::string::npos) << error.Text();
  }
}

}  // namespace
}  // namespace platform
