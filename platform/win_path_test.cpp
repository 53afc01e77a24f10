#include "platform/win_path.h"

#include <gtest/gtest.h>

namespace platform::win_path {
namespace {

TEST(WinPath, SplitsDrivePathsAndNormalises) {
  DrivePath parts;
  ASSERT_TRUE(SplitDrivePath("c:\\a\\.\\b\\..\\c", parts));
  EXPECT_EQ(parts.drive, 'C');
  EXPECT_EQ(parts.components, (std::vector<std::string>{"a", "c"}));

  ASSERT_TRUE(SplitDrivePath("T:/x//y\\", parts));
  EXPECT_EQ(parts.drive, 'T');
  EXPECT_EQ(parts.components, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(JoinDrivePath(parts), "T:\\x\\y");

  ASSERT_TRUE(SplitDrivePath("d:\\..\\..", parts));
  EXPECT_TRUE(parts.components.empty());
  EXPECT_EQ(JoinDrivePath(parts), "D:\\");
}

TEST(WinPath, RejectsWhatIsNoDrivePath) {
  DrivePath parts;
  EXPECT_FALSE(SplitDrivePath("C:", parts));
  EXPECT_FALSE(SplitDrivePath("C:name", parts));
  EXPECT_FALSE(SplitDrivePath("\\\\server\\share\\x", parts));
  EXPECT_FALSE(SplitDrivePath("relative\\path", parts));
  EXPECT_FALSE(SplitDrivePath("1:\\x", parts));
  EXPECT_FALSE(SplitDrivePath("", parts));
}

TEST(WinPath, ParentFolderName) {
  EXPECT_EQ(ParentFolderName("C:\\a\\b.exe"), "C:\\a");
  EXPECT_EQ(ParentFolderName("D:\\QUARN.exe"), "D:\\");
  EXPECT_EQ(ParentFolderName("C:\\a\\b\\"), "C:\\a");
  EXPECT_EQ(ParentFolderName("C:\\a\\"), "C:\\");
  EXPECT_EQ(ParentFolderName("C:\\a\\\\b"), "C:\\a");
  EXPECT_EQ(ParentFolderName("C:/a/b"), "C:\\a");
  EXPECT_EQ(ParentFolderName("C:\\"), "");
  EXPECT_EQ(ParentFolderName("C:name"), "C:");
  EXPECT_EQ(ParentFolderName("name"), "");
  EXPECT_EQ(ParentFolderName(""), "");
  EXPECT_EQ(ParentFolderName("\\top"), "\\");
}

TEST(WinPath, JoinsWithOneSeparator) {
  EXPECT_EQ(Join("C:\\", "a"), "C:\\a");
  EXPECT_EQ(Join("C:\\a", "b c"), "C:\\a\\b c");
  EXPECT_EQ(Join("C:\\a\\", "b"), "C:\\a\\b");
  EXPECT_EQ(Join("", "b"), "b");
}

TEST(WinPath, Wildcards) {
  EXPECT_TRUE(HasWildcards("C:\\*.txt"));
  EXPECT_TRUE(HasWildcards("C:\\a?c"));
  EXPECT_FALSE(HasWildcards("C:\\a[1].txt"));
}

}  // namespace
}  // namespace platform::win_path
