#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"
#include "tests/support/test_tree.h"

namespace lumbrel_conformance {
namespace {

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

TEST(ExecutableFolder, IsTheProgramsFolderAsAWindowsPath) {
  lumbrel_test::TestTree tree;
  tree.MakeFolder("Tools\\Lumbrel Restore");
  std::string output = RunProbeCopiedTo(tree.PathOf("Tools\\Lumbrel Restore\\probe"));
  ASSERT_FALSE(output.empty()) << "the probe did not run";
  EXPECT_EQ(WithoutLineEnd(output), tree.PathOf("Tools\\Lumbrel Restore"));
}

}  // namespace
}  // namespace lumbrel_conformance
