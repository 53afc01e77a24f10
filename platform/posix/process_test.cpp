#include "platform/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/test_computer.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class ExecutableFolderTest : public testing::Test {
 protected:
  void MapDrive(const char* entry, const fs::path& target) { computer_.MapDrive(entry[0], target); }

  lumbrel_test::TestComputer computer_;
  fs::path prefix_ = computer_.Prefix();
};

TEST_F(ExecutableFolderTest, TheProgramsFolderMapsThroughTheDriveThatHoldsItMostClosely) {
  const fs::path folder = fs::canonical("/proc/self/exe").parent_path();
  MapDrive("z:", "/");
  std::string expected = "Z:" + folder.string();
  std::replace(expected.begin(), expected.end(), '/', '\\');
  EXPECT_EQ(ExecutableFolder(), expected);
  MapDrive("c:", folder.parent_path());
  MapDrive("d:", folder);
  MapDrive("f:", folder);  // as close: the first letter wins
  MapDrive("e:", prefix_ / "nowhere");
  EXPECT_EQ(ExecutableFolder(), "D:\\");
  for (const char* entry : {"d:", "f:"}) fs::remove(prefix_ / "dosdevices" / entry);
  EXPECT_EQ(ExecutableFolder(), "C:\\" + folder.filename().string());
}

}  // namespace
}  // namespace platform
