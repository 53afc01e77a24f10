// Random trees with random faults, walked with every loop a caller may use and
// checked against a plain recursive model of what the walk must return.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dirtree/crt_dtree.h"
#include "dirtree/fake_tree_test_support.h"
#include "dirtree/walk_loops_test_support.h"

namespace {

using fake_tree::FakeFolder;
using fake_tree::ListFault;
using Paths = std::vector<std::string>;

constexpr uint32_t kSeeds = 3000;
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

ListFault RandomFault(Dice& dice) {
  if (!dice.OneIn(6)) return ListFault::kNone;
  return static_cast<ListFault>(1 + dice.Below(fake_tree::kListFaultCount - 1));
}

void Grow(FakeFolder& folder, Dice& dice, int depth) {
  const uint32_t files = dice.Below(4);
  for (uint32_t i = 0; i < files; ++i) {
    folder.AddFile("f" + std::to_string(i))->path_throws = dice.OneIn(8);
  }
  if (depth == 0) return;
  const uint32_t folders = dice.Below(4);
  for (uint32_t i = 0; i < folders; ++i) {
    const std::shared_ptr<FakeFolder> child = folder.AddFolder("d" + std::to_string(i));
    if (dice.OneIn(10)) child->attributes |= platform::kAttrAlias;
    child->attributes_throw = dice.OneIn(20);
    child->path_throws = dice.OneIn(8);
    child->subfolders_fault = RandomFault(dice);
    child->files_fault = RandomFault(dice);
    Grow(*child, dice, depth - 1);
  }
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

void Model(const FakeFolder& folder, bool is_root, bool descend, Expected& out) {
  if (!folder.path_throws) out.folders.push_back(folder.StoredPath());
  const bool enterable =
      is_root || ((folder.attributes & platform::kAttrAlias) == 0 && !folder.attributes_throw);
  if (!enterable) return;
  if (Lists(folder.files_fault, folder.ChildFiles().size())) {
    for (const auto& file : folder.ChildFiles()) {
      if (file->path_throws) continue;
      out.files.push_back(file->StoredPath());
      out.file_folder.push_back(folder.path_throws ? kNone : folder.StoredPath());
    }
  }
  if (!descend || !Lists(folder.subfolders_fault, folder.Children().size())) return;
  for (const auto& child : folder.Children()) Model(*child, false, descend, out);
}

struct Case {
  std::vector<std::shared_ptr<FakeFolder>> roots;
  RootValue root_value;
  int32_t settings = 0;
  int size = 0;
  Expected expected;
};

Case MakeCase(uint32_t seed) {
  Dice dice(seed);
  Case c;
  const uint32_t roots = 1 + dice.Below(3);
  std::vector<RootValue> elements;
  std::vector<platform::FolderRef> folders;
  for (uint32_t i = 0; i < roots; ++i) {
    auto root = FakeFolder::MakeRoot("r" + std::to_string(i), static_cast<char>('F' + i));
    root->path_throws = dice.OneIn(8);
    root->attributes |= dice.OneIn(4) ? platform::kAttrAlias : 0;
    root->subfolders_fault = RandomFault(dice);
    root->files_fault = RandomFault(dice);
    Grow(*root, dice, static_cast<int>(dice.Below(5)));
    elements.push_back(RootValue::OfFolder(root));
    folders.push_back(root);
    c.roots.push_back(root);
  }
  const uint32_t form = dice.Below(3);
  c.root_value = form == 0 && roots == 1 ? RootValue::OfFolder(folders[0])
                 : form == 1             ? RootValue::OfFolders(fake_tree::MakeCollection(folders))
                                         : RootValue::OfCollection(std::move(elements));
  c.settings = dice.OneIn(5) ? static_cast<int32_t>(dice.Below(7)) - 3 : 0;
  for (const auto& root : c.roots) Model(*root, true, c.settings == 0, c.expected);
  return c;
}

// Every stop of the walk costs a bounded number of calls; far more than the
// tree could need means the walk does not end.
int Limit(const Case& c) {
  return 8 * static_cast<int>(c.expected.folders.size() + c.expected.files.size()) + 1000;
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
  crtDTree tree;  // one object for every walk: SetRoot must start afresh
  for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Case c = MakeCase(seed);
    const int limit = Limit(c);

    tree.SetRoot(c.root_value, c.settings);
    ASSERT_EQ(tree.ErrorNumber(), 0);
    ASSERT_EQ(walk_loops::FolderLoop(tree, limit), c.expected.folders);

    tree.SetRoot(c.root_value, c.settings);
    ASSERT_EQ(walk_loops::FileLoop(tree, limit), c.expected.files);
    ASSERT_EQ(tree.GetFile(), nullptr);
    ASSERT_EQ(tree.ErrorNumber(), -3);

    tree.SetRoot(c.root_value, c.settings);
    ASSERT_EQ(walk_loops::FileLoopAskingFirst(tree, limit), c.expected.files);

    tree.SetRoot(c.root_value, c.settings);
    ASSERT_EQ(FileFolders(tree, limit), c.expected.file_folder);
  }
}

}  // namespace
