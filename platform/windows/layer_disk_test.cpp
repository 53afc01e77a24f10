// The Windows back-end against real folders on the test prefix's scratch
// drive: what its own mechanics (attribute juggling, find data, drive
// letters) could get wrong.

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

using lumbrel_test::TestTree;

int32_t RaisedNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const PlatformError& error) {
    return error.Number();
  }
  return 0;
}

template <class T>
std::vector<std::shared_ptr<T>> All(Collection<T>& collection) {
  std::vector<std::shared_ptr<T>> items;
  const auto items_of = collection.Enumerate();
  for (std::shared_ptr<T> item; items_of->Next(item);) items.push_back(item);
  return items;
}

class WindowsLayerTest : public ::testing::Test {
 protected:
  TestTree tree_;
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

  fs_->CopyFile(tree_.PathOf("new.txt"), tree_.PathOf("old.txt"), true);
  EXPECT_EQ(tree_.ReadFile("old.txt"), "new");
}

TEST_F(WindowsLayerTest, DeleteTellsMissingFilesAndFoldersApart) {
  tree_.MakeFolder("folder");
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("none.txt"), true); }), 53);
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("folder"), true); }), 53);
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("none\\x.txt"), true); }), 76);
  EXPECT_TRUE(tree_.Exists("folder"));
}

TEST_F(WindowsLayerTest, FolderPathsAreNormalisedAndComeAsStoredOnDisk) {
  tree_.MakeFolder("Mixed Case\\Inner");
  const FolderRef folder = fs_->GetFolder(tree_.PathOf("mixed CASE\\.\\INNER\\"));
  EXPECT_EQ(folder->Path(), tree_.PathOf("Mixed Case\\Inner"));
  EXPECT_EQ(fs_->GetFolder("t:")->Path(), "T:\\");
  EXPECT_EQ(RaisedNumber([&] { fs_->GetFolder(tree_.PathOf("Mixed*")); }), 76);
}

std::wstring ModulePath() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

TEST_F(WindowsLayerTest, ExecutableFolderOffEveryDriveIsReported) {
  const std::wstring module = ModulePath();
  if (module.size() > 2 && module[1] == L':') GTEST_SKIP() << "this build lies on a drive";
  try {
    ExecutableFolder();
    FAIL() << "a folder off every drive was given as a Windows path";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Number(), 76);
    EXPECT_NE(error.Text().find("is on no drive"), std::string::npos) << error.Text();
  }
}

TEST_F(WindowsLayerTest, FolderLinksAreMarked) {
  tree_.MakeFolder("target");
  if (!tree_.MakeFolderLink("folder-link", "target")) GTEST_SKIP() << "no folder links here";
  const auto folders = All(*fs_->GetFolder(tree_.Root())->SubFolders());
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0]->Name(), "folder-link");
  EXPECT_EQ(folders[0]->Attributes() & kAttrAlias, kAttrAlias);
  EXPECT_EQ(folders[1]->Attributes() & kAttrAlias, 0);
}

}  // namespace
}  // namespace platform
