#pragma once

// Pure string work on Windows paths, for the core, both back-ends and tests.
// Never touches the disk. Both '\' and '/' count as separators on input;
// results use '\' only.

#include <string>
#include <string_view>
#include <vector>

namespace platform::win_path {

// A path broken into its drive and its folder components.
struct DrivePath {
  char drive = '\0';                    // upper-case letter
  std::vector<std::string> components;  // empty for the drive's root
};

// Splits an absolute drive path ("c:\a\.\b\..\c" -> 'C', {"a", "c"}):
// repeated separators are merged, "." dropped and ".." climbs one level (never
// above the root). False for anything else (relative, UNC, bare "C:").
bool SplitDrivePath(std::string_view path, DrivePath& out);

// "X:\" for a drive's root, else "X:\a\b".
std::string JoinDrivePath(const DrivePath& path);

// `folder` and `name` with one backslash between them ("C:\" + "a" -> "C:\a").
std::string Join(std::string_view folder, std::string_view name);

// Everything before the last component, without a trailing separator except
// for a drive root: "C:\a\b.exe" -> "C:\a", "D:\QUARN.exe" -> "D:\",
// "C:\a\" -> "C:\", "C:\" -> "", "name" -> "".
std::string ParentFolderName(std::string_view path);

// Whether Windows can hold `name` as one entry of a folder: not empty, none
// of \ / : * ? " < > | nor a control character, no trailing dot or space,
// and no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an
// extension), which would open the device instead of a file.
bool IsValidFileName(std::string_view name);

// True for '*' or '?' anywhere: such a path names no single entry.
bool HasWildcards(std::string_view path);

}  // namespace platform::win_path
