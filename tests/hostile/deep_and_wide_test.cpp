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

TEST(DeepTree, EveryFileIsFoundAThousandLevelsDownFarBeyondTheShortPathLimit) {
  TestTree tree;
  tree.MakeFolder("deep");
  const std::string top = tree.PathOf("deep");
  // Short names keep the host path within what Linux (and so Wine) takes.
  const std::string bottom = hostile::MakeChain(top, 1000, "dd");
  ASSERT_GT(bottom.size(), 3000u);  // MAX_PATH is 260
  const std::string shallow = top + Repeat("\\dd", 20) + "\\shallow.txt";
  const std::string middle = top + Repeat("\\dd", 500) + "\\middle.txt";
  hostile::WriteFileAnyLength(shallow, "a");
  hostile::WriteFileAnyLength(middle, "b");
  hostile::WriteFileAnyLength(bottom + "\\QUARN.exe", "host");

  const Paths expected = {shallow, middle, bottom + "\\QUARN.exe"};
  const Paths files = WalkFiles(top, 5000);
  EXPECT_TRUE(files == expected) << files.size() << " files, expected " << expected.size();
  EXPECT_EQ(hostile::ReadFileAnyLength(bottom + "\\QUARN.exe"), "host");
  hostile::RemoveAnyDepth(top);
}

TEST(DeepTree, AFolderBeyondTheLongestHostPathIsPassedOverAndTheWalkEnds) {
  if (kWindows) GTEST_SKIP() << "no such folder can be made where Wine runs on Linux";
  TestTree tree;
  tree.MakeFolder("deeper");
  const std::string top = tree.PathOf("deeper");
  const std::string bottom = hostile::MakeChain(top, 600, "level-09");
  ASSERT_GT(bottom.size(), 5000u);  // PATH_MAX is 4096
  const std::string shallow = top + Repeat("\\level-09", 20) + "\\shallow.txt";
  hostile::WriteFileAnyLength(shallow, "a");
  hostile::WriteFileAnyLength(bottom + "\\QUARN.exe", "host");

  // A folder whose host path is longer than the system's calls take cannot
  // be listed, and counts as a folder that cannot be listed.
  const Paths files = WalkFiles(top, 5000);
  EXPECT_TRUE(files == Paths{shallow}) << files.size() << " files";
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
