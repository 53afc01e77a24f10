// What the window costs the search: FindFilesOnDrive over one whole drive,
// once drawing every path in the real window and once with the scripted
// front-end, which only records. Runs alternate after a warm-up so that both
// see the same cache.
//
//   window_benchmark DRIVE_LETTER [RUNS]
//
// Run under Xvfb when there is no display.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/front_end.h"
#include "tests/support/frm_main_test_peer.h"
#include "tests/support/scripted_front_end.h"
#include "ui/frm_main.h"

namespace {

struct Outcome {
  double seconds;
  int32_t matches;
};

Outcome Search(std::unique_ptr<platform::FrontEnd> front_end, const std::string& drive) {
  frmMain form(std::move(front_end));
  form.Window().Show();
  const auto start = std::chrono::steady_clock::now();
  StringArray found = frmMainTestPeer::FindFilesOnDrive(form, drive, "QUARN.exe");
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  Outcome outcome{took.count(), frmMainTestPeer::CountItems(form, found)};
  form.Unload();
  return outcome;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Print(const char* name, const std::vector<double>& times) {
  std::printf("%-8s median %.3f s  min %.3f s  max %.3f s\n", name, Median(times),
              *std::min_element(times.begin(), times.end()),
              *std::max_element(times.begin(), times.end()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: window_benchmark DRIVE_LETTER [RUNS]\n");
    return 2;
  }
  const std::string drive = argv[1];
  const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 3;

  // The warm-up also tells how many files the drive holds.
  auto counting = std::make_unique<lumbrel_test::ScriptedFrontEnd>();
  lumbrel_test::ScriptedFrontEnd& recorder = *counting;
  const Outcome warm = Search(std::move(counting), drive);
  const size_t shown = recorder.Count("status 2 ");
  if (shown == 0) {
    std::fprintf(stderr, "window_benchmark: drive %s: shows no file\n", drive.c_str());
    return 1;
  }
  std::printf("drive %s: %zu files shown, %d matches\n", drive.c_str(), shown, warm.matches);
  std::fflush(stdout);

  std::vector<double> scripted;
  std::vector<double> window;
  for (int i = 0; i < runs; ++i) {
    const Outcome a = Search(std::make_unique<lumbrel_test::ScriptedFrontEnd>(), drive);
    const Outcome b = Search(platform::CreateFrontEnd(), drive);
    if (a.matches != warm.matches || b.matches != warm.matches) {
      std::fprintf(stderr, "window_benchmark: runs found %d and %d matches, the warm-up %d\n",
                   a.matches, b.matches, warm.matches);
      return 1;
    }
    scripted.push_back(a.seconds);
    window.push_back(b.seconds);
    // Runs under Wine are long; show each as it ends.
    std::printf("run %d: scripted %.3f s, window %.3f s\n", i + 1, a.seconds, b.seconds);
    std::fflush(stdout);
  }
  Print("scripted", scripted);
  Print("window", window);
  std::printf("ratio window/scripted %.2f\n", Median(window) / Median(scripted));
  return 0;
}
