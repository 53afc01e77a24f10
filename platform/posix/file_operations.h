#pragma once

// Copying and removing single files for the Linux back-end; the contracts are
// those of FileSystemObject::CopyFile and DeleteFile.

#include <sys/types.h>

#include <string>

namespace platform::posix {

// Made by an administrator or by whoever runs the program: only a link owned
// so may lead a write, or the read of a delivered document, somewhere else.
bool TrustedOwner(uid_t owner);

void CopyOneFile(const std::string& source, const std::string& destination, bool overwrite);
void DeleteOneFile(const std::string& path, bool force);

}  // namespace platform::posix
