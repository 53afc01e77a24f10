#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/conformance/conformance_support.h"
#include "tests/support/test_computer.h"

namespace lumbrel_conformance {
namespace {

using platform::CreateFileSystemObject;
using platform::UpperCase;

class Paths : public testing::Test {
 protected:
  std::string At(const std::string& relative) const {
    return lumbrel_test::PathIn(area_, relative);
  }

  lumbrel_test::TestComputer computer_;
  std::string area_ = computer_.AddDrive('T');
  platform::FileSystemObjectRef fso_ = CreateFileSystemObject();
};

TEST_F(Paths, FoldersAreFoundWhateverTheCaseAndReportTheirStoredSpelling) {
  computer_.MakeFolder(At("Mixed Case\\Inner Folder"));
  std::string asked = At("mIXED cASE\\inner FOLDER");
  asked[0] = 't';
  platform::FolderRef folder = fso_->GetFolder(asked);
  EXPECT_EQ(folder->Path(), At("Mixed Case\\Inner Folder"));
  EXPECT_EQ(folder->Name(), "Inner Folder");
  EXPECT_EQ(fso_->GetFolder(UpperCase(At("Mixed Case")))->Path(), At("Mixed Case"));
}

TEST_F(Paths, AnExactMatchWinsOverOneThatDiffersInCase) {
  computer_.MakeFolder(At("Docs"));
  computer_.MakeFile(At("Docs\\upper.txt"));
  try {
    computer_.MakeFolder(At("docs"));
  } catch (...) {
  }
  if (computer_.List(At("")).size() != 2) GTEST_SKIP() << "this system keeps one name per spelling";
  computer_.MakeFile(At("docs\\lower.txt"));
  EXPECT_EQ(NamesOf(*fso_->GetFolder(At("docs"))->Files()), std::vector<std::string>{"lower.txt"});
  EXPECT_EQ(NamesOf(*fso_->GetFolder(At("Docs"))->Files()), std::vector<std::string>{"upper.txt"});
}

TEST_F(Paths, GetFolderRaisesPathNotFoundWhereNoFolderIs) {
  computer_.MakeFile(At("file.txt"));
  for (const std::string& path :
       {At("missing"), At("missing\\deeper"), At("file.txt"), At("file.txt\\x"),
        std::string("D:\\"), std::string("no drive path")}) {
    EXPECT_EQ(ErrorNumberOf([&] { fso_->GetFolder(path); }), platform::kPathNotFound) << path;
  }
}

TEST_F(Paths, ListingsComeInCaseInsensitiveOrder) {
  for (const char* name : {"b", "A", "c", "B2", "a1", "_x"}) computer_.MakeFile(At(name));
  for (const char* name : {"zeta", "Beta", "alpha", "Gamma"}) computer_.MakeFolder(At(name));
  platform::FolderRef root = fso_->GetFolder(At(""));
  EXPECT_EQ(NamesOf(*root->Files()), (std::vector<std::string>{"A", "a1", "b", "B2", "c", "_x"}));
  EXPECT_EQ(NamesOf(*root->SubFolders()),
            (std::vector<std::string>{"alpha", "Beta", "Gamma", "zeta"}));
}

TEST_F(Paths, ListedObjectsCarryFullPathsAndListAgain) {
  computer_.MakeFolder(At("Outer\\Inner"));
  computer_.MakeFile(At("Outer\\Inner\\doc.txt"));
  auto folders = fso_->GetFolder(At("OUTER"))->SubFolders()->Enumerate();
  platform::FolderRef inner;
  ASSERT_TRUE(folders->Next(inner));
  EXPECT_EQ(inner->Path(), At("Outer\\Inner"));
  auto files = inner->Files()->Enumerate();
  platform::FileRef doc;
  ASSERT_TRUE(files->Next(doc));
  EXPECT_EQ(doc->Path(), At("Outer\\Inner\\doc.txt"));
  EXPECT_EQ(doc->Name(), "doc.txt");
  EXPECT_FALSE(files->Next(doc));
  EXPECT_FALSE(folders->Next(inner));
}

TEST_F(Paths, PathsLongerThan260CharactersWork) {
  std::string relative;
  while (At(relative).size() <= 300) {
    relative += (relative.empty() ? "" : "\\") + std::string(40, 'd');
  }
  computer_.MakeFolder(At(relative));
  computer_.MakeFile(At(relative + "\\deep.txt"), "deep");
  platform::FolderRef folder = fso_->GetFolder(UpperCase(At(relative)));
  EXPECT_EQ(folder->Path(), At(relative));
  EXPECT_EQ(NamesOf(*folder->Files()), std::vector<std::string>{"deep.txt"});
  fso_->CopyFile(At(relative + "\\deep.txt"), At(relative + "\\copy.txt"), false);
  EXPECT_EQ(computer_.Read(At(relative + "\\copy.txt")), "deep");
}

TEST_F(Paths, NamesOutsideAscii) {
  const std::string folder =
      "\xC3\x9Cn\xC3\xAF"
      "c\xC3\xB8"
      "d\xC3\xA9";                                          // Ünïcødé
  const std::string file = "\xE6\x97\xA5\xE6\x9C\xAC.txt";  // 日本.txt
  computer_.MakeFolder(At(folder));
  computer_.MakeFile(At(folder + "\\" + file), "nihon");
  platform::FolderRef found = fso_->GetFolder(UpperCase(At(folder)));
  EXPECT_EQ(found->Path(), At(folder));
  EXPECT_EQ(found->Name(), folder);
  EXPECT_EQ(NamesOf(*found->Files()), std::vector<std::string>{file});
  fso_->CopyFile(At(folder + "\\" + file), At(folder + "\\" + "\xC3\xA9.txt"), false);
  EXPECT_EQ(computer_.Read(At(folder + "\\\xC3\xA9.txt")), "nihon");
}

TEST_F(Paths, CopyFileAndDeleteFileHonourTheirFlags) {
  computer_.MakeFile(At("new.txt"), "new");
  computer_.MakeFile(At("kept.txt"), "kept");
  computer_.SetAttributes(At("kept.txt"), platform::kAttrReadOnly);
  const auto copy = [&](const std::string& from, const std::string& to) {
    return ErrorNumberOf([&] { fso_->CopyFile(At(from), At(to), false); });
  };
  const auto remove = [&](const std::string& name, bool force) {
    return ErrorNumberOf([&] { fso_->DeleteFile(At(name), force); });
  };
  EXPECT_EQ(copy("new.txt", "kept.txt"), platform::kFileAlreadyExists);
  EXPECT_EQ(copy("new.txt", "KEPT.TXT"), platform::kFileAlreadyExists);
  EXPECT_EQ(copy("none.txt", "x.txt"), platform::kFileNotFound);
  EXPECT_EQ(remove("kept.txt", false), platform::kPermissionDenied);
  EXPECT_EQ(computer_.Read(At("kept.txt")), "kept");
  EXPECT_EQ(remove("KEPT.TXT", true), 0);
  EXPECT_EQ(remove("kept.txt", true), platform::kFileNotFound);
  EXPECT_EQ(computer_.List(At("")), std::vector<std::string>{"new.txt"});
}

}  // namespace
}  // namespace lumbrel_conformance
