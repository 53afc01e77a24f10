// How SetRoot turns each kind of root into the start of a walk, and the result
// codes of a walker that is not walking.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "dirtree/fake_tree_test_support.h"
#include "dirtree/walk_loops_test_support.h"
#include "platform/error.h"

namespace {

using fake_tree::FakeDrive;
using fake_tree::FakeFolder;
using fake_tree::ListFault;
using Paths = std::vector<std::string>;

class Roots : public ::testing::Test {
 protected:
  void ExpectNoWalk(int32_t code) {
    EXPECT_EQ(tree.ErrorNumber(), code);
    EXPECT_FALSE(tree.Finished());
    tree.MoveNextFile();
    EXPECT_EQ(tree.ErrorNumber(), -3);
    EXPECT_EQ(tree.GetFolder(), nullptr);
    EXPECT_EQ(tree.ErrorNumber(), -3);
    EXPECT_FALSE(tree.Finished());
  }

  std::shared_ptr<FakeFolder> P = FakeFolder::MakeRoot("P");
  std::shared_ptr<FakeFolder> Q = FakeFolder::MakeRoot("Q");
  std::shared_ptr<FakeFolder> D = FakeFolder::MakeRoot("", 'D');
  std::shared_ptr<FakeDrive> drive = std::make_shared<FakeDrive>('D', D);
  crtDTree tree;
};

TEST_F(Roots, ANewWalkerIsIdleWithCodeZero) {
  EXPECT_EQ(tree.ErrorNumber(), 0);
  EXPECT_FALSE(tree.Finished());
  EXPECT_EQ(tree.GetFolder(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -3);
  EXPECT_EQ(tree.GetFile(), nullptr);
  EXPECT_EQ(tree.ErrorNumber(), -3);
  tree.MoveNextFolder();
  EXPECT_EQ(tree.ErrorNumber(), -3);
}

TEST_F(Roots, RejectedKindsReportMinusTwo) {
  const std::vector<RootValue> rejected{
      RootValue::OfDouble(3.0),
      RootValue::OfDoubles({1.0, 2.0}),
      RootValue(),
      RootValue::OfCollection({RootValue::OfFolder(P), RootValue::OfDouble(1.0)}),
      RootValue::OfCollection({RootValue::OfStrings({"F:\\P"})}),
      RootValue::OfCollection(
          {RootValue::OfFolders(fake_tree::MakeCollection<platform::Folder>({P}))}),
      RootValue::OfCollection({RootValue::OfFolder(P), RootValue()})};
  for (size_t i = 0; i < rejected.size(); ++i) {
    SCOPED_TRACE(i);
    tree.SetRoot(RootValue::OfFolder(Q), 0);  // a walk in progress is dropped
    tree.SetRoot(rejected[i], 0);
    ExpectNoWalk(-2);
  }
}

TEST_F(Roots, EmptyRootListsReportMinusOne) {
  const std::vector<RootValue> empty{
      RootValue::OfStrings({}), RootValue::OfCollection({}),
      RootValue::OfFolders(fake_tree::MakeCollection<platform::Folder>({})),
      RootValue::OfFolders(
          fake_tree::MakeCollection<platform::Folder>({P}, ListFault::kFewerThanCount))};
  for (size_t i = 0; i < empty.size(); ++i) {
    SCOPED_TRACE(i);
    tree.SetRoot(RootValue::OfFolder(Q), 0);
    tree.SetRoot(empty[i], 0);
    ExpectNoWalk(-1);
  }
}

TEST_F(Roots, UnlistableFolderCollectionPassesItsError) {
  tree.SetRoot(RootValue::OfFolder(Q), 0);
  const auto bad = fake_tree::MakeCollection<platform::Folder>({P, Q}, ListFault::kMoreThanCount);
  try {
    tree.SetRoot(RootValue::OfFolders(bad), 0);
    ADD_FAILURE() << "no error passed on";
  } catch (const platform::PlatformError& error) {
    EXPECT_EQ(error.Number(), platform::kSubscriptOutOfRange);
    EXPECT_EQ(error.Text(), "Subscript out of range");
  }
  ExpectNoWalk(-1);
}

TEST_F(Roots, ADriveRootThatIsNotReadyFailsWithTheDrivesError) {
  drive->not_ready = true;
  tree.SetRoot(RootValue::OfFolder(Q), 0);
  try {
    tree.SetRoot(RootValue::OfDrive(drive), 0);
    ADD_FAILURE() << "no error passed on";
  } catch (const platform::PlatformError& error) {
    EXPECT_EQ(error.Number(), platform::kDiskNotReady);
  }
  ExpectNoWalk(-1);
}

TEST_F(Roots, CollectionsWalkTheirElementsInOrderDrivesFromTheirTopFolder) {
  D->AddFolder("sub");
  tree.SetRoot(RootValue::OfCollection(
                   {RootValue::OfFolder(Q), RootValue::OfDrive(drive), RootValue::OfFolder(P)}),
               0);
  ASSERT_EQ(tree.ErrorNumber(), 0);
  EXPECT_EQ(walk_loops::FolderLoop(tree), (Paths{"F:\\Q", "D:\\", "D:\\sub", "F:\\P"}));

  // A drive element that is not ready is no usable root, never an error.
  drive->not_ready = true;
  tree.SetRoot(RootValue::OfCollection({RootValue::OfFolder(Q), RootValue::OfDrive(drive)}), 1);
  ExpectNoWalk(-1);
}

TEST_F(Roots, ARootListMayNameTheSameFolderTwice) {
  P->AddFile("f");
  tree.SetRoot(RootValue::OfCollection({RootValue::OfFolder(P), RootValue::OfFolder(P)}), 0);
  EXPECT_EQ(walk_loops::FileLoop(tree), (Paths{"F:\\P\\f", "F:\\P\\f"}));
}

}  // namespace
