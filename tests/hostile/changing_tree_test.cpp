// Files and folders that go away or change their names while the walk stands
// in the folder holding them: the walk carries on to its end and never hands
// out what is no longer there below a folder it had not yet entered.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "dirtree/root_value.h"
#include "platform/file_system.h"
#include "tests/e2e/host_path.h"
#include "tests/support/test_tree.h"

namespace {

using lumbrel_test::TestTree;
using Paths = std::vector<std::string>;

void Rename(const TestTree& tree, const std::string& from, const std::string& to) {
  std::filesystem::rename(lumbrel_test::HostPath(tree.PathOf(from)),
                          lumbrel_test::HostPath(tree.PathOf(to)));
}

size_t Occurrences(const Paths& paths, const std::string& path) {
  return static_cast<size_t>(std::count(paths.begin(), paths.end(), path));
}

TEST(ChangingTree, TheWalkGoesOnWhenEntriesVanishOrAreRenamedUnderIt) {
  TestTree tree;
  for (const char* file : {"P\\a", "P\\b", "P\\c", "P\\d", "P\\X\\x1", "P\\Y\\y1", "P\\Z\\z1",
                           "P\\Z\\Z2\\z2", "Q\\q1", "R\\r1", "S\\s1"}) {
    const std::string relative = file;
    tree.MakeFolder(relative.substr(0, relative.rfind('\\')));
    tree.MakeFile(file);
  }
  crtDTree walker;
  walker.SetRoot(RootValue::OfString(tree.Root()), 0);
  ASSERT_EQ(walker.ErrorNumber(), 0);

  Paths seen;
  int steps = 0;
  do {
    walker.MoveNextFile();
    const platform::FileRef file = walker.GetFile();
    if (!file) continue;
    seen.push_back(file->Path());
    if (seen.back() == tree.PathOf("P\\a")) {
      // Inside P, before any of its subfolders was entered.
      tree.Remove("P\\c");
      Rename(tree, "P\\d", "P\\e");
      tree.Remove("P\\X");
      Rename(tree, "P\\Y", "P\\W");
      // Q is P's next sibling, R the one after: both listed already.
      tree.Remove("Q");
      Rename(tree, "R", "T");
    }
    if (seen.back() == tree.PathOf("P\\Z\\z1")) tree.Remove("P\\Z\\Z2");
  } while (!walker.Finished() && ++steps < 1000);

  ASSERT_TRUE(walker.Finished());
  for (const char* kept : {"P\\a", "P\\b", "P\\Z\\z1", "S\\s1"}) {
    EXPECT_EQ(Occurrences(seen, tree.PathOf(kept)), 1u) << kept;
  }
  // Folders gone before the walk reached them yield nothing, under the old
  // name or the new one.
  for (const char* gone : {"P\\X\\x1", "P\\Y\\y1", "P\\Z\\Z2\\z2", "Q\\q1", "R\\r1", "T\\r1"}) {
    EXPECT_EQ(Occurrences(seen, tree.PathOf(gone)), 0u) << gone;
  }
  // P's own listing was taken before the changes: its files come at most
  // once each, under the names that listing had.
  EXPECT_LE(Occurrences(seen, tree.PathOf("P\\c")), 1u);
  EXPECT_LE(Occurrences(seen, tree.PathOf("P\\d")), 1u);
  EXPECT_EQ(Occurrences(seen, tree.PathOf("P\\e")), 0u);
  // P's subfolders may be listed with its files or only when the walk steps
  // on from P: the renamed folder is walked under its new name at most.
  EXPECT_LE(Occurrences(seen, tree.PathOf("P\\W\\y1")), 1u);
}

}  // namespace
