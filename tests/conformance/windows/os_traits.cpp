#include <windows.h>

#include "tests/conformance/conformance_support.h"

namespace lumbrel_conformance {

int32_t DiskFullOsError() {
  return ERROR_DISK_FULL;
}
int32_t AccessDeniedOsError() {
  return ERROR_ACCESS_DENIED;
}

}  // namespace lumbrel_conformance
