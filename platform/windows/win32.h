#pragma once

// The one way the Windows back-end includes the system headers. Windows maps
// CopyFile, DeleteFile and MessageBox to macros, which would rename the
// methods of the portable interfaces; the back-end calls the W functions by
// their own names instead.

#include <windows.h>

#undef CopyFile
#undef DeleteFile
#undef MessageBox
