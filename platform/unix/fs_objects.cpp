#include "platform/unix/fs_objects.h"

#include <cerrno>

#include "platform/unix/entry_attributes.h"
#include "platform/unix/errno_error.h"
#include "platform/unix/item_collection.h"
#include "platform/unix/listing.h"

namespace platform::posix {
namespace {

int32_t AttributesOf(const std::string& linux_path, std::string_view name, bool alias,
                     ErrnoSubject subject) {
  int32_t attributes = EntryAttributes(linux_path, name, alias);
  if (attributes < 0) throw ErrnoError(errno, subject);
  return attributes;
}

// An entry of a listing; the listing outlives it (same collection).
class ListedItem {
 public:
  ListedItem(const Listing& listing, const ListedEntry& entry)
      : listing_(&listing), entry_(&entry) {}

 protected:
  std::string WindowsPath() const { return listing_->WindowsPathOf(*entry_); }
  std::string LinuxPath() const { return listing_->LinuxPathOf(*entry_); }
  std::string_view StoredName() const { return listing_->NameOf(*entry_); }
  bool IsAlias() const { return entry_->alias; }

 private:
  const Listing* listing_;
  const ListedEntry* entry_;
};

class ListedFile final : public File, private ListedItem {
 public:
  using ListedItem::ListedItem;
  std::string Path() override { return WindowsPath(); }
  std::string Name() override { return std::string(StoredName()); }
  int32_t Attributes() override {
    return AttributesOf(LinuxPath(), StoredName(), IsAlias(), ErrnoSubject::kFile);
  }
};

class ListedFolder final : public Folder, private ListedItem {
 public:
  using ListedItem::ListedItem;
  std::string Path() override { return WindowsPath(); }
  std::string Name() override { return std::string(StoredName()); }
  int32_t Attributes() override {
    return AttributesOf(LinuxPath(), StoredName(), IsAlias(), ErrnoSubject::kPath);
  }
  std::shared_ptr<FolderCollection> SubFolders() override {
    return ReadSubFolders(WindowsPath(), LinuxPath());
  }
  std::shared_ptr<FileCollection> Files() override { return ReadFiles(WindowsPath(), LinuxPath()); }
};

class PathFolder final : public Folder {
 public:
  PathFolder(std::string windows_path, std::string linux_path, std::string name, bool alias)
      : windows_path_(std::move(windows_path)),
        linux_path_(std::move(linux_path)),
        name_(std::move(name)),
        alias_(alias) {}
  std::string Path() override { return windows_path_; }
  std::string Name() override { return name_; }
  int32_t Attributes() override {
    return AttributesOf(linux_path_, name_, alias_, ErrnoSubject::kPath);
  }
  std::shared_ptr<FolderCollection> SubFolders() override {
    return ReadSubFolders(windows_path_, linux_path_);
  }
  std::shared_ptr<FileCollection> Files() override { return ReadFiles(windows_path_, linux_path_); }

 private:
  std::string windows_path_;
  std::string linux_path_;
  std::string name_;
  bool alias_;
};

template <class Interface, class Item>
class ListedCollection final : public ItemCollection<Interface, Item> {
 public:
  ListedCollection(const std::string& windows_path, const std::string& linux_path) {
    listing_.windows_path = windows_path;
    listing_.linux_path = linux_path;
    ReadListing(listing_, std::is_same_v<Interface, Folder>);
    this->items_.reserve(listing_.entries.size());
    for (const ListedEntry& entry : listing_.entries) this->items_.emplace_back(listing_, entry);
  }

 private:
  Listing listing_;
};

}  // namespace

FolderRef MakePathFolder(std::string windows_path, std::string linux_path, std::string name,
                         bool alias) {
  return std::make_shared<PathFolder>(std::move(windows_path), std::move(linux_path),
                                      std::move(name), alias);
}

std::shared_ptr<FolderCollection> ReadSubFolders(const std::string& windows_path,
                                                 const std::string& linux_path) {
  return std::make_shared<ListedCollection<Folder, ListedFolder>>(windows_path, linux_path);
}

std::shared_ptr<FileCollection> ReadFiles(const std::string& windows_path,
                                          const std::string& linux_path) {
  return std::make_shared<ListedCollection<File, ListedFile>>(windows_path, linux_path);
}

}  // namespace platform::posix
