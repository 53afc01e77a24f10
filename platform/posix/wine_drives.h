#pragma once

// Wine-style drives: drive X is the entry "x:" of PREFIX/dosdevices, where
// PREFIX is $WINEPREFIX, else ~/.wine.

#include <array>
#include <cstdint>
#include <string>

namespace platform::posix {

// The prefix's folder. Raises 70 naming it when another user owns it.
std::string PrefixFolder();

// "PREFIX/dosdevices/x:" for the drive letter `letter` (either case).
std::string DriveFolder(const std::string& prefix, char letter);

// The types the prefix's system.reg declares (see ParseDriveTypes); all
// unlisted when there is none. Throws PlatformError naming the file when it
// is not a regular file of at most 64 MiB or cannot be read.
std::array<int32_t, 26> ReadListedDriveTypes(const std::string& prefix);

// A drive's type: the listed one if any, else removable for A and B and
// fixed for the others, unknown when the entry leads nowhere.
int32_t DriveTypeOf(char upper_letter, int32_t listed, const std::string& drive_folder);

}  // namespace platform::posix
