#pragma once

// The loops a caller drives the walker with, each recording the Path of every
// entry it is handed. Only the very first get may find nothing (an unreadable
// first root or first file); a later get that finds nothing although the walk
// goes on is recorded as "<none>". A loop past kStepLimit steps records
// "<no end>" and stops, so a walk that never finishes fails instead of hanging.

#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"

namespace walk_loops {

using Paths = std::vector<std::string>;
inline constexpr int kStepLimit = 100000;

template <class Ref>
void Record(const Ref& entry, bool first, Paths& seen) {
  if (entry) {
    seen.push_back(entry->Path());
  } else if (!first) {
    seen.push_back("<none>");
  }
}

// repeat { GetFolder; use it; MoveNextFolder } until Finished.
inline Paths FolderLoop(crtDTree& tree) {
  Paths seen;
  int limit = kStepLimit;
  bool first = true;
  do {
    if (limit-- == 0) {
      seen.push_back("<no end>");
      break;
    }
    Record(tree.GetFolder(), first, seen);
    first = false;
    tree.MoveNextFolder();
  } while (!tree.Finished());
  return seen;
}

// repeat { MoveNextFile; GetFile; use it } until Finished.
inline Paths FileLoop(crtDTree& tree) {
  Paths seen;
  int limit = kStepLimit;
  do {
    if (limit-- == 0) {
      seen.push_back("<no end>");
      break;
    }
    tree.MoveNextFile();
    if (!tree.Finished()) Record(tree.GetFile(), false, seen);
  } while (!tree.Finished());
  return seen;
}

}  // namespace walk_loops
