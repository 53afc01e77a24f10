// The walker on real folders of the scratch drive: path roots, drive roots,
// and link cycles, which only a real disk can make.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "dirtree/walk_loops_test_support.h"
#include "platform/file_system.h"
#include "tests/support/test_tree.h"

namespace {

using lumbrel_test::TestTree;
using Paths = std::vector<std::string>;

platform::DriveRef DriveOf(char letter) {
  const auto drives = platform::CreateFileSystemObject()->Drives();
  const auto enumerator = drives->Enumerate();
  platform::DriveRef drive;
  while (enumerator->Next(drive)) {
    if (drive->DriveLetter() == std::string(1, letter)) return drive;
  }
  return nullptr;
}

// R holds r1, r2 and the subfolders A and B; A holds A1, which holds x; B
// holds y. S holds s.
class DiskTree : public ::testing::Test {
 protected:
  DiskTree() {
    disk.MakeFolder("R\\A\\A1");
    disk.MakeFolder("R\\B");
    disk.MakeFolder("S");
    disk.MakeFile("R\\r1");
    disk.MakeFile("R\\r2");
    disk.MakeFile("R\\A\\A1\\x");
    disk.MakeFile("R\\B\\y");
    disk.MakeFile("S\\s");
  }

  Paths PathsOf(const Paths& relatives) const {
    Paths paths;
    for (const std::string& relative : relatives) paths.push_back(disk.PathOf(relative));
    return paths;
  }

  TestTree disk;
  crtDTree tree;
};

TEST_F(DiskTree, PathRootsWalkFoldersAndFilesInListingOrder) {
  tree.SetRoot(RootValue::OfString(disk.PathOf("R")), 0);
  ASSERT_EQ(tree.ErrorNumber(), 0);
  EXPECT_EQ(walk_loops::FolderLoop(tree), PathsOf({"R", "R\\A", "R\\A\\A1", "R\\B"}));
  tree.SetRoot(RootValue::OfString(disk.PathOf("R")), 0);
  EXPECT_EQ(walk_loops::FileLoop(tree), PathsOf({"R\\r1", "R\\r2", "R\\A\\A1\\x", "R\\B\\y"}));
  tree.SetRoot(RootValue::OfString(disk.PathOf("R")), 1);
  EXPECT_EQ(walk_loops::FileLoop(tree), PathsOf({"R\\r1", "R\\r2"}));
  tree.SetRoot(RootValue::OfStrings({disk.PathOf("S"), disk.PathOf("R")}), 0);
  ASSERT_EQ(tree.ErrorNumber(), 0);
  EXPECT_EQ(walk_loops::FolderLoop(tree), PathsOf({"S", "R", "R\\A", "R\\A\\A1", "R\\B"}));
}

TEST_F(DiskTree, AMissingPathStartsNoWalk) {
  tree.SetRoot(RootValue::OfString(disk.PathOf("missing")), 0);
  EXPECT_EQ(tree.ErrorNumber(), -1);
  EXPECT_FALSE(tree.Finished());
  tree.MoveNextFile();
  EXPECT_EQ(tree.ErrorNumber(), -3);

  // A file is no folder to walk.
  tree.SetRoot(RootValue::OfString(disk.PathOf("S\\s")), 0);
  EXPECT_EQ(tree.ErrorNumber(), -1);

  // One missing path stops the walk over all the others.
  tree.SetRoot(RootValue::OfStrings({disk.PathOf("R"), disk.PathOf("missing"), disk.PathOf("S")}),
               0);
  EXPECT_EQ(tree.ErrorNumber(), -1);
  EXPECT_FALSE(tree.Finished());
}

TEST_F(DiskTree, ACollectionHoldingAPathAFolderAndADrive) {
  const platform::DriveRef scratch = DriveOf(lumbrel_test::kScratchDrive);
  ASSERT_NE(scratch, nullptr);
  const platform::FolderRef s = platform::CreateFileSystemObject()->GetFolder(disk.PathOf("S"));
  tree.SetRoot(RootValue::OfCollection({RootValue::OfString(disk.PathOf("R")),
                                        RootValue::OfFolder(s), RootValue::OfDrive(scratch)}),
               1);
  ASSERT_EQ(tree.ErrorNumber(), 0);
  const std::string top{lumbrel_test::kScratchDrive, ':', '\\'};
  EXPECT_EQ(walk_loops::FolderLoop(tree), (Paths{disk.PathOf("R"), disk.PathOf("S"), top}));
}

TEST_F(DiskTree, ALinkToAnAncestorEndsTheWalk) {
  if (!disk.MakeFolderLink("R\\A\\A1\\up", "R")) {
    GTEST_SKIP() << "this system cannot make folder links";
  }
  ASSERT_TRUE(disk.MakeFolderLink("R\\B\\side", "S"));
  tree.SetRoot(RootValue::OfString(disk.PathOf("R")), 0);
  EXPECT_EQ(walk_loops::FolderLoop(tree, 1000),
            PathsOf({"R", "R\\A", "R\\A\\A1", "R\\A\\A1\\up", "R\\B", "R\\B\\side"}));
  tree.SetRoot(RootValue::OfString(disk.PathOf("R")), 0);
  EXPECT_EQ(walk_loops::FileLoop(tree, 1000),
            PathsOf({"R\\r1", "R\\r2", "R\\A\\A1\\x", "R\\B\\y"}));

  // A root is entered even when it is a link itself.
  tree.SetRoot(RootValue::OfString(disk.PathOf("R\\B\\side")), 0);
  EXPECT_EQ(walk_loops::FileLoop(tree, 1000), PathsOf({"R\\B\\side\\s"}));
}

}  // namespace
