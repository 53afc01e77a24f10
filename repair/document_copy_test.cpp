// Copying and removing the documents of one folder against another, on real
// folders, through the system's own file layer: the same cases decide the
// Linux layer natively and the Win32 layer under wine64.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/error.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/front_end.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_tree.h"
#include "ui/frm_main.h"

namespace {

using lumbrel_test::ScriptedFrontEnd;
using lumbrel_test::TestTree;
using platform::StatusLine;
using Names = std::vector<std::string>;

// Fault injection takes the OS's own error codes.
constexpr bool kWindows = std::filesystem::path::preferred_separator == L'\\';
constexpr int32_t kOsDiskFull = kWindows ? 112 : 28;    // ERROR_DISK_FULL, ENOSPC
constexpr int32_t kOsAccessDenied = kWindows ? 5 : 13;  // ERROR_ACCESS_DENIED, EACCES

class CopyTest : public ::testing::Test {
 protected:
  CopyTest() {
    auto front_end = std::make_unique<ScriptedFrontEnd>();
    screen_ = front_end.get();
    form_ = std::make_unique<frmMain>(std::move(front_end));
    tree_.MakeFolder("src");
    tree_.MakeFolder("dst");
  }

  void Copy() { form_->CopyAllFiles(tree_.PathOf("src"), tree_.PathOf("dst")); }
  void Delete() { form_->DeleteAllFiles(tree_.PathOf("src"), tree_.PathOf("dst")); }
  // The error number the call raised, 0 when it returned.
  template <class Call>
  int32_t Raised(Call call) {
    try {
      call();
    } catch (const platform::PlatformError& error) {
      return error.Number();
    }
    return 0;
  }
  const Names& Shown() const { return screen_->History(StatusLine::kDetail); }
  std::string Dst(const std::string& name) const { return tree_.ReadFile("dst\\" + name); }
  // Attributes of the destination's entry `name` as the file layer lists them.
  int32_t DstAttributes(const std::string& name) {
    const auto files =
        platform::CreateFileSystemObject()->GetFolder(tree_.PathOf("dst"))->Files()->Enumerate();
    for (platform::FileRef file; files->Next(file);) {
      if (file->Name() == name) return file->Attributes();
    }
    ADD_FAILURE() << name << " is not in the destination";
    return -1;
  }

  // The spelling a copy onto `stored` under the name `wanted` leaves: the
  // wanted one, but where the system cannot change only the letter case of a
  // name in one rename (Wine, a FAT drive) the stored one, rather than give
  // the name up for an instant. Asked of the system itself.
  std::string Spelled(const std::string& wanted, const std::string& stored) {
    if (!kWindows) return wanted;
    tree_.MakeFile("probe");
    std::error_code failed;
    std::filesystem::rename(tree_.PathOf("probe"), tree_.PathOf("PROBE"), failed);
    const bool respells = tree_.List() == Names{"PROBE", "dst", "src"};
    tree_.Remove("probe");
    return respells ? wanted : stored;
  }

  TestTree tree_;
  ScriptedFrontEnd* screen_;
  std::unique_ptr<frmMain> form_;
};

TEST_F(CopyTest, EveryDocumentIsCopiedInListingOrderAndOthersStayUntouched) {
  const std::string large(600 * 1024, 'A');  // several blocks of any copy loop
  tree_.MakeFile("src\\b.txt", "new b");
  tree_.MakeFile("src\\A.txt", large);
  tree_.MakeFile("src\\hidden.txt", "new hidden");
  tree_.MakeFile("src\\system.txt", "new system");
  tree_.MakeFolder("src\\sub");
  tree_.MakeFile("src\\sub\\inner.txt", "inner");
  tree_.SetAttributes("src\\hidden.txt", platform::kAttrHidden);
  tree_.SetAttributes("src\\system.txt", platform::kAttrSystem);
  tree_.MakeFile("dst\\b.txt", "old b");
  tree_.SetAttributes("dst\\b.txt", platform::kAttrReadOnly);
  tree_.MakeFile("dst\\other.txt", "other");
  tree_.MakeFolder("dst\\sub");
  tree_.MakeFile("dst\\sub\\inner.txt", "old inner");

  Copy();
  EXPECT_EQ(Shown(), (Names{"A.txt", "b.txt", "hidden.txt", "system.txt"}));
  EXPECT_EQ(tree_.List("dst"),
            (Names{"A.txt", "b.txt", "hidden.txt", "other.txt", "sub", "system.txt"}));
  EXPECT_TRUE(Dst("A.txt") == large);
  EXPECT_EQ(Dst("b.txt"), "new b");
  EXPECT_EQ(Dst("hidden.txt"), "new hidden");
  EXPECT_EQ(Dst("system.txt"), "new system");
  EXPECT_EQ(Dst("other.txt"), "other");
  EXPECT_EQ(Dst("sub\\inner.txt"), "old inner");
  // A copy is an ordinary document whatever the layer staged it as.
  for (const char* name : {"A.txt", "b.txt"}) {
    EXPECT_EQ(DstAttributes(name) & (platform::kAttrHidden | platform::kAttrSystem), 0) << name;
  }
  EXPECT_EQ(tree_.List("src"), (Names{"A.txt", "b.txt", "hidden.txt", "sub", "system.txt"}));

  // Again: the same result; then removal takes exactly the copies, read-only
  // or not, and only those the source names.
  const Names once = tree_.List("dst");
  Copy();
  EXPECT_EQ(tree_.List("dst"), once);
  tree_.SetAttributes("dst\\b.txt", platform::kAttrReadOnly);
  Delete();
  EXPECT_EQ(tree_.List("dst"), (Names{"other.txt", "sub"}));
  EXPECT_EQ(Dst("other.txt"), "other");
}

TEST_F(CopyTest, ASourceWithoutDocumentsChangesNothing) {
  tree_.MakeFolder("src\\sub");
  tree_.MakeFile("src\\sub\\inner.txt", "inner");
  tree_.MakeFile("dst\\keep.txt", "keep");
  Copy();
  Delete();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(tree_.List("dst"), Names{"keep.txt"});
  EXPECT_EQ(Dst("keep.txt"), "keep");
}

TEST_F(CopyTest, AFailedRespellingKeepsTheNewContentAndTheNextRunRespells) {
  tree_.MakeFile("src\\a.txt", "new a");
  tree_.MakeFile("src\\Report.doc", "new");
  tree_.MakeFile("src\\z.txt", "new z");
  tree_.MakeFile("dst\\REPORT.DOC", "old");
  tree_.SetAttributes("dst\\REPORT.DOC", platform::kAttrReadOnly);
  platform::ArmFault(platform::FaultPoint::kCopyRespell, kOsAccessDenied);
  EXPECT_EQ(Raised([&] { Copy(); }), 70);
  EXPECT_EQ(platform::TakeFault(platform::FaultPoint::kCopyRespell), 0)
      << "the copy never came to respelling";
  // The data is safe, only the name is not as asked; the rest is left alone.
  EXPECT_EQ(tree_.List("dst"), (Names{"REPORT.DOC", "a.txt"}));
  EXPECT_EQ(Dst("REPORT.DOC"), "new");

  Copy();
  const std::string spelled = Spelled("Report.doc", "REPORT.DOC");
  EXPECT_EQ(tree_.List("dst"), (Names{spelled, "a.txt", "z.txt"}));
  EXPECT_EQ(Dst(spelled), "new");
}

TEST_F(CopyTest, OnlyTheExactSpellingIsReplacedWhereBothAreDocuments) {
  tree_.MakeFile("dst\\report.doc", "other document");
  tree_.MakeFile("dst\\Report.doc", "old");
  if (tree_.List("dst").size() != 2) GTEST_SKIP() << "this system keeps one spelling per name";
  tree_.MakeFile("src\\Report.doc", "new");
  Copy();
  EXPECT_EQ(tree_.List("dst"), (Names{"Report.doc", "report.doc"}));
  EXPECT_EQ(Dst("Report.doc"), "new");
  EXPECT_EQ(Dst("report.doc"), "other document");
}

TEST_F(CopyTest, MissingOrIdenticalFoldersRaiseBeforeAnythingIsTouched) {
  tree_.MakeFile("src\\doc.txt", "mine");
  const std::string src = tree_.PathOf("src");
  const std::string missing = tree_.PathOf("nowhere");
  EXPECT_EQ(Raised([&] { form_->CopyAllFiles(src, missing); }), 76);
  EXPECT_EQ(Raised([&] { form_->DeleteAllFiles(src, missing); }), 76);
  EXPECT_EQ(Raised([&] { form_->CopyAllFiles(missing, tree_.PathOf("dst")); }), 76);
  EXPECT_FALSE(tree_.Exists("nowhere"));
  // One folder under two spellings: removal would take the very documents.
  for (const auto& call : {&frmMain::CopyAllFiles, &frmMain::DeleteAllFiles}) {
    try {
      ((*form_).*call)(src, tree_.PathOf("SRC"));
      ADD_FAILURE() << "one folder against itself was accepted";
    } catch (const platform::PlatformError& error) {
      EXPECT_EQ(error.Number(), 5);
      EXPECT_EQ(error.Text(), "Invalid procedure call or argument");
    }
  }
  EXPECT_EQ(tree_.ReadFile("src\\doc.txt"), "mine");
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(tree_.List("dst").empty());
}

TEST_F(CopyTest, HiddenSystemOrFolderNamesakesAreRefusedAndLeftInPlace) {
  tree_.MakeFile("src\\a.txt", "new a");
  tree_.MakeFile("src\\m.txt", "new m");
  tree_.MakeFile("src\\z.txt", "new z");
  for (const int32_t attribute :
       {int32_t{platform::kAttrHidden}, int32_t{platform::kAttrSystem}, 0}) {
    SCOPED_TRACE(attribute);
    if (attribute == 0) {
      tree_.MakeFolder("dst\\m.txt");
    } else {
      tree_.MakeFile("dst\\m.txt", "guarded");
      tree_.SetAttributes("dst\\m.txt", attribute);
    }
    EXPECT_EQ(Raised([&] { Copy(); }), 70);
    EXPECT_EQ(Dst("a.txt"), "new a");
    if (attribute != 0) {
      EXPECT_EQ(Dst("m.txt"), "guarded");
    }
    EXPECT_FALSE(tree_.Exists("dst\\z.txt"));  // the rest is left alone

    Delete();
    EXPECT_EQ(tree_.List("dst"), Names{"m.txt"});
    tree_.Remove("dst\\m.txt");
  }
}

TEST_F(CopyTest, LinksInTheDestinationAreReplacedNeverWrittenThrough) {
  tree_.MakeFolder("outside");
  tree_.MakeFile("outside\\target.txt", "outside");
  if (!tree_.MakeFileLink("dst\\doc.txt", "outside\\target.txt")) {
    GTEST_SKIP() << "this system makes no file links";
  }
  tree_.MakeFile("src\\doc.txt", "new");
  tree_.MakeFile("src\\self.txt", "self");
  // A link back to the very document being copied must not empty it.
  ASSERT_TRUE(tree_.MakeFileLink("dst\\self.txt", "src\\self.txt"));
  Copy();
  EXPECT_EQ(tree_.ReadFile("outside\\target.txt"), "outside");
  EXPECT_EQ(tree_.ReadFile("src\\self.txt"), "self");
  for (const char* name : {"doc.txt", "self.txt"}) {
    EXPECT_EQ(DstAttributes(name) & platform::kAttrAlias, 0) << name;
  }
  EXPECT_EQ(Dst("doc.txt"), "new");
  EXPECT_EQ(Dst("self.txt"), "self");
}

// A failure at any step of one document: the documents before it stay
// copied, it keeps its old content under its own spelling (or stays absent),
// the rest is left alone, and no temporary file remains.
class CopyFaultTest : public CopyTest, public ::testing::WithParamInterface<platform::FaultPoint> {
 protected:
  ~CopyFaultTest() override { platform::ArmFault(GetParam(), 0); }
};

TEST_P(CopyFaultTest, TheOldDocumentSurvivesIntact) {
  for (const std::string old_b : {"b.txt", "B.TXT", ""}) {
    SCOPED_TRACE("old document: " + old_b);
    tree_.MakeFile("src\\a.txt", "new a");
    tree_.MakeFile("src\\b.txt", "new b");
    tree_.MakeFile("src\\c.txt", "new c");
    tree_.MakeFile("dst\\c.txt", "old c");
    if (!old_b.empty()) tree_.MakeFile("dst\\" + old_b, "old b");
    screen_->OnStatus([this](StatusLine, const std::string& text) {
      if (text == "b.txt") platform::ArmFault(GetParam(), kOsDiskFull);
    });

    EXPECT_EQ(Raised([&] { Copy(); }), 61);
    EXPECT_EQ(Dst("a.txt"), "new a");
    EXPECT_EQ(Dst("c.txt"), "old c");
    Names expected{"a.txt", "c.txt"};
    if (!old_b.empty()) {
      expected.push_back(old_b);
      EXPECT_EQ(Dst(old_b), "old b");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree_.List("dst"), expected);

    // Disarmed: the next run goes through.
    screen_->OnStatus(nullptr);
    Copy();
    EXPECT_EQ(Dst(Spelled("b.txt", old_b.empty() ? "b.txt" : old_b)), "new b");
    for (const std::string& name : tree_.List("dst")) tree_.Remove("dst\\" + name);
  }
}

INSTANTIATE_TEST_SUITE_P(EachStep, CopyFaultTest,
                         ::testing::Values(platform::FaultPoint::kCopyOpenSource,
                                           platform::FaultPoint::kCopyCreateTemporary,
                                           platform::FaultPoint::kCopyWrite,
                                           platform::FaultPoint::kCopyRename));

TEST_F(CopyTest, ASourceDocumentThatVanishedLeavesTheOldOneInPlace) {
  tree_.MakeFile("src\\a.txt", "new a");
  tree_.MakeFile("src\\b.txt", "new b");
  tree_.MakeFile("dst\\A.TXT", "old a");
  tree_.MakeFile("dst\\b.txt", "old b");
  std::string vanishing = "a.txt";
  screen_->OnStatus([&](StatusLine, const std::string& text) {
    if (text == vanishing) tree_.Remove("src\\" + text);
  });
  // The document of another spelling is never removed ahead of the copy.
  EXPECT_EQ(Raised([&] { Copy(); }), 53);
  EXPECT_EQ(tree_.List("dst"), (Names{"A.TXT", "b.txt"}));
  EXPECT_EQ(Dst("A.TXT"), "old a");

  tree_.MakeFile("src\\a.txt", "new a");
  vanishing = "b.txt";
  EXPECT_EQ(Raised([&] { Copy(); }), 53);
  const std::string spelled = Spelled("a.txt", "A.TXT");
  EXPECT_EQ(tree_.List("dst"), (Names{spelled, "b.txt"}));
  EXPECT_EQ(Dst(spelled), "new a");
  EXPECT_EQ(Dst("b.txt"), "old b");
}

}  // namespace
