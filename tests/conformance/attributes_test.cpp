#include <gtest/gtest.h>

#include "platform/dir_entry.h"
#include "platform/text.h"
#include "tests/conformance/conformance_support.h"
#include "tests/support/test_computer.h"

namespace lumbrel_conformance {
namespace {

using platform::DirEntryName;
using platform::kAttrDirectory;
using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::kAttrSystem;
using platform::UpperCase;

class Attributes : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"plain.txt", "hidden.txt", "system.txt", "readonly.txt"}) {
      computer_.MakeFile(At(name), name);
    }
    for (const char* name : {"Plain", "Hidden", "System", "ReadOnly"})
      computer_.MakeFolder(At(name));
    computer_.SetAttributes(At("hidden.txt"), kAttrHidden);
    computer_.SetAttributes(At("system.txt"), kAttrSystem);
    computer_.SetAttributes(At("readonly.txt"), kAttrReadOnly);
    computer_.SetAttributes(At("Hidden"), kAttrHidden);
    computer_.SetAttributes(At("System"), kAttrSystem);
    computer_.SetAttributes(At("ReadOnly"), kAttrReadOnly);
  }
  void TearDown() override {
    // Writable again, so that the tree can go.
    computer_.SetAttributes(At("readonly.txt"), 0);
    computer_.SetAttributes(At("ReadOnly"), 0);
  }

  std::string At(const std::string& relative) const {
    return lumbrel_test::PathIn(area_, relative);
  }

  lumbrel_test::TestComputer computer_;
  std::string area_ = computer_.AddDrive('T');
  platform::FileSystemObjectRef fso_ = platform::CreateFileSystemObject();
};

TEST_F(Attributes, ListedFilesAndFoldersReportThem) {
  platform::FolderRef root = fso_->GetFolder(At(""));
  std::vector<std::pair<std::string, int32_t>> seen;
  auto files = root->Files()->Enumerate();
  for (platform::FileRef file; files->Next(file);) {
    seen.emplace_back(file->Name(), Comparable(file->Attributes()));
  }
  auto folders = root->SubFolders()->Enumerate();
  for (platform::FolderRef folder; folders->Next(folder);) {
    seen.emplace_back(folder->Name(), Comparable(folder->Attributes()) & ~kAttrReadOnly);
  }
  const std::vector<std::pair<std::string, int32_t>> expected = {
      {"hidden.txt", kAttrHidden},
      {"plain.txt", 0},
      {"readonly.txt", kAttrReadOnly},
      {"system.txt", kAttrSystem},
      {"Hidden", kAttrDirectory | kAttrHidden},
      {"Plain", kAttrDirectory},
      {"ReadOnly", kAttrDirectory},
      {"System", kAttrDirectory | kAttrSystem},
  };
  EXPECT_EQ(seen, expected);
}

TEST_F(Attributes, ReadOnlyFolder) {
  if (!HasReadOnlyMark(At("ReadOnly"))) {
    GTEST_SKIP() << "this system cannot mark a folder read-only";
  }
  platform::FolderRef root = fso_->GetFolder(At(""));
  auto folders = root->SubFolders()->Enumerate();
  for (platform::FolderRef folder; folders->Next(folder);) {
    int32_t expected = kAttrDirectory | (folder->Name() == "ReadOnly" ? kAttrReadOnly : 0) |
                       (folder->Name() == "Hidden" ? kAttrHidden : 0) |
                       (folder->Name() == "System" ? kAttrSystem : 0);
    EXPECT_EQ(Comparable(folder->Attributes()), expected) << folder->Name();
  }
  EXPECT_EQ(Comparable(fso_->GetFolder(At("readonly"))->Attributes()),
            kAttrDirectory | kAttrReadOnly);
}

TEST_F(Attributes, FoldersFoundByPathReportThem) {
  EXPECT_EQ(Comparable(fso_->GetFolder(At("HIDDEN"))->Attributes()), kAttrDirectory | kAttrHidden);
  EXPECT_EQ(Comparable(fso_->GetFolder(At("plain"))->Attributes()), kAttrDirectory);
}

TEST_F(Attributes, DirEntryNameSelectsByHiddenSystemAndFolder) {
  struct Case {
    const char* name;
    std::string with0, with16, with39;
  };
  const Case cases[] = {
      {"plain.txt", "plain.txt", "plain.txt", "plain.txt"},
      {"readonly.txt", "readonly.txt", "readonly.txt", "readonly.txt"},
      {"hidden.txt", "", "", "hidden.txt"},
      {"system.txt", "", "", "system.txt"},
      {"Plain", "", "Plain", ""},
      {"ReadOnly", "", "ReadOnly", ""},
      {"Hidden", "", "", ""},
      {"System", "", "", ""},
  };
  for (const Case& c : cases) {
    std::string path = At(c.name);
    EXPECT_EQ(DirEntryName(path, 0), c.with0) << c.name;
    EXPECT_EQ(DirEntryName(path, 16), c.with16) << c.name;
    EXPECT_EQ(DirEntryName(path, 39), c.with39) << c.name;
  }
  EXPECT_EQ(DirEntryName(At("Hidden"), kAttrDirectory | kAttrHidden), "Hidden");
  EXPECT_EQ(DirEntryName(At("System"), kAttrDirectory | kAttrSystem), "System");
}

TEST_F(Attributes, DirEntryNameGivesTheStoredNameOrNothing) {
  computer_.MakeFolder(At("Packages\\QUARN"));
  EXPECT_EQ(DirEntryName(UpperCase(At("plain.txt")), 0), "plain.txt");
  EXPECT_EQ(DirEntryName(At("packages\\quarn"), 16), "QUARN");
  EXPECT_EQ(DirEntryName(At("missing.txt"), 39), "");
  EXPECT_EQ(DirEntryName(At("missing\\plain.txt"), 39), "");
  EXPECT_EQ(DirEntryName(At("plain.txt\\x"), 39), "");
  EXPECT_EQ(DirEntryName(At("plain.*"), 39), "");
  EXPECT_EQ(DirEntryName(At("plain.tx?"), 39), "");
}

TEST_F(Attributes, DirEntryNameOnADriveThatCannotBeRead) {
  computer_.AddDrive('U', "missing");
  EXPECT_EQ(ErrorNumberOf([] { DirEntryName("U:\\QUARN.exe", 0); }), platform::kDiskNotReady);
}

// A folder or a missing document among those delivered must stop the run
// before anything is written, naming the entry.
TEST_F(Attributes, OnlyARegularFileCanBeDelivered) {
  EXPECT_NO_THROW(platform::RequireRegularFile(At("readonly.txt")));
  for (const auto& [name, number] : {std::pair{"Plain", 75}, std::pair{"absent.txt", 53}}) {
    try {
      platform::RequireRegularFile(At(name));
      ADD_FAILURE() << name << " accepted";
    } catch (const platform::PlatformError& error) {
      EXPECT_EQ(std::pair(error.Number(), error.Path()), std::pair(number, At(name)));
    }
  }
}

}  // namespace
}  // namespace lumbrel_conformance
