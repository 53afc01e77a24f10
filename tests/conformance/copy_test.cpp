#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/fault_injection.h"
#include "tests/conformance/conformance_support.h"
#include "tests/support/test_tree.h"

namespace lumbrel_conformance {
namespace {

using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::kAttrSystem;

class Copy : public testing::Test {
 protected:
  void SetUp() override {
    tree_.MakeFolder("Docs");
    tree_.MakeFolder("Target");
    tree_.MakeFile("Docs\\doc.txt", "new document");
  }

  // Copies Docs\doc.txt to Target\<name>; the error number, 0 on success.
  int32_t CopyTo(const std::string& name, bool overwrite) {
    return ErrorNumberOf([&] {
      fso_->CopyFile(tree_.PathOf("Docs\\doc.txt"), tree_.PathOf("Target\\" + name), overwrite);
    });
  }

  // The spelling a copy onto `stored` under the name `wanted` leaves: the
  // wanted one, but where the system cannot change only the letter case of a
  // name in one rename (Wine, a FAT drive) the stored one. Asked of the
  // system itself; natively the layer always can.
  std::string Spelled(const std::string& wanted, const std::string& stored) {
    if (std::filesystem::path::preferred_separator != L'\\') return wanted;
    tree_.MakeFile("probe");
    std::error_code failed;
    std::filesystem::rename(tree_.PathOf("probe"), tree_.PathOf("PROBE"), failed);
    const bool respells = tree_.List() == std::vector<std::string>{"Docs", "PROBE", "Target"};
    tree_.Remove("probe");
    return respells ? wanted : stored;
  }

  lumbrel_test::TestTree tree_;
  platform::FileSystemObjectRef fso_ = platform::CreateFileSystemObject();
};

TEST_F(Copy, CreatesAndReplacesOrdinaryDocuments) {
  EXPECT_EQ(CopyTo("doc.txt", false), 0);
  EXPECT_EQ(tree_.ReadFile("Target\\doc.txt"), "new document");
  tree_.MakeFile("Target\\old.txt", "old document");
  EXPECT_EQ(CopyTo("old.txt", true), 0);
  EXPECT_EQ(tree_.ReadFile("Target\\old.txt"), "new document");
  EXPECT_EQ(tree_.List("Target"), (std::vector<std::string>{"doc.txt", "old.txt"}));
}

TEST_F(Copy, ReplacesAReadOnlyDocument) {
  tree_.MakeFile("Target\\doc.txt", "old document");
  tree_.SetAttributes("Target\\doc.txt", kAttrReadOnly);
  EXPECT_EQ(CopyTo("doc.txt", true), 0);
  EXPECT_EQ(tree_.ReadFile("Target\\doc.txt"), "new document");
  EXPECT_EQ(tree_.List("Target"), std::vector<std::string>{"doc.txt"});
  tree_.SetAttributes("Target\\doc.txt", 0);
}

TEST_F(Copy, ReplacesTheDocumentOfAnotherCaseUnderTheNewSpelling) {
  tree_.MakeFile("Target\\REPORT.DOC", "old document");
  tree_.SetAttributes("Target\\REPORT.DOC", kAttrReadOnly);
  EXPECT_EQ(CopyTo("Report.doc", true), 0);
  const std::string spelled = Spelled("Report.doc", "REPORT.DOC");
  EXPECT_EQ(tree_.List("Target"), std::vector<std::string>{spelled});
  EXPECT_EQ(tree_.ReadFile("Target\\" + spelled), "new document");
}

TEST_F(Copy, AFailedRespellingLeavesTheNewContentUnderTheOldSpelling) {
  tree_.MakeFile("Target\\REPORT.DOC", "old document");
  platform::ArmFault(platform::FaultPoint::kCopyRespell, AccessDeniedOsError());
  EXPECT_EQ(CopyTo("Report.doc", true), platform::kPermissionDenied);
  EXPECT_EQ(platform::TakeFault(platform::FaultPoint::kCopyRespell), 0)
      << "the copy never came to respelling";
  EXPECT_EQ(tree_.List("Target"), std::vector<std::string>{"REPORT.DOC"});
  EXPECT_EQ(tree_.ReadFile("Target\\REPORT.DOC"), "new document");
  // A copy under the spelling already stored has nothing to respell.
  platform::ArmFault(platform::FaultPoint::kCopyRespell, AccessDeniedOsError());
  EXPECT_EQ(CopyTo("REPORT.DOC", true), 0);
  EXPECT_NE(platform::TakeFault(platform::FaultPoint::kCopyRespell), 0);
}

TEST_F(Copy, RefusesWhatItMustNotReplace) {
  tree_.MakeFile("Target\\kept.txt", "kept");
  tree_.MakeFile("Target\\hidden.txt", "hidden");
  tree_.MakeFile("Target\\system.txt", "system");
  tree_.MakeFolder("Target\\folder.txt");
  tree_.SetAttributes("Target\\hidden.txt", kAttrHidden);
  tree_.SetAttributes("Target\\system.txt", kAttrSystem);

  EXPECT_EQ(CopyTo("kept.txt", false), platform::kFileAlreadyExists);
  EXPECT_EQ(CopyTo("KEPT.TXT", false), platform::kFileAlreadyExists);
  EXPECT_EQ(CopyTo("hidden.txt", true), platform::kPermissionDenied);
  EXPECT_EQ(CopyTo("system.txt", true), platform::kPermissionDenied);
  EXPECT_EQ(CopyTo("folder.txt", true), platform::kPermissionDenied);

  EXPECT_EQ(tree_.ReadFile("Target\\kept.txt"), "kept");
  EXPECT_EQ(tree_.ReadFile("Target\\hidden.txt"), "hidden");
  EXPECT_EQ(tree_.ReadFile("Target\\system.txt"), "system");
  EXPECT_EQ(tree_.List("Target"),
            (std::vector<std::string>{"folder.txt", "hidden.txt", "kept.txt", "system.txt"}));
}

TEST_F(Copy, ReportsMissingSourceAndMissingFolder) {
  EXPECT_EQ(ErrorNumberOf([&] {
              fso_->CopyFile(tree_.PathOf("Docs\\none.txt"), tree_.PathOf("Target\\x.txt"), true);
            }),
            platform::kFileNotFound);
  EXPECT_EQ(CopyTo("Missing\\doc.txt", true), platform::kPathNotFound);
  EXPECT_TRUE(tree_.List("Target").empty());
}

TEST_F(Copy, ReplacesALinkItselfNeverWhatItLeadsTo) {
  tree_.MakeFile("elsewhere.txt", "elsewhere");
  if (!tree_.MakeFileLink("Target\\link.txt", "elsewhere.txt")) {
    GTEST_SKIP() << "this system makes no file links";
  }
  EXPECT_EQ(CopyTo("link.txt", true), 0);
  EXPECT_EQ(tree_.ReadFile("Target\\link.txt"), "new document");
  EXPECT_EQ(tree_.ReadFile("elsewhere.txt"), "elsewhere");
}

TEST_F(Copy, DeleteFileHonoursReadOnlyUnlessForced) {
  tree_.MakeFile("Target\\a.txt");
  tree_.MakeFile("Target\\b.txt");
  tree_.SetAttributes("Target\\b.txt", kAttrReadOnly);
  fso_->DeleteFile(tree_.PathOf("Target\\A.TXT"), false);
  EXPECT_EQ(ErrorNumberOf([&] { fso_->DeleteFile(tree_.PathOf("Target\\b.txt"), false); }),
            platform::kPermissionDenied);
  EXPECT_TRUE(tree_.Exists("Target\\b.txt"));
  fso_->DeleteFile(tree_.PathOf("Target\\b.txt"), true);
  EXPECT_TRUE(tree_.List("Target").empty());
  EXPECT_EQ(ErrorNumberOf([&] { fso_->DeleteFile(tree_.PathOf("Target\\b.txt"), true); }),
            platform::kFileNotFound);
}

struct FaultCase {
  platform::FaultPoint point;
  const char* name;
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
  *out << fault.name;
}

class CopyFault : public Copy, public testing::WithParamInterface<FaultCase> {
 protected:
  void TearDown() override { platform::ArmFault(GetParam().point, 0); }

  // Arms the fault, copies, and checks that the copy passed the point.
  int32_t CopyWithFault(int32_t os_error, const std::string& name) {
    platform::ArmFault(GetParam().point, os_error);
    int32_t number = CopyTo(name, true);
    EXPECT_EQ(platform::TakeFault(GetParam().point), 0) << "the copy never reached this point";
    return number;
  }
};

TEST_P(CopyFault, LeavesTheOldDocumentAndNoTemporaryFile) {
  tree_.MakeFile("Target\\doc.txt", "old document");
  EXPECT_EQ(CopyWithFault(DiskFullOsError(), "doc.txt"), platform::kDiskFull);
  EXPECT_EQ(tree_.ReadFile("Target\\doc.txt"), "old document");
  EXPECT_EQ(CopyWithFault(AccessDeniedOsError(), "doc.txt"), platform::kPermissionDenied);
  EXPECT_EQ(tree_.ReadFile("Target\\doc.txt"), "old document");
  EXPECT_EQ(tree_.List("Target"), std::vector<std::string>{"doc.txt"});
}

TEST_P(CopyFault, LeavesNothingWhereNoDocumentWas) {
  EXPECT_EQ(CopyWithFault(DiskFullOsError(), "fresh.txt"), platform::kDiskFull);
  EXPECT_TRUE(tree_.List("Target").empty());
  // Disarmed: the next copy goes through.
  EXPECT_EQ(CopyTo("fresh.txt", true), 0);
  EXPECT_EQ(tree_.ReadFile("Target\\fresh.txt"), "new document");
}

INSTANTIATE_TEST_SUITE_P(
    EachPoint, CopyFault,
    testing::Values(FaultCase{platform::FaultPoint::kCopyOpenSource, "OpenSource"},
                    FaultCase{platform::FaultPoint::kCopyCreateTemporary, "CreateTemporary"},
                    FaultCase{platform::FaultPoint::kCopyWrite, "Write"},
                    FaultCase{platform::FaultPoint::kCopyRename, "Rename"}),
    [](const testing::TestParamInfo<FaultCase>& point) { return std::string(point.param.name); });

}  // namespace
}  // namespace lumbrel_conformance
