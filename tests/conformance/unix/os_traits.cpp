#include <cerrno>

#include "tests/conformance/conformance_support.h"

namespace lumbrel_conformance {

int32_t DiskFullOsError() {
  return ENOSPC;
}
int32_t AccessDeniedOsError() {
  return EACCES;
}

}  // namespace lumbrel_conformance
