#pragma once

// Paths as the Win32 calls take them at any length. The extended-length
// prefix "\\?\" lives only between this layer and the system: it is added
// here and never appears in a path the core sees.

#include <string>
#include <string_view>

#include "platform/win_path.h"

namespace platform::windows {

// `path` as a drive path, "." and ".." applied; a relative path is taken from
// the current folder. Throws 76 for anything that names no drive path.
win_path::DrivePath ResolveDrivePath(const std::string& path);

// "\\?\X:\a\b"; "\\?\X:\" for a root.
std::wstring ExtendedPath(const win_path::DrivePath& path);
std::wstring ExtendedPath(const std::string& path);

// The path without an extended-length prefix ("\\?\UNC\s\x" -> "\\s\x").
std::wstring WithoutExtendedPrefix(std::wstring_view path);

}  // namespace platform::windows
