// Copying and removing the documents of one folder against another, on real
// folders, through the system's own file layer: the same cases decide the
// Linux layer natively and the Win32 layer under 32-bit Wine.

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
  // The documents named on the detail line, in order.
  Names Shown() const {
    Names shown;
    for (const std::string& event : screen_->Transcript()) {
      if (event.rfind("status 2 ", 0) == 0) shown.push_back(event.substr(9));
    }
    return shown;
  }
  std::string Dst(const std::string& name) const { return computer_.Read(At("dst\\" + name)); }
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

// What a run shows of the copy is decided by the program's transcripts
// (tests/golden); here: removal, which no run does, and what takes faults.
TEST_F(CopyTest, RemovalTakesExactlyTheSameNamedDocumentsReadOnlyOrNot) {
  for (const char* name : {"src\\a.txt", "src\\B.txt", "dst\\A.TXT", "dst\\b.txt", "dst\\c.txt"}) {
    computer_.MakeFile(At(name), name);
  }
  computer_.MakeFile(At("src\\sub\\c.txt"));
  computer_.SetAttributes(At("dst\\b.txt"), platform::kAttrReadOnly);
  Delete();
  EXPECT_EQ(Shown(), (Names{"a.txt", "B.txt"}));
  EXPECT_EQ(computer_.List(At("dst")), Names{"c.txt"});
  EXPECT_EQ(computer_.List(At("src")), (Names{"B.txt", "a.txt", "sub"}));
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
    screen_->OnStatus([this](const std::string& text) {
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
  screen_->OnStatus([&](const std::string& text) {
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
