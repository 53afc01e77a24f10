#include "platform/posix/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

#include "platform/keep_alive.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/disk_devices.h"
#include "platform/posix/errno_error.h"
#include "platform/posix/unicode.h"
#include "platform/win_path.h"

namespace platform::posix {
namespace {

// Large enough that a typical folder comes in one read.
constexpr size_t kReadBlock = 32768;
// A directory record of a short name; most records are this size or larger.
constexpr size_t kSmallRecord = 32;
// Listings left open for their subfolders at once. A walk needs one per level
// of its current path; past this a deeper level opens by its whole path, so
// no tree can use up the process's descriptors.
constexpr int kMaxOpenListings = 64;
int open_listings = 0;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Set once the system refuses openat2 (before Linux 5.6, or a filter that
// does not know it): from then on a mount is found by comparing devices.
bool openat2_refused = false;

const char* NameIn(const Listing& parent, const ListedEntry& entry) {
  return parent.names.data() + entry.name_offset;
}

std::optional<uint64_t> DeviceOf(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.st_dev);
}

// The folder by itself: through the descriptor its owner holds, else by its
// path.
int OpenListed(const Listing& listing) {
  return listing.folder >= 0 ? openat(listing.folder, ".", kFolderFlags)
                             : open(listing.linux_path.c_str(), kFolderFlags);
}

// -1 with errno EXDEV when the entry leads across a mount.
int OpenWithoutCrossing(const Listing& parent, const ListedEntry& entry) {
  open_how how{};
  how.flags = static_cast<uint64_t>(kFolderFlags);
  how.resolve = RESOLVE_NO_XDEV;
  return static_cast<int>(
      syscall(SYS_openat2, parent.descriptor, NameIn(parent, entry), &how, sizeof how));
}

// -1 with errno when the folder cannot be opened; -1 with listing.off_disk
// set when it was to stop off the disks and leads there.
int OpenFolder(Listing& listing, const Listing* parent, const ListedEntry* entry,
               bool stop_off_disk) {
  if (parent == nullptr || entry == nullptr) return OpenListed(listing);
  const bool through_parent = parent->descriptor >= 0;
  if (stop_off_disk && through_parent && !openat2_refused) {
    const int fd = OpenWithoutCrossing(*parent, *entry);
    if (fd >= 0 || (errno != EXDEV && errno != ENOSYS && errno != EPERM)) return fd;
    if (errno != EXDEV) {
      openat2_refused = true;
    } else if (uint64_t device = 0;
               CachedDeviceOf(parent->descriptor, NameIn(*parent, *entry), device) &&
               !IsDiskDevice(device)) {
      listing.off_disk = true;
      return -1;
    }
  }
  const int fd = through_parent ? openat(parent->descriptor, NameIn(*parent, *entry), kFolderFlags)
                                : OpenListed(listing);
  if (fd < 0 || !stop_off_disk || (through_parent && !openat2_refused)) return fd;
  // Nothing told of a mount while opening: compare the devices.
  const std::optional<uint64_t> parent_device =
      parent->device || !through_parent ? parent->device : DeviceOf(parent->descriptor);
  listing.device = DeviceOf(fd);
  if (parent_device && listing.device && *listing.device != *parent_device &&
      !IsDiskDevice(*listing.device)) {
    close(fd);
    listing.off_disk = true;
    return -1;
  }
  return fd;
}

}  // namespace

// A link that leads nowhere is left out, as Wine leaves it out of its
// listings too.
bool ClassifyEntry(int dir_fd, const char* name, unsigned char type, bool& folder, bool& alias) {
  struct stat info;
  if (type == DT_UNKNOWN) {
    if (fstatat(dir_fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    type = S_ISLNK(info.st_mode) ? DT_LNK : S_ISDIR(info.st_mode) ? DT_DIR : DT_REG;
  }
  alias = type == DT_LNK;
  if (alias && fstatat(dir_fd, name, &info, 0) != 0) return false;
  folder = alias ? S_ISDIR(info.st_mode) : type == DT_DIR;
  return true;
}

Listing::~Listing() {
  if (descriptor >= 0) {
    close(descriptor);
    --open_listings;
  }
}

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

void ReadListing(Listing& listing, const Listing* parent, const ListedEntry* entry,
                 bool stop_off_disk) {
  KeepAlive();
  const int opened = OpenFolder(listing, parent, entry, stop_off_disk);
  if (listing.off_disk) return;  // nothing was left open
  Descriptor folder(opened);
  if (folder.Get() < 0) throw ErrnoError(errno, ErrnoSubject::kPath);
  listing.names.clear();
  listing.entries.clear();
  alignas(dirent64) char block[kReadBlock];
  bool has_folders = false;
  for (;;) {
    ssize_t size = getdents64(folder.Get(), block, sizeof block);
    if (size < 0) throw ErrnoError(errno, ErrnoSubject::kPath);
    if (size == 0) break;
    // Most folders come in one block: room for all of it at once.
    if (listing.entries.capacity() == 0) {
      listing.entries.reserve(static_cast<size_t>(size) / kSmallRecord);
      listing.names.reserve(static_cast<size_t>(size));
    }
    for (size_t at = 0; at < static_cast<size_t>(size);) {
      const auto* record = reinterpret_cast<const dirent64*>(block + at);
      at += record->d_reclen;
      std::string_view name(record->d_name);
      if (name == "." || name == "..") continue;
      bool is_folder = false;
      bool alias = false;
      if (!ClassifyEntry(folder.Get(), record->d_name, record->d_type, is_folder, alias)) continue;
      // A Windows path through such a folder would read as two folders and
      // lead somewhere else.
      if (is_folder && name.find('\\') != std::string_view::npos) continue;
      listing.entries.push_back(ListedEntry{ListingPrefixKey(name),
                                            static_cast<uint32_t>(listing.names.size()),
                                            static_cast<uint32_t>(name.size()), is_folder, alias});
      listing.names.append(name).push_back('\0');
      has_folders |= is_folder;
    }
    // A folder of a million entries takes a while to list.
    KeepAlive();
  }
  if (has_folders && listing.descriptor < 0) {
    if (open_listings < kMaxOpenListings) {
      listing.descriptor = folder.Release();
      ++open_listings;
    } else if (!listing.device) {
      // Its subfolders open by their whole path and compare devices with it.
      listing.device = DeviceOf(folder.Get());
    }
  }
  std::sort(listing.entries.begin(), listing.entries.end(),
            [&listing](const ListedEntry& a, const ListedEntry& b) {
              if (a.sort_key != b.sort_key) return a.sort_key < b.sort_key;
              return ListingLess(listing.NameOf(a), listing.NameOf(b));
            });
}

}  // namespace platform::posix
