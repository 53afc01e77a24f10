// Folders and files the user may not list or read, met by an unprivileged
// process (the tests run as root, who is refused nothing): the search passes
// over them and ends, and a copy that is refused says so and changes nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "tests/hostile/unix/child_process.h"
#include "tests/hostile/unix/private_computer.h"
#include "tests/support/scripted_front_end.h"
#include "ui/frm_main.h"
#include "ui/frm_main_test_peer.h"

namespace {

using hostile::PrivateComputer;

std::string Joined(const StringArray& items) {
  std::string text;
  for (const std::string& item : items) text += item + ";";
  return text;
}

class RefusedAccess : public ::testing::Test {
 protected:
  RefusedAccess() { chmod(computer_.Prefix().c_str(), 0755); }

  void Lock(const std::string& relative, mode_t mode) {
    ASSERT_EQ(chmod(computer_.Host(relative).c_str(), mode), 0);
  }

  PrivateComputer computer_;
};

TEST_F(RefusedAccess, TheSearchPassesOverWhatItMayNotListOrRead) {
  computer_.MakeFolder("open/inner");
  computer_.MakeFile("open/inner/QUARN.exe", "host");
  computer_.MakeFolder("locked/deeper");
  computer_.MakeFile("locked/QUARN.exe", "host");
  computer_.MakeFile("locked/deeper/QUARN.exe", "host");
  computer_.MakeFolder("blind");  // may be entered, not listed
  computer_.MakeFile("blind/QUARN.exe", "host");
  computer_.MakeFolder("zeta");
  computer_.MakeFile("zeta/QUARN.exe", "host");
  computer_.MakeFile("secret.txt", "x");
  Lock("locked", 0);
  Lock("blind", 0311);
  Lock("secret.txt", 0);

  const std::string result = hostile::InChild([] {
    if (!hostile::DropToNobody()) return std::string("<cannot drop root>");
    frmMain form(std::make_unique<lumbrel_test::ScriptedFrontEnd>());
    return Joined(frmMainTestPeer::FindFilesOnDrive(form, "H", "QUARN.exe"));
  });
  EXPECT_EQ(result, "H:\\open\\inner\\QUARN.exe;H:\\zeta\\QUARN.exe;");
}

TEST_F(RefusedAccess, ARefusedCopySaysSoAndLeavesTheOldDocument) {
  computer_.MakeFolder("Docs");
  computer_.MakeFolder("Secret");
  computer_.MakeFile("Docs/Lumbrel.qdoc", "new");
  computer_.MakeFile("Secret/Lumbrel.qdoc", "unreadable");
  for (const char* folder : {"Inst", "Mine", "Open"}) {
    computer_.MakeFolder(folder);
    computer_.MakeFile(std::string(folder) + "/Lumbrel.qdoc", "old");
  }
  Lock("Inst", 0555);
  Lock("Mine", 0777);
  Lock("Mine/Lumbrel.qdoc", 0444);
  Lock("Open", 0777);
  Lock("Secret/Lumbrel.qdoc", 0);

  const std::string result = hostile::InChild([] {
    if (!hostile::DropToNobody()) return std::string("<cannot drop root>");
    frmMain form(std::make_unique<lumbrel_test::ScriptedFrontEnd>());
    // A folder it may not write to; a read-only document in a folder it may
    // write to, replaced as intended; a document it may not read.
    return hostile::Raised([&] { form.CopyAllFiles("H:\\Docs", "H:\\Inst"); }) + "|" +
           hostile::Raised([&] { form.CopyAllFiles("H:\\Docs", "H:\\Mine"); }) + "|" +
           hostile::Raised([&] { form.CopyAllFiles("H:\\Secret", "H:\\Open"); });
  });
  EXPECT_EQ(result, "70 Permission denied|no error|70 Permission denied");
  EXPECT_EQ(computer_.ReadFile("Mine/Lumbrel.qdoc"), "new");
  for (const char* folder : {"Inst", "Open"}) {
    EXPECT_EQ(computer_.ReadFile(std::string(folder) + "/Lumbrel.qdoc"), "old") << folder;
    EXPECT_EQ(computer_.Names(folder), "Lumbrel.qdoc;") << folder;
  }
}

}  // namespace
