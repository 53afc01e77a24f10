#pragma once

// Finds the Linux entry a Windows path names, the way Wine does: each
// component matched exactly, else case-insensitively (exact match winning).

#include <string>
#include <string_view>

namespace platform::posix {

enum class Resolution {
  kFound,          // the entry exists
  kMissing,        // its folder exists, the entry does not
  kNoFolder,       // no such drive, folder on the way, or no drive path
  kDriveNotReady,  // the drive exists but its folder cannot be opened
};

struct ResolvedPath {
  std::string windows_path;  // stored spelling, upper-case drive letter
  std::string linux_path;
  std::string folder_linux_path;  // the folder holding the entry
  std::string name;               // stored name; "" for a drive's root
  bool folder = false;            // leads to a folder (through a link too)
  bool alias = false;             // a symbolic link itself
};

// With kMissing, the paths name the entry as requested inside its found
// folder, ready to be created.
Resolution ResolvePath(std::string_view windows_path, ResolvedPath& out);

}  // namespace platform::posix
