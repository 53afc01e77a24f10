#include "platform/unix/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/unix/errno_error.h"
#include "platform/unix/unicode.h"
#include "platform/win_path.h"

namespace platform::posix {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Folder and alias flags of one entry; false when it vanished meanwhile.
bool Classify(int dir_fd, const dirent& entry, bool& folder, bool& alias) {
  unsigned char type = entry.d_type;
  struct stat info;
  if (type == DT_UNKNOWN) {
    if (fstatat(dir_fd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    type = S_ISLNK(info.st_mode) ? DT_LNK : S_ISDIR(info.st_mode) ? DT_DIR : DT_REG;
  }
  alias = type == DT_LNK;
  // A link that leads nowhere is listed as a file, as Wine shows it.
  folder = alias ? fstatat(dir_fd, entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode)
                 : type == DT_DIR;
  return true;
}

}  // namespace

std::string Listing::WindowsPathOf(const ListedEntry& entry) const {
  return win_path::Join(windows_path, NameOf(entry));
}

std::string Listing::LinuxPathOf(const ListedEntry& entry) const {
  std::string path;
  std::string_view name = NameOf(entry);
  path.reserve(linux_path.size() + 1 + name.size());
  path.append(linux_path).append(1, '/').append(name);
  return path;
}

void ReadListing(Listing& listing, bool folders) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(listing.linux_path.c_str()));
  if (!dir) throw ErrnoError(errno, ErrnoSubject::kPath);
  int dir_fd = dirfd(dir.get());
  listing.names.clear();
  listing.entries.clear();
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) throw ErrnoError(errno, ErrnoSubject::kPath);
      break;
    }
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    bool folder = false;
    bool alias = false;
    if (!Classify(dir_fd, *entry, folder, alias) || folder != folders) continue;
    listing.entries.push_back(ListedEntry{static_cast<uint32_t>(listing.names.size()),
                                          static_cast<uint32_t>(name.size()), folder, alias});
    listing.names.append(name);
  }
  std::sort(listing.entries.begin(), listing.entries.end(),
            [&listing](const ListedEntry& a, const ListedEntry& b) {
              return ListingLess(listing.NameOf(a), listing.NameOf(b));
            });
}

}  // namespace platform::posix
