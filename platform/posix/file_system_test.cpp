// The Linux back-end of the file-system object model, on a Wine-style
// prefix: attributes, listings, drives, the copy's modes and what leads off
// the disks.

#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/error.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/entry_attributes.h"
#include "platform/posix/listing.h"
#include "tests/support/test_computer.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

auto OpenDescriptors() {
  return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

// A computer of its own with one drive, T:.
class PrefixTest : public testing::Test {
 protected:
  PrefixTest() { computer_.AddDrive('T'); }
  fs::path Disk(const std::string& relative) const { return computer_.Host("T:\\" + relative); }

  lumbrel_test::TestComputer computer_;
  fs::path prefix_ = computer_.Prefix();
  FileSystemObjectRef fso_ = CreateFileSystemObject();
};

// What links list as is the conformance cases'.
TEST_F(PrefixTest, DotNamesAreHiddenUnlessAStoredMarkSaysOtherwise) {
  const std::string profile = Disk(".profile");
  std::ofstream(profile) << "x";
  EXPECT_EQ(posix::EntryAttributes(AT_FDCWD, profile, ".profile", false),
            kAttrArchive | kAttrHidden);
  if (setxattr(profile.c_str(), posix::kDosAttribute, "0x0", 3, 0) != 0) GTEST_SKIP();
  EXPECT_EQ(posix::EntryAttributes(AT_FDCWD, profile, ".profile", false), kAttrArchive);
  ASSERT_EQ(setxattr(profile.c_str(), posix::kDosAttribute, "0xg", 3, 0), 0);
  EXPECT_EQ(posix::EntryAttributes(AT_FDCWD, profile, ".profile", false),
            kAttrArchive | kAttrHidden);
  // Hex letters in either case: 0xa is hidden, 0xd system (with bit 8).
  for (const char* mark : {"0xa", "0xA", "0xd", "0xD"}) {
    ASSERT_EQ(setxattr(profile.c_str(), posix::kDosAttribute, mark, 3, 0), 0);
    EXPECT_EQ(posix::EntryAttributes(AT_FDCWD, profile, ".profile", false),
              kAttrArchive | (mark[2] == 'a' || mark[2] == 'A' ? kAttrHidden : kAttrSystem))
        << mark;
  }
}

// File systems that report no kind in their directories (DT_UNKNOWN) are
// told kinds one stat at a time, with the same answers.
TEST_F(PrefixTest, EntriesOfUnknownKindAreToldApartByTheirStatus) {
  fs::create_directories(Disk("folder"));
  std::ofstream(Disk("file")) << "x";
  fs::create_directory_symlink(Disk("folder"), Disk("to-folder"));
  fs::create_symlink(Disk("gone"), Disk("nowhere"));
  const posix::Descriptor folder(open(Disk("").c_str(), O_RDONLY | O_DIRECTORY));
  std::string seen;
  for (const char* name : {"folder", "file", "to-folder", "nowhere"}) {
    bool is_folder = false;
    bool alias = false;
    const bool listed = posix::ClassifyEntry(folder.Get(), name, DT_UNKNOWN, is_folder, alias);
    seen += std::string(name) + (listed ? "" : " unlisted") + (is_folder ? " folder" : "") +
            (alias ? " alias" : "") + ";";
  }
  EXPECT_EQ(seen, "folder folder;file;to-folder folder alias;nowhere unlisted alias;");
}

TEST_F(PrefixTest, ADeepChainIsListedToItsEndAndLeavesNothingOpen) {
  constexpr int kDepth = 150;
  fs::path deepest = Disk("");
  for (int level = 0; level < kDepth; ++level) deepest /= "level" + std::to_string(level);
  fs::create_directories(deepest);
  const auto before = OpenDescriptors();
  // Fewer descriptors than levels: keeping every parent open would run out.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old_limit), 0);
  rlimit low_limit = old_limit;
  low_limit.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low_limit), 0);
  {
    // Every level's collection held at once, as a walk holds its path.
    std::vector<std::shared_ptr<FolderCollection>> path{fso_->GetFolder("T:\\")->SubFolders()};
    FolderRef folder;
    for (int level = 0; level < kDepth; ++level) {
      ASSERT_TRUE(path.back()->Enumerate()->Next(folder)) << "level " << level;
      EXPECT_EQ(folder->Name(), "level" + std::to_string(level));
      path.push_back(folder->SubFolders());
    }
    EXPECT_GT(OpenDescriptors(), before);
  }
  setrlimit(RLIMIT_NOFILE, &old_limit);
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(PrefixTest, TheDriveListIsARegularFileOfAtMost64MiB) {
  const std::string path = prefix_ / "system.reg";
  const auto failure = [this] {
    try {
      fso_->Drives();
    } catch (const PlatformError& error) {
      return error.Text() + " | " + error.Path();
    }
    return std::string("no error");
  };
  ASSERT_EQ(unlink(path.c_str()), 0);
  EXPECT_EQ(failure(), "no error");          // none at all declares nothing
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);  // opened blocking, this would hang
  EXPECT_EQ(failure(),
            "Cannot read the drive list " + path + ": it is not a regular file | " + path);
  ASSERT_EQ(unlink(path.c_str()), 0);
  std::ofstream(path) << "[Software\\\\Wine\\\\Drives]\n\"t:\"=\"cdrom\"\n";
  ASSERT_EQ(truncate(path.c_str(), 64 << 20), 0);
  DriveRef drive;
  ASSERT_TRUE(fso_->Drives()->Enumerate()->Next(drive));
  EXPECT_EQ(drive->Type(), kDriveCdRom);
  ASSERT_EQ(truncate(path.c_str(), (64 << 20) + 1), 0);
  EXPECT_EQ(failure(),
            "Cannot read the drive list " + path + ": it is larger than 64 MiB | " + path);
}

// Run as root, as in CI: a user's read-only document comes back theirs and
// read-only whatever the umask; a new one gets what the umask leaves. The
// caller's signal mask comes back too.
TEST_F(PrefixTest, AReplacedDocumentKeepsItsModeAndOwner) {
  computer_.MakeFile("T:\\new.txt", "new");
  computer_.MakeFile("T:\\old.txt", "old");
  ASSERT_EQ(chmod(Disk("old.txt").c_str(), 0444), 0);
  const bool root = geteuid() == 0;
  ASSERT_TRUE(!root || chown(Disk("old.txt").c_str(), 65534, 65533) == 0);
  const mode_t umask_before = umask(077);
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGUSR2);
  sigset_t caller;
  pthread_sigmask(SIG_BLOCK, &blocked, &caller);
  fso_->CopyFile("T:\\new.txt", "T:\\old.txt", true, std::nullopt);
  fso_->CopyFile("T:\\new.txt", "T:\\fresh.txt", false, std::nullopt);
  sigset_t after;
  pthread_sigmask(SIG_SETMASK, &caller, &after);
  EXPECT_TRUE(sigismember(&after, SIGUSR2) == 1 && sigismember(&after, SIGTERM) == 0);
  umask(umask_before);
  struct stat kept {};
  struct stat fresh {};
  ASSERT_EQ(stat(Disk("old.txt").c_str(), &kept), 0);
  ASSERT_EQ(stat(Disk("fresh.txt").c_str(), &fresh), 0);
  EXPECT_EQ(kept.st_mode & 07777, 0444u);
  EXPECT_EQ(fresh.st_mode & 07777, 0600u);
  EXPECT_EQ(kept.st_uid, root ? 65534u : geteuid());
  EXPECT_EQ(kept.st_gid, root ? 65533u : getegid());
}

}  // namespace
}  // namespace platform
