#include "platform/process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace platform {
namespace {

namespace fs = std::filesystem;

// A prefix of its own whose drives the test chooses.
class ExecutableFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumbrel-prefix-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    prefix_ = pattern;
    fs::create_directory(prefix_ / "dosdevices");
    const char* old = std::getenv("WINEPREFIX");
    if (old != nullptr) old_prefix_ = old;
    had_prefix_ = old != nullptr;
    setenv("WINEPREFIX", prefix_.c_str(), 1);
    program_folder_ = fs::canonical("/proc/self/exe").parent_path();
  }
  void TearDown() override {
    if (had_prefix_) {
      setenv("WINEPREFIX", old_prefix_.c_str(), 1);
    } else {
      unsetenv("WINEPREFIX");
    }
    fs::remove_all(prefix_);
  }
  void MapDrive(const char* entry, const fs::path& target) {
    fs::create_directory_symlink(target, prefix_ / "dosdevices" / entry);
  }

  fs::path prefix_;
  fs::path program_folder_;
  std::string old_prefix_;
  bool had_prefix_ = false;
};

TEST_F(ExecutableFolderTest, MapsThroughTheDriveThatHoldsItMostClosely) {
  MapDrive("z:", "/");
  std::string expected = "Z:" + program_folder_.string();
  for (char& c : expected) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(ExecutableFolder(), expected);

  MapDrive("c:", program_folder_.parent_path());
  MapDrive("d:", program_folder_);
  MapDrive("e:", prefix_ / "nowhere");
  EXPECT_EQ(ExecutableFolder(), "D:\\");
  fs::remove(prefix_ / "dosdevices" / "d:");
  EXPECT_EQ(ExecutableFolder(), "C:\\" + program_folder_.filename().string());
}

}  // namespace
}  // namespace platform
