#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/conformance/conformance_support.h"
#include "tests/support/test_tree.h"

namespace lumbrel_conformance {
namespace {

using platform::CreateFileSystemObject;
using platform::UpperCase;

class Paths : public testing::Test {
 protected:
  lumbrel_test::TestTree tree_;
  platform::FileSystemObjectRef fso_ = CreateFileSystemObject();
};

TEST_F(Paths, FoldersAreFoundWhateverTheCaseAndReportTheirStoredSpelling) {
  tree_.MakeFolder("Mixed Case\\Inner Folder");
  std::string asked = tree_.PathOf("mIXED cASE\\inner FOLDER");
  asked[0] = 't';
  platform::FolderRef folder = fso_->GetFolder(asked);
  EXPECT_EQ(folder->Path(), tree_.PathOf("Mixed Case\\Inner Folder"));
  EXPECT_EQ(folder->Name(), "Inner Folder");
  EXPECT_EQ(fso_->GetFolder(UpperCase(tree_.PathOf("Mixed Case")))->Path(),
            tree_.PathOf("Mixed Case"));
}

TEST_F(Paths, AnExactMatchWinsOverOneThatDiffersInCase) {
  tree_.MakeFolder("Docs");
  tree_.MakeFile("Docs\\upper.txt");
  try {
    tree_.MakeFolder("docs");
  } catch (...) {
  }
  if (tree_.List().size() != 2) GTEST_SKIP() << "this system keeps one name per spelling";
  tree_.MakeFile("docs\\lower.txt");
  EXPECT_EQ(NamesOf(*fso_->GetFolder(tree_.PathOf("docs"))->Files()),
            std::vector<std::string>{"lower.txt"});
  EXPECT_EQ(NamesOf(*fso_->GetFolder(tree_.PathOf("Docs"))->Files()),
            std::vector<std::string>{"upper.txt"});
}

TEST_F(Paths, GetFolderRaisesPathNotFoundWhereNoFolderIs) {
  tree_.MakeFile("file.txt");
  for (const std::string& path :
       {tree_.PathOf("missing"), tree_.PathOf("missing\\deeper"), tree_.PathOf("file.txt"),
        tree_.PathOf("file.txt\\x"), std::string("D:\\"), std::string("no drive path")}) {
    EXPECT_EQ(ErrorNumberOf([&] { fso_->GetFolder(path); }), platform::kPathNotFound) << path;
  }
}

TEST_F(Paths, ListingsComeInCaseInsensitiveOrder) {
  for (const char* name : {"b", "A", "c", "B2", "a1", "_x"}) tree_.MakeFile(name);
  for (const char* name : {"zeta", "Beta", "alpha", "Gamma"}) tree_.MakeFolder(name);
  platform::FolderRef root = fso_->GetFolder(tree_.Root());
  EXPECT_EQ(NamesOf(*root->Files()), (std::vector<std::string>{"A", "a1", "b", "B2", "c", "_x"}));
  EXPECT_EQ(NamesOf(*root->SubFolders()),
            (std::vector<std::string>{"alpha", "Beta", "Gamma", "zeta"}));
}

TEST_F(Paths, ListedObjectsCarryFullPathsAndListAgain) {
  tree_.MakeFolder("Outer\\Inner");
  tree_.MakeFile("Outer\\Inner\\doc.txt");
  auto folders = fso_->GetFolder(tree_.PathOf("OUTER"))->SubFolders()->Enumerate();
  platform::FolderRef inner;
  ASSERT_TRUE(folders->Next(inner));
  EXPECT_EQ(inner->Path(), tree_.PathOf("Outer\\Inner"));
  auto files = inner->Files()->Enumerate();
  platform::FileRef doc;
  ASSERT_TRUE(files->Next(doc));
  EXPECT_EQ(doc->Path(), tree_.PathOf("Outer\\Inner\\doc.txt"));
  EXPECT_EQ(doc->Name(), "doc.txt");
  EXPECT_FALSE(files->Next(doc));
  EXPECT_FALSE(folders->Next(inner));
}

TEST_F(Paths, PathsLongerThan260CharactersWork) {
  std::string relative;
  while (tree_.PathOf(relative).size() <= 300) {
    relative += (relative.empty() ? "" : "\\") + std::string(40, 'd');
  }
  tree_.MakeFolder(relative);
  tree_.MakeFile(relative + "\\deep.txt", "deep");
  platform::FolderRef folder = fso_->GetFolder(UpperCase(tree_.PathOf(relative)));
  EXPECT_EQ(folder->Path(), tree_.PathOf(relative));
  EXPECT_EQ(NamesOf(*folder->Files()), std::vector<std::string>{"deep.txt"});
  fso_->CopyFile(tree_.PathOf(relative + "\\deep.txt"), tree_.PathOf(relative + "\\copy.txt"),
                 false);
  EXPECT_EQ(tree_.ReadFile(relative + "\\copy.txt"), "deep");
}

TEST_F(Paths, NamesOutsideAscii) {
  const std::string folder =
      "\xC3\x9Cn\xC3\xAF"
      "c\xC3\xB8"
      "d\xC3\xA9";                                          // Ünïcødé
  const std::string file = "\xE6\x97\xA5\xE6\x9C\xAC.txt";  // 日本.txt
  tree_.MakeFolder(folder);
  tree_.MakeFile(folder + "\\" + file, "nihon");
  platform::FolderRef found = fso_->GetFolder(UpperCase(tree_.PathOf(folder)));
  EXPECT_EQ(found->Path(), tree_.PathOf(folder));
  EXPECT_EQ(found->Name(), folder);
  EXPECT_EQ(NamesOf(*found->Files()), std::vector<std::string>{file});
  fso_->CopyFile(tree_.PathOf(folder + "\\" + file), tree_.PathOf(folder + "\\" + "\xC3\xA9.txt"),
                 false);
  EXPECT_EQ(tree_.ReadFile(folder + "\\\xC3\xA9.txt"), "nihon");
}

TEST_F(Paths, CopyFileAndDeleteFileHonourTheirFlags) {
  tree_.MakeFile("new.txt", "new");
  tree_.MakeFile("kept.txt", "kept");
  tree_.SetAttributes("kept.txt", platform::kAttrReadOnly);
  const auto copy = [&](const std::string& from, const std::string& to) {
    return ErrorNumberOf([&] { fso_->CopyFile(tree_.PathOf(from), tree_.PathOf(to), false); });
  };
  const auto remove = [&](const std::string& name, bool force) {
    return ErrorNumberOf([&] { fso_->DeleteFile(tree_.PathOf(name), force); });
  };
  EXPECT_EQ(copy("new.txt", "kept.txt"), platform::kFileAlreadyExists);
  EXPECT_EQ(copy("new.txt", "KEPT.TXT"), platform::kFileAlreadyExists);
  EXPECT_EQ(copy("none.txt", "x.txt"), platform::kFileNotFound);
  EXPECT_EQ(remove("kept.txt", false), platform::kPermissionDenied);
  EXPECT_EQ(tree_.ReadFile("kept.txt"), "kept");
  EXPECT_EQ(remove("KEPT.TXT", true), 0);
  EXPECT_EQ(remove("kept.txt", true), platform::kFileNotFound);
  EXPECT_EQ(tree_.List(), std::vector<std::string>{"new.txt"});
}

}  // namespace
}  // namespace lumbrel_conformance
