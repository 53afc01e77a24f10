#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "tests/conformance/conformance_support.h"
#include "tests/support/walk_loops.h"

namespace lumbrel_conformance {
namespace {

// A folder, a link to it, a link to a file in it and one that leads nowhere:
// staged natively here, and by scripts/make-test-prefix as K:\links for Wine,
// whose Win32 calls make no links. Both layers must show the same tree.
TEST(Links, ListedAndWalkedAlikeOnBothSystems) {
  lumbrel_test::TestComputer computer;
  std::string root = "K:\\links";
  if (lumbrel_test::TestComputer::OwnsWholeDrives()) {
    computer.AddDrive('K');
    computer.MakeFile(root + "\\real\\inside.txt", "inside");
    ASSERT_TRUE(computer.MakeLink(root + "\\to-folder", root + "\\real"));
    ASSERT_TRUE(computer.MakeLink(root + "\\to-file", root + "\\real\\inside.txt"));
    ASSERT_TRUE(computer.MakeLink(root + "\\nowhere", root + "\\gone"));
  }
  const platform::FolderRef folder = platform::CreateFileSystemObject()->GetFolder(root);
  EXPECT_EQ(NamesOf(*folder->SubFolders()), (std::vector<std::string>{"real", "to-folder"}));
  EXPECT_EQ(NamesOf(*folder->Files()), std::vector<std::string>{"to-file"});
  auto folders = folder->SubFolders()->Enumerate();
  for (platform::FolderRef sub; folders->Next(sub);) {
    EXPECT_EQ(sub->IsAlias(), sub->Name() == "to-folder") << sub->Name();
  }
  crtDTree tree;
  tree.SetRoot(RootValue::OfString(root), 0);
  EXPECT_EQ(walk_loops::FileLoop(tree),
            (std::vector<std::string>{root + "\\to-file", root + "\\real\\inside.txt",
                                      root + "\\to-folder\\inside.txt"}));
}

}  // namespace
}  // namespace lumbrel_conformance
