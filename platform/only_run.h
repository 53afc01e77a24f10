#pragma once

namespace platform {

// Makes this run the user's only running copy of the program, for as long as
// the process lives. False when another copy already runs for the same user:
// its window, or the question it is asking, has been brought to the front,
// and this copy must end at once without touching anything. True also when
// the system cannot tell: a second window is a lesser harm than a program
// that will not start. Always true on Linux.
bool ClaimOnlyRun();

}  // namespace platform
