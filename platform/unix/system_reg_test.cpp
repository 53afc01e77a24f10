#include "platform/unix/system_reg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/unix/wine_drives.h"

namespace platform::posix {
namespace {

int32_t TypeOf(const std::array<int32_t, 26>& types, char letter) {
  return types[static_cast<size_t>(letter - 'a')];
}

TEST(SystemReg, ReadsTheDrivesSection) {
  auto types = ParseDriveTypes(
      "WINE REGISTRY Version 2\n"
      ";; All keys relative to \\\\Machine\n"
      "\n"
      "[Software\\\\Wine\\\\Drives] 1700000000\n"
      "#time=1da0c2a4f3e9b12\n"
      "\"c:\"=\"hd\"\n"
      "\"D:\" = \"CDROM\"\r\n"
      "  \"n:\"=\"network\"  \n"
      "\"r:\"=\"floppy\"\n"
      "\"m:\"=\"ramdisk\"\n"
      "\"q:\"=\"tape\"\n"
      "\n"
      "[Software\\\\Wine\\\\Other] 1700000000\n"
      "\"e:\"=\"hd\"\n");
  EXPECT_EQ(TypeOf(types, 'c'), kDriveFixed);
  EXPECT_EQ(TypeOf(types, 'd'), kDriveCdRom);
  EXPECT_EQ(TypeOf(types, 'n'), kDriveNetwork);
  EXPECT_EQ(TypeOf(types, 'r'), kDriveRemovable);
  EXPECT_EQ(TypeOf(types, 'm'), kDriveRamDisk);
  EXPECT_EQ(TypeOf(types, 'q'), kDriveTypeUnlisted);  // a type Wine does not know
  EXPECT_EQ(TypeOf(types, 'e'), kDriveTypeUnlisted);  // another section
  EXPECT_EQ(TypeOf(types, 'z'), kDriveTypeUnlisted);
}

TEST(SystemReg, SectionNameIgnoresCaseAndSpacing) {
  auto types = ParseDriveTypes("[software\\\\WINE\\\\drives]\n\"k:\"  =  \"Hd\"\n");
  EXPECT_EQ(TypeOf(types, 'k'), kDriveFixed);
  types = ParseDriveTypes("[ Software\\\\Wine\\\\Drives ]1\n\"k:\"=\"ramdisk\"");
  EXPECT_EQ(TypeOf(types, 'k'), kDriveRamDisk);
}

TEST(SystemReg, IgnoresWhatIsNoDriveValue) {
  auto types = ParseDriveTypes(
      "[Software\\\\Wine\\\\Drives]\n"
      "; \"a:\"=\"cdrom\"\n"
      "# \"b:\"=\"cdrom\"\n"
      "\"cc:\"=\"cdrom\"\n"
      "\"1:\"=\"cdrom\"\n"
      "\"e:\"=dword:00000001\n"
      "@=\"cdrom\"\n"
      "\"f:\"\n"
      "\"g:\"=\"cdrom\n");
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    EXPECT_EQ(TypeOf(types, letter), kDriveTypeUnlisted) << letter;
  }
  EXPECT_EQ(TypeOf(ParseDriveTypes(""), 'c'), kDriveTypeUnlisted);
  EXPECT_EQ(TypeOf(ParseDriveTypes("\"c:\"=\"hd\"\n"), 'c'), kDriveTypeUnlisted);
}

TEST(SystemReg, LaterSectionOfTheSameNameStillCounts) {
  auto types = ParseDriveTypes(
      "[Software\\\\Wine\\\\Drives]\n\"c:\"=\"hd\"\n"
      "[Other]\n\"d:\"=\"hd\"\n"
      "[Software\\\\Wine\\\\Drives]\n\"c:\"=\"cdrom\"\n");
  EXPECT_EQ(TypeOf(types, 'c'), kDriveCdRom);
  EXPECT_EQ(TypeOf(types, 'd'), kDriveTypeUnlisted);
}

TEST(SystemRegFile, OnlyARegularFileOfAtMost64MiBIsRead) {
  char pattern[] = "/tmp/lumbrel-reg-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string prefix = pattern;
  const std::string path = prefix + "/system.reg";
  const auto failure = [&prefix] {
    try {
      ReadListedDriveTypes(prefix);
    } catch (const PlatformError& error) {
      return error.Text();
    }
    return std::string("no error");
  };
  EXPECT_EQ(TypeOf(ReadListedDriveTypes(prefix), 'c'), kDriveTypeUnlisted);  // none at all
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);  // opened blocking, this would hang
  EXPECT_EQ(failure(), "Cannot read the drive list " + path + ": it is not a regular file");
  ASSERT_EQ(unlink(path.c_str()), 0);
  std::ofstream(path) << "[Software\\\\Wine\\\\Drives]\n\"c:\"=\"cdrom\"\n";
  ASSERT_EQ(truncate(path.c_str(), 64 << 20), 0);
  EXPECT_EQ(TypeOf(ReadListedDriveTypes(prefix), 'c'), kDriveCdRom);
  ASSERT_EQ(truncate(path.c_str(), (64 << 20) + 1), 0);
  EXPECT_EQ(failure(), "Cannot read the drive list " + path + ": it is larger than 64 MiB");
  std::filesystem::remove_all(prefix);
}

}  // namespace
}  // namespace platform::posix
