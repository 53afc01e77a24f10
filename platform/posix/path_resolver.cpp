#include "platform/posix/path_resolver.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/posix/unicode.h"
#include "platform/posix/wine_drives.h"
#include "platform/win_path.h"

namespace platform::posix {
namespace {

// As many links as Linux itself follows in one path.
constexpr int kMaxLinks = 40;

Descriptor OpenFolderIn(int folder, const std::string& name) {
  return Descriptor(openat(folder, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

Descriptor Duplicate(int fd) {
  return Descriptor(fcntl(fd, F_DUPFD_CLOEXEC, 0));
}

// The stored name in `folder` that equals `wanted` ignoring case; among
// several, the bytewise smallest so that the choice does not depend on the
// order the directory happens to deliver. "" when none.
std::string FindNoCase(int folder, const std::string& wanted) {
  const int readable = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (readable < 0) return "";
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(fdopendir(readable), closedir);
  if (!dir) {
    close(readable);
    return "";
  }
  std::string found;
  while (const dirent* entry = readdir(dir.get())) {
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (CompareNoCase(name, wanted) == 0 && (found.empty() || name < found)) found = name;
  }
  return found;
}

// An entry reached by hand: the open folder holding it and its name there,
// never a link ("." for the folder itself). The name may be missing.
struct Place {
  Descriptor folder;
  std::string name;
};

// Walks Linux paths one name at a time, every link followed by hand.
class HostWalk {
 public:
  explicit HostWalk(Links links) : links_(links) {}

  // Where `path` leads from the folder `start` (from "/" when absolute);
  // `shown` is how `start` reads in messages. False when a folder on the
  // way is missing or is none; the last name may be missing.
  bool Walk(int start, std::string_view path, const std::string& shown, Place& out) {
    std::vector<std::string> names;
    for (size_t begin = 0; begin <= path.size();) {
      const size_t end = std::min(path.find('/', begin), path.size());
      if (end > begin && path.substr(begin, end - begin) != ".") {
        names.emplace_back(path.substr(begin, end - begin));
      }
      begin = end + 1;
    }
    const bool absolute = !path.empty() && path.front() == '/';
    Descriptor at = absolute || start == AT_FDCWD
                        ? Descriptor(open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC))
                        : Duplicate(start);
    std::string where = absolute ? "" : shown;
    if (at.Get() < 0) return false;
    if (names.empty()) {
      out = Place{std::move(at), "."};
      return true;
    }
    for (size_t i = 0; i < names.size(); ++i) {
      const std::string& name = names[i];
      const bool last = i + 1 == names.size();
      const std::string here = where + '/' + name;
      Place step{Duplicate(at.Get()), name};
      struct stat info;
      if (name != ".." && fstatat(at.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISLNK(info.st_mode) && !FollowLink(at.Get(), name, here, step)) {
        return false;
      }
      if (last) {
        out = std::move(step);
        return true;
      }
      at = OpenFolderIn(step.folder.Get(), step.name);
      if (at.Get() < 0) return false;
      where = here;
    }
    return false;  // not reached: the last name returns above
  }

  // Where the link `name` in `folder` leads; `shown` names the link in
  // messages. Raises 70 for a link that may not be followed; false for one
  // that leads nowhere or round in circles.
  bool FollowLink(int folder, const std::string& name, const std::string& shown, Place& out) {
    // The link itself held open, so that what is judged is what is read.
    const Descriptor link(openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (link.Get() < 0 || fstat(link.Get(), &info) != 0 || !S_ISLNK(info.st_mode)) return false;
    if (links_ == Links::kTrustedOnly && !IsTrustedOwner(info.st_uid)) {
      throw PlatformError(kPermissionDenied).WithPath(shown);
    }
    if (links_left_-- == 0) return false;
    std::vector<char> target(static_cast<size_t>(info.st_size) + 2);
    const ssize_t size = readlinkat(link.Get(), "", target.data(), target.size());
    if (size <= 0 || static_cast<size_t>(size) >= target.size()) return false;
    const std::string parent = shown.substr(0, shown.rfind('/'));
    return Walk(folder, std::string_view(target.data(), static_cast<size_t>(size)), parent, out);
  }

 private:
  Links links_;
  int links_left_ = kMaxLinks;
};

}  // namespace

bool IsTrustedOwner(uid_t owner) {
  return owner == 0 || owner == geteuid();
}

Resolution ResolvePath(std::string_view windows_path, ResolvedPath& out, Links links) {
  win_path::DrivePath parts;
  if (!win_path::SplitDrivePath(windows_path, parts)) return Resolution::kNoFolder;
  out = ResolvedPath{};
  HostWalk walk(links);
  // The drive's entry in "dosdevices", then what it leads to.
  const std::string drive = DriveFolder(PrefixFolder(), parts.drive);
  const size_t slash = drive.rfind('/');
  Place devices;
  if (!walk.Walk(AT_FDCWD, drive.substr(0, slash), "", devices)) return Resolution::kNoFolder;
  const Descriptor devices_folder = OpenFolderIn(devices.folder.Get(), devices.name);
  const std::string entry = drive.substr(slash + 1);
  struct stat info;
  if (devices_folder.Get() < 0 ||
      fstatat(devices_folder.Get(), entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return Resolution::kNoFolder;
  }
  Place root{Duplicate(devices_folder.Get()), entry};
  if (S_ISLNK(info.st_mode) && !walk.FollowLink(devices_folder.Get(), entry, drive, root)) {
    return Resolution::kDriveNotReady;
  }
  Descriptor current = OpenFolderIn(root.folder.Get(), root.name);
  if (current.Get() < 0) return Resolution::kDriveNotReady;

  out.linux_path = drive;
  out.windows_path = std::string{parts.drive, ':', '\\'};
  out.is_folder = true;
  if (parts.components.empty()) {
    out.target_folder = Duplicate(current.Get());
    out.target_name = ".";
    out.folder = std::move(current);
    return Resolution::kFound;
  }
  for (size_t i = 0; i < parts.components.size(); ++i) {
    const std::string& wanted = parts.components[i];
    const bool last = i + 1 == parts.components.size();
    std::string stored = wanted;
    if (fstatat(current.Get(), stored.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      stored = FindNoCase(current.Get(), wanted);
      if (stored.empty()) {
        if (!last) return Resolution::kNoFolder;
        out.linux_path += '/' + wanted;
        out.windows_path = win_path::Join(out.windows_path, wanted);
        out.name = wanted;
        out.folder = std::move(current);
        out.is_folder = false;
        return Resolution::kMissing;
      }
      if (fstatat(current.Get(), stored.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return Resolution::kNoFolder;
      }
    }
    const std::string windows = win_path::Join(out.windows_path, stored);
    Place target{Duplicate(current.Get()), stored};
    out.alias = S_ISLNK(info.st_mode);
    // A link that leads nowhere is still an entry, of no kind.
    if (out.alias &&
        (!walk.FollowLink(current.Get(), stored, windows, target) ||
         fstatat(target.folder.Get(), target.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)) {
      info.st_mode = S_IFLNK;
    }
    out.is_folder = S_ISDIR(info.st_mode);
    if (!last && !out.is_folder) return Resolution::kNoFolder;
    out.linux_path += '/' + stored;
    out.windows_path = windows;
    if (last) {
      out.folder = std::move(current);
      out.name = std::move(stored);
      out.target_folder = std::move(target.folder);
      out.target_name = std::move(target.name);
      return Resolution::kFound;
    }
    current = OpenFolderIn(target.folder.Get(), target.name);
    if (current.Get() < 0) return Resolution::kNoFolder;
  }
  return Resolution::kFound;  // not reached: the last component returns above
}

}  // namespace platform::posix
