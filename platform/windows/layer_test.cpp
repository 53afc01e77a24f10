// The Windows back-end's own pieces: error numbers, drive paths and the
// program's own folder. Names, long paths, upper case and the shared
// behaviour are the conformance suite's; these cases are what only this
// back-end can get wrong.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/process.h"
#include "platform/windows/long_path.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

namespace platform::windows {
namespace {

// The codes of the table are errors.case's, which shows numbers only.
TEST(WinErrorTest, ACodeOutsideTheTableKeepsTheSystemsOwnWords) {
  const PlatformError other = ErrorFromCode(ERROR_INVALID_FUNCTION);
  EXPECT_EQ(other.Number(), 75);
  ASSERT_FALSE(other.Text().empty());
  EXPECT_NE(other.Text(), StandardErrorText(75));
  EXPECT_NE(other.Text().back(), '\n');
  EXPECT_NE(other.Text().back(), '.');
}

TEST(LongPathTest, CompletesRelativePathsAndRefusesWhatIsNoDrivePath) {
  wchar_t previous[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(L"T:\\"));
  const win_path::DrivePath path = ResolveDrivePath("some-folder\\..\\some-file");
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(path.drive, 'T');
  EXPECT_EQ(path.components, std::vector<std::string>{"some-file"});
  try {
    ResolveDrivePath("\\\\server\\share\\x");
    FAIL() << "a network share was taken for a drive path";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Number(), 76);
  }
  EXPECT_EQ(WithoutExtendedPrefix(L"\\\\?\\UNC\\s\\x"), L"\\\\s\\x");
}

// The program's own folder when it lies off every drive (the test prefix has
// no Z:), which the conformance suite cannot stage: the program runs there.
TEST(ExecutableFolderTest, OffEveryDriveIsReported) {
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
}  // namespace platform::windows
