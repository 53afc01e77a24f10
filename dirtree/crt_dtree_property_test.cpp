// Random trees on a staged disk with random faults, walked with every loop a
// caller may use and checked against a plain recursive model of what the walk
// must return.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "tests/support/test_computer.h"
#include "tests/support/walk_loops.h"

namespace {

using lumbrel_test::Faults;
using lumbrel_test::ListFault;
using lumbrel_test::TestComputer;
using Paths = std::vector<std::string>;

constexpr char kNone[] = "<none>";

// mt19937's output is fixed by the standard, unlike the distributions, so a
// seed names the same tree on every system.
class Dice {
 public:
  explicit Dice(uint32_t seed) : engine_(seed) {}
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(engine_() % n); }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

 private:
  std::mt19937 engine_;
};

struct Node {
  std::string path;
  Paths files;
  std::vector<Node> folders;
};

ListFault RandomFault(Dice& dice) {
  if (!dice.OneIn(6)) return ListFault::kNone;
  return static_cast<ListFault>(1 + dice.Below(lumbrel_test::kListFaultCount - 1));
}

void ArmFolder(const std::string& path, Dice& dice, Faults& faults) {
  if (dice.OneIn(8)) faults.unreadable.insert(path);
  if (dice.OneIn(20)) faults.attributes_fail.insert(path);
  faults.subfolders[path] = RandomFault(dice);
  faults.files[path] = RandomFault(dice);
}

Node Grow(TestComputer& computer, const std::string& path, Dice& dice, int depth) {
  Node node{path, {}, {}};
  computer.MakeFolder(path);
  const uint32_t files = dice.Below(4);
  for (uint32_t i = 0; i < files; ++i) {
    node.files.push_back(path + "\\f" + std::to_string(i));
    computer.MakeFile(node.files.back());
    if (dice.OneIn(8)) computer.faults.unreadable.insert(node.files.back());
  }
  const uint32_t folders = depth == 0 ? 0 : dice.Below(4);
  for (uint32_t i = 0; i < folders; ++i) {
    const std::string child = path + "\\d" + std::to_string(i);
    ArmFolder(child, dice, computer.faults);
    node.folders.push_back(Grow(computer, child, dice, depth - 1));
  }
  return node;
}

// Whether a listing of `n` entries with `fault` delivers its entries (a
// short one does, padded with an empty entry the walk skips).
bool Lists(ListFault fault, size_t n) {
  switch (fault) {
    case ListFault::kNone:
    case ListFault::kFewerThanCount: return true;
    case ListFault::kEnumerationThrows: return n == 0;
    default: return false;
  }
}

struct Expected {
  Paths folders;      // the folder loop
  Paths files;        // the file loops
  Paths file_folder;  // GetFolder beside each file: its folder, or kNone
};

void Model(const Node& node, bool is_root, bool descend, const Faults& faults, Expected& out) {
  const bool readable = faults.unreadable.count(node.path) == 0;
  if (readable) out.folders.push_back(node.path);
  if (!is_root && faults.attributes_fail.count(node.path) != 0) return;
  if (Lists(faults.files.at(node.path), node.files.size())) {
    for (const std::string& file : node.files) {
      if (faults.unreadable.count(file) != 0) continue;
      out.files.push_back(file);
      out.file_folder.push_back(readable ? node.path : kNone);
    }
  }
  if (!descend || !Lists(faults.subfolders.at(node.path), node.folders.size())) return;
  for (const Node& child : node.folders) Model(child, false, descend, faults, out);
}

Paths FileFolders(crtDTree& tree, int limit) {
  Paths seen;
  do {
    if (limit-- == 0) {
      seen.push_back("<no end>");
      break;
    }
    tree.MoveNextFile();
    if (tree.GetFile()) {
      const platform::FolderRef folder = tree.GetFolder();
      seen.push_back(folder ? folder->Path() : kNone);
    }
  } while (!tree.Finished());
  return seen;
}

TEST(CrtDTreeProperty, RandomTreesWithFaultsMatchTheModel) {
  // Under Wine every disk call crosses into its server: fewer, equally random trees.
  const uint32_t seeds = TestComputer::OwnsWholeDrives() ? 600 : 60;
  crtDTree tree;  // one object for every walk: SetRoot must start afresh
  for (uint32_t seed = 1; seed <= seeds; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Dice dice(seed);
    TestComputer computer;
    const std::string area = computer.AddDrive('F') + "\\t";
    const platform::FileSystemObjectRef fso = computer.FileSystem();
    const uint32_t root_count = 1 + dice.Below(3);
    std::vector<Node> roots;
    std::vector<RootValue> elements;
    for (uint32_t i = 0; i < root_count; ++i) {
      const std::string path = area + "\\r" + std::to_string(i);
      ArmFolder(path, dice, computer.faults);
      roots.push_back(Grow(computer, path, dice, static_cast<int>(dice.Below(5))));
      elements.push_back(RootValue::OfFolder(fso->GetFolder(path)));
    }
    const uint32_t form = dice.Below(3);
    const RootValue root = form == 0 && root_count == 1 ? elements[0]
                           : form == 1 ? RootValue::OfFolders(fso->GetFolder(area)->SubFolders())
                                       : RootValue::OfCollection(elements);
    const int32_t settings = dice.OneIn(5) ? static_cast<int32_t>(dice.Below(7)) - 3 : 0;
    Expected expected;
    for (const Node& node : roots) Model(node, true, settings == 0, computer.faults, expected);
    // Every stop costs a bounded number of calls: far more means no end.
    const int limit = 8 * static_cast<int>(expected.folders.size() + expected.files.size()) + 1000;

    tree.SetRoot(root, settings);
    ASSERT_EQ(tree.ErrorNumber(), 0);
    ASSERT_EQ(walk_loops::FolderLoop(tree, limit), expected.folders);
    tree.SetRoot(root, settings);
    ASSERT_EQ(walk_loops::FileLoop(tree, limit), expected.files);
    ASSERT_EQ(tree.GetFile(), nullptr);
    ASSERT_EQ(tree.ErrorNumber(), -3);
    tree.SetRoot(root, settings);
    ASSERT_EQ(walk_loops::FileLoopAskingFirst(tree, limit), expected.files);
    tree.SetRoot(root, settings);
    ASSERT_EQ(FileFolders(tree, limit), expected.file_folder);
  }
}

}  // namespace
