// The hooks of a test build (see test_hooks.h); compiled into test builds
// only.

#include "platform/test_hooks.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <utility>

namespace platform {
namespace {

std::array<std::atomic<int32_t>, static_cast<size_t>(FaultPoint::kCount)> armed_faults{};

std::atomic<int32_t>& Slot(FaultPoint point) {
  return armed_faults[static_cast<size_t>(point)];
}

std::mutex stand_in_lock;
std::string executable_folder_stand_in;

}  // namespace

void ArmFault(FaultPoint point, int32_t os_error) {
  Slot(point).store(os_error);
}

int32_t TakeFault(FaultPoint point) {
  // A cheap load first: the copy passes here for every block it writes.
  if (Slot(point).load(std::memory_order_relaxed) == 0) return 0;
  return Slot(point).exchange(0);
}

void StandInExecutableFolder(std::string folder) {
  const std::lock_guard<std::mutex> hold(stand_in_lock);
  executable_folder_stand_in = std::move(folder);
}

std::string ExecutableFolderStandIn() {
  const std::lock_guard<std::mutex> hold(stand_in_lock);
  return executable_folder_stand_in;
}

}  // namespace platform
