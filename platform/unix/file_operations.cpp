#include "platform/unix/file_operations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/error.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/unix/entry_attributes.h"
#include "platform/unix/errno_error.h"
#include "platform/unix/path_resolver.h"
#include "platform/win_path.h"

namespace platform::posix {
namespace {

constexpr size_t kCopyBlock = 1 << 16;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  // Closes now, reporting the error a delayed write may only show here.
  int Close() {
    int result = close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

// Raises the OS error a test armed for `point`, if any.
void FailIfFaulted(FaultPoint point) {
  if (int32_t fault = TakeFault(point)) throw ErrnoError(fault, ErrnoSubject::kFile);
}

// The temporary file a copy is written to; removed again unless it was
// renamed over the destination.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    FailIfFaulted(FaultPoint::kCopyCreateTemporary);
    for (;;) {
      // The leading dot hides it from its first instant to its rename, on
      // any file system, with no mark to set or clear: the rename to the
      // document's name is what makes it visible.
      path_ = folder + "/.~lumbrel-" + std::to_string(getpid()) + '-' +
              std::to_string(counter.fetch_add(1)) + ".tmp";
      int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        fd_ = std::make_unique<Descriptor>(fd);
        break;
      }
      if (errno != EEXIST) throw ErrnoError(errno, ErrnoSubject::kPath);
    }
  }
  ~TemporaryFile() {
    fd_.reset();
    if (!path_.empty()) unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int Fd() const { return fd_->Get(); }

  // Durable on disk and closed; then it takes the place of `destination` in
  // one step.
  void Commit(const std::string& destination) {
    if (fsync(fd_->Get()) != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
    if (fd_->Close() != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
    FailIfFaulted(FaultPoint::kCopyRename);
    if (rename(path_.c_str(), destination.c_str()) != 0) {
      throw ErrnoError(errno, ErrnoSubject::kFile);
    }
    path_.clear();
  }

 private:
  std::string path_;
  std::unique_ptr<Descriptor> fd_;
};

void WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw ErrnoError(errno, ErrnoSubject::kFile);
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

void CopyData(int from, int to) {
  std::vector<char> buffer(kCopyBlock);
  for (;;) {
    ssize_t got = read(from, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw ErrnoError(errno, ErrnoSubject::kFile);
    }
    FailIfFaulted(FaultPoint::kCopyWrite);
    if (got == 0) return;
    WriteAll(to, buffer.data(), static_cast<size_t>(got));
  }
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

void FsyncFolder(const std::string& folder) {
  // The rename is already done; this only hurries it to the disk.
  Descriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.Get() >= 0) fsync(fd.Get());
}

// Gives the entry `stored` in `folder` the spelling `wanted`, the same name
// but for letter case, in one rename. Here both spellings could be distinct
// files, so a name something else took meanwhile is never replaced.
void Respell(const std::string& folder, const std::string& stored, const std::string& wanted) {
  FailIfFaulted(FaultPoint::kCopyRespell);
  const std::string from = folder + '/' + stored;
  const std::string to = folder + '/' + wanted;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno != EINVAL) throw ErrnoError(errno, ErrnoSubject::kFile);
  // A file system that cannot rename without replacing: look first.
  struct stat info;
  if (lstat(to.c_str(), &info) == 0) throw PlatformError(kFileAlreadyExists);
  if (rename(from.c_str(), to.c_str()) != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
}

// The last component of `path` as the caller spelled it.
std::string RequestedName(const std::string& path) {
  win_path::DrivePath parts;
  if (!win_path::SplitDrivePath(path, parts) || parts.components.empty()) return "";
  return parts.components.back();
}

}  // namespace

void CopyOneFile(const std::string& source, const std::string& destination, bool overwrite) {
  ResolvedPath from;
  if (ResolveOrThrow(source, from) != Resolution::kFound || from.folder) {
    throw PlatformError(kFileNotFound);
  }
  ResolvedPath to;
  Resolution target = ResolveOrThrow(destination, to);
  if (target == Resolution::kNoFolder) throw PlatformError(kPathNotFound);
  if (target == Resolution::kFound) {
    if (!overwrite) throw PlatformError(kFileAlreadyExists);
    if (to.folder || IsFileWithAttributes(to, kAttrHidden | kAttrSystem)) {
      throw PlatformError(kPermissionDenied);
    }
  }
  FailIfFaulted(FaultPoint::kCopyOpenSource);
  Descriptor input(open(from.linux_path.c_str(), O_RDONLY | O_CLOEXEC));
  if (input.Get() < 0) throw ErrnoError(errno, ErrnoSubject::kFile);
  TemporaryFile temporary(to.folder_linux_path);
  CopyData(input.Get(), temporary.Fd());
  // The new content replaces the entry as stored, so that some spelling of
  // the name always answers with a whole document; only then does it take
  // the spelling asked for.
  temporary.Commit(to.linux_path);
  FsyncFolder(to.folder_linux_path);
  const std::string wanted = RequestedName(destination);
  if (to.name != wanted) {
    Respell(to.folder_linux_path, to.name, wanted);
    FsyncFolder(to.folder_linux_path);
  }
}

void DeleteOneFile(const std::string& path, bool force) {
  ResolvedPath target;
  if (ResolveOrThrow(path, target) != Resolution::kFound || target.folder) {
    throw PlatformError(kFileNotFound);
  }
  if (!force && IsFileWithAttributes(target, kAttrReadOnly)) throw PlatformError(kPermissionDenied);
  if (unlink(target.linux_path.c_str()) != 0) throw ErrnoError(errno, ErrnoSubject::kFile);
}

}  // namespace platform::posix
