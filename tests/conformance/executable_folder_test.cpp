#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"
#include "tests/support/test_computer.h"

namespace lumbrel_conformance {
namespace {

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

TEST(ExecutableFolder, IsTheProgramsFolderAsAWindowsPath) {
  lumbrel_test::TestComputer computer;
  const std::string folder = computer.AddDrive('T') + "\\Tools\\Lumbrel Restore";
  computer.MakeFolder(folder);
  std::string output = RunProbeCopiedTo(folder + "\\probe");
  ASSERT_FALSE(output.empty()) << "the probe did not run";
  EXPECT_EQ(WithoutLineEnd(output), folder);
}

}  // namespace
}  // namespace lumbrel_conformance
