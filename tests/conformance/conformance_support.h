#pragma once

// What the conformance cases share. Every case runs against the system's own
// file-system layer: natively the Linux back-end reading a private prefix,
// under 32-bit Wine the Win32 back-end inside the test prefix.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace lumbrel_conformance {

// The case files of cases/, compiled in (the build generates the table), so
// that the suite needs no path to them under Wine.
struct CaseFile {
  const char* name;
  const char* text;
};
extern const std::vector<CaseFile> kCaseFiles;

// Attributes that both systems report the same way: read-only, hidden,
// system, folder. (Archive is a matter of history, alias of link support.)
inline int32_t Comparable(int32_t attributes) {
  return attributes & (platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem |
                       platform::kAttrDirectory);
}

}  // namespace lumbrel_conformance
