// Writes a deterministic folder tree of empty files for the search
// benchmarks: the same seed and size always give the same names, so figures
// taken on different days compare.
//
//   make-bench-tree SEED FILES OUT_DIR MANIFEST
//
// OUT_DIR must not exist. The manifest, written last, lists the figures of
// the tree and the relative paths of the three planted host executables; a
// tree without its manifest is incomplete.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kMaxDepth = 12;
// 12.5 files per folder on average, as on a typical system drive.
constexpr size_t kFoldersPer100Files = 8;

// splitmix64: fixed output on every compiler and library, unlike the
// standard distributions.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  bool Chance(unsigned percent) { return Below(100) < percent; }

 private:
  uint64_t state_;
};

struct Folder {
  size_t parent;  // index; the root is its own parent
  int depth;
  size_t top;  // index of the top-level folder above it
  std::string path;
};

const char* const kSyllables[] = {"ka",  "lo", "ver", "ni", "ur",  "sta", "mel", "po",  "dra",
                                  "qui", "ta", "zen", "bo", "rix", "al",  "fe",  "gon", "shu"};
const char* const kExtensions[] = {".txt", ".dll", ".exe", ".dat", ".png", ".h",
                                   ".ini", ".log", ".xml", ".js",  ".cab", ""};
// Names that contain, end with or extend the executable's name but must never
// be taken for it; the serial goes between the two halves.
const char* const kDecoys[][2] = {
    {"x", "QUARN.exe"}, {"QUARN.exe.", ""}, {"quarn", ".exe"}, {"Quarn.exe ", ".bak"}};
const char* const kPlanted[] = {"QUARN.exe", "quarn.EXE", "Quarn.eXe"};

// Mixed case: each letter independently upper or lower.
std::string Word(Random& random, unsigned syllables) {
  std::string word;
  for (unsigned i = 0; i < syllables; ++i) word += kSyllables[random.Below(std::size(kSyllables))];
  for (char& c : word) {
    if (random.Chance(30)) c = static_cast<char>(c - 'a' + 'A');
  }
  return word;
}

// A global counter in every name keeps names unique even without case.
std::string Name(Random& random, uint64_t serial) {
  std::string name = Word(random, 1 + static_cast<unsigned>(random.Below(3)));
  if (random.Chance(15)) name += ' ' + Word(random, 1);
  return name + '_' + std::to_string(serial);
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "make-bench-tree: %s: %s\n", what.c_str(), std::strerror(errno));
  std::exit(1);
}

std::vector<Folder> PlanFolders(Random& random, size_t count, uint64_t& serial) {
  std::vector<Folder> folders{{0, 0, 0, ""}};
  folders.reserve(count + 1);
  while (folders.size() <= count) {
    // Mostly extend one of the latest folders, so branches grow deep; now and
    // then start from anywhere, so the tree grows wide too.
    size_t parent = random.Chance(60)
                        ? folders.size() - 1 - random.Below(std::min<size_t>(folders.size(), 40))
                        : random.Below(folders.size());
    // A depth cap drawn per folder spreads folders over every level rather
    // than piling them up at the deepest one.
    const int cap = 1 + static_cast<int>(random.Below(kMaxDepth));
    while (folders[parent].depth >= cap) parent = folders[parent].parent;
    const Folder& p = folders[parent];
    size_t index = folders.size();
    folders.push_back({parent, p.depth + 1, p.depth == 0 ? index : p.top,
                       p.path + (p.depth == 0 ? "" : "/") + Name(random, serial++)});
  }
  return folders;
}

// The three deepest folders under three different top-level folders.
std::vector<size_t> PlantingPlaces(const std::vector<Folder>& folders) {
  std::vector<size_t> order(folders.size() - 1);
  for (size_t i = 0; i < order.size(); ++i) order[i] = i + 1;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return folders[a].depth > folders[b].depth; });
  std::vector<size_t> places;
  for (size_t i : order) {
    bool seen = std::any_of(places.begin(), places.end(),
                            [&](size_t p) { return folders[p].top == folders[i].top; });
    if (!seen) places.push_back(i);
    if (places.size() == std::size(kPlanted)) break;
  }
  return places;
}

void MakeFile(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot create " + path);
  close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: make-bench-tree SEED FILES OUT_DIR MANIFEST\n");
    return 2;
  }
  const uint64_t seed = std::stoull(argv[1]);
  const size_t files = std::stoul(argv[2]);
  const std::string out = argv[3];
  Random random(seed);
  uint64_t serial = 0;

  const size_t folder_count =
      std::max<size_t>(std::size(kPlanted), files * kFoldersPer100Files / 100);
  std::vector<Folder> folders = PlanFolders(random, folder_count, serial);
  if (mkdir(out.c_str(), 0755) != 0) Fail("cannot create " + out);
  int max_depth = 0;
  for (size_t i = 1; i < folders.size(); ++i) {
    if (mkdir((out + '/' + folders[i].path).c_str(), 0755) != 0) Fail("cannot create folder");
    max_depth = std::max(max_depth, folders[i].depth);
  }

  std::vector<std::string> planted;
  std::vector<size_t> places = PlantingPlaces(folders);
  for (size_t k = 0; k < places.size(); ++k) {
    planted.push_back(folders[places[k]].path + '/' + kPlanted[k]);
    MakeFile(out + '/' + planted.back());
  }
  for (size_t made = planted.size(); made < files; ++made) {
    const Folder& folder = folders[random.Below(folders.size())];
    std::string name;
    if (random.Chance(1)) {
      const auto& decoy = kDecoys[random.Below(std::size(kDecoys))];
      name = decoy[0] + std::to_string(serial++) + decoy[1];
    } else {
      name = Name(random, serial++) + kExtensions[random.Below(std::size(kExtensions))];
    }
    MakeFile(out + '/' + folder.path + (folder.path.empty() ? "" : "/") + name);
  }

  std::ofstream manifest(argv[4]);
  manifest << "seed " << seed << "\nfiles " << files << "\nfolders " << folders.size() - 1
           << "\nmax-depth " << max_depth << '\n';
  for (const std::string& path : planted) manifest << "planted " << path << '\n';
  if (!manifest.flush()) Fail("cannot write the manifest");
  return 0;
}
