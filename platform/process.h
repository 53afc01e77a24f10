#pragma once

#include <string>

namespace platform {

// The folder holding the running executable, as a Windows path
// ("C:\Tools\Lumbrel"). On Linux the folder is mapped back through the
// Wine-style drive that holds it; outside every drive this raises 76 with a
// text that says so.
std::string ExecutableFolder();

}  // namespace platform
