#pragma once

// What a test makes the OS layer answer that cannot be staged for real: a
// copy failing as a full or refusing disk would (the tests run as root), and
// the program's folder, which for a test program is its build folder. Only
// test builds have these hooks.

#include <cstdint>
#include <string>

namespace platform {

// Points inside the copy at which a test can make the OS layer fail.
enum class FaultPoint {
  kCopyOpenSource,
  kCopyCreateTemporary,
  kCopyWrite,
  kCopyRename,
  kCopyRespell,  // giving the replaced document the new spelling of its name
  kCount,
};

#ifdef LUMBREL_TEST_HOOKS

// Makes the next pass through `point` fail with the OS error `os_error`
// (an errno value on Linux, a Win32 error code on Windows). 0 disarms.
void ArmFault(FaultPoint point, int32_t os_error);

// Called by the back-ends: the armed OS error for `point`, disarming it, or 0.
int32_t TakeFault(FaultPoint point);

// Makes ExecutableFolder() answer `folder` (a Windows path); empty restores
// the real answer.
void StandInExecutableFolder(std::string folder);

// Called by the back-ends: the stand-in folder, or empty.
std::string ExecutableFolderStandIn();

#else

// The program as shipped: no hook, and the checks after each call fold away.
inline constexpr int32_t TakeFault(FaultPoint) {
  return 0;
}
inline std::string ExecutableFolderStandIn() {
  return {};
}

#endif

}  // namespace platform
