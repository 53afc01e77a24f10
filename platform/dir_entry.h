#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace platform {

// The name, as stored on disk, of the entry at the exact path `path` (no
// wildcards), or "" when there is none that qualifies. An entry qualifies
// when each of its hidden (2), system (4) and folder (16) properties is
// selected in `attributes`; read-only (1), archive (32) and alias (1024)
// never matter. So 0 finds only ordinary files, 16 also ordinary folders,
// 39 files whatever their attributes but never a folder.
// A missing parent folder gives ""; a drive that cannot be read raises 71.
std::string DirEntryName(const std::string& path, int32_t attributes);

// The identity of the regular file `path` leads to, through links too, read
// from the file once opened for reading; anything else raises an error naming
// `path`: 75 for what is no regular file (a FIFO, a socket, a device, a
// folder), 70 for a link another user made on the way, or the open's own
// failure (53, 70, ...). Never waits for a reader or writer and reads
// nothing: a copy of such an entry could block or never end.
EntryIdentity RegularFileIdentity(const std::string& path);

}  // namespace platform
