#include "platform/posix/file_operations.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

#include "platform/error.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/keep_alive.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/entry_attributes.h"
#include "platform/posix/errno_error.h"
#include "platform/posix/path_resolver.h"
#include "platform/posix/wine_drives.h"
#include "platform/win_path.h"

namespace platform::posix {
namespace {

constexpr size_t kCopyBlock = 1 << 16;
constexpr char kTemporaryPrefix[] = ".~lumbrel-";

// Raises the OS error a test armed for `point`, if any.
void FailIfFaulted(FaultPoint point) {
  if (int32_t fault = TakeFault(point)) throw ErrnoError(fault, ErrnoSubject::kFile);
}

// Raises 70 naming the first link on the way from the drive's root down to
// `windows_folder` (as stored) that another user made: the program often runs
// as root, and a planted link would send its writes wherever that user likes.
void RefuseForeignLinks(const std::string& windows_folder) {
  win_path::DrivePath parts;
  if (!win_path::SplitDrivePath(windows_folder, parts)) throw PlatformError(kPathNotFound);
  std::string host = DriveFolder(PrefixFolder(), parts.drive);
  std::string windows{parts.drive, ':', '\\'};
  for (const std::string& name : parts.components) {
    host += '/' + name;
    windows = win_path::Join(windows, name);
    struct stat info;
    if (lstat(host.c_str(), &info) != 0) {
      throw ErrnoError(errno, ErrnoSubject::kPath).WithPath(windows);
    }
    if (S_ISLNK(info.st_mode) && !TrustedOwner(info.st_uid)) {
      throw PlatformError(kPermissionDenied).WithPath(windows);
    }
  }
}

// The folder `windows_folder` (host path `host_folder`), opened once after
// its links were found trustworthy; every write goes relative to it, so a
// link swapped into the path later cannot redirect one. Checked again once
// open, so that a swap during the first check is caught too.
Descriptor OpenTrustedFolder(const std::string& windows_folder, const std::string& host_folder) {
  RefuseForeignLinks(windows_folder);
  Descriptor folder(open(host_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() < 0) throw ErrnoError(errno, ErrnoSubject::kPath).WithPath(windows_folder);
  RefuseForeignLinks(windows_folder);
  struct stat opened;
  struct stat now;
  if (fstat(folder.Get(), &opened) != 0 || stat(host_folder.c_str(), &now) != 0 ||
      opened.st_dev != now.st_dev || opened.st_ino != now.st_ino) {
    throw PlatformError(kPermissionDenied).WithPath(windows_folder);
  }
  return Descriptor(folder.Release());
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
    FailIfFaulted(FaultPoint::kCopyCreateTemporary);
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

  // Durable on disk and closed; then it takes the place of `name` in the
  // folder in one step.
  void Commit(const std::string& name) {
    if (fsync(fd_->Get()) != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
    if (fd_->Close() != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
    FailIfFaulted(FaultPoint::kCopyRename);
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
    FailIfFaulted(FaultPoint::kCopyWrite);
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

// Opens the document to copy. A delivered document that is a link is read
// only when it was made by an administrator or by whoever runs the program,
// and only if it is still that link once open.
int OpenSource(const ResolvedPath& from) try {
  struct stat before;
  struct stat after;
  if (lstat(from.linux_path.c_str(), &before) != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
  const bool link = S_ISLNK(before.st_mode);
  if (link && !TrustedOwner(before.st_uid)) throw PlatformError(kPermissionDenied);
  FailIfFaulted(FaultPoint::kCopyOpenSource);
  const int fd = open(from.linux_path.c_str(), O_RDONLY | O_CLOEXEC | (link ? 0 : O_NOFOLLOW));
  if (fd < 0) throw ErrnoError(errno, ErrnoSubject::kFile);
  if (link && (lstat(from.linux_path.c_str(), &after) != 0 || after.st_dev != before.st_dev ||
               after.st_ino != before.st_ino || !TrustedOwner(after.st_uid))) {
    close(fd);
    throw PlatformError(kPermissionDenied);
  }
  return fd;
} catch (const PlatformError& error) {
  throw error.WithPath(from.windows_path);
}

// Resolves `path`, raising what a missing drive or folder means.
Resolution ResolveOrThrow(const std::string& path, ResolvedPath& found) {
  Resolution result = ResolvePath(path, found);
  if (result == Resolution::kDriveNotReady) throw PlatformError(kDiskNotReady);
  return result;
}

bool IsFileWithAttributes(const ResolvedPath& entry, int32_t attributes) {
  int32_t actual = EntryAttributes(entry.linux_path, entry.name, entry.alias);
  return actual >= 0 && (actual & attributes) != 0;
}

// Gives the entry `stored` in `folder` the spelling `wanted`, the same name
// but for letter case, in one rename. Here both spellings could be distinct
// files, so a name something else took meanwhile is never replaced.
void Respell(int folder, const std::string& stored, const std::string& wanted) {
  FailIfFaulted(FaultPoint::kCopyRespell);
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

void CopyIntoFolder(const std::string& source, const std::string& destination, bool overwrite) {
  ResolvedPath from;
  if (ResolveOrThrow(source, from) != Resolution::kFound || from.folder) {
    throw PlatformError(kFileNotFound).WithPath(source);
  }
  ResolvedPath to;
  Resolution target = ResolveOrThrow(destination, to);
  if (target == Resolution::kNoFolder) throw PlatformError(kPathNotFound);
  const std::string windows_folder = win_path::ParentFolderName(to.windows_path);
  const Descriptor folder = OpenTrustedFolder(windows_folder, to.folder_linux_path);
  if (target == Resolution::kFound) {
    if (!overwrite) throw PlatformError(kFileAlreadyExists);
    if (to.folder || IsFileWithAttributes(to, kAttrHidden | kAttrSystem)) {
      throw PlatformError(kPermissionDenied);
    }
  }
  const Descriptor input(OpenSource(from));
  StopSignals stop;
  RemoveStaleTemporaryFiles(folder.Get());
  TemporaryFile temporary(folder.Get());
  CopyData(input.Get(), temporary.Fd(), stop);
  if (target == Resolution::kFound) KeepModeAndOwner(folder.Get(), to.name, temporary.Fd());
  stop.ThrowIfStopped();
  // The new content replaces the entry as stored, so that some spelling of
  // the name always answers with a whole document; only then does it take
  // the spelling asked for.
  temporary.Commit(to.name);
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

void CopyOneFile(const std::string& source, const std::string& destination, bool overwrite) {
  NamingPath(destination, [&] { CopyIntoFolder(source, destination, overwrite); });
}

void DeleteOneFile(const std::string& path, bool force) {
  try {
    ResolvedPath target;
    const Resolution resolution = ResolveOrThrow(path, target);
    // As Windows answers: a missing folder on the way is no missing file.
    if (resolution == Resolution::kNoFolder) throw PlatformError(kPathNotFound);
    if (resolution != Resolution::kFound || target.folder) throw PlatformError(kFileNotFound);
    const Descriptor folder = OpenTrustedFolder(win_path::ParentFolderName(target.windows_path),
                                                target.folder_linux_path);
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

bool TrustedOwner(uid_t owner) {
  return owner == 0 || owner == geteuid();
}

}  // namespace platform::posix
