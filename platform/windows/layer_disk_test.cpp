// The Windows back-end against real folders on the test prefix's scratch
// drive: what its own mechanics (temporary file, attribute juggling, find
// data, drive letters) could get wrong.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dir_entry.h"
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

TEST_F(WindowsLayerTest, ListsInTheOrderNtfsGives) {
  // '_' sorts after the letters once they are upper-cased, and before them
  // bytewise or by the user's locale: only the ordinal, case-blind order
  // gives this sequence.
  for (const char* name : {"b", "_x", "A", "Z", "c"}) tree_.MakeFile(name);
  tree_.MakeFolder("sub");
  std::vector<std::string> names;
  for (const FileRef& file : All(*fs_->GetFolder(tree_.Root())->Files())) {
    names.push_back(file->Name());
    EXPECT_EQ(file->Path(), tree_.PathOf(file->Name()));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "c", "Z", "_x"}));
}

TEST_F(WindowsLayerTest, CopyLeavesAPlainDocumentAndNoTemporaryFile) {
  tree_.MakeFolder("src");
  tree_.MakeFolder("dest");
  tree_.MakeFile("src\\doc.txt", std::string(600 * 1024, 'x'));  // several blocks
  fs_->CopyFile(tree_.PathOf("src\\doc.txt"), tree_.PathOf("dest\\doc.txt"), false);
  EXPECT_EQ(tree_.List("dest"), std::vector<std::string>{"doc.txt"});
  EXPECT_EQ(tree_.ReadFile("dest\\doc.txt"), std::string(600 * 1024, 'x'));
  // The temporary file is made hidden; the document must not stay so, or the
  // next lookup with selection 0 would miss it.
  EXPECT_EQ(DirEntryName(tree_.PathOf("dest\\doc.txt"), 0), "doc.txt");
}

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

TEST_F(WindowsLayerTest, CopyRefusalsNameTheirCause) {
  tree_.MakeFile("doc.txt", "doc");
  tree_.MakeFolder("folder");
  EXPECT_EQ(
      RaisedNumber([&] { fs_->CopyFile(tree_.PathOf("none.txt"), tree_.PathOf("x.txt"), true); }),
      53);
  EXPECT_EQ(RaisedNumber(
                [&] { fs_->CopyFile(tree_.PathOf("doc.txt"), tree_.PathOf("none\\x.txt"), true); }),
            76);
  EXPECT_EQ(
      RaisedNumber([&] { fs_->CopyFile(tree_.PathOf("doc.txt"), tree_.PathOf("folder"), true); }),
      70);
  EXPECT_EQ(tree_.List(), (std::vector<std::string>{"doc.txt", "folder"}));
  EXPECT_TRUE(tree_.List("folder").empty());
}

TEST_F(WindowsLayerTest, DeleteTellsMissingFilesAndFoldersApart) {
  tree_.MakeFolder("folder");
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("none.txt"), true); }), 53);
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("folder"), true); }), 53);
  EXPECT_EQ(RaisedNumber([&] { fs_->DeleteFile(tree_.PathOf("none\\x.txt"), true); }), 76);
  EXPECT_TRUE(tree_.Exists("folder"));
}

TEST_F(WindowsLayerTest, LookupNeedsAnExactPathOnAReadableDrive) {
  tree_.MakeFile("Doc.TXT");
  EXPECT_EQ(DirEntryName(tree_.PathOf("doc.txt"), 0), "Doc.TXT");
  EXPECT_EQ(DirEntryName(tree_.PathOf("D*.txt"), 0), "");
  EXPECT_EQ(DirEntryName(tree_.PathOf("Doc.TX?"), 0), "");
  EXPECT_EQ(DirEntryName(tree_.PathOf("none\\Doc.TXT"), 0), "");
  EXPECT_EQ(DirEntryName(tree_.PathOf("Doc.TXT\\x"), 39), "");
  EXPECT_EQ(RaisedNumber([] { DirEntryName("U:\\QUARN.exe", 39); }), 71);
}

TEST_F(WindowsLayerTest, FolderPathsComeAsStoredOnDisk) {
  tree_.MakeFolder("Mixed Case\\Inner");
  const FolderRef folder = fs_->GetFolder(tree_.PathOf("mixed CASE\\.\\INNER\\"));
  EXPECT_EQ(folder->Path(), tree_.PathOf("Mixed Case\\Inner"));
  EXPECT_EQ(folder->Name(), "Inner");
  EXPECT_EQ(folder->Attributes() & kAttrDirectory, kAttrDirectory);
  const FolderRef root = fs_->GetFolder("t:");
  EXPECT_EQ(root->Path(), "T:\\");
  EXPECT_EQ(root->Name(), "");
  EXPECT_EQ(RaisedNumber([&] { fs_->GetFolder(tree_.PathOf("Mixed*")); }), 76);
}

TEST_F(WindowsLayerTest, DrivesComeInLetterOrderWithTheirTypes) {
  std::string letters;
  std::map<std::string, int32_t> types;
  for (const DriveRef& drive : All(*fs_->Drives())) {
    letters += drive->DriveLetter();
    types[drive->DriveLetter()] = drive->Type();
  }
  EXPECT_TRUE(std::is_sorted(letters.begin(), letters.end())) << letters;
  EXPECT_EQ(types["T"], kDriveFixed);
  EXPECT_EQ(types["R"], kDriveRemovable);
  EXPECT_EQ(types["S"], kDriveCdRom);
  EXPECT_EQ(types["N"], kDriveNetwork);
  EXPECT_EQ(types["M"], kDriveRamDisk);
  EXPECT_EQ(types.count("Z"), 0u);
}

std::wstring ModulePath() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

// Runs a copy of this test program from `folder` (on a drive), limited to
// `filter`, with `variable` set to `value`; its exit status.
DWORD RunCopyOfThisProgram(const std::string& folder, const std::string& filter,
                           const wchar_t* variable, const std::string& value) {
  const std::wstring copy = L"\\\\?\\" + std::wstring(folder.begin(), folder.end()) + L"\\copy.exe";
  // Wine names a program off its drives "unix\\...", which only the
  // extended form reaches.
  const std::wstring self = L"\\\\?\\" + ModulePath();
  if (!CopyFileW(self.c_str(), copy.c_str(), FALSE)) return 1000 + GetLastError();
  std::wstring command = L"\"" + copy.substr(4) + L"\" --gtest_brief=1 --gtest_filter=" +
                         std::wstring(filter.begin(), filter.end());
  SetEnvironmentVariableW(variable, std::wstring(value.begin(), value.end()).c_str());
  // The copy's own report would only muddle this one's.
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE nowhere =
      CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = nowhere;
  startup.hStdError = nowhere;
  PROCESS_INFORMATION process{};
  const std::wstring directory = copy.substr(0, copy.rfind(L'\\'));
  const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      directory.c_str(), &startup, &process);
  CloseHandle(nowhere);
  SetEnvironmentVariableW(variable, nullptr);
  if (!started) return 2000 + GetLastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

TEST_F(WindowsLayerTest, ExecutableFolderIsTheProgramsDrivePath) {
  // Inside the copy that the outer run starts on the scratch drive.
  if (const char* expected = std::getenv("LUMBREL_EXPECTED_FOLDER")) {
    EXPECT_EQ(ExecutableFolder(), expected);
    return;
  }
  tree_.MakeFolder("Program Folder");
  EXPECT_EQ(RunCopyOfThisProgram(tree_.PathOf("Program Folder"),
                                 "WindowsLayerTest.ExecutableFolderIsTheProgramsDrivePath",
                                 L"LUMBREL_EXPECTED_FOLDER", tree_.PathOf("Program Folder")),
            0u);
  // A copy that checks for a wrong folder must fail, or the check proves nothing.
  EXPECT_EQ(RunCopyOfThisProgram(tree_.PathOf("Program Folder"),
                                 "WindowsLayerTest.ExecutableFolderIsTheProgramsDrivePath",
                                 L"LUMBREL_EXPECTED_FOLDER", tree_.Root()),
            1u);
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

TEST_F(WindowsLayerTest, LinksAreMarkedAndReplacedNotWrittenThrough) {
  tree_.MakeFolder("target");
  tree_.MakeFile("outside.txt", "outside");
  tree_.MakeFile("new.txt", "new");
  if (!tree_.MakeFolderLink("folder-link", "target") ||
      !tree_.MakeFileLink("file-link", "outside.txt")) {
    GTEST_SKIP() << "this system cannot make links";
  }
  const auto folders = All(*fs_->GetFolder(tree_.Root())->SubFolders());
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0]->Name(), "folder-link");
  EXPECT_EQ(folders[0]->Attributes() & kAttrAlias, kAttrAlias);
  EXPECT_EQ(folders[1]->Attributes() & kAttrAlias, 0);

  fs_->CopyFile(tree_.PathOf("new.txt"), tree_.PathOf("file-link"), true);
  EXPECT_EQ(tree_.ReadFile("file-link"), "new");
  EXPECT_EQ(tree_.ReadFile("outside.txt"), "outside");
}

}  // namespace
}  // namespace platform
