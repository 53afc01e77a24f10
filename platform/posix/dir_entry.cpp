#include "platform/dir_entry.h"

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/posix/entry_attributes.h"
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
  EntryIdentity identity;
  NamingPath(path, [&] { identity = posix::OpenRegularFile(path, std::nullopt).identity; });
  return identity;
}

}  // namespace platform
