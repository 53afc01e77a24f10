#pragma once

// Copying and removing single files for the Windows back-end; the contracts
// are those of FileSystemObject::CopyFile and DeleteFile.

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace platform::windows {

void CopyOneFile(const std::string& source, const std::string& destination, bool overwrite,
                 const std::optional<EntryIdentity>& source_identity);
void DeleteOneFile(const std::string& path, bool force);

}  // namespace platform::windows
