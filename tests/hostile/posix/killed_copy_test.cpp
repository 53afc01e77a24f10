// The program killed outright, or asked to stop (SIGTERM, SIGHUP), at random
// moments while it replaces a large document: afterwards the folder holds the
// old document or the new one under its name, whole, never neither and never
// a part, also when the new one spells the name in another letter case. A
// stopped copy ends as error 18 and leaves nothing beside it; a killed one a
// hidden temporary file that a later run neither takes for a document nor
// trips over, and removes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/dir_entry.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_computer.h"
#include "ui/frm_main.h"

namespace {

using Clock = std::chrono::steady_clock;

// Starts the copy in a child process and returns its id at once.
pid_t StartCopy() {
  const pid_t pid = fork();
  if (pid == 0) {
    frmMain form(std::make_unique<lumbrel_test::ScriptedFrontEnd>());
    try {
      form.CopyAllFiles("H:\\Docs", "H:\\Inst");
    } catch (const platform::PlatformError& error) {
      _exit(error.Number());
    }
    _exit(0);
  }
  return pid;
}

// The child's exit code, or minus the signal that ended it.
int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

bool SameButForCase(const std::string& a, const std::string& b) {
  return platform::UpperCase(a) == platform::UpperCase(b);
}

// The entries of host folder `folder` whose names are `name` but for case.
std::vector<std::string> Spellings(const std::string& folder, const std::string& name) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string stored = entry.path().filename().string();
    if (SameButForCase(stored, name)) found.push_back(stored);
  }
  return found;
}

int Temporaries(const std::string& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    count += entry.path().filename().string().rfind(".~lumbrel-", 0) == 0;
  }
  return count;
}

// Kills the copy at random moments while it replaces the old document,
// stored under `stored_name`, with "Lumbrel.qdoc".
void KillCopiesOver(const std::string& stored_name, unsigned seed) {
  SCOPED_TRACE("stored as " + stored_name);
  lumbrel_test::TestComputer computer;
  computer.AddDrive('H');
  computer.MakeFolder("H:\\Inst");
  const std::string inst = computer.Host("H:\\Inst").string();
  const std::string old_content(3 << 20, 'O');
  const std::string new_content(8 << 20, 'N');
  computer.MakeFile("H:\\Docs\\Lumbrel.qdoc", new_content);
  const auto restore_old = [&] {
    for (const std::string& stored : Spellings(inst, "Lumbrel.qdoc")) {
      std::filesystem::remove(inst + "/" + stored);
    }
    computer.MakeFile("H:\\Inst\\" + stored_name, old_content);
  };

  // How long one whole copy takes here sets the range of the kill delays.
  restore_old();
  const auto start = Clock::now();
  ASSERT_EQ(Wait(StartCopy()), 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  ASSERT_EQ(Spellings(inst, "Lumbrel.qdoc"), std::vector<std::string>{"Lumbrel.qdoc"});

  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delay(0, whole.count() * 5 / 4);
  int olds = 0;
  int news = 0;
  int stopped = 0;
  for (int round = 0; round < 36; ++round) {
    restore_old();
    const pid_t pid = StartCopy();
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    const int signals[] = {SIGTERM, SIGHUP, SIGKILL};
    const int signal_sent = signals[round % 3];
    kill(pid, signal_sent);
    const int status = Wait(pid);
    if (signal_sent != SIGKILL) {
      // Stopped before the copy began, or it ended with 18 (or had finished)
      // having cleared the folder of every temporary file, its own too.
      ASSERT_TRUE(status == -signal_sent || status == 18 || status == 0) << status;
      if (status != -signal_sent) {
        EXPECT_EQ(Temporaries(inst), 0) << "round " << round;
      }
      stopped += status == 18;
    }

    // Exactly one entry answers to the name, whichever spelling it has.
    const std::vector<std::string> spellings = Spellings(inst, "Lumbrel.qdoc");
    ASSERT_EQ(spellings.size(), 1u) << "round " << round;
    const std::string now = computer.Read("H:\\Inst\\" + spellings[0]);
    ASSERT_TRUE(now == old_content || now == new_content)
        << "round " << round << ": " << now.size() << " bytes under " << spellings[0];
    EXPECT_EQ(platform::DirEntryName("H:\\Inst\\Lumbrel.qdoc", 0), spellings[0]);
    if (now == old_content) {
      EXPECT_EQ(spellings[0], stored_name) << "round " << round;
      ++olds;
    } else {
      ++news;
    }
  }
  // The delays must have caught the copy in both states, or this proved
  // nothing.
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
  EXPECT_GT(stopped, 0);

  // Leftovers: temporary files only, hidden from their first instant, so a
  // later look-up never takes one for a document.
  const auto files =
      platform::CreateFileSystemObject()->GetFolder("H:\\Inst")->Files()->Enumerate();
  int leftovers = 0;
  for (platform::FileRef file; files->Next(file);) {
    const std::string name = file->Name();
    if (SameButForCase(name, "Lumbrel.qdoc")) continue;
    ++leftovers;
    EXPECT_EQ(name.rfind(".~lumbrel-", 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp") << name;
    EXPECT_NE(file->Attributes() & platform::kAttrHidden, 0) << name;
    EXPECT_EQ(platform::DirEntryName(file->Path(), 0), "") << name;
  }
  std::cout << "[ figures  ] " << olds << " kills left the old document, " << news
            << " the new one, " << stopped << " stopped with 18, " << leftovers
            << " temporary files; a whole copy took " << whole.count() << " us\n";

  // A later run copies over all of it, with the new spelling.
  ASSERT_EQ(Wait(StartCopy()), 0);
  EXPECT_EQ(Spellings(inst, "Lumbrel.qdoc"), std::vector<std::string>{"Lumbrel.qdoc"});
  EXPECT_EQ(computer.Read("H:\\Inst\\Lumbrel.qdoc"), new_content);
  EXPECT_EQ(Temporaries(inst), 0);
}

TEST(KilledCopy, TheDocumentIsAlwaysTheOldOrTheNewOneWhole) {
  KillCopiesOver("Lumbrel.qdoc", 20261206);
  KillCopiesOver("LUMBREL.QDOC", 20261207);
}

}  // namespace
