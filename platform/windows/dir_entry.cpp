#include "platform/dir_entry.h"

#include <optional>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/win_path.h"
#include "platform/windows/handles.h"
#include "platform/windows/listing.h"
#include "platform/windows/long_path.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

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
  // Backup semantics opens a folder too, so that one reached through a file
  // link is told from a file by the handle, as is a pipe or a device.
  const windows::OwnedHandle handle = windows::OpenEntry(path, GENERIC_READ);
  BY_HANDLE_FILE_INFORMATION info;
  const bool regular = GetFileType(handle.get()) == FILE_TYPE_DISK &&
                       GetFileInformationByHandle(handle.get(), &info) != 0 &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (!regular) throw PlatformError(kPathFileAccessError).WithPath(path);
  return {info.dwVolumeSerialNumber,
          (uint64_t{info.nFileIndexHigh} << 32) | uint64_t{info.nFileIndexLow}};
}

}  // namespace platform
