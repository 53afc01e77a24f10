#pragma once

// Runs part of a test in a child process, for what must not touch the test
// process itself: dropping root, a private mount namespace, being killed.

#include <functional>
#include <string>

namespace hostile {

// Runs `body` in a forked child and returns what it returned, or
// "<killed by signal N>" / "<exited N>" when the child ended otherwise.
std::string InChild(const std::function<std::string()>& body);

// Starts `body` in a forked child and returns its process id at once; the
// child exits 0 when `body` returns.
int StartChild(const std::function<void()>& body);

// Waits for the child; its exit code, or minus the signal that ended it.
int WaitChild(int pid);

// In a child: drops root for the unprivileged user 65534 and no groups.
// False when the system refused.
bool DropToNobody();

// The text a platform error shows the user: "70 Permission denied".
std::string Raised(const std::function<void()>& call);

}  // namespace hostile
