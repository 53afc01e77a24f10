#include "platform/posix/entry_attributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "platform/file_system.h"

namespace platform::posix {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hidden and system as stored in the extended attribute; -1 when it is
// absent, unreadable or unsupported by the file system. Extended attributes
// have no call relative to a folder: the folder's entry in /proc stands in,
// so the path stays short however deep the folder lies.
int32_t StoredDosBits(int folder, const std::string& entry) {
  const std::string path =
      folder == AT_FDCWD ? entry : "/proc/self/fd/" + std::to_string(folder) + '/' + entry;
  char value[64];
  ssize_t size = getxattr(path.c_str(), kDosAttribute, value, sizeof value);
  if (size <= 0) return -1;
  int32_t bits = ParseDosAttrib(std::string_view(value, static_cast<size_t>(size)));
  return bits < 0 ? -1 : bits & (kAttrHidden | kAttrSystem);
}

}  // namespace

int32_t ParseDosAttrib(std::string_view value) {
  size_t nul = value.find('\0');
  if (nul != std::string_view::npos) value = value.substr(0, nul);
  if (value.size() < 3 || value.size() > 10 || value[0] != '0' ||
      (value[1] != 'x' && value[1] != 'X')) {
    return -1;
  }
  uint32_t bits = 0;
  for (char c : value.substr(2)) {
    int digit = HexDigit(c);
    if (digit < 0) return -1;
    bits = (bits << 4) | static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(bits & 0x7FFFFFFFu);
}

int32_t EntryAttributes(int folder, const std::string& entry, std::string_view name, bool alias) {
  struct stat info;
  int32_t attributes = alias ? kAttrAlias : 0;
  if (fstatat(folder, entry.c_str(), &info, 0) != 0) {
    // A link that leads nowhere still exists as an entry.
    if (!alias || fstatat(folder, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return -1;
  }
  attributes |= S_ISDIR(info.st_mode) ? kAttrDirectory : kAttrArchive;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kAttrReadOnly;
  int32_t stored = StoredDosBits(folder, entry);
  if (stored >= 0) {
    attributes |= stored;
  } else if (!name.empty() && name.front() == '.') {
    attributes |= kAttrHidden;
  }
  return attributes;
}

}  // namespace platform::posix
