// The walker's cursors over an in-memory tree: result codes, the shared
// position of the two cursors, entries that change after their listing, and
// what a walk costs. Walk order under faults is the property test's.

#include "dirtree/crt_dtree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dirtree/fake_tree_test_support.h"
#include "dirtree/walk_loops_test_support.h"

namespace {

using fake_tree::FakeFile;
using fake_tree::FakeFolder;
using fake_tree::ListFault;
using Paths = std::vector<std::string>;

// R holds r1, r2 and the subfolders A and B; A holds no files and A1, which
// holds x; B holds y.
class StandardTree : public ::testing::Test {
 protected:
  StandardTree() {
    r1 = R->AddFile("r1");
    r2 = R->AddFile("r2");
    A = R->AddFolder("A");
    B = R->AddFolder("B");
    A1 = A->AddFolder("A1");
    x = A1->AddFile("x");
    y = B->AddFile("y");
  }

  void Root(int32_t settings = 0) {
    tree.SetRoot(RootValue::OfFolder(R), settings);
    ASSERT_EQ(tree.ErrorNumber(), 0);
  }

  std::shared_ptr<FakeFolder> R = FakeFolder::MakeRoot("R");
  std::shared_ptr<FakeFolder> A, B, A1;
  std::shared_ptr<FakeFile> r1, r2, x, y;
  crtDTree tree;
};

TEST_F(StandardTree, AfterTheLastFolderEveryMoveReportsNoWalk) {
  Root();
  for (int i = 0; i < 3; ++i) tree.MoveNextFolder();
  EXPECT_EQ(tree.GetFolder(), B);
  tree.MoveNextFolder();
  EXPECT_TRUE(tree.Finished());
  EXPECT_EQ(tree.ErrorNumber(), 0);
  tree.MoveNextFolder();
  EXPECT_EQ(tree.ErrorNumber(), -3);
  tree.SetRoot(RootValue::OfFolder(R), 0);
  EXPECT_FALSE(tree.Finished());
  for (int i = 0; i < 4; ++i) tree.MoveNextFolder();
  tree.MoveNextFile();
  EXPECT_EQ(tree.ErrorNumber(), -3);
  EXPECT_EQ(tree.GetFolder(), nullptr);
  EXPECT_TRUE(tree.Finished());
}

TEST_F(StandardTree, TheCursorsShareOnePosition) {
  Root();
  tree.MoveNextFile();
  tree.MoveNextFile();
  EXPECT_EQ(tree.GetFile(), r2);
  tree.MoveNextFile();
  EXPECT_EQ(tree.GetFile(), x);
  EXPECT_EQ(tree.GetFolder(), A1);

  // Leaving a folder half-read starts the next one at its first file.
  Root();
  tree.MoveNextFile();
  EXPECT_EQ(tree.GetFile(), r1);
  tree.MoveNextFolder();
  EXPECT_EQ(tree.GetFile(), nullptr);  // A has no files
  EXPECT_EQ(tree.ErrorNumber(), -4);
  tree.MoveNextFolder();
  tree.MoveNextFolder();
  EXPECT_EQ(tree.GetFolder(), B);
  EXPECT_EQ(tree.GetFile(), y);
  tree.MoveNextFile();
  EXPECT_TRUE(tree.Finished());
}

// The first GetFile on a root whose first file is missing reports -4 and
// the walk goes on; a first MoveNextFile on an empty tree ends it at once.
TEST(CrtDTreeFirstFile, NoFileUnderTheCursorIsMinusFour) {
  const auto E = FakeFolder::MakeRoot("E");
  E->AddFolder("sub")->AddFile("f");
  const auto G = FakeFolder::MakeRoot("G");  // a gap where the first file should be
  G->files_fault = ListFault::kFewerThanCount;
  crtDTree tree;
  for (const auto& [root, rest] : {std::pair{E, Paths{"F:\\E\\sub\\f"}}, std::pair{G, Paths{}}}) {
    SCOPED_TRACE(root->Name());
    tree.SetRoot(RootValue::OfFolder(root), 0);
    EXPECT_EQ(tree.GetFile(), nullptr);
    EXPECT_EQ(tree.ErrorNumber(), -4);
    EXPECT_FALSE(tree.Finished());
    EXPECT_EQ(walk_loops::FileLoop(tree), rest);
  }
  tree.SetRoot(RootValue::OfFolder(FakeFolder::MakeRoot("empty")), 0);
  tree.MoveNextFile();
  EXPECT_EQ(tree.ErrorNumber(), 0);
  EXPECT_TRUE(tree.Finished());
  EXPECT_EQ(tree.GetFile(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -3);
}

TEST_F(StandardTree, UnreadablePathsGiveNothingWithTheirCodes) {
  A->path_throws = true;
  r1->path_throws = true;
  Root();
  tree.MoveNextFolder();
  EXPECT_EQ(tree.GetFolder(), A1);
  EXPECT_EQ(tree.ErrorNumber(), 0);

  R->path_throws = true;
  Root();
  EXPECT_EQ(tree.GetFolder(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -1);
  EXPECT_EQ(tree.GetFile(), nullptr);  // r1
  EXPECT_EQ(tree.ErrorNumber(), -4);
  tree.MoveNextFile();
  EXPECT_EQ(tree.GetFile(), r2);
  EXPECT_EQ(tree.ErrorNumber(), 0);
}

TEST_F(StandardTree, EntriesAddedAfterTheirListingAreNotSeen) {
  Root();
  tree.MoveNextFile();  // on r1: R's files are listed
  R->AddFile("late-file");
  tree.MoveNextFile();
  tree.MoveNextFile();  // on x: R's subfolders and A1's files are listed
  R->AddFolder("late-folder")->AddFile("z");
  A1->AddFile("late-x");
  EXPECT_EQ(walk_loops::FileLoop(tree), (Paths{"F:\\R\\B\\y"}));
}

TEST_F(StandardTree, FoldersRemovedAfterTheirListingAreSkipped) {
  Root();
  tree.MoveNextFolder();  // on A; R's subfolders A and B are listed
  A->Remove();
  EXPECT_EQ(tree.GetFolder(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -1);
  EXPECT_EQ(tree.GetFile(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -4);
  tree.MoveNextFolder();
  EXPECT_EQ(tree.GetFolder(), B);
  B->Remove();
  tree.MoveNextFolder();
  EXPECT_TRUE(tree.Finished());

  Root();
  tree.MoveNextFile();
  tree.MoveNextFile();
  tree.MoveNextFile();  // on x
  EXPECT_EQ(walk_loops::FileLoop(tree), Paths{});
}

TEST_F(StandardTree, AWalkListsEachFolderOnceAndReadsLittleElse) {
  Root();
  tree.MoveNextFile();
  while (!tree.Finished()) tree.MoveNextFile();
  for (const auto& folder : {R, A, A1, B}) {
    SCOPED_TRACE(folder->Name());
    EXPECT_EQ(folder->subfolder_listings, 1);
    EXPECT_EQ(folder->file_listings, 1);
  }
  for (const auto& file : {r1, r2, x, y}) EXPECT_EQ(file->path_reads, 1) << file->Name();
  // Attributes are read only where a listing found something to enter.
  EXPECT_EQ(R->attribute_reads, 0);
  EXPECT_EQ(A->attribute_reads + A1->attribute_reads + B->attribute_reads, 3);
}

TEST_F(StandardTree, OnlyTheCurrentPathIsHeld) {
  // What the tree and this fixture hold; anything above is the walker's.
  const long a1_base = A1.use_count(), a_base = A.use_count(), y_base = y.use_count();
  Root();
  tree.MoveNextFolder();
  tree.MoveNextFolder();
  EXPECT_EQ(tree.GetFolder(), A1);
  tree.MoveNextFolder();  // on B: A's subtree has been left
  EXPECT_EQ(A1.use_count(), a1_base);
  tree.MoveNextFile();  // y, B's files are held
  EXPECT_EQ(tree.GetFile(), y);
  tree.SetRoot(RootValue::OfFolder(FakeFolder::MakeRoot("other")), 0);
  tree.MoveNextFile();
  EXPECT_EQ(A.use_count(), a_base);
  EXPECT_EQ(B.use_count(), a_base);
  EXPECT_EQ(y.use_count(), y_base);
}

}  // namespace
