#include "platform/dir_entry.h"

#include <optional>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/win_path.h"
#include "platform/windows/file_operations.h"
#include "platform/windows/listing.h"
#include "platform/windows/long_path.h"
#include "platform/windows/win32.h"

namespace platform {

std::string DirEntryName(const std::string& path, int32_t attributes) {
  win_path::DrivePath target;
  if (win_path::HasWildcards(path) || !win_path::SplitDrivePath(path, target) ||
      target.components.empty()) {
    return "";
  }
  const std::optional<windows::ListedEntry> entry =
      windows::FindEntry(windows::ExtendedPath(target));
  if (!entry) {
    // Only now is it worth telling a missing entry from a drive that cannot
    // be read at all.
    const win_path::DrivePath root{target.drive, {}};
    if (GetFileAttributesW(windows::ExtendedPath(root).c_str()) == INVALID_FILE_ATTRIBUTES) {
      throw PlatformError(kDiskNotReady).WithPath(path);
    }
    return "";
  }
  constexpr int32_t kSelectable = kAttrHidden | kAttrSystem | kAttrDirectory;
  if ((entry->attributes & kSelectable & ~attributes) != 0) return "";
  return entry->name;
}

EntryIdentity RegularFileIdentity(const std::string& path) {
  EntryIdentity identity;
  NamingPath(path, [&] { identity = windows::OpenRegularFile(path, std::nullopt).identity; });
  return identity;
}

}  // namespace platform
