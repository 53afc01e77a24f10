#pragma once

// The start-up module: the program's entry point and the file-existence test
// the repair driver uses for the host's default installation.

#include <string>

class frmMain;

namespace modMain {

// The whole program: runs the window's repair driver and unloads the window,
// with every way out turned into its last word to the user (the
// unhandled-error report, the ending) and into the exit status it returns.
// Documents copied before an error stay where they are.
// `window` is the window to run; tests pass one that talks through a scripted
// front-end. Without one, the program-wide window is created (hidden) on
// first use.
int Main(frmMain* window = nullptr);

// True when a file, whatever its read-only, hidden, system and archive
// attributes, is at exactly `pPath`; a folder there gives false. An error of
// the lookup itself (a drive that cannot be read) passes to the caller.
bool IsFileExisting(const std::string& pPath);

}  // namespace modMain
