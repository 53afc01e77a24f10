// The Windows back-end against real folders on the test prefix's scratch
// drive: what its own mechanics (attribute juggling, error codes, the
// program's own path) could get wrong and the conformance suite cannot stage.
// (Folder links are the disk walk's suite's.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/windows/win32.h"
#include "tests/support/test_computer.h"

namespace platform {
namespace {

class WindowsLayerTest : public ::testing::Test {
 protected:
  std::string At(const std::string& relative) const {
    return lumbrel_test::PathIn(area_, relative);
  }

  lumbrel_test::TestComputer computer_;
  std::string area_ = computer_.AddDrive('T');
  FileSystemObjectRef fs_ = CreateFileSystemObject();
};

TEST_F(WindowsLayerTest, AFailedRenameGivesBackTheReadOnlyMark) {
  computer_.MakeFile(At("new.txt"), "new");
  computer_.MakeFile(At("old.txt"), "old");
  computer_.SetAttributes(At("old.txt"), kAttrReadOnly);
  ArmFault(FaultPoint::kCopyRename, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(lumbrel_test::ErrorNumberOf([&] { fs_->CopyFile(At("new.txt"), At("old.txt"), true); }),
            70);
  EXPECT_EQ(computer_.Read(At("old.txt")), "old");
  EXPECT_EQ(computer_.List(area_), (std::vector<std::string>{"new.txt", "old.txt"}));
  // Still read-only: a delete without force is refused.
  EXPECT_EQ(lumbrel_test::ErrorNumberOf([&] { fs_->DeleteFile(At("old.txt"), false); }), 70);
}

// The system answers "access denied" for a folder and "path not found" for
// a missing parent.
TEST_F(WindowsLayerTest, DeleteTellsMissingFilesAndFoldersApart) {
  computer_.MakeFolder(At("folder"));
  EXPECT_EQ(lumbrel_test::ErrorNumberOf([&] { fs_->DeleteFile(At("folder"), true); }), 53);
  EXPECT_EQ(lumbrel_test::ErrorNumberOf([&] { fs_->DeleteFile(At("none\\x.txt"), true); }), 76);
  EXPECT_TRUE(computer_.Exists(At("folder")));
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
