#pragma once

// The three loops a caller drives the walker with, each recording the Path
// of every entry it is handed. Only the very first get may find nothing
// (an unreadable first root or first file); a get after a move that finds
// nothing although the walk goes on is recorded as "<none>". A loop that runs
// past `limit` steps stops and records "<no end>", so a walk that never
// finishes fails a test instead of hanging it.

#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"

namespace walk_loops {

inline constexpr int kDefaultLimit = 100000;

template <class Ref>
void Record(const Ref& entry, bool first, std::vector<std::string>& seen) {
  if (entry) {
    seen.push_back(entry->Path());
  } else if (!first) {
    seen.push_back("<none>");
  }
}

// repeat { GetFolder; use it; MoveNextFolder } until Finished.
inline std::vector<std::string> FolderLoop(crtDTree& tree, int limit = kDefaultLimit) {
  std::vector<std::string> seen;
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
inline std::vector<std::string> FileLoop(crtDTree& tree, int limit = kDefaultLimit) {
  std::vector<std::string> seen;
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

// GetFile first, then repeat { MoveNextFile; GetFile } until Finished.
inline std::vector<std::string> FileLoopAskingFirst(crtDTree& tree, int limit = kDefaultLimit) {
  std::vector<std::string> seen;
  Record(tree.GetFile(), true, seen);
  const std::vector<std::string> rest = FileLoop(tree, limit);
  seen.insert(seen.end(), rest.begin(), rest.end());
  return seen;
}

}  // namespace walk_loops
