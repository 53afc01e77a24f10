// The walker on a staged disk: how each kind of root starts a walk, the result
// codes, the shared position of the two cursors, and entries that change
// after their listing. Walk order under faults is the property test's.

#include "dirtree/crt_dtree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.h"
#include "tests/support/test_computer.h"
#include "tests/support/walk_loops.h"

namespace {

using lumbrel_test::ListFault;
using lumbrel_test::TestComputer;
using Paths = std::vector<std::string>;
using walk_loops::FileLoop;
using walk_loops::FolderLoop;

// R holds r1, r2 and the subfolders A and B; A holds no files and A1, which
// holds x; B holds y.
class StandardTree : public ::testing::Test {
 protected:
  StandardTree() {
    for (const char* file : {"r1", "r2", "A\\A1\\x", "B\\y"}) computer.MakeFile(At(file));
  }

  std::string At(const std::string& relative) const {
    return relative.empty() ? R : R + "\\" + relative;
  }
  platform::FolderRef Folder(const std::string& relative) { return fso->GetFolder(At(relative)); }
  void Root(int32_t settings = 0) {
    tree.SetRoot(RootValue::OfFolder(Folder("")), settings);
    ASSERT_EQ(tree.ErrorNumber(), 0);
  }
  std::string PathOf(const platform::FolderRef& folder) { return folder ? folder->Path() : "-"; }
  std::string PathOf(const platform::FileRef& file) { return file ? file->Path() : "-"; }
  // Walking stops with no walk: every cursor call reports -3.
  void ExpectNoWalk(int32_t code) {
    EXPECT_EQ(tree.ErrorNumber(), code);
    EXPECT_FALSE(tree.Finished());
    tree.MoveNextFile();
    EXPECT_EQ(tree.ErrorNumber(), -3);
    EXPECT_EQ(tree.GetFolder(), nullptr);
    EXPECT_EQ(tree.ErrorNumber(), -3);
  }

  TestComputer computer;
  std::string R = computer.AddDrive('T') + "\\R";
  platform::FileSystemObjectRef fso = computer.FileSystem();
  crtDTree tree;
};

TEST_F(StandardTree, AfterTheLastFolderEveryMoveReportsNoWalk) {
  EXPECT_EQ(tree.ErrorNumber(), 0);  // a new walker is idle
  EXPECT_EQ(tree.GetFile(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -3);
  Root();
  for (int i = 0; i < 3; ++i) tree.MoveNextFolder();
  EXPECT_EQ(PathOf(tree.GetFolder()), At("B"));
  tree.MoveNextFolder();
  EXPECT_TRUE(tree.Finished());
  EXPECT_EQ(tree.ErrorNumber(), 0);
  tree.MoveNextFolder();
  EXPECT_EQ(tree.ErrorNumber(), -3);
  Root();
  EXPECT_FALSE(tree.Finished());
}

TEST_F(StandardTree, TheCursorsShareOnePosition) {
  Root();
  tree.MoveNextFile();
  tree.MoveNextFile();
  tree.MoveNextFile();
  EXPECT_EQ(PathOf(tree.GetFile()), At("A\\A1\\x"));
  EXPECT_EQ(PathOf(tree.GetFolder()), At("A\\A1"));
  // Leaving a folder half-read starts the next one at its first file.
  Root();
  tree.MoveNextFile();
  tree.MoveNextFolder();
  EXPECT_EQ(tree.GetFile(), nullptr);  // A has no files
  EXPECT_EQ(tree.ErrorNumber(), -4);
  tree.MoveNextFolder();
  tree.MoveNextFolder();
  EXPECT_EQ(PathOf(tree.GetFile()), At("B\\y"));
  tree.MoveNextFile();
  EXPECT_TRUE(tree.Finished());
}

TEST_F(StandardTree, UnreadableEntriesGiveNothingWithTheirCodes) {
  computer.faults.unreadable = {At("A"), At("r1")};
  Root();
  tree.MoveNextFolder();
  EXPECT_EQ(PathOf(tree.GetFolder()), At("A\\A1"));
  computer.faults.unreadable.insert(R);
  Root();
  EXPECT_EQ(tree.GetFolder(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -1);
  EXPECT_EQ(tree.GetFile(), nullptr);  // r1
  EXPECT_EQ(tree.ErrorNumber(), -4);
  tree.MoveNextFile();
  EXPECT_EQ(PathOf(tree.GetFile()), At("r2"));
  // A first root without files, or with a gap where its first file should be.
  tree.SetRoot(RootValue::OfFolder(Folder("A")), 0);
  EXPECT_EQ(tree.GetFile(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -4);
  EXPECT_EQ(FileLoop(tree), Paths{At("A\\A1\\x")});
  computer.faults.files[At("A")] = ListFault::kFewerThanCount;
  tree.SetRoot(RootValue::OfFolder(Folder("A")), 1);
  EXPECT_EQ(tree.GetFile(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -4);
  EXPECT_EQ(FileLoop(tree), Paths{});
}

TEST_F(StandardTree, EntriesChangedAfterTheirListingAreNotSeen) {
  Root();
  tree.MoveNextFile();  // on r1: R's files are listed
  computer.MakeFile(At("late-file"));
  tree.MoveNextFile();
  tree.MoveNextFile();  // on x: R's subfolders and A1's files are listed
  computer.MakeFile(At("late-folder\\z"));
  computer.MakeFile(At("A\\A1\\late-x"));
  computer.Remove(At("B"));
  EXPECT_EQ(FileLoop(tree), Paths{});
  EXPECT_TRUE(tree.Finished());
}

TEST_F(StandardTree, AWalkListsEachFolderOnceAndReadsEachPathOnce) {
  Root();
  computer.faults.path_reads = 0;
  while (!tree.Finished()) tree.MoveNextFile();
  for (const char* folder : {"", "A", "A\\A1", "B"}) {
    EXPECT_EQ(computer.faults.listings[At(folder)], 2) << folder;  // files and subfolders
  }
  EXPECT_EQ(computer.faults.path_reads, 4);  // one readability test per file
}

TEST_F(StandardTree, RootsOfEveryKindInTheirOrder) {
  const std::string P = At("A"), Q = At("B");
  const struct {
    RootValue root;
    Paths folders;
  } cases[] = {
      {RootValue::OfString(P), {P, P + "\\A1"}},
      {RootValue::OfStrings({Q, P}), {Q, P, P + "\\A1"}},
      {RootValue::OfFolders(Folder("")->SubFolders()), {P, P + "\\A1", Q}},
      {RootValue::OfCollection({RootValue::OfString(Q), RootValue::OfFolder(Folder("A\\A1"))}),
       {Q, P + "\\A1"}},
      {RootValue::OfCollection(
           {RootValue::OfFolder(Folder("B")), RootValue::OfFolder(Folder("B"))}),
       {Q, Q}},
  };
  for (const auto& c : cases) {
    tree.SetRoot(c.root, 0);
    EXPECT_EQ(tree.ErrorNumber(), 0);
    EXPECT_EQ(FolderLoop(tree), c.folders);
  }
}

TEST_F(StandardTree, RootsThatStartNoWalk) {
  computer.faults.subfolders[R] = ListFault::kFewerThanCount;
  const struct {
    RootValue root;
    int32_t code;
  } cases[] = {
      {RootValue::OfDouble(3.0), -2},
      {RootValue::OfDoubles({1.0}), -2},
      {RootValue(), -2},
      {RootValue::OfCollection({RootValue::OfFolder(Folder("A")), RootValue::OfDouble(1.0)}), -2},
      {RootValue::OfCollection({RootValue::OfStrings({At("A")})}), -2},
      {RootValue::OfCollection({RootValue::OfFolder(Folder("A")), RootValue()}), -2},
      {RootValue::OfString(At("missing")), -1},
      {RootValue::OfStrings({}), -1},
      {RootValue::OfCollection({}), -1},
      {RootValue::OfFolders(Folder("A\\A1")->SubFolders()), -1},
      {RootValue::OfFolders(Folder("")->SubFolders()), -1},  // a gap in the list
  };
  for (const auto& c : cases) {
    tree.SetRoot(RootValue::OfFolder(Folder("")), 0);  // a walk in progress is dropped
    tree.SetRoot(c.root, 0);
    ExpectNoWalk(c.code);
  }
  computer.faults.subfolders[R] = ListFault::kMoreThanCount;
  EXPECT_EQ(lumbrel_test::ErrorNumberOf(
                [&] { tree.SetRoot(RootValue::OfFolders(Folder("")->SubFolders()), 0); }),
            9);  // "Subscript out of range"
  ExpectNoWalk(-1);
}

TEST(CrtDTreeDrives, ADriveWalksFromItsTopAndOneNotReadyFailsOrIsPassedOver) {
  if (!TestComputer::OwnsWholeDrives()) GTEST_SKIP() << "drives are the shared prefix's";
  TestComputer computer;
  computer.AddDrive('D');
  computer.AddDrive('U', "missing");
  computer.MakeFile("D:\\sub\\f");
  platform::DriveRef d, u;
  auto drives = computer.FileSystem()->Drives()->Enumerate();
  for (platform::DriveRef drive; drives->Next(drive);)
    (drive->DriveLetter() == "D" ? d : u) = drive;
  crtDTree tree;
  tree.SetRoot(RootValue::OfCollection({RootValue::OfDrive(d), RootValue::OfString("D:\\sub")}), 0);
  EXPECT_EQ(FolderLoop(tree), (Paths{"D:\\", "D:\\sub", "D:\\sub"}));
  EXPECT_EQ(lumbrel_test::ErrorNumberOf([&] { tree.SetRoot(RootValue::OfDrive(u), 0); }),
            platform::kDiskNotReady);
  EXPECT_EQ(tree.ErrorNumber(), -1);
  // Inside a collection a drive that is not ready is no usable root, never an error.
  tree.SetRoot(RootValue::OfCollection({RootValue::OfDrive(u)}), 0);
  EXPECT_EQ(tree.ErrorNumber(), -1);
}

}  // namespace
