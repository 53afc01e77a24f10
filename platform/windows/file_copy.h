#pragma once

#include <string>

namespace platform::windows {

// The file-system object's CopyFile and DeleteFile, with the contract that
// platform/file_system.h states for them.
void CopyFileSafely(const std::string& source, const std::string& destination, bool overwrite);
void DeleteFileChecked(const std::string& path, bool force);

}  // namespace platform::windows
