// The armed faults of a test build (see fault_injection.h); compiled only
// when fault points are on.

#include <array>
#include <atomic>
#include <cstddef>

#include "platform/fault_injection.h"

namespace platform {
namespace {

std::array<std::atomic<int32_t>, static_cast<size_t>(FaultPoint::kCount)> armed_faults{};

std::atomic<int32_t>& Slot(FaultPoint point) {
  return armed_faults[static_cast<size_t>(point)];
}

}  // namespace

void ArmFault(FaultPoint point, int32_t os_error) {
  Slot(point).store(os_error);
}

int32_t TakeFault(FaultPoint point) {
  // A cheap load first: the copy passes here for every block it writes.
  if (Slot(point).load(std::memory_order_relaxed) == 0) return 0;
  return Slot(point).exchange(0);
}

}  // namespace platform
