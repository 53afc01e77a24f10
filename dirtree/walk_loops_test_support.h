#pragma once

// The three loops a caller drives the walker with, each recording the Path
// of every entry it is handed. A loop that runs past `limit` steps stops and
// records "<no end>", so a walk that never finishes fails a test instead of
// hanging it.

#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"

namespace walk_loops {

inline constexpr int kDefaultLimit = 100000;

// repeat { GetFolder; use it; MoveNextFolder } until Finished.
inline std::vector<std::string> FolderLoop(crtDTree& tree, int limit = kDefaultLimit) {
  std::vector<std::string> seen;
  do {
    if (limit-- == 0) {
      seen.push_back("<no end>");
      break;
    }
    if (platform::FolderRef folder = tree.GetFolder()) seen.push_back(folder->Path());
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
    if (platform::FileRef file = tree.GetFile()) seen.push_back(file->Path());
  } while (!tree.Finished());
  return seen;
}

// GetFile first, then repeat { MoveNextFile; GetFile } until Finished.
inline std::vector<std::string> FileLoopAskingFirst(crtDTree& tree, int limit = kDefaultLimit) {
  std::vector<std::string> seen;
  if (platform::FileRef file = tree.GetFile()) seen.push_back(file->Path());
  do {
    if (limit-- == 0) {
      seen.push_back("<no end>");
      break;
    }
    tree.MoveNextFile();
    if (platform::FileRef file = tree.GetFile()) seen.push_back(file->Path());
  } while (!tree.Finished());
  return seen;
}

}  // namespace walk_loops
