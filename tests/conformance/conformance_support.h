#pragma once

// Small helpers the conformance cases share. Every case here runs against the
// system's own file-system layer: natively the Linux back-end reading a
// private prefix, under 32-bit Wine the Win32 back-end inside the test prefix.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/support/test_computer.h"

namespace lumbrel_conformance {

using lumbrel_test::ErrorNumberOf;

// The names a collection delivers, in its order; checks that Count() agrees.
template <class T>
std::vector<std::string> NamesOf(platform::Collection<T>& collection) {
  std::vector<std::string> names;
  auto items = collection.Enumerate();
  for (std::shared_ptr<T> item; items->Next(item);) names.push_back(item->Name());
  if (static_cast<size_t>(collection.Count()) != names.size()) names.push_back("<count differs>");
  return names;
}

// Attributes that both systems report the same way: read-only, hidden,
// system, folder. (Archive is a matter of history, alias of link support.)
inline int32_t Comparable(int32_t attributes) {
  return attributes & (platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem |
                       platform::kAttrDirectory);
}

// The type reported for a drive the prefix lists as "hd" but whose folder is
// missing: the listed type natively; Windows asks the drive itself, which
// has no root to answer for, so it is unknown there.
int32_t UnreadableListedDriveType();

// Whether the entry carries the read-only mark, asked of the system itself
// rather than the layer under test (Wine, for one, keeps none on folders set
// through its Win32 calls).
bool HasReadOnlyMark(const std::string& windows_path);

// Copies the probe program built beside this test to `windows_path` (a file
// name on the scratch drive, without extension) and runs it there; its
// standard output, or "" when it could not run.
std::string RunProbeCopiedTo(const std::string& windows_path);

}  // namespace lumbrel_conformance
