#pragma once

// Folders and files of the Linux back-end. Objects created from a listing
// keep their Linux path, so a walk never resolves a path again.

#include <string>

#include "platform/file_system.h"
#include "platform/posix/descriptor.h"

namespace platform::posix {

// A folder known by both its paths (a drive's root, or one GetFolder found)
// and held open as `folder`, through which it is read.
FolderRef MakePathFolder(std::string windows_path, std::string linux_path, std::string name,
                         bool alias, Descriptor folder);

}  // namespace platform::posix
