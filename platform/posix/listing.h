#pragma once

// One read of a folder: every entry's stored name and kind, in listing order.
// Names live in one buffer so that a listing costs a handful of allocations
// however many entries it has.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

struct ListedEntry {
  uint64_t sort_key;  // ListingPrefixKey of the name
  uint32_t name_offset;
  uint32_t name_size;
  bool folder;  // leads to a folder, through a link too
  bool alias;   // a symbolic link
};

struct Listing {
  Listing() = default;
  Listing(const Listing&) = delete;
  Listing& operator=(const Listing&) = delete;
  ~Listing();

  std::string windows_path;  // the listed folder
  std::string linux_path;
  std::string names;  // each name followed by a NUL, so it can be opened in place
  std::vector<ListedEntry> entries;
  // The listed folder, left open while its subfolders are read through it.
  int descriptor = -1;
  // The listed folder as its owner holds it open (borrowed), read through
  // rather than by its path when set.
  int folder = -1;
  // The listed folder's device (st_dev), kept when its subfolders will be
  // opened by their whole path and so find a mount by comparing devices.
  std::optional<uint64_t> device;
  // Set, with nothing read, when the listing was to stop at a file system
  // that holds no disk of this computer and the folder leads onto one.
  bool off_disk = false;

  std::string_view NameOf(const ListedEntry& entry) const {
    return std::string_view(names).substr(entry.name_offset, entry.name_size);
  }
  std::string WindowsPathOf(const ListedEntry& entry) const;
  std::string LinuxPathOf(const ListedEntry& entry) const;
};

// The folder and alias flags of the entry `name` of the open folder
// `folder`, whose kind the directory gave as `type` (a dirent d_type;
// DT_UNKNOWN where the file system reports none). False when the entry
// vanished meanwhile or is a link that leads nowhere.
bool ClassifyEntry(int folder, const char* name, unsigned char type, bool& is_folder, bool& alias);

// Fills listing.names and listing.entries from listing.folder, else the
// folder at listing.linux_path, or, when the listing of its parent is given and still
// holds the parent open, from the entry of that listing: the kernel then
// resolves one name instead of the whole path again. The kind of an entry
// comes from the directory itself; only symbolic links and file systems that
// do not report kinds cost a stat. Folders whose names hold a backslash are
// left out, since no Windows path can name them or lead below them, and so
// are links that lead nowhere. Such files are listed, so that whoever takes
// documents by name can see and refuse a name Windows cannot hold.
// With `stop_off_disk`, an entry of `parent` that leads across a mount onto
// a file system holding no disk of this computer (disk_devices.h) is not
// read: only `off_disk` is set. Where the system can tell it while opening
// (openat2, Linux 5.6), a subfolder on its parent's file system costs nothing
// more; else its device is compared with its parent's.
// Throws PlatformError when the folder cannot be read.
void ReadListing(Listing& listing, const Listing* parent = nullptr,
                 const ListedEntry* entry = nullptr, bool stop_off_disk = false);

}  // namespace platform::posix
