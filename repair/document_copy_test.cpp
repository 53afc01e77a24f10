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
#include "tests/support/test_computer.h"
#include "ui/frm_main.h"

namespace {

using lumbrel_test::ScriptedFrontEnd;
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
    computer_.MakeFolder(At("src"));
    computer_.MakeFolder(At("dst"));
  }

  void Copy() { form_->CopyAllFiles(At("src"), At("dst")); }
  void Delete() { form_->DeleteAllFiles(At("src"), At("dst")); }
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
  std::string At(const std::string& relative) const { return area_ + "\\" + relative; }
  const Names& Shown() const { return screen_->History(StatusLine::kDetail); }
  std::string Dst(const std::string& name) const { return computer_.Read(At("dst\\" + name)); }
  // Attributes of the destination's entry `name` as the file layer lists them.
  int32_t DstAttributes(const std::string& name) {
    const auto files =
        platform::CreateFileSystemObject()->GetFolder(At("dst"))->Files()->Enumerate();
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
    computer_.MakeFile(At("probe"));
    std::error_code failed;
    std::filesystem::rename(At("probe"), At("PROBE"), failed);
    const bool respells = computer_.List(area_) == Names{"PROBE", "dst", "src"};
    computer_.Remove(At("probe"));
    return respells ? wanted : stored;
  }

  lumbrel_test::TestComputer computer_;
  std::string area_ = computer_.AddDrive('T');
  ScriptedFrontEnd* screen_;
  std::unique_ptr<frmMain> form_;
};

TEST_F(CopyTest, EveryDocumentIsCopiedInListingOrderAndOthersStayUntouched) {
  const std::string large(600 * 1024, 'A');  // several blocks of any copy loop
  computer_.MakeFile(At("src\\b.txt"), "new b");
  computer_.MakeFile(At("src\\A.txt"), large);
  computer_.MakeFile(At("src\\hidden.txt"), "new hidden");
  computer_.MakeFile(At("src\\system.txt"), "new system");
  computer_.MakeFolder(At("src\\sub"));
  computer_.MakeFile(At("src\\sub\\inner.txt"), "inner");
  computer_.SetAttributes(At("src\\hidden.txt"), platform::kAttrHidden);
  computer_.SetAttributes(At("src\\system.txt"), platform::kAttrSystem);
  computer_.MakeFile(At("dst\\b.txt"), "old b");
  computer_.SetAttributes(At("dst\\b.txt"), platform::kAttrReadOnly);
  computer_.MakeFile(At("dst\\other.txt"), "other");
  computer_.MakeFolder(At("dst\\sub"));
  computer_.MakeFile(At("dst\\sub\\inner.txt"), "old inner");

  Copy();
  EXPECT_EQ(Shown(), (Names{"A.txt", "b.txt", "hidden.txt", "system.txt"}));
  EXPECT_EQ(computer_.List(At("dst")),
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
  EXPECT_EQ(computer_.List(At("src")),
            (Names{"A.txt", "b.txt", "hidden.txt", "sub", "system.txt"}));

  // Again: the same result; then removal takes exactly the copies, read-only
  // or not, and only those the source names.
  const Names once = computer_.List(At("dst"));
  Copy();
  EXPECT_EQ(computer_.List(At("dst")), once);
  computer_.SetAttributes(At("dst\\b.txt"), platform::kAttrReadOnly);
  Delete();
  EXPECT_EQ(computer_.List(At("dst")), (Names{"other.txt", "sub"}));
  EXPECT_EQ(Dst("other.txt"), "other");
}

TEST_F(CopyTest, ASourceWithoutDocumentsChangesNothing) {
  computer_.MakeFolder(At("src\\sub"));
  computer_.MakeFile(At("src\\sub\\inner.txt"), "inner");
  computer_.MakeFile(At("dst\\keep.txt"), "keep");
  Copy();
  Delete();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(computer_.List(At("dst")), Names{"keep.txt"});
  EXPECT_EQ(Dst("keep.txt"), "keep");
}

TEST_F(CopyTest, AFailedRespellingKeepsTheNewContentAndTheNextRunRespells) {
  computer_.MakeFile(At("src\\a.txt"), "new a");
  computer_.MakeFile(At("src\\Report.doc"), "new");
  computer_.MakeFile(At("src\\z.txt"), "new z");
  computer_.MakeFile(At("dst\\REPORT.DOC"), "old");
  computer_.SetAttributes(At("dst\\REPORT.DOC"), platform::kAttrReadOnly);
  platform::ArmFault(platform::FaultPoint::kCopyRespell, kOsAccessDenied);
  EXPECT_EQ(Raised([&] { Copy(); }), 70);
  EXPECT_EQ(platform::TakeFault(platform::FaultPoint::kCopyRespell), 0)
      << "the copy never came to respelling";
  // The data is safe, only the name is not as asked; the rest is left alone.
  EXPECT_EQ(computer_.List(At("dst")), (Names{"REPORT.DOC", "a.txt"}));
  EXPECT_EQ(Dst("REPORT.DOC"), "new");

  Copy();
  const std::string spelled = Spelled("Report.doc", "REPORT.DOC");
  EXPECT_EQ(computer_.List(At("dst")), (Names{spelled, "a.txt", "z.txt"}));
  EXPECT_EQ(Dst(spelled), "new");
}

TEST_F(CopyTest, OnlyTheExactSpellingIsReplacedWhereBothAreDocuments) {
  computer_.MakeFile(At("dst\\report.doc"), "other document");
  computer_.MakeFile(At("dst\\Report.doc"), "old");
  if (computer_.List(At("dst")).size() != 2)
    GTEST_SKIP() << "this system keeps one spelling per name";
  computer_.MakeFile(At("src\\Report.doc"), "new");
  Copy();
  EXPECT_EQ(computer_.List(At("dst")), (Names{"Report.doc", "report.doc"}));
  EXPECT_EQ(Dst("Report.doc"), "new");
  EXPECT_EQ(Dst("report.doc"), "other document");
}

TEST_F(CopyTest, MissingOrIdenticalFoldersRaiseBeforeAnythingIsTouched) {
  computer_.MakeFile(At("src\\doc.txt"), "mine");
  const std::string src = At("src");
  const std::string missing = At("nowhere");
  EXPECT_EQ(Raised([&] { form_->CopyAllFiles(src, missing); }), 76);
  EXPECT_EQ(Raised([&] { form_->DeleteAllFiles(src, missing); }), 76);
  EXPECT_EQ(Raised([&] { form_->CopyAllFiles(missing, At("dst")); }), 76);
  EXPECT_FALSE(computer_.Exists(At("nowhere")));
  // One folder under two spellings: removal would take the very documents.
  for (const auto& call : {&frmMain::CopyAllFiles, &frmMain::DeleteAllFiles}) {
    try {
      ((*form_).*call)(src, At("SRC"));
      ADD_FAILURE() << "one folder against itself was accepted";
    } catch (const platform::PlatformError& error) {
      EXPECT_EQ(error.Number(), 5);
      EXPECT_EQ(error.Text(), "Invalid procedure call or argument");
    }
  }
  EXPECT_EQ(computer_.Read(At("src\\doc.txt")), "mine");
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(computer_.List(At("dst")).empty());
}

TEST_F(CopyTest, HiddenSystemOrFolderNamesakesAreRefusedAndLeftInPlace) {
  computer_.MakeFile(At("src\\a.txt"), "new a");
  computer_.MakeFile(At("src\\m.txt"), "new m");
  computer_.MakeFile(At("src\\z.txt"), "new z");
  for (const int32_t attribute :
       {int32_t{platform::kAttrHidden}, int32_t{platform::kAttrSystem}, 0}) {
    SCOPED_TRACE(attribute);
    if (attribute == 0) {
      computer_.MakeFolder(At("dst\\m.txt"));
    } else {
      computer_.MakeFile(At("dst\\m.txt"), "guarded");
      computer_.SetAttributes(At("dst\\m.txt"), attribute);
    }
    EXPECT_EQ(Raised([&] { Copy(); }), 70);
    EXPECT_EQ(Dst("a.txt"), "new a");
    if (attribute != 0) {
      EXPECT_EQ(Dst("m.txt"), "guarded");
    }
    EXPECT_FALSE(computer_.Exists(At("dst\\z.txt")));  // the rest is left alone

    Delete();
    EXPECT_EQ(computer_.List(At("dst")), Names{"m.txt"});
    computer_.Remove(At("dst\\m.txt"));
  }
}

TEST_F(CopyTest, LinksInTheDestinationAreReplacedNeverWrittenThrough) {
  computer_.MakeFolder(At("outside"));
  computer_.MakeFile(At("outside\\target.txt"), "outside");
  if (!computer_.MakeLink(At("dst\\doc.txt"), At("outside\\target.txt"))) {
    GTEST_SKIP() << "this system makes no file links";
  }
  computer_.MakeFile(At("src\\doc.txt"), "new");
  computer_.MakeFile(At("src\\self.txt"), "self");
  // A link back to the very document being copied must not empty it.
  ASSERT_TRUE(computer_.MakeLink(At("dst\\self.txt"), At("src\\self.txt")));
  Copy();
  EXPECT_EQ(computer_.Read(At("outside\\target.txt")), "outside");
  EXPECT_EQ(computer_.Read(At("src\\self.txt")), "self");
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
    computer_.MakeFile(At("src\\a.txt"), "new a");
    computer_.MakeFile(At("src\\b.txt"), "new b");
    computer_.MakeFile(At("src\\c.txt"), "new c");
    computer_.MakeFile(At("dst\\c.txt"), "old c");
    if (!old_b.empty()) computer_.MakeFile(At("dst\\") + old_b, "old b");
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
    EXPECT_EQ(computer_.List(At("dst")), expected);

    // Disarmed: the next run goes through.
    screen_->OnStatus(nullptr);
    Copy();
    EXPECT_EQ(Dst(Spelled("b.txt", old_b.empty() ? "b.txt" : old_b)), "new b");
    for (const std::string& name : computer_.List(At("dst"))) computer_.Remove(At("dst\\") + name);
  }
}

INSTANTIATE_TEST_SUITE_P(EachStep, CopyFaultTest,
                         ::testing::Values(platform::FaultPoint::kCopyOpenSource,
                                           platform::FaultPoint::kCopyCreateTemporary,
                                           platform::FaultPoint::kCopyWrite,
                                           platform::FaultPoint::kCopyRename));

TEST_F(CopyTest, ASourceDocumentThatVanishedLeavesTheOldOneInPlace) {
  computer_.MakeFile(At("src\\a.txt"), "new a");
  computer_.MakeFile(At("src\\b.txt"), "new b");
  computer_.MakeFile(At("dst\\A.TXT"), "old a");
  computer_.MakeFile(At("dst\\b.txt"), "old b");
  std::string vanishing = "a.txt";
  screen_->OnStatus([&](StatusLine, const std::string& text) {
    if (text == vanishing) computer_.Remove(At("src\\") + text);
  });
  // The document of another spelling is never removed ahead of the copy.
  EXPECT_EQ(Raised([&] { Copy(); }), 53);
  EXPECT_EQ(computer_.List(At("dst")), (Names{"A.TXT", "b.txt"}));
  EXPECT_EQ(Dst("A.TXT"), "old a");

  computer_.MakeFile(At("src\\a.txt"), "new a");
  vanishing = "b.txt";
  EXPECT_EQ(Raised([&] { Copy(); }), 53);
  const std::string spelled = Spelled("a.txt", "A.TXT");
  EXPECT_EQ(computer_.List(At("dst")), (Names{spelled, "b.txt"}));
  EXPECT_EQ(Dst(spelled), "new a");
  EXPECT_EQ(Dst("b.txt"), "old b");
}

}  // namespace
