#include "platform/dir_entry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/entry_attributes.h"
#include "platform/posix/errno_error.h"
#include "platform/posix/file_operations.h"
#include "platform/posix/path_resolver.h"
#include "platform/win_path.h"

namespace platform {
namespace {

PlatformError NoRegularFile(const std::string& path) {
  return PlatformError(kPathFileAccessError).WithPath(path);
}

}  // namespace

std::string DirEntryName(const std::string& path, int32_t attributes) {
  if (win_path::HasWildcards(path)) return "";
  posix::ResolvedPath found;
  switch (posix::ResolvePath(path, found)) {
    case posix::Resolution::kFound: break;
    case posix::Resolution::kDriveNotReady: throw PlatformError(kDiskNotReady).WithPath(path);
    case posix::Resolution::kMissing:
    case posix::Resolution::kNoFolder: return "";
  }
  // A drive's root is no entry of any folder.
  if (found.name.empty()) return "";
  int32_t actual = posix::EntryAttributes(found.linux_path, found.name, found.alias);
  if (actual < 0) return "";
  int32_t selective = actual & (kAttrHidden | kAttrSystem | kAttrDirectory);
  return (selective & ~attributes) == 0 ? found.name : "";
}

void RequireRegularFile(const std::string& path) {
  posix::ResolvedPath found;
  switch (posix::ResolvePath(path, found)) {
    case posix::Resolution::kFound: break;
    case posix::Resolution::kDriveNotReady: throw PlatformError(kDiskNotReady).WithPath(path);
    case posix::Resolution::kMissing: throw PlatformError(kFileNotFound).WithPath(path);
    case posix::Resolution::kNoFolder: throw PlatformError(kPathNotFound).WithPath(path);
  }
  // The type first, so that no device is ever opened; then the type of what
  // the open gave, in case the entry was swapped meanwhile. Non-blocking:
  // opening a FIFO would otherwise wait for a writer.
  struct stat info;
  if (lstat(found.linux_path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
      !posix::TrustedOwner(info.st_uid)) {
    throw PlatformError(kPermissionDenied).WithPath(path);
  }
  if (stat(found.linux_path.c_str(), &info) != 0) {
    throw posix::ErrnoError(errno, posix::ErrnoSubject::kFile).WithPath(path);
  }
  if (!S_ISREG(info.st_mode)) throw NoRegularFile(path);
  const posix::Descriptor file(
      open(found.linux_path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.Get() < 0) {
    // A socket cannot be opened at all (ENXIO), which is no disk's fault.
    if (errno == ENXIO) throw NoRegularFile(path);
    throw posix::ErrnoError(errno, posix::ErrnoSubject::kFile).WithPath(path);
  }
  if (fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) throw NoRegularFile(path);
}

}  // namespace platform
