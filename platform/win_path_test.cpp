#include "platform/win_path.h"

#include <gtest/gtest.h>

namespace platform::win_path {
namespace {

// Round trips of splitting, joining and parents are the fuzz target's.
TEST(WinPath, SplittingDropsDotsAndStopsAtTheRoot) {
  const std::pair<const char*, const char*> cases[] = {
      {"c:\\a\\.\\b\\..\\c", "C:\\a\\c"}, {"T:/x//y\\", "T:\\x\\y"}, {"d:\\..\\..", "D:\\"}};
  for (const auto& [path, joined] : cases) {
    DrivePath parts;
    ASSERT_TRUE(SplitDrivePath(path, parts)) << path;
    EXPECT_EQ(JoinDrivePath(parts), joined);
  }
  DrivePath parts;
  EXPECT_FALSE(SplitDrivePath("C:", parts) || SplitDrivePath("C:name", parts));
}

TEST(WinPath, ParentsOfWhatIsNoDrivePath) {
  EXPECT_EQ(ParentFolderName("C:\\a\\\\b"), "C:\\a");
  EXPECT_EQ(ParentFolderName("C:name"), "C:");
  EXPECT_EQ(ParentFolderName("name"), "");
  EXPECT_EQ(ParentFolderName(""), "");
  EXPECT_EQ(ParentFolderName("\\top"), "\\");
}

}  // namespace
}  // namespace platform::win_path
