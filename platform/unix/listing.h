#pragma once

// One read of a folder: every entry's stored name and kind, in listing order.
// Names live in one buffer so that a listing costs a handful of allocations
// however many entries it has.

#include <cstdint>
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
  std::string windows_path;  // the listed folder
  std::string linux_path;
  std::string names;
  std::vector<ListedEntry> entries;

  std::string_view NameOf(const ListedEntry& entry) const {
    return std::string_view(names).substr(entry.name_offset, entry.name_size);
  }
  std::string WindowsPathOf(const ListedEntry& entry) const;
  std::string LinuxPathOf(const ListedEntry& entry) const;
};

// Fills listing.names and listing.entries from the folder at
// listing.linux_path. The kind of an entry comes from the directory itself;
// only symbolic links and file systems that do not report kinds cost a stat.
// Names holding a backslash are left out, since no Windows path can name
// them. Throws PlatformError when the folder cannot be read.
void ReadListing(Listing& listing);

}  // namespace platform::posix
