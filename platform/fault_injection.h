#pragma once

#include <cstdint>

namespace platform {

// Points inside the copy at which a test can make the OS layer fail as a real
// disk would (full, refusing), for what cannot be staged for real when the
// tests run as root. Only test builds have them.
enum class FaultPoint {
  kCopyOpenSource,
  kCopyCreateTemporary,
  kCopyWrite,
  kCopyRename,
  kCopyRespell,  // giving the replaced document the new spelling of its name
  kCount,
};

#ifdef LUMBREL_FAULT_POINTS

// Makes the next pass through `point` fail with the OS error `os_error`
// (an errno value on Linux, a Win32 error code on Windows). 0 disarms.
void ArmFault(FaultPoint point, int32_t os_error);

// Called by the back-ends: the armed OS error for `point`, disarming it, or 0.
int32_t TakeFault(FaultPoint point);

#else

// The program as shipped: no hook, and the checks after each call fold away.
inline constexpr int32_t TakeFault(FaultPoint) {
  return 0;
}

#endif

}  // namespace platform
