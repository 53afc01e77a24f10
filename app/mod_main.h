#pragma once

// The start-up module: the program's entry point and the file-existence test
// the repair driver uses for the host's default installation.

#include <string>

class frmMain;

namespace modMain {

// Start-up: creates the program-wide window on first use (hidden), runs its
// repair driver and unloads the window when the driver returns. Handles no
// error and no program end: both pass to the caller.
void Main();

// The same for a given window, which tests drive through a scripted front-end.
void Main(frmMain& window);

// True when a file, whatever its read-only, hidden, system and archive
// attributes, is at exactly `pPath`; a folder there gives false. An error of
// the lookup itself (a drive that cannot be read) passes to the caller.
bool IsFileExisting(const std::string& pPath);

// The whole program: Main() with every way out turned into its last word to
// the user (the unhandled-error report, the ending) and into the exit status.
// Documents copied before an error stay where they are.
int Run();

// The same for a given window.
int Run(frmMain& window);

}  // namespace modMain
