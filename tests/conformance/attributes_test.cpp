#include <gtest/gtest.h>

#include "platform/dir_entry.h"
#include "platform/text.h"
#include "tests/conformance/conformance_support.h"
#include "tests/support/test_tree.h"

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
      tree_.MakeFile(name, name);
    }
    for (const char* name : {"Plain", "Hidden", "System", "ReadOnly"}) tree_.MakeFolder(name);
    tree_.SetAttributes("hidden.txt", kAttrHidden);
    tree_.SetAttributes("system.txt", kAttrSystem);
    tree_.SetAttributes("readonly.txt", kAttrReadOnly);
    tree_.SetAttributes("Hidden", kAttrHidden);
    tree_.SetAttributes("System", kAttrSystem);
    tree_.SetAttributes("ReadOnly", kAttrReadOnly);
  }
  void TearDown() override {
    // Writable again, so that the tree can go.
    tree_.SetAttributes("readonly.txt", 0);
    tree_.SetAttributes("ReadOnly", 0);
  }

  lumbrel_test::TestTree tree_;
  platform::FileSystemObjectRef fso_ = platform::CreateFileSystemObject();
};

TEST_F(Attributes, ListedFilesAndFoldersReportThem) {
  platform::FolderRef root = fso_->GetFolder(tree_.Root());
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
  if (!HasReadOnlyMark(tree_.PathOf("ReadOnly"))) {
    GTEST_SKIP() << "this system cannot mark a folder read-only";
  }
  platform::FolderRef root = fso_->GetFolder(tree_.Root());
  auto folders = root->SubFolders()->Enumerate();
  for (platform::FolderRef folder; folders->Next(folder);) {
    int32_t expected = kAttrDirectory | (folder->Name() == "ReadOnly" ? kAttrReadOnly : 0) |
                       (folder->Name() == "Hidden" ? kAttrHidden : 0) |
                       (folder->Name() == "System" ? kAttrSystem : 0);
    EXPECT_EQ(Comparable(folder->Attributes()), expected) << folder->Name();
  }
  EXPECT_EQ(Comparable(fso_->GetFolder(tree_.PathOf("readonly"))->Attributes()),
            kAttrDirectory | kAttrReadOnly);
}

TEST_F(Attributes, FoldersFoundByPathReportThem) {
  EXPECT_EQ(Comparable(fso_->GetFolder(tree_.PathOf("HIDDEN"))->Attributes()),
            kAttrDirectory | kAttrHidden);
  EXPECT_EQ(Comparable(fso_->GetFolder(tree_.PathOf("plain"))->Attributes()), kAttrDirectory);
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
    std::string path = tree_.PathOf(c.name);
    EXPECT_EQ(DirEntryName(path, 0), c.with0) << c.name;
    EXPECT_EQ(DirEntryName(path, 16), c.with16) << c.name;
    EXPECT_EQ(DirEntryName(path, 39), c.with39) << c.name;
  }
  EXPECT_EQ(DirEntryName(tree_.PathOf("Hidden"), kAttrDirectory | kAttrHidden), "Hidden");
  EXPECT_EQ(DirEntryName(tree_.PathOf("System"), kAttrDirectory | kAttrSystem), "System");
}

TEST_F(Attributes, DirEntryNameGivesTheStoredNameOrNothing) {
  tree_.MakeFolder("Packages\\QUARN");
  EXPECT_EQ(DirEntryName(UpperCase(tree_.PathOf("plain.txt")), 0), "plain.txt");
  EXPECT_EQ(DirEntryName(tree_.PathOf("packages\\quarn"), 16), "QUARN");
  EXPECT_EQ(DirEntryName(tree_.PathOf("missing.txt"), 39), "");
  EXPECT_EQ(DirEntryName(tree_.PathOf("missing\\plain.txt"), 39), "");
  EXPECT_EQ(DirEntryName(tree_.PathOf("plain.txt\\x"), 39), "");
  EXPECT_EQ(DirEntryName(tree_.PathOf("plain.*"), 39), "");
  EXPECT_EQ(DirEntryName(tree_.PathOf("plain.tx?"), 39), "");
}

TEST_F(Attributes, DirEntryNameOnADriveThatCannotBeRead) {
  EXPECT_EQ(ErrorNumberOf([] { DirEntryName("U:\\QUARN.exe", 0); }), platform::kDiskNotReady);
}

}  // namespace
}  // namespace lumbrel_conformance
