// Links planted where the program works: a folder link (a junction where
// Windows makes no links) leading back to an ancestor of the walk, and file
// links in the folder the documents are copied into. The walk never loops,
// and a copy replaces the link itself, never the file it leads to.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "dirtree/root_value.h"
#include "dirtree/walk_loops_test_support.h"
#include "platform/file_system.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_tree.h"
#include "ui/frm_main.h"

namespace {

using lumbrel_test::TestTree;
using Paths = std::vector<std::string>;

TEST(PlantedLinks, AFolderLinkBackToAnAncestorNeitherLoopsNorRepeatsAFile) {
  TestTree tree;
  tree.MakeFolder("R\\A\\B");
  tree.MakeFile("R\\A\\B\\QUARN.exe", "host");
  tree.MakeFile("R\\z.txt");
  if (!tree.MakeFolderLink("R\\A\\B\\loop", "R")) GTEST_SKIP() << "no folder links here";

  crtDTree walker;
  walker.SetRoot(RootValue::OfString(tree.PathOf("R")), 0);
  ASSERT_EQ(walker.ErrorNumber(), 0);
  EXPECT_EQ(walk_loops::FileLoop(walker, 1000),
            (Paths{tree.PathOf("R\\z.txt"), tree.PathOf("R\\A\\B\\QUARN.exe")}));
}

// The attributes the layer reports for the destination's document.
int32_t Attributes(const TestTree& tree, const std::string& folder, const std::string& name) {
  const auto files =
      platform::CreateFileSystemObject()->GetFolder(tree.PathOf(folder))->Files()->Enumerate();
  for (platform::FileRef file; files->Next(file);) {
    if (file->Name() == name) return file->Attributes();
  }
  return -1;
}

TEST(PlantedLinks, ACopyReplacesAFileLinkInTheDestinationAndNeverWritesThroughIt) {
  TestTree tree;
  tree.MakeFolder("Docs");
  tree.MakeFolder("Inst");
  tree.MakeFolder("Elsewhere");
  tree.MakeFile("Docs\\Lumbrel.qdoc", "new");
  tree.MakeFile("Docs\\Index.qdoc", "new index");
  tree.MakeFile("Elsewhere\\precious.txt", "precious");
  if (!tree.MakeFileLink("Inst\\Lumbrel.qdoc", "Elsewhere\\precious.txt")) {
    GTEST_SKIP() << "no file links here";
  }
  // A link back to the very document being copied must not empty it.
  ASSERT_TRUE(tree.MakeFileLink("Inst\\Index.qdoc", "Docs\\Index.qdoc"));

  frmMain form(std::make_unique<lumbrel_test::ScriptedFrontEnd>());
  form.CopyAllFiles(tree.PathOf("Docs"), tree.PathOf("Inst"));

  EXPECT_EQ(tree.ReadFile("Elsewhere\\precious.txt"), "precious");
  EXPECT_EQ(tree.ReadFile("Docs\\Index.qdoc"), "new index");
  EXPECT_EQ(tree.ReadFile("Inst\\Lumbrel.qdoc"), "new");
  EXPECT_EQ(tree.ReadFile("Inst\\Index.qdoc"), "new index");
  EXPECT_EQ(Attributes(tree, "Inst", "Lumbrel.qdoc") & platform::kAttrAlias, 0);
  EXPECT_EQ(Attributes(tree, "Inst", "Index.qdoc") & platform::kAttrAlias, 0);
}

}  // namespace
