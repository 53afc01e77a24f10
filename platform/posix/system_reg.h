#pragma once

// The drive types a Wine-style prefix declares in its system.reg, section
// [Software\\Wine\\Drives], one value per drive: "d:"="cdrom".

#include <array>
#include <cstdint>
#include <string_view>

namespace platform::posix {

inline constexpr int32_t kDriveTypeUnlisted = -1;

// DriveType values indexed by letter ('a' at 0); kDriveTypeUnlisted where the
// section names no drive type it knows. Section and value names match
// case-insensitively; comment lines (';' or '#') and blank lines are skipped.
std::array<int32_t, 26> ParseDriveTypes(std::string_view system_reg);

}  // namespace platform::posix
