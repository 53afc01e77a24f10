#pragma once

// Folder listings and single-entry lookups, straight from the find data.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win_path.h"

namespace platform::windows {

struct ListedEntry {
  std::string name;        // as stored on disk
  int32_t attributes = 0;  // FileAttribute bits
};

enum class ListKind { kFolders, kFiles };

// The platform's attribute bits for the system's attribute word.
int32_t AttributesFromSystem(uint32_t system_attributes);

// The folders or the files directly in the folder `folder` (an extended
// path), from one listing, in case-insensitive name order (ties ordinal).
// Throws the mapped error when the folder cannot be listed.
std::vector<ListedEntry> ListFolder(const std::wstring& folder, ListKind kind);

// The entry at the exact extended path `path` (no wildcards), or nothing when
// it or a folder on its way is missing. Other failures throw.
std::optional<ListedEntry> FindEntry(const std::wstring& path);

// `path` with every component spelled as stored on disk, and the attributes
// of its last entry, or nothing when an entry on the way is missing. A root
// counts as present when it can be read.
std::optional<ListedEntry> FindStoredPath(const win_path::DrivePath& path,
                                          win_path::DrivePath& stored);

}  // namespace platform::windows
