#pragma once

#include <string>

namespace platform {

// The folder holding the running executable, as a Windows path
// ("C:\Tools\Lumbrel"). On Linux the folder is mapped back through the
// Wine-style drive that holds it; outside every drive this raises 76 with a
// text that says so.
std::string ExecutableFolder();

// Called first by main, before anything can load a library. On Windows the
// program is typically run with administrator rights from a downloads folder,
// where anyone may have left a DLL named like a system one: from here on,
// libraries load from the system folder only. Never fails: where the system
// lacks the restriction (Vista and 7 without their loader update), the
// current folder is at least taken out of the search. Does nothing on Linux.
void HardenProcess();

}  // namespace platform
