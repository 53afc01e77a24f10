#pragma once

// Copying and removing single files for the Linux back-end; the contracts are
// those of FileSystemObject::CopyFile and DeleteFile.

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/posix/descriptor.h"

namespace platform::posix {

void CopyOneFile(const std::string& source, const std::string& destination, bool overwrite,
                 const std::optional<EntryIdentity>& source_identity);
// The regular file at the Windows path `path`, open for reading, as a copy
// takes its source, and which file it is; see FileSystemObject::CopyFile for
// what is refused.
// Errors do not yet name `path`.
struct RegularFile {
  Descriptor file;
  EntryIdentity identity;
};
RegularFile OpenRegularFile(const std::string& path, const std::optional<EntryIdentity>& expected);

void DeleteOneFile(const std::string& path, bool force);

}  // namespace platform::posix
