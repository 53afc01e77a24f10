#include "platform/posix/file_operations.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/keep_alive.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/entry_attributes.h"
#include "platform/posix/errno_error.h"
#include "platform/posix/path_resolver.h"
#include "platform/posix/wine_drives.h"
#include "platform/test_hooks.h"
#include "platform/win_path.h"

namespace platform::posix {
namespace {

constexpr size_t kCopyBlock = 1 << 16;
constexpr char kTemporaryPrefix[] = ".~lumbrel-";

// Raises the OS error a test armed for `point`, if any.
void FailIfArmed(FaultPoint point) {
  if (int32_t fault = TakeFault(point)) throw ErrnoError(fault, ErrnoSubject::kFile);
}

// SIGTERM and SIGHUP while a temporary file exists: the copy stops at its
// next step, its temporary file is removed and the run ends as error 18.
volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void OnStopSignal(int signal_number) {
  g_stop_signal = signal_number;
}

class StopSignals {
 public:
  StopSignals() : exceptions_(std::uncaught_exceptions()) {
    g_stop_signal = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read waiting on a slow disk returns, so the stop is
    // not held up.
    sigaction(SIGTERM, &action, &old_term_);
    sigaction(SIGHUP, &action, &old_hup_);
  }
  // A signal that came after the last look is delivered again under the old
  // handling, so that it is never lost.
  ~StopSignals() {
    sigset_t both;
    sigset_t before;
    sigemptyset(&both);
    sigaddset(&both, SIGTERM);
    sigaddset(&both, SIGHUP);
    sigprocmask(SIG_BLOCK, &both, &before);
    sigaction(SIGTERM, &old_term_, nullptr);
    sigaction(SIGHUP, &old_hup_, nullptr);
    const int pending = g_stop_signal;
    g_stop_signal = 0;
    if (pending != 0 && std::uncaught_exceptions() == exceptions_) raise(pending);
    sigprocmask(SIG_SETMASK, &before, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  void ThrowIfStopped() {
    if (g_stop_signal != 0) {
      g_stop_signal = 0;
      throw PlatformError(kUserInterrupt);
    }
  }

 private:
  int exceptions_;
  struct sigaction old_term_ {};
  struct sigaction old_hup_ {};
};

// Temporary files this program left in the folder when it was killed: those
// whose process no longer runs are removed.
void RemoveStaleTemporaryFiles(int folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(
      fdopendir(openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)), closedir);
  if (!dir) return;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    unsigned long pid = 0;
    unsigned long number = 0;
    int length = 0;
    if (name.rfind(kTemporaryPrefix, 0) != 0 ||
        std::sscanf(name.c_str() + sizeof kTemporaryPrefix - 1, "%lu-%lu.tmp%n", &pid, &number,
                    &length) != 2 ||
        name.size() != sizeof kTemporaryPrefix - 1 + static_cast<size_t>(length)) {
      continue;
    }
    const pid_t owner = static_cast<pid_t>(pid);
    if (owner <= 0 || owner == getpid() || kill(owner, 0) == 0 || errno != ESRCH) continue;
    unlinkat(folder, name.c_str(), 0);
  }
}

// The temporary file a copy is written to, in the open destination folder;
// removed again, relative to that folder, unless it was renamed over the
// destination.
class TemporaryFile {
 public:
  explicit TemporaryFile(int folder) : folder_(folder) {
    static std::atomic<unsigned> counter{0};
    FailIfArmed(FaultPoint::kCopyCreateTemporary);
    for (;;) {
      // The leading dot hides it from its first instant to its rename, on
      // any file system, with no mark to set or clear: the rename to the
      // document's name is what makes it visible.
      name_ = kTemporaryPrefix + std::to_string(getpid()) + '-' +
              std::to_string(counter.fetch_add(1)) + ".tmp";
      int fd = openat(folder_, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0666);
      if (fd >= 0) {
        fd_ = std::make_unique<Descriptor>(fd);
        break;
      }
      if (errno != EEXIST) {
        name_.clear();
        throw ErrnoError(errno, ErrnoSubject::kPath);
      }
    }
  }
  ~TemporaryFile() {
    fd_.reset();
    if (!name_.empty()) unlinkat(folder_, name_.c_str(), 0);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int Fd() const { return fd_->Get(); }

  // Durable on disk, and closed.
  void MakeDurable() {
    if (fsync(fd_->Get()) != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
    if (fd_->Close() != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
  }

  // Takes the place of `name` in the folder in one step.
  void Replace(const std::string& name) {
    FailIfArmed(FaultPoint::kCopyRename);
    if (renameat(folder_, name_.c_str(), folder_, name.c_str()) != 0) {
      throw ErrnoError(errno, ErrnoSubject::kFile);
    }
    name_.clear();
  }

 private:
  int folder_;
  std::string name_;
  std::unique_ptr<Descriptor> fd_;
};

void WriteAll(int fd, const char* data, size_t size, StopSignals& stop) {
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno != EINTR) throw ErrnoError(errno, ErrnoSubject::kFile);
      stop.ThrowIfStopped();
      continue;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

void CopyData(int from, int to, StopSignals& stop) {
  std::vector<char> buffer(kCopyBlock);
  for (;;) {
    KeepAlive();
    stop.ThrowIfStopped();
    ssize_t got = read(from, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw ErrnoError(errno, ErrnoSubject::kFile);
    }
    FailIfArmed(FaultPoint::kCopyWrite);
    if (got == 0) return;
    WriteAll(to, buffer.data(), static_cast<size_t>(got), stop);
  }
}

// The replaced document's mode, and when the program runs as root its owner
// and group too: a user's read-only document must not come back as root's.
void KeepModeAndOwner(int folder, const std::string& name, int temporary) {
  struct stat old;
  if (fstatat(folder, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(old.st_mode)) {
    return;
  }
  if (geteuid() == 0 && fchown(temporary, old.st_uid, old.st_gid) != 0) {
    throw ErrnoError(errno, ErrnoSubject::kFile);
  }
  // Set after the owner, whose change would clear it; never set-id bits.
  if (fchmod(temporary, old.st_mode & 0777) != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
}

// Resolves `path` through trusted links only, raising what a missing drive
// or folder means.
Resolution ResolveOrThrow(const std::string& path, ResolvedPath& found) {
  Resolution result = ResolvePath(path, found, Links::kTrustedOnly);
  if (result == Resolution::kDriveNotReady) throw PlatformError(kDiskNotReady);
  if (result == Resolution::kNoFolder) throw PlatformError(kPathNotFound);
  return result;
}

// The folder holding the entry, open for reading and writing in it. Every
// write, rename and removal goes relative to it, so a path swapped later
// cannot redirect one: it was reached through trusted links only.
Descriptor OpenEntryFolder(const ResolvedPath& entry) {
  Descriptor folder(openat(entry.folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() < 0) throw ErrnoError(errno, ErrnoSubject::kPath);
  return folder;
}

PlatformError NoRegularFile() {
  return PlatformError(kPathFileAccessError);
}

}  // namespace

// Nothing but a regular file is ever opened: the type is looked at first, so
// that no device is touched, then again on what the open gave. Non-blocking,
// so a FIFO swapped in meanwhile never waits for a writer. The path was
// resolved by hand to a name that is no link, so the open follows none.
RegularFile OpenRegularFile(const std::string& path, const std::optional<EntryIdentity>& expected) {
  ResolvedPath found;
  if (ResolveOrThrow(path, found) != Resolution::kFound || found.name.empty()) {
    throw PlatformError(kFileNotFound);
  }
  const int folder = found.target_folder.Get();
  const char* name = found.target_name.c_str();
  struct stat info;
  if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    throw ErrnoError(errno, ErrnoSubject::kFile);
  }
  if (!S_ISREG(info.st_mode)) throw NoRegularFile();
  FailIfArmed(FaultPoint::kCopyOpenSource);
  Descriptor file(openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
  if (file.Get() < 0) {
    // A socket cannot be opened at all, and a link swapped in is refused.
    if (errno == ENXIO || errno == ELOOP) throw NoRegularFile();
    throw ErrnoError(errno, ErrnoSubject::kFile);
  }
  if (fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) throw NoRegularFile();
  const EntryIdentity opened{static_cast<uint64_t>(info.st_dev),
                             static_cast<uint64_t>(info.st_ino)};
  if (expected && opened != *expected) throw NoRegularFile();
  // Reads of a regular file never block; the copy wants them plain.
  fcntl(file.Get(), F_SETFL, fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);
  return {std::move(file), opened};
}

namespace {

bool IsFileWithAttributes(const ResolvedPath& entry, int32_t attributes) {
  int32_t actual = EntryAttributes(entry.folder.Get(), entry.name, entry.name, entry.alias);
  return actual >= 0 && (actual & attributes) != 0;
}

// Gives the entry `stored` in `folder` the spelling `wanted`, the same name
// but for letter case, in one rename. Here both spellings could be distinct
// files, so a name something else took meanwhile is never replaced.
void Respell(int folder, const std::string& stored, const std::string& wanted) {
  FailIfArmed(FaultPoint::kCopyRespell);
  if (renameat2(folder, stored.c_str(), folder, wanted.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno != EINVAL) throw ErrnoError(errno, ErrnoSubject::kFile);
  // A file system that cannot rename without replacing: look first.
  struct stat info;
  if (fstatat(folder, wanted.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
    throw PlatformError(kFileAlreadyExists);
  }
  if (renameat(folder, stored.c_str(), folder, wanted.c_str()) != 0) {
    throw ErrnoError(errno, ErrnoSubject::kFile);
  }
}

// The last component of `path` as the caller spelled it.
std::string RequestedName(const std::string& path) {
  win_path::DrivePath parts;
  if (!win_path::SplitDrivePath(path, parts) || parts.components.empty()) return "";
  return parts.components.back();
}

void CopyIntoFolder(const std::string& source, const std::string& destination, bool overwrite,
                    const std::optional<EntryIdentity>& source_identity) {
  Descriptor input;
  NamingPath(source, [&] { input = OpenRegularFile(source, source_identity).file; });
  ResolvedPath to;
  Resolution target = ResolveOrThrow(destination, to);
  const Descriptor folder = OpenEntryFolder(to);
  if (target == Resolution::kFound) {
    if (!overwrite) throw PlatformError(kFileAlreadyExists);
    if (to.is_folder || IsFileWithAttributes(to, kAttrHidden | kAttrSystem)) {
      throw PlatformError(kPermissionDenied);
    }
  }
  StopSignals stop;
  RemoveStaleTemporaryFiles(folder.Get());
  TemporaryFile temporary(folder.Get());
  CopyData(input.Get(), temporary.Fd(), stop);
  if (target == Resolution::kFound) KeepModeAndOwner(folder.Get(), to.name, temporary.Fd());
  stop.ThrowIfStopped();
  // The new content replaces the entry as stored, so that some spelling of
  // the name always answers with a whole document; only then does it take
  // the spelling asked for.
  temporary.MakeDurable();
  temporary.Replace(to.name);
  // The rename is already done; this only hurries it to the disk.
  fsync(folder.Get());
  const std::string wanted = RequestedName(destination);
  if (to.name != wanted) {
    Respell(folder.Get(), to.name, wanted);
    fsync(folder.Get());
  }
  stop.ThrowIfStopped();
}

}  // namespace

void CopyOneFile(const std::string& source, const std::string& destination, bool overwrite,
                 const std::optional<EntryIdentity>& source_identity) {
  NamingPath(destination, [&] { CopyIntoFolder(source, destination, overwrite, source_identity); });
}

void DeleteOneFile(const std::string& path, bool force) {
  try {
    ResolvedPath target;
    // As Windows answers, a missing folder on the way is no missing file (76).
    if (ResolveOrThrow(path, target) != Resolution::kFound || target.is_folder) {
      throw PlatformError(kFileNotFound);
    }
    const Descriptor folder = OpenEntryFolder(target);
    if (!force && IsFileWithAttributes(target, kAttrReadOnly)) {
      throw PlatformError(kPermissionDenied);
    }
    if (unlinkat(folder.Get(), target.name.c_str(), 0) != 0) {
      throw ErrnoError(errno, ErrnoSubject::kFile);
    }
  } catch (const PlatformError& error) {
    throw error.WithPath(path);
  }
}

}  // namespace platform::posix
