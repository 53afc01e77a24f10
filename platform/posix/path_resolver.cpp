#include "platform/posix/path_resolver.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix/unicode.h"
#include "platform/posix/wine_drives.h"
#include "platform/win_path.h"

namespace platform::posix {
namespace {

// The stored name in `folder` that equals `wanted` ignoring case; among
// several, the bytewise smallest so that the choice does not depend on the
// order the directory happens to deliver. "" when none.
std::string FindNoCase(const std::string& folder, const std::string& wanted) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return "";
  std::string found;
  while (const dirent* entry = readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (CompareNoCase(name, wanted) == 0 && (found.empty() || name < found)) found = name;
  }
  closedir(dir);
  return found;
}

}  // namespace

Resolution ResolvePath(std::string_view windows_path, ResolvedPath& out) {
  win_path::DrivePath parts;
  if (!win_path::SplitDrivePath(windows_path, parts)) return Resolution::kNoFolder;
  out = ResolvedPath{};
  out.linux_path = DriveFolder(PrefixFolder(), parts.drive);
  struct stat info;
  if (lstat(out.linux_path.c_str(), &info) != 0) return Resolution::kNoFolder;
  if (stat(out.linux_path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return Resolution::kDriveNotReady;
  }
  out.windows_path = std::string{parts.drive, ':', '\\'};
  out.folder = true;
  for (size_t i = 0; i < parts.components.size(); ++i) {
    const std::string& wanted = parts.components[i];
    bool last = i + 1 == parts.components.size();
    out.folder_linux_path = out.linux_path;
    std::string stored = wanted;
    std::string candidate = out.linux_path + '/' + wanted;
    if (lstat(candidate.c_str(), &info) != 0) {
      stored = FindNoCase(out.folder_linux_path, wanted);
      if (stored.empty()) {
        if (!last) return Resolution::kNoFolder;
        out.linux_path = candidate;
        out.windows_path = win_path::Join(out.windows_path, wanted);
        out.name = wanted;
        out.folder = false;
        return Resolution::kMissing;
      }
      candidate = out.linux_path + '/' + stored;
      if (lstat(candidate.c_str(), &info) != 0) return Resolution::kNoFolder;
    }
    out.alias = S_ISLNK(info.st_mode);
    if (out.alias && stat(candidate.c_str(), &info) != 0) info.st_mode = S_IFLNK;
    out.folder = S_ISDIR(info.st_mode);
    if (!last && !out.folder) return Resolution::kNoFolder;
    out.linux_path = std::move(candidate);
    out.windows_path = win_path::Join(out.windows_path, stored);
    out.name = std::move(stored);
  }
  return Resolution::kFound;
}

}  // namespace platform::posix
