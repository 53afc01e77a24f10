// Whole runs of the repair driver through the scripted front-end, on real
// folders: the search sees only drives mapped onto this test's own folders,
// while the host's default place is the real "C:\Program Files\Quarnel".

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/mod_main.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/program_end.h"
#include "tests/e2e/default_installation.h"
#include "tests/support/chosen_drives.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_tree.h"
#include "ui/frm_main.h"
#include "ui/frm_main_test_peer.h"

namespace {

using lumbrel_test::DefaultInstallation;
using lumbrel_test::ScriptedFrontEnd;
using lumbrel_test::TestTree;
using platform::Ending;
using platform::StatusLine;

constexpr int32_t kOk = platform::kAnswerOk;
constexpr int32_t kCancel = platform::kAnswerCancel;
constexpr int32_t kYes = platform::kAnswerYes;
constexpr int32_t kNo = platform::kAnswerNo;

const std::string kTitle = "Quarnel Lumbrel 1 Restore";
const std::string kSupport =
    "Tessaly Technical Support\r\nEmail: support@tessaly.example\r\n"
    "Phone: 1-800-555-0142 (USA)";
const std::string kAnalyzing = "Analyzing your system, Please wait...";

std::string Searching(const std::string& drive) {
  return "Welcome\r\n\r\nQuarnel Update is now searching drive " + drive +
         " for all copies of the Quarnel program.\r\n\r\nPlease wait...";
}

// Counts how often the drives are listed: a run stopped early reads none.
class CountedDrives : public lumbrel_test::ChosenDrives {
 public:
  int32_t Listings() const { return listings_; }
  std::shared_ptr<platform::DriveCollection> Drives() override {
    ++listings_;
    return ChosenDrives::Drives();
  }

 private:
  int32_t listings_ = 0;
};

struct Drive {
  char letter;
  int32_t type;
  std::string folder;  // a Windows path
};

std::string Copying(const std::string& folder) {
  return "Copying New Documents...\r\n\r\n" + folder;
}

class RepairDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(lumbrel_test::DefaultInstallationPresent())
        << lumbrel_test::kDefaultFolder << " is left over from an earlier run; remove it";
    tree_.MakeFolder("util\\Docs");
    tree_.MakeFile("util\\Docs\\Lumbrel.qdoc", "new page");
    tree_.MakeFile("util\\Docs\\Index.qdoc", "new index");
  }

  // A host executable in `folder` (relative to the tree), with the package
  // entry as a folder when `package`, and a document folder holding an old
  // "Lumbrel.qdoc".
  void Install(const std::string& folder, bool package = true) {
    tree_.MakeFolder(folder + "\\Packages\\My Documents");
    tree_.MakeFile(folder + "\\QUARN.exe", "host");
    if (package) tree_.MakeFolder(folder + "\\Packages\\QUARN");
    tree_.MakeFile(folder + "\\Packages\\My Documents\\Lumbrel.qdoc", "old");
  }

  // The window the run uses; fixed drives `letters`, drive X standing on the
  // tree's folder "x".
  void MakeWindow(const std::string& letters) {
    std::vector<Drive> drives;
    for (const char letter : letters) {
      const std::string folder(1, static_cast<char>(letter - 'A' + 'a'));
      tree_.MakeFolder(folder);
      drives.push_back({letter, platform::kDriveFixed, tree_.PathOf(folder)});
    }
    MapDrives(drives);
  }

  // The window the run uses, with exactly these drives.
  void MapDrives(const std::vector<Drive>& drives) {
    auto front_end = std::make_unique<ScriptedFrontEnd>();
    ui_ = front_end.get();
    window_ = std::make_unique<frmMain>(std::move(front_end));
    file_system_ = std::make_shared<CountedDrives>();
    for (const Drive& drive : drives)
      file_system_->AddDrive(drive.letter, drive.type, drive.folder);
    frmMainTestPeer::SetFileSystem(*window_, file_system_);
    frmMainTestPeer::SetUtilityFolder(*window_, tree_.PathOf("util"));
  }

  void Answer(std::initializer_list<int32_t> codes) {
    for (int32_t code : codes) ui_->QueueAnswer(code);
  }

  int Run() { return modMain::Run(*window_); }

  const ScriptedFrontEnd::Box& LastBox() const { return ui_->Boxes().back(); }

  std::string Document(const std::string& folder, const std::string& name = "Lumbrel.qdoc") {
    return tree_.ReadFile(folder + "\\Packages\\My Documents\\" + name);
  }

  TestTree tree_;
  ScriptedFrontEnd* ui_ = nullptr;
  std::shared_ptr<CountedDrives> file_system_;
  std::unique_ptr<frmMain> window_;
};

// --- The user stops before anything is read ----------------------------------

TEST_F(RepairDriverTest, EitherOpeningBoxDeclinedEndsBeforeTheWindowOrAnyDriveIsSeen) {
  const struct {
    std::vector<int32_t> answers;
    int32_t style;
    std::string text;
    Ending ending;
  } cases[] = {
      {{kNo},
       68,
       "This installer will restore your missing Lumbrel page.\r\n\r\nDo you want to continue?",
       Ending::kConsentDeclined},
      {{kYes, kCancel},
       65,
       "Please make sure the Quarnel program is not currently running. If it is, close it now and "
       "then click the OK button below to continue.\r\n\r\nIf you encounter an error before "
       "finishing this procedure, restart your computer and run this update again. If you still "
       "encounter an error, contact Tessaly technical support for assistance.",
       Ending::kReminderCancelled},
  };
  Install("d\\Quarnel");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    MakeWindow("D");
    for (const int32_t code : c.answers) ui_->QueueAnswer(code);

    EXPECT_EQ(Run(), 1);
    ASSERT_EQ(ui_->Boxes().size(), c.answers.size());
    EXPECT_EQ(LastBox().title, kTitle);
    EXPECT_EQ(LastBox().style, c.style);
    EXPECT_EQ(LastBox().text, c.text);
    EXPECT_EQ(ui_->Ending(), c.ending);
    EXPECT_EQ(window_->LastEnding(), c.ending);
    EXPECT_EQ(file_system_->Listings(), 0);
    EXPECT_TRUE(ui_->History(StatusLine::kMain).empty());
    EXPECT_EQ(ui_->Transcript().front().rfind("box", 0), 0u) << "nothing may come before the box";
    for (const std::string& line : ui_->Transcript()) EXPECT_NE(line, "show");
    EXPECT_TRUE(ui_->Unloaded());
    EXPECT_EQ(Document("d\\Quarnel"), "old");
  }
}

// --- Nothing to repair --------------------------------------------------------

// Each way to a run with nothing to repair ends in its own box, after every
// drive it should search was searched, and leaves every document as it was.
TEST_F(RepairDriverTest, NothingToRepairIsToldInItsOwnBox) {
  Install("r\\Quarnel");
  Install("d\\Old", /*package=*/false);
  Install("d\\Hidden", /*package=*/false);
  tree_.MakeFile("d\\Hidden\\Packages\\QUARN");
  tree_.SetAttributes("d\\Hidden\\Packages\\QUARN", platform::kAttrHidden);
  Install("d\\System", /*package=*/false);
  tree_.MakeFile("d\\System\\Packages\\QUARN");
  tree_.SetAttributes("d\\System\\Packages\\QUARN", platform::kAttrSystem);
  tree_.MakeFolder("e\\Notes");
  tree_.MakeFile("e\\Notes\\QUARN.exe.bak");
  const std::string r = tree_.PathOf("r");
  const struct {
    std::vector<Drive> drives;
    int32_t style;
    std::string text;
    std::vector<std::string> main_history;
    std::string detail;
    bool cancel_enabled;
    Ending ending;
  } cases[] = {
      {{{'A', platform::kDriveRemovable, r},
        {'N', platform::kDriveNetwork, r},
        {'S', platform::kDriveCdRom, r},
        {'M', platform::kDriveRamDisk, r}},
       16,
       "Windows is reporting that this computer has no hard drives.\r\n\r\n"
       "Please restart your computer and run this program again.\r\n\r\n"
       "If, after restarting your computer you still see this message, contact Tessaly "
       "for assistance.\r\n\r\n" +
           kSupport,
       {kAnalyzing},
       "",
       true,
       Ending::kNoFixedDrive},
      {{{'E', platform::kDriveFixed, tree_.PathOf("e")}},
       48,
       "Windows is reporting that Quarnel is not installed on this computer.\r\n\r\n"
       "If you're sure that Quarnel is installed on this computer, please restart your "
       "computer and run this updater again. If, after restarting your computer and running "
       "this updater a second time you still encounter this error, contact Tessaly "
       "technical support for assistance.\r\n\r\n" +
           kSupport,
       {kAnalyzing, Searching("E")},
       tree_.PathOf("e\\Notes\\QUARN.exe.bak"),  // the last path the search showed stays
       true,
       Ending::kNotInstalled},
      {{{'D', platform::kDriveFixed, tree_.PathOf("d")},
        {'E', platform::kDriveFixed, tree_.PathOf("e")}},
       48,
       "This repair system has found no copies of Quarnel on your computer.\r\n\r\n"
       "If you're sure that Quarnel is installed on this computer, please restart your "
       "computer and run this updater again. If, after restarting your computer and running "
       "this program a second time you still encounter this error, contact Tessaly "
       "technical support for assistance.\r\n\r\n" +
           kSupport,
       {kAnalyzing, Searching("D"), Searching("E"),
        "Quarnel repair system found no copies of Quarnel on your computer."},
       "",
       false,
       Ending::kNoneRepaired},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    MapDrives(c.drives);
    Answer({kYes, kOk, kOk});

    EXPECT_EQ(Run(), 2);
    ASSERT_EQ(ui_->Boxes().size(), 3u) << "no default question without the default executable";
    EXPECT_EQ(LastBox().style, c.style);
    EXPECT_EQ(LastBox().title, kTitle);
    EXPECT_EQ(LastBox().text, c.text);
    EXPECT_EQ(ui_->History(StatusLine::kMain), c.main_history);
    EXPECT_EQ(ui_->Text(StatusLine::kDetail), c.detail);
    if (c.ending == Ending::kNoFixedDrive) {
      EXPECT_EQ(ui_->History(StatusLine::kDetail), std::vector<std::string>{""});
    }
    EXPECT_EQ(ui_->CancelEnabled(), c.cancel_enabled);
    EXPECT_EQ(ui_->Ending(), c.ending);
    for (const char* folder : {"r\\Quarnel", "d\\Old", "d\\Hidden", "d\\System"}) {
      EXPECT_EQ(Document(folder), "old") << folder;
    }
  }
}

// --- Repairs --------------------------------------------------------------------

TEST_F(RepairDriverTest, DefaultInstallationAcceptedRepairsItAloneWithoutSearching) {
  DefaultInstallation host;
  Install("d\\Quarnel");
  MakeWindow("D");
  Answer({kYes, kOk, kYes, kOk});

  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(ui_->Boxes().size(), 4u);
  const auto& question = ui_->Boxes()[2];
  EXPECT_EQ(question.style, 68);
  EXPECT_EQ(question.title, kTitle);
  EXPECT_EQ(question.text,
            "The Quarnel program has been located on drive C in the following folder:\r\n\r\n"
            "C:\\Program Files\\Quarnel\r\n\r\n"
            "We recommend that you click YES to continue normally and repair your Lumbrel "
            "page.\r\n\r\nYou may optionally click NO if you want this updater to search your "
            "computer for additional installations of the Quarnel program. We recommend that you "
            "do this only if you've already run this updater and found that your Lumbrel page "
            "was not repaired.");
  EXPECT_EQ(LastBox().style, 64);
  EXPECT_EQ(LastBox().text,
            "The Quarnel Lumbrel repair utility has completed successfully.\r\n\r\n"
            "You do not need to restart your computer. Click 'OK' to close this repair utility.");
  EXPECT_EQ(ui_->History(StatusLine::kMain),
            (std::vector<std::string>{kAnalyzing, Copying("C:\\Program Files\\Quarnel"),
                                      "Updating your system, please wait...",
                                      "Repair Successful... \r\n\r\nThe Quarnel Lumbrel document "
                                      "has been restored. (C-1)"}));
  EXPECT_EQ(host.Documents(), (std::vector<std::string>{"Index.qdoc", "Lumbrel.qdoc"}));
  EXPECT_EQ(host.Document("Lumbrel.qdoc"), "new page");
  EXPECT_EQ(Document("d\\Quarnel"), "old") << "no other copy is looked for";
  EXPECT_EQ(ui_->Ending(), Ending::kSuccess);
  EXPECT_TRUE(ui_->Unloaded());
}

TEST_F(RepairDriverTest, DefaultInstallationDeclinedIsFoundAgainBySearchAndRepairedOnce) {
  DefaultInstallation host;
  // Drive C is mapped onto the installation itself: the search then reports
  // the executable under its real default path without walking all of C:.
  Install("d\\Quarnel");
  MapDrives({{'C', platform::kDriveFixed, lumbrel_test::kDefaultFolder},
             {'D', platform::kDriveFixed, tree_.PathOf("d")}});
  Answer({kYes, kOk, kNo, kOk});

  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(ui_->Boxes().size(), 4u);
  EXPECT_EQ(ui_->Boxes()[2].style, 68);
  const std::string d_folder = tree_.PathOf("d\\Quarnel");
  EXPECT_EQ(ui_->History(StatusLine::kMain),
            (std::vector<std::string>{kAnalyzing, Searching("C"), Searching("D"),
                                      Copying("C:\\Program Files\\Quarnel"), Copying(d_folder),
                                      "Updating your system, please wait...",
                                      "Repair Successful... \r\n\r\nThe Quarnel Lumbrel document "
                                      "has been restored. (C-2)"}));
  EXPECT_EQ(host.Document("Lumbrel.qdoc"), "new page");
  EXPECT_EQ(Document("d\\Quarnel"), "new page");
}

TEST_F(RepairDriverTest, ThreeInstallationsCountThreeAndTheCancelButtonGoesOffFirst) {
  Install("d\\A");
  Install("d\\B\\Deep\\Quarnel");
  Install("e\\C");
  // Found, but without the package entry: not counted.
  Install("e\\D", /*package=*/false);
  MakeWindow("DE");
  Answer({kYes, kOk, kOk});

  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(ui_->Text(StatusLine::kMain),
            "Repair Successful... \r\n\r\nThe Quarnel Lumbrel document has been restored. (C-3)");
  for (const char* folder : {"d\\A", "d\\B\\Deep\\Quarnel", "e\\C"}) {
    EXPECT_EQ(Document(folder), "new page") << folder;
    EXPECT_EQ(Document(folder, "Index.qdoc"), "new index") << folder;
  }
  EXPECT_EQ(Document("e\\D"), "old");

  // Cancel goes off before the first document is named, and stays off.
  const auto& transcript = ui_->Transcript();
  size_t off = 0;
  while (off < transcript.size() && transcript[off] != "cancel off") ++off;
  ASSERT_LT(off, transcript.size());
  const std::string first_copy = "status 1 " + Copying(tree_.PathOf("d\\A"));
  for (size_t i = 0; i < off; ++i) EXPECT_NE(transcript[i], first_copy);
  EXPECT_FALSE(ui_->CancelEnabled());
}

TEST_F(RepairDriverTest, AnOrdinaryFileAsPackageEntryQualifiesAndAnEmptyDocsStillCounts) {
  tree_.Remove("util\\Docs\\Lumbrel.qdoc");
  tree_.Remove("util\\Docs\\Index.qdoc");
  tree_.MakeFolder("util\\Docs\\Sub");
  Install("d\\Quarnel", /*package=*/false);
  tree_.MakeFile("d\\Quarnel\\Packages\\QUARN", "package");
  tree_.SetAttributes("d\\Quarnel\\Packages\\QUARN", platform::kAttrReadOnly);
  MakeWindow("D");
  Answer({kYes, kOk, kOk});

  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(ui_->Text(StatusLine::kMain),
            "Repair Successful... \r\n\r\nThe Quarnel Lumbrel document has been restored. (C-1)");
  EXPECT_EQ(tree_.List("d\\Quarnel\\Packages\\My Documents"),
            std::vector<std::string>{"Lumbrel.qdoc"});
  EXPECT_EQ(Document("d\\Quarnel"), "old");
}

// --- Errors end the run where they happen ----------------------------------------

TEST_F(RepairDriverTest, MissingDocsFolderEndsWithTheErrorReport) {
  tree_.Remove("util\\Docs");
  Install("d\\Quarnel");
  MakeWindow("D");
  Answer({kYes, kOk});

  EXPECT_EQ(Run(), 3);
  EXPECT_EQ(ui_->ErrorReport(), "76 Path not found");
  EXPECT_EQ(ui_->Ending(), Ending::kError);
  EXPECT_EQ(window_->LastEnding(), Ending::kError);
  EXPECT_EQ(ui_->Boxes().size(), 2u) << "no box of the driver after the error";
  EXPECT_EQ(ui_->Text(StatusLine::kMain), Copying(tree_.PathOf("d\\Quarnel")));
  EXPECT_TRUE(ui_->Unloaded());
  EXPECT_EQ(tree_.List("d\\Quarnel\\Packages\\My Documents"),
            std::vector<std::string>{"Lumbrel.qdoc"});
  EXPECT_EQ(Document("d\\Quarnel"), "old");
}

TEST_F(RepairDriverTest, MissingDocumentFolderStopsTheRunAndKeepsEarlierCopies) {
  Install("d\\A");
  tree_.MakeFolder("d\\B\\Packages\\QUARN");
  tree_.MakeFile("d\\B\\QUARN.exe");
  Install("d\\C");
  MakeWindow("D");
  Answer({kYes, kOk});

  EXPECT_EQ(Run(), 3);
  EXPECT_EQ(ui_->ErrorReport(), "76 Path not found");
  EXPECT_EQ(Document("d\\A"), "new page") << "documents copied before the error stay";
  EXPECT_EQ(Document("d\\C"), "old") << "the rest of the list is not processed";
  EXPECT_FALSE(tree_.Exists("d\\B\\Packages\\My Documents")) << "never created";
  EXPECT_EQ(ui_->Boxes().size(), 2u);
}

// --- The search's own way out ---------------------------------------------------

TEST_F(RepairDriverTest, ConfirmedCancelDuringTheSearchEndsWithoutCopying) {
  Install("d\\A");
  Install("e\\B");
  MakeWindow("DE");
  ui_->ClickCancelWhenShown(StatusLine::kDetail, tree_.PathOf("d\\A\\QUARN.exe"));
  Answer({kYes, kOk, kNo});

  EXPECT_EQ(Run(), 1);
  ASSERT_EQ(ui_->Boxes().size(), 3u);
  EXPECT_EQ(LastBox().title, "Cancel Repair?");
  EXPECT_EQ(ui_->Ending(), Ending::kCancelConfirmed);
  for (const std::string& status : ui_->History(StatusLine::kMain)) {
    EXPECT_NE(status, Searching("E")) << "no further drive is searched";
  }
  EXPECT_EQ(Document("d\\A"), "old");
  EXPECT_EQ(Document("e\\B"), "old");
  EXPECT_TRUE(ui_->Unloaded());
}

}  // namespace
