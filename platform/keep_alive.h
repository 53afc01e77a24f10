#pragma once

// Long work that shows nothing for a while (a walk through folders without
// files, the copy of a large document) calls KeepAlive() at each step of it.
// Once the interval has passed since the callback last ran, KeepAlive() runs
// it: the window repaints, moves and takes clicks in the middle of that work.
// One thread, like the window; the file-system back-ends call it from their
// listing and copy loops.

#include <chrono>
#include <functional>

namespace platform {

// Short enough that nobody sees the window wait; long enough that the look at
// the clock (some 30 ns) is lost in the work between two looks.
inline constexpr std::chrono::milliseconds kKeepAliveInterval{50};

// Installs `callback` (empty: none) and starts the interval now. It runs deep
// inside file-system calls, so it must not throw and must not walk or copy.
void SetKeepAlive(std::function<void()> callback);

// How much work may pass between two runs of the callback:
// kKeepAliveInterval unless a test sets another (zero: at every call;
// duration::max(): never).
void SetKeepAliveInterval(std::chrono::steady_clock::duration interval);

// Runs the callback when the interval has passed since it last ran.
void KeepAlive();

}  // namespace platform
