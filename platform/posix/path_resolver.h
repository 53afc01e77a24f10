#pragma once

// Finds the Linux entry a Windows path names, the way Wine does: each
// component matched exactly, else case-insensitively (exact match winning).
// The walk goes one component at a time from open folder to open folder and
// follows links by hand, so the kernel is never handed a path longer than
// one name: whatever a walk of the tree reaches, this reaches too, and a link
// can be judged by its owner wherever it lies (in the prefix's own path, its
// "dosdevices" entry, below the drive, or inside another link's target).

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/posix/descriptor.h"

namespace platform::posix {

enum class Resolution {
  kFound,          // the entry exists
  kMissing,        // its folder exists, the entry does not
  kNoFolder,       // no such drive, folder on the way, or no drive path
  kDriveNotReady,  // the drive exists but its folder cannot be opened
};

// Which links the walk follows: any, or only those an administrator or the
// user running the program made (IsTrustedOwner); another raises 70 naming it,
// since the program often runs as root and such a link would send its reads
// and writes wherever that user likes.
enum class Links { kAny, kTrustedOnly };

// Made by an administrator or by whoever runs the program: only a link owned
// so may lead a write, or the read of a delivered document, somewhere else.
bool IsTrustedOwner(uid_t owner);

struct ResolvedPath {
  std::string windows_path;  // stored spelling, upper-case drive letter
  std::string linux_path;    // for messages only: it may be longer than Linux takes
  // The open folder that holds the entry (for a drive's root: the root), and
  // the entry's stored name in it ("" for a drive's root).
  Descriptor folder;
  std::string name;
  // Where the entry leads once its links are followed: an open folder and a
  // name in it that is no link ("." for the folder itself). Set when found.
  Descriptor target_folder;
  std::string target_name;
  bool is_folder = false;  // leads to a folder (through a link too)
  bool alias = false;      // a symbolic link itself
};

// With kMissing, the paths name the entry as requested inside its found
// folder, ready to be created. Raises 70 only with Links::kTrustedOnly.
Resolution ResolvePath(std::string_view windows_path, ResolvedPath& out, Links links = Links::kAny);

}  // namespace platform::posix
