#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/error.h"
#include "platform/file_system.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

auto OpenDescriptors() {
  return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

// A prefix of its own with one drive, T:, on a temporary folder.
class ListingTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumbrel-listing-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    prefix_ = pattern;
    fs::create_directories(prefix_ / "dosdevices");
    fs::create_directories(prefix_ / "t");
    fs::create_directory_symlink(prefix_ / "t", prefix_ / "dosdevices" / "t:");
    const char* old = std::getenv("WINEPREFIX");
    had_prefix_ = old != nullptr;
    if (had_prefix_) old_prefix_ = old;
    setenv("WINEPREFIX", prefix_.c_str(), 1);
  }
  void TearDown() override {
    if (had_prefix_) {
      setenv("WINEPREFIX", old_prefix_.c_str(), 1);
    } else {
      unsetenv("WINEPREFIX");
    }
    fs::remove_all(prefix_);
  }
  fs::path Disk(const std::string& relative) const { return prefix_ / "t" / relative; }

  template <class T>
  static std::vector<std::string> Names(Collection<T>& collection) {
    std::vector<std::string> names;
    auto items = collection.Enumerate();
    for (std::shared_ptr<T> item; items->Next(item);) names.push_back(item->Name());
    EXPECT_EQ(collection.Count(), static_cast<int32_t>(names.size()));
    return names;
  }

  fs::path prefix_;
  std::string old_prefix_;
  bool had_prefix_ = false;
  FileSystemObjectRef fso_ = CreateFileSystemObject();
};

TEST_F(ListingTest, OneReadServesFilesAndThenSubfoldersOnce) {
  fs::create_directory(Disk("first"));
  std::ofstream(Disk("doc.txt")) << "x";
  FolderRef root = fso_->GetFolder("T:\\");
  EXPECT_EQ(Names(*root->Files()), std::vector<std::string>{"doc.txt"});
  fs::create_directory(Disk("second"));
  // The subfolders of the read the files came from...
  EXPECT_EQ(Names(*root->SubFolders()), std::vector<std::string>{"first"});
  // ...and a fresh read after that.
  EXPECT_EQ(Names(*root->SubFolders()), (std::vector<std::string>{"first", "second"}));
  std::ofstream(Disk("later.txt")) << "x";
  EXPECT_EQ(Names(*root->Files()), (std::vector<std::string>{"doc.txt"}));
  EXPECT_EQ(Names(*root->Files()), (std::vector<std::string>{"doc.txt", "later.txt"}));
}

TEST_F(ListingTest, LinksAreListedByWhatTheyLeadTo) {
  fs::create_directory(Disk("real"));
  std::ofstream(Disk("real/inside.txt")) << "x";
  fs::create_directory_symlink(Disk("real"), Disk("to-folder"));
  fs::create_symlink(Disk("real/inside.txt"), Disk("to-file"));
  fs::create_symlink(Disk("gone"), Disk("nowhere"));
  FolderRef root = fso_->GetFolder("t:\\");
  EXPECT_EQ(Names(*root->SubFolders()), (std::vector<std::string>{"real", "to-folder"}));
  EXPECT_EQ(Names(*root->Files()), (std::vector<std::string>{"nowhere", "to-file"}));

  auto folders = root->SubFolders()->Enumerate();
  FolderRef folder;
  ASSERT_TRUE(folders->Next(folder));
  EXPECT_EQ(folder->Attributes() & kAttrAlias, 0);
  ASSERT_TRUE(folders->Next(folder));
  EXPECT_EQ(folder->Attributes() & (kAttrAlias | kAttrDirectory), kAttrAlias | kAttrDirectory);
  EXPECT_EQ(Names(*folder->Files()), std::vector<std::string>{"inside.txt"});
  EXPECT_EQ(folder->Path(), "T:\\to-folder");
}

TEST_F(ListingTest, LinkQueryAnswersFromTheListingItself) {
  fs::create_directory(Disk("real"));
  fs::create_directory_symlink(Disk("real"), Disk("to-folder"));
  FolderRef root = fso_->GetFolder("T:\\");
  EXPECT_FALSE(root->IsAlias());
  EXPECT_TRUE(fso_->GetFolder("T:\\to-folder")->IsAlias());
  EXPECT_FALSE(fso_->GetFolder("T:\\real")->IsAlias());

  auto folders = root->SubFolders()->Enumerate();
  FolderRef real;
  FolderRef link;
  ASSERT_TRUE(folders->Next(real));
  ASSERT_TRUE(folders->Next(link));
  // Gone from the disk, the entries still say what the listing saw; only
  // their attributes need the disk.
  fs::remove(Disk("to-folder"));
  fs::remove(Disk("real"));
  EXPECT_FALSE(real->IsAlias());
  EXPECT_TRUE(link->IsAlias());
  EXPECT_THROW(link->Attributes(), PlatformError);
}

TEST_F(ListingTest, ObjectsOutliveTheirCollectionAndEnumerator) {
  fs::create_directories(Disk("a/b"));
  FileRef kept;
  FolderRef inner;
  {
    std::ofstream(Disk("a/b/doc.txt")) << "x";
    auto files = fso_->GetFolder("T:\\A\\B")->Files()->Enumerate();
    ASSERT_TRUE(files->Next(kept));
    auto folders = fso_->GetFolder("T:\\a")->SubFolders()->Enumerate();
    ASSERT_TRUE(folders->Next(inner));
  }
  EXPECT_EQ(kept->Path(), "T:\\a\\b\\doc.txt");
  EXPECT_EQ(inner->Path(), "T:\\a\\b");
  EXPECT_EQ(Names(*inner->Files()), std::vector<std::string>{"doc.txt"});
}

// Subfolders are opened through their listed parent while it is held open,
// and by their whole path past the number of parents kept open.
TEST_F(ListingTest, ADeepChainIsListedToItsEndAndLeavesNothingOpen) {
  constexpr int kDepth = 150;
  fs::path deepest = Disk("");
  for (int level = 0; level < kDepth; ++level) deepest /= "level" + std::to_string(level);
  fs::create_directories(deepest);
  std::ofstream(deepest / "doc.txt") << "x";
  const auto before = OpenDescriptors();
  // Fewer descriptors than levels: keeping every parent open would run out.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old_limit), 0);
  rlimit low_limit = old_limit;
  low_limit.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low_limit), 0);
  {
    // Every level's collection held at once, as a walk holds its path.
    std::vector<std::shared_ptr<FolderCollection>> path{fso_->GetFolder("T:\\")->SubFolders()};
    FolderRef folder;
    for (int level = 0; level < kDepth; ++level) {
      ASSERT_TRUE(path.back()->Enumerate()->Next(folder)) << "level " << level;
      EXPECT_EQ(folder->Name(), "level" + std::to_string(level));
      path.push_back(folder->SubFolders());
    }
    EXPECT_EQ(path.back()->Count(), 0);
    EXPECT_EQ(Names(*folder->Files()), std::vector<std::string>{"doc.txt"});
    EXPECT_GT(OpenDescriptors(), before);
  }
  setrlimit(RLIMIT_NOFILE, &old_limit);
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(ListingTest, OpeningDriveRootsLeavesNothingOpen) {
  const auto before = OpenDescriptors();
  for (int round = 0; round < 20; ++round) {
    auto drives = fso_->Drives()->Enumerate();
    for (DriveRef drive; drives->Next(drive);) EXPECT_EQ(drive->RootFolder()->Path(), "T:\\");
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(ListingTest, AFolderThatVanishedCannotBeListed) {
  fs::create_directory(Disk("brief"));
  FolderRef folder = fso_->GetFolder("T:\\brief");
  fs::remove(Disk("brief"));
  try {
    folder->Files();
    FAIL() << "the folder is gone";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Number(), kPathNotFound);
  }
}

}  // namespace
}  // namespace platform
