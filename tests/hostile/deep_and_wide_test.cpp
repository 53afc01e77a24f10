// Trees of a shape no one plans for: 1,000 folders deep, with paths several
// times longer than the longest one a plain system call takes, and a folder
// holding a huge number of entries.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "dirtree/root_value.h"
#include "dirtree/walk_loops_test_support.h"
#include "tests/hostile/host_ops.h"
#include "tests/support/test_tree.h"

namespace {

using lumbrel_test::TestTree;
using Paths = std::vector<std::string>;

constexpr bool kWindows = std::filesystem::path::preferred_separator == L'\\';

Paths WalkFiles(const std::string& root, int limit) {
  crtDTree walker;
  walker.SetRoot(RootValue::OfString(root), 0);
  EXPECT_EQ(walker.ErrorNumber(), 0);
  Paths files = walk_loops::FileLoop(walker, limit);
  EXPECT_TRUE(walker.Finished());
  return files;
}

std::string Repeat(const std::string& part, int times) {
  std::string text;
  for (int k = 0; k < times; ++k) text += part;
  return text;
}

TEST(DeepTree, AThousandLevelsAndPathsBeyondSystemLimitsEndTheWalkCleanly) {
  TestTree tree;
  tree.MakeFolder("deep");
  const std::string top = tree.PathOf("deep");
  const std::string bottom = hostile::MakeChain(top, 1000, "level-09");
  ASSERT_GT(bottom.size(), 8000u);  // PATH_MAX is 4096, MAX_PATH 260
  const std::string shallow = top + Repeat("\\level-09", 20) + "\\shallow.txt";
  const std::string beyond = top + Repeat("\\level-09", 600) + "\\beyond.txt";
  hostile::WriteFileAnyLength(shallow, "a");
  hostile::WriteFileAnyLength(beyond, "b");
  hostile::WriteFileAnyLength(bottom + "\\QUARN.exe", "host");

  // Windows reaches every file through extended-length paths. Natively a
  // folder whose host path is longer than the system's calls take cannot be
  // listed, and counts as a folder that cannot be listed: the walk passes
  // over it and ends.
  const Paths expected = kWindows ? Paths{shallow, beyond, bottom + "\\QUARN.exe"} : Paths{shallow};
  const Paths files = WalkFiles(top, 5000);
  EXPECT_TRUE(files == expected) << files.size() << " files, expected " << expected.size();
  hostile::RemoveAnyDepth(top);
}

TEST(WideFolder, EachOfAHugeFolderEntriesIsReturnedExactlyOnce) {
  // Wine creates files through its server, some hundred times slower.
  const int count = kWindows ? 20000 : 200000;
  TestTree tree;
  tree.MakeFolder("wide\\sub");
  tree.MakeFile("wide\\sub\\QUARN.exe");
  hostile::MakeEmptyFiles(tree.PathOf("wide"), count, "entry-");

  const Paths files = WalkFiles(tree.PathOf("wide"), count + 10);
  ASSERT_EQ(files.size(), static_cast<size_t>(count) + 1);
  EXPECT_EQ(files.back(), tree.PathOf("wide\\sub\\QUARN.exe"));
  std::set<std::string> expected;
  for (int k = 0; k < count; ++k) expected.insert(tree.PathOf("wide\\entry-" + std::to_string(k)));
  EXPECT_EQ(std::set<std::string>(files.begin(), files.end() - 1), expected);
}

}  // namespace
