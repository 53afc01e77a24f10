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
  int32_t actual = posix::EntryAttributes(found.folder.Get(), found.name, found.name, found.alias);
  if (actual < 0) return "";
  int32_t selective = actual & (kAttrHidden | kAttrSystem | kAttrDirectory);
  return (selective & ~attributes) == 0 ? found.name : "";
}

EntryIdentity RegularFileIdentity(const std::string& path) {
  posix::Descriptor file;
  NamingPath(path, [&] { file = posix::OpenRegularFile(path, std::nullopt); });
  struct stat info;
  if (fstat(file.Get(), &info) != 0) {
    throw posix::ErrnoError(errno, posix::ErrnoSubject::kFile).WithPath(path);
  }
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

}  // namespace platform
