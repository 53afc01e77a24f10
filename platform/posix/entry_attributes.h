#pragma once

// File attributes as Wine derives them from a Linux entry: read-only from the
// write bits, hidden and system from the user.DOSATTRIB extended attribute
// (hidden also for dot names that carry none), alias for symbolic links.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::posix {

inline constexpr const char* kDosAttribute = "user.DOSATTRIB";

// The bits of a user.DOSATTRIB value: "0x" and hex digits, optionally ended by
// a NUL and anything after it. -1 for any other text.
int32_t ParseDosAttrib(std::string_view value);

// Attributes of the entry `entry` of the open folder `folder` (AT_FDCWD: a
// path), whose stored name is `name` ("" for a drive's root). `alias` says
// whether the entry is a symbolic link; a link is described by what it leads
// to, plus 1024. -1 when nothing is there.
int32_t EntryAttributes(int folder, const std::string& entry, std::string_view name, bool alias);

}  // namespace platform::posix
