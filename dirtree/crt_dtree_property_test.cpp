// Random trees on a staged disk with random faults and folder links, walked
// with every loop a caller may use and checked against a plain recursive model
// of what the walk must return.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
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
  std::vector<std::string> files;  // names
  std::vector<Node> folders;
  std::vector<std::pair<std::string, const Node*>> links;  // name, target
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
  Node node{path, {}, {}, {}};
  computer.MakeFolder(path);
  const uint32_t files = dice.Below(4);
  for (uint32_t i = 0; i < files; ++i) {
    node.files.push_back("f" + std::to_string(i));
    computer.MakeFile(path + "\\" + node.files.back());
    if (dice.OneIn(8)) computer.faults.unreadable.insert(path + "\\" + node.files.back());
  }
  const uint32_t folders = depth == 0 ? 0 : dice.Below(4);
  for (uint32_t i = 0; i < folders; ++i) {
    const std::string child = path + "\\d" + std::to_string(i);
    ArmFolder(child, dice, computer.faults);
    node.folders.push_back(Grow(computer, child, dice, depth - 1));
  }
  return node;
}

// Every folder with the folders above it, itself included.
void Place(const Node& node, std::vector<const Node*>& path,
           std::vector<std::vector<const Node*>>& out) {
  path.push_back(&node);
  out.push_back(path);
  for (const Node& child : node.folders) Place(child, path, out);
  path.pop_back();
}

// Links to the folder they are in or one above it, to any folder of any root
// (a sibling subtree, another root), to nothing, and farms of links to one
// folder. Where the system makes no links, none.
void AddLinks(TestComputer& computer, std::vector<Node>& roots, Dice& dice) {
  std::vector<std::vector<const Node*>> placed;
  std::vector<const Node*> path;
  for (const Node& root : roots) Place(root, path, placed);
  const auto any = [&] { return placed[dice.Below(static_cast<uint32_t>(placed.size()))]; };
  const uint32_t links = dice.Below(7);
  for (uint32_t i = 0; i < links; ++i) {
    const std::vector<const Node*> at = any();
    const Node* target = any().back();
    uint32_t copies = 1;
    switch (dice.Below(4)) {
      case 0: target = at[dice.Below(static_cast<uint32_t>(at.size()))]; break;
      case 1: target = nullptr; break;
      case 2: copies = 2 + dice.Below(8); break;
      default: break;
    }
    for (uint32_t c = 0; c < copies; ++c) {
      Node& in = const_cast<Node&>(*(c == 0 ? at : any()).back());
      const std::string name = "l" + std::to_string(i) + "-" + std::to_string(c);
      const std::string link = in.path + "\\" + name;
      if (!computer.MakeLink(link, target ? target->path : in.path + "\\gone")) return;
      if (dice.OneIn(8)) computer.faults.unreadable.insert(link);
      if (dice.OneIn(20)) computer.faults.attributes_fail.insert(link);
      // A link that leads nowhere is not listed at all.
      if (target != nullptr) in.links.emplace_back(name, target);
    }
  }
}

// Whether a listing of `n` entries with `fault` delivers its entries (a
// short one does, padded with an empty entry the walk skips).
bool Lists(const std::map<std::string, ListFault>& faults, const std::string& path, size_t n) {
  const auto found = faults.find(path);
  switch (found == faults.end() ? ListFault::kNone : found->second) {
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

// A walk of the model: `node` is the folder listed, `shown` the path it is
// reached by, `link` whether that is through a link.
struct Model {
  const Faults& faults;
  bool descend;
  Expected out;
  std::vector<const Node*> path;       // what the current path leads to
  std::set<const Node*> link_targets;  // entered through links so far
  Paths refused;                       // never entered, so never listed

  void Visit(const Node& node, const std::string& shown, bool is_root, bool link) {
    const bool readable = faults.unreadable.count(shown) == 0;
    if (readable) out.folders.push_back(shown);
    if (!is_root && (faults.attributes_fail.count(shown) != 0 ||
                     (link && (std::find(path.begin(), path.end(), &node) != path.end() ||
                               !link_targets.insert(&node).second)))) {
      refused.push_back(shown);
      return;
    }
    if (Lists(faults.files, shown, node.files.size())) {
      for (const std::string& file : node.files) {
        if (faults.unreadable.count(shown + "\\" + file) != 0) continue;
        out.files.push_back(shown + "\\" + file);
        out.file_folder.push_back(readable ? shown : kNone);
      }
    }
    if (!descend) return;
    // Listed in name order: every "d" before every "l".
    std::vector<std::pair<std::string, std::pair<const Node*, bool>>> children;
    for (const Node& child : node.folders) {
      children.push_back({child.path.substr(child.path.rfind('\\') + 1), {&child, false}});
    }
    for (const auto& [name, target] : node.links) children.push_back({name, {target, true}});
    std::sort(children.begin(), children.end());
    if (!Lists(faults.subfolders, shown, children.size())) return;
    path.push_back(&node);
    for (const auto& [name, child] : children) {
      Visit(*child.first, shown + "\\" + name, false, child.second);
    }
    path.pop_back();
  }
};

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
  const uint32_t seeds = TestComputer::OwnsWholeDrives() ? 600 : 200;
  crtDTree tree;  // one object for every walk: SetRoot must start afresh
  for (uint32_t seed = 1; seed <= seeds; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Dice dice(seed);
    TestComputer computer;
    const std::string area = computer.AddDrive('T') + "\\t";
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
    AddLinks(computer, roots, dice);
    const int32_t settings = dice.OneIn(5) ? static_cast<int32_t>(dice.Below(7)) - 3 : 0;
    Model model{computer.faults, settings == 0, {}, {}, {}, {}};
    for (const Node& node : roots) model.Visit(node, node.path, true, false);
    const Expected& expected = model.out;
    // Every stop costs a bounded number of calls: far more means no end.
    const int limit = 8 * static_cast<int>(expected.folders.size() + expected.files.size()) + 1000;

    tree.SetRoot(root, settings);
    ASSERT_EQ(tree.ErrorNumber(), 0);
    ASSERT_EQ(walk_loops::FolderLoop(tree, limit), expected.folders);
    tree.SetRoot(root, settings);
    ASSERT_EQ(walk_loops::FileLoop(tree, limit), expected.files);
    ASSERT_EQ(tree.GetFile(), nullptr);
    ASSERT_EQ(tree.ErrorNumber(), crtDTree::kNotWalking);
    tree.SetRoot(root, settings);
    ASSERT_EQ(walk_loops::FileLoopAskingFirst(tree, limit), expected.files);
    tree.SetRoot(root, settings);
    ASSERT_EQ(FileFolders(tree, limit), expected.file_folder);
    for (const std::string& path : model.refused) {
      ASSERT_EQ(computer.faults.listings.count(path), 0u) << path << " was entered";
    }
  }
}

}  // namespace
