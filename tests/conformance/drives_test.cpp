#include <gtest/gtest.h>

#include <map>

#include "tests/conformance/conformance_support.h"
#include "tests/support/test_computer.h"

namespace lumbrel_conformance {
namespace {

using platform::CreateFileSystemObject;

// The drives scripts/make-test-prefix lays out for Wine, staged alike natively.
class Drives : public testing::Test {
 protected:
  Drives() {
    for (const auto& [letter, type] : {std::pair{'A', "unlisted"},
                                       {'C', "hd"},
                                       {'K', "unlisted"},
                                       {'M', "ramdisk"},
                                       {'N', "network"},
                                       {'R', "floppy"},
                                       {'S', "cdrom"},
                                       {'T', "hd"},
                                       {'U', "missing"},
                                       {'V', "nowhere"}}) {
      computer_.AddDrive(letter, type);
    }
  }
  lumbrel_test::TestComputer computer_;
};

TEST_F(Drives, LettersAndTypesAreThoseThePrefixDeclares) {
  auto drives = CreateFileSystemObject()->Drives();
  std::map<std::string, int32_t> types;
  std::string order;
  auto items = drives->Enumerate();
  for (platform::DriveRef drive; items->Next(drive);) {
    order += drive->DriveLetter();
    types[drive->DriveLetter()] = drive->Type();
  }
  EXPECT_EQ(drives->Count(), static_cast<int32_t>(order.size()));
  EXPECT_EQ(order, "ACKMNRSTUV");
  const std::map<std::string, int32_t> expected = {
      // The numbers a caller sees: 0 unknown, 1 removable, 2 fixed, 3 network,
      // 4 CD-ROM, 5 RAM disk.
      {"A", 1}, {"C", 2}, {"K", 2},
      {"M", 5}, {"N", 3}, {"R", 1},
      {"S", 4}, {"T", 2}, {"U", UnreadableListedDriveType()},
      {"V", 0},
  };
  EXPECT_EQ(types, expected);
}

TEST_F(Drives, RootFolderOfAReadableDriveAndOfOneThatIsNot) {
  auto items = CreateFileSystemObject()->Drives()->Enumerate();
  int checked = 0;
  for (platform::DriveRef drive; items->Next(drive);) {
    if (drive->DriveLetter() == "T") {
      ++checked;
      platform::FolderRef root = drive->RootFolder();
      EXPECT_EQ(root->Path(), "T:\\");
      EXPECT_EQ(root->Name(), "");
      EXPECT_NE(root->Attributes() & platform::kAttrDirectory, 0);
    } else if (drive->DriveLetter() == "U") {
      ++checked;
      try {
        drive->RootFolder();
        ADD_FAILURE() << "U: has no folder behind it";
      } catch (const platform::PlatformError& error) {
        EXPECT_EQ(error.Number(), platform::kDiskNotReady);
        EXPECT_EQ(error.Text(), "Disk not ready");
      }
    }
  }
  EXPECT_EQ(checked, 2);
}

}  // namespace
}  // namespace lumbrel_conformance
