// The tree walker alone over a whole generated drive: the file loop the
// installation search runs, without the window. A bare platform-layer walk
// beside it separates the walker's own cost from the listing's.
//
//   WINEPREFIX=<bench prefix> walker_benchmark [benchmark flags] [ROOT]
//
// ROOT is a Windows path, "C:\" unless given.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "dirtree/root_value.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace {

std::string g_root = "C:\\";

// Opens the root folder, or marks the benchmark skipped with the reason.
bool OpenRoot(benchmark::State& state, platform::FileSystemObject& file_system,
              platform::FolderRef& root) {
  try {
    root = file_system.GetFolder(g_root);
    return true;
  } catch (const platform::PlatformError& error) {
    state.SkipWithError(("cannot open " + g_root + ": " + error.Text()).c_str());
    return false;
  }
}

void ReportFiles(benchmark::State& state, int64_t files) {
  if (files == 0) state.SkipWithError(("no file found below " + g_root).c_str());
  state.counters["files"] = static_cast<double>(files);
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(files), benchmark::Counter::kIsIterationInvariantRate);
}

// Pattern 2 of the walker's contract, taking each file's path and name and
// comparing the upper-cased name, as the search does per file.
void BM_SearchFileLoop(benchmark::State& state) {
  platform::FileSystemObjectRef file_system = platform::CreateFileSystemObject();
  platform::FolderRef root;
  if (!OpenRoot(state, *file_system, root)) return;
  const std::string wanted = platform::UpperCase("QUARN.exe");
  crtDTree tree;
  int64_t files = 0;
  int64_t matches = 0;
  for (auto _ : state) {
    files = 0;
    matches = 0;
    tree.SetRoot(RootValue::OfFolder(root), 0);
    do {
      tree.MoveNextFile();
      platform::FileRef file = tree.GetFile();
      if (!file) continue;
      benchmark::DoNotOptimize(file->Path());
      if (platform::UpperCase(file->Name()) == wanted) ++matches;
      ++files;
    } while (!tree.Finished());
  }
  state.counters["matches"] = static_cast<double>(matches);
  ReportFiles(state, files);
}
BENCHMARK(BM_SearchFileLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same loop with nothing done per file: the walker's stepping alone.
void BM_BareFileLoop(benchmark::State& state) {
  platform::FileSystemObjectRef file_system = platform::CreateFileSystemObject();
  platform::FolderRef root;
  if (!OpenRoot(state, *file_system, root)) return;
  crtDTree tree;
  int64_t files = 0;
  for (auto _ : state) {
    files = 0;
    tree.SetRoot(RootValue::OfFolder(root), 0);
    do {
      tree.MoveNextFile();
      if (tree.GetFile()) ++files;
    } while (!tree.Finished());
  }
  ReportFiles(state, files);
}
BENCHMARK(BM_BareFileLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// Depth-first over the platform layer's own collections, no walker: the floor
// the walker's cost stands on.
int64_t CountFiles(platform::Folder& folder) {
  int64_t files = 0;
  try {
    auto listing = folder.Files()->Enumerate();
    for (platform::FileRef file; listing->Next(file);) {
      benchmark::DoNotOptimize(file->Path());
      ++files;
    }
    auto subfolders = folder.SubFolders()->Enumerate();
    for (platform::FolderRef sub; subfolders->Next(sub);) {
      if ((sub->Attributes() & platform::kAttrAlias) == 0) files += CountFiles(*sub);
    }
  } catch (const platform::PlatformError&) {
    // An unreadable folder counts as empty, as it does for the walker.
  }
  return files;
}

void BM_PlatformLayerWalk(benchmark::State& state) {
  platform::FileSystemObjectRef file_system = platform::CreateFileSystemObject();
  platform::FolderRef root;
  if (!OpenRoot(state, *file_system, root)) return;
  int64_t files = 0;
  for (auto _ : state) files = CountFiles(*root);
  ReportFiles(state, files);
}
BENCHMARK(BM_PlatformLayerWalk)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 2) {
    std::fprintf(stderr, "usage: walker_benchmark [benchmark flags] [ROOT]\n");
    return 2;
  }
  if (argc == 2) g_root = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
