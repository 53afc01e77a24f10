// The Windows back-end's own pieces: error numbers, conversions, long-path
// forms and upper case. The shared behaviour is checked by the conformance
// suite; these cases are what only this back-end can get wrong.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"
#include "platform/windows/long_path.h"
#include "platform/windows/wide_string.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

namespace platform::windows {
namespace {

TEST(WinErrorTest, MapsEverySystemCodeOntoItsClassicNumber) {
  const struct {
    DWORD code;
    int32_t number;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, 53},    {ERROR_PATH_NOT_FOUND, 76},   {ERROR_INVALID_NAME, 76},
      {ERROR_BAD_PATHNAME, 76},      {ERROR_INVALID_DRIVE, 76},    {ERROR_ACCESS_DENIED, 70},
      {ERROR_SHARING_VIOLATION, 70}, {ERROR_LOCK_VIOLATION, 70},   {ERROR_WRITE_PROTECT, 70},
      {ERROR_DISK_FULL, 61},         {ERROR_HANDLE_DISK_FULL, 61}, {ERROR_FILE_EXISTS, 58},
      {ERROR_ALREADY_EXISTS, 58},    {ERROR_NOT_READY, 71},
  };
  for (const auto& c : cases) {
    const PlatformError error = ErrorFromCode(c.code);
    EXPECT_EQ(error.Number(), c.number) << "code " << c.code;
    EXPECT_EQ(error.Text(), StandardErrorText(c.number)) << "code " << c.code;
  }
}

TEST(WinErrorTest, OtherCodesKeepTheSystemsOwnWords) {
  const PlatformError error = ErrorFromCode(ERROR_INVALID_FUNCTION);
  EXPECT_EQ(error.Number(), 75);
  ASSERT_FALSE(error.Text().empty());
  EXPECT_NE(error.Text(), StandardErrorText(75));
  EXPECT_NE(error.Text().back(), '\n');
  EXPECT_NE(error.Text().back(), '.');
}

TEST(WinErrorTest, ThrowsWhatTheLastCallLeft) {
  SetLastError(ERROR_DISK_FULL);
  try {
    ThrowLastError();
    FAIL() << "nothing thrown";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Number(), 61);
  }
}

TEST(WideStringTest, RoundTripsTextOutsideTheBasicPlane) {
  const std::string text = "Ünïcødé 日本 \xF0\x9F\x98\x80";
  const std::wstring wide = Widen(text);
  EXPECT_EQ(wide.size(), 13u);  // the emoji takes two UTF-16 units
  EXPECT_EQ(wide[0], L'\u00DC');
  EXPECT_EQ(Narrow(wide), text);
  EXPECT_EQ(Widen(""), L"");
  EXPECT_EQ(Narrow(L""), "");
}

TEST(LongPathTest, GivesTheExtendedFormOfANormalisedDrivePath) {
  EXPECT_EQ(ExtendedPath(std::string("c:/a/./b/../c")), L"\\\\?\\C:\\a\\c");
  EXPECT_EQ(ExtendedPath(std::string("t:\\")), L"\\\\?\\T:\\");
  EXPECT_EQ(ExtendedPath(std::string("T:\\x\\")), L"\\\\?\\T:\\x");
}

TEST(LongPathTest, CompletesRelativePathsFromTheCurrentFolder) {
  wchar_t previous[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(L"T:\\"));
  const win_path::DrivePath path = ResolveDrivePath("some-folder\\..\\some-file");
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(path.drive, 'T');
  EXPECT_EQ(path.components, std::vector<std::string>{"some-file"});
}

TEST(LongPathTest, RefusesWhatIsNoDrivePath) {
  try {
    ResolveDrivePath("\\\\server\\share\\x");
    FAIL() << "a network share was taken for a drive path";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Number(), 76);
  }
}

TEST(LongPathTest, StripsBothExtendedPrefixes) {
  EXPECT_EQ(WithoutExtendedPrefix(L"\\\\?\\C:\\a"), L"C:\\a");
  EXPECT_EQ(WithoutExtendedPrefix(L"\\\\?\\UNC\\s\\x"), L"\\\\s\\x");
  EXPECT_EQ(WithoutExtendedPrefix(L"C:\\a"), L"C:\\a");
}

// Letters are the shared text suite's; what the system's mapping would
// reject must pass through.
TEST(UpperCaseTest, PassesInvalidBytes) {
  EXPECT_EQ(UpperCase("a\xFF"
                      "b\xC3"),
            "A\xFF"
            "B\xC3");
  EXPECT_EQ(UpperCase("\xED\xA0\x80x"), "\xED\xA0\x80X");  // an encoded surrogate is no letter
}

}  // namespace
}  // namespace platform::windows
