#include "platform/posix/fs_objects.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <type_traits>

#include "platform/posix/entry_attributes.h"
#include "platform/posix/errno_error.h"
#include "platform/posix/item_collection.h"
#include "platform/posix/listing.h"

namespace platform::posix {
namespace {

// Failures name the entry by `windows_path`, as the user knows it.
int32_t AttributesOf(int folder, const std::string& entry, std::string_view name, bool alias,
                     ErrnoSubject subject, const std::string& windows_path) {
  int32_t attributes = EntryAttributes(folder, entry, name, alias);
  if (attributes < 0) throw ErrnoError(errno, subject).WithPath(windows_path);
  return attributes;
}

// What `name` in the folder open as `dir_fd` leads to, or `path` when no
// folder is open; links are followed.
EntryIdentity IdentityOf(int dir_fd, const char* name, const std::string& path,
                         const std::string& windows_path) {
  struct stat info;
  const int result = dir_fd >= 0 ? fstatat(dir_fd, name, &info, 0) : stat(path.c_str(), &info);
  if (result != 0) throw ErrnoError(errno, ErrnoSubject::kPath).WithPath(windows_path);
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

// An entry of a listing; the listing outlives it (same collection).
// Attributes are read when first asked for and then kept: a walk asks more
// than once per folder, and one read per entry is what the listing costs.
class ListedItem {
 public:
  ListedItem(const Listing& listing, const ListedEntry& entry)
      : listing_(&listing), entry_(&entry) {}

 protected:
  std::string WindowsPath() const { return listing_->WindowsPathOf(*entry_); }
  std::string LinuxPath() const { return listing_->LinuxPathOf(*entry_); }
  std::string_view StoredName() const { return listing_->NameOf(*entry_); }
  bool ListedAlias() const { return entry_->alias; }
  const Listing& Listed() const { return *listing_; }
  const ListedEntry& Entry() const { return *entry_; }
  int32_t KeptAttributes(ErrnoSubject subject) {
    // Through the listing's open folder when it has one, which reaches as
    // deep as the walk does.
    if (attributes_ < 0) {
      const int folder = listing_->descriptor >= 0 ? listing_->descriptor : AT_FDCWD;
      attributes_ =
          AttributesOf(folder, folder == AT_FDCWD ? LinuxPath() : std::string(StoredName()),
                       StoredName(), entry_->alias, subject, WindowsPath());
    }
    return attributes_;
  }

 private:
  const Listing* listing_;
  const ListedEntry* entry_;
  int32_t attributes_ = -1;
};

// Where a folder's contents are read from: its paths, and for a listed
// folder the listing it appears in, which may still hold its parent open.
struct FolderSource {
  std::string windows_path;
  std::string linux_path;
  const Listing* parent = nullptr;
  const ListedEntry* entry = nullptr;
  int folder = -1;  // the folder itself, open, when it is (borrowed)
};

// A folder's two collections come from one read of it: whichever is asked
// for first reads the folder, and the other is kept for the call that
// follows it (a walk lists files and subfolders of each folder in turn).
class FolderContents {
 public:
  std::shared_ptr<FolderCollection> SubFolders(FolderSource source);
  std::shared_ptr<FileCollection> Files(FolderSource source);
  // Decided by one read that stops there, at most; a read not stopped is
  // kept for both collections, which a walk asks for next.
  bool LeadsOffDisk(FolderSource source);

 private:
  std::shared_ptr<FolderCollection> kept_folders_;
  std::shared_ptr<FileCollection> kept_files_;
  std::optional<bool> off_disk_;
};

class ListedFile final : public File, private ListedItem {
 public:
  using ListedItem::ListedItem;
  std::string Path() override { return WindowsPath(); }
  bool HasPath() override { return true; }  // built from the listing, nothing to read
  std::string Name() override { return std::string(StoredName()); }
  int32_t Attributes() override { return KeptAttributes(ErrnoSubject::kFile); }
};

class ListedFolder final : public Folder, private ListedItem {
 public:
  using ListedItem::ListedItem;
  std::string Path() override { return WindowsPath(); }
  bool HasPath() override { return true; }  // built from the listing, nothing to read
  std::string Name() override { return std::string(StoredName()); }
  int32_t Attributes() override { return KeptAttributes(ErrnoSubject::kPath); }
  bool IsAlias() override { return ListedAlias(); }
  // Through the parent listing's open folder when it has one, so the kernel
  // resolves one name rather than the whole path.
  EntryIdentity Identity() override {
    if (!identity_) {
      identity_ = IdentityOf(Listed().descriptor, Listed().names.data() + Entry().name_offset,
                             LinuxPath(), WindowsPath());
    }
    return *identity_;
  }
  std::shared_ptr<FolderCollection> SubFolders() override { return contents_.SubFolders(Source()); }
  std::shared_ptr<FileCollection> Files() override { return contents_.Files(Source()); }
  bool LeadsOffDisk() override { return contents_.LeadsOffDisk(Source()); }

 private:
  FolderSource Source() const { return {WindowsPath(), LinuxPath(), &Listed(), &Entry()}; }

  FolderContents contents_;
  std::optional<EntryIdentity> identity_;
};

// A folder found by its path, held open: what it reads it reads through
// that, however deep it lies.
class PathFolder final : public Folder {
 public:
  PathFolder(std::string windows_path, std::string linux_path, std::string name, bool alias,
             Descriptor folder)
      : windows_path_(std::move(windows_path)),
        linux_path_(std::move(linux_path)),
        name_(std::move(name)),
        alias_(alias),
        folder_(std::move(folder)) {}
  std::string Path() override { return windows_path_; }
  bool HasPath() override { return true; }
  std::string Name() override { return name_; }
  int32_t Attributes() override {
    return AttributesOf(folder_.Get(), ".", name_, alias_, ErrnoSubject::kPath, windows_path_);
  }
  bool IsAlias() override { return alias_; }
  EntryIdentity Identity() override {
    if (!identity_) identity_ = IdentityOf(folder_.Get(), ".", linux_path_, windows_path_);
    return *identity_;
  }
  std::shared_ptr<FolderCollection> SubFolders() override {
    return contents_.SubFolders({windows_path_, linux_path_, nullptr, nullptr, folder_.Get()});
  }
  std::shared_ptr<FileCollection> Files() override {
    return contents_.Files({windows_path_, linux_path_, nullptr, nullptr, folder_.Get()});
  }

 private:
  std::string windows_path_;
  std::string linux_path_;
  std::string name_;
  bool alias_;
  Descriptor folder_;
  FolderContents contents_;
  std::optional<EntryIdentity> identity_;
};

// The folders or the files of one shared listing.
template <class Interface, class Item>
class ListedCollection final : public ItemCollection<Interface, Item> {
 public:
  explicit ListedCollection(std::shared_ptr<const Listing> listing) : listing_(std::move(listing)) {
    constexpr bool kFolders = std::is_same_v<Interface, Folder>;
    size_t count = 0;
    for (const ListedEntry& entry : listing_->entries) count += entry.folder == kFolders;
    this->items_.reserve(count);
    for (const ListedEntry& entry : listing_->entries) {
      if (entry.folder == kFolders) this->items_.emplace_back(*listing_, entry);
    }
  }

 private:
  std::shared_ptr<const Listing> listing_;
};

using FolderList = ListedCollection<Folder, ListedFolder>;
using FileList = ListedCollection<File, ListedFile>;

std::shared_ptr<const Listing> ReadFolder(FolderSource source, bool stop_off_disk = false) {
  auto listing = std::make_shared<Listing>();
  listing->windows_path = std::move(source.windows_path);
  listing->linux_path = std::move(source.linux_path);
  listing->folder = source.folder;
  try {
    ReadListing(*listing, source.parent, source.entry, stop_off_disk);
  } catch (const PlatformError& error) {
    throw error.WithPath(listing->windows_path);
  }
  return listing;
}

std::shared_ptr<FolderCollection> FolderContents::SubFolders(FolderSource source) {
  if (kept_folders_) return std::move(kept_folders_);
  auto listing = ReadFolder(std::move(source));
  kept_files_ = std::make_shared<FileList>(listing);
  return std::make_shared<FolderList>(std::move(listing));
}

bool FolderContents::LeadsOffDisk(FolderSource source) {
  if (!off_disk_) {
    auto listing = ReadFolder(std::move(source), true);
    off_disk_ = listing->off_disk;
    if (!listing->off_disk) {
      kept_folders_ = std::make_shared<FolderList>(listing);
      kept_files_ = std::make_shared<FileList>(std::move(listing));
    }
  }
  return *off_disk_;
}

std::shared_ptr<FileCollection> FolderContents::Files(FolderSource source) {
  if (kept_files_) return std::move(kept_files_);
  auto listing = ReadFolder(std::move(source));
  kept_folders_ = std::make_shared<FolderList>(listing);
  return std::make_shared<FileList>(std::move(listing));
}

}  // namespace

FolderRef MakePathFolder(std::string windows_path, std::string linux_path, std::string name,
                         bool alias, Descriptor folder) {
  return std::make_shared<PathFolder>(std::move(windows_path), std::move(linux_path),
                                      std::move(name), alias, std::move(folder));
}

}  // namespace platform::posix
