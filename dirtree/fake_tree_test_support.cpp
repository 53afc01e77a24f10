#include "dirtree/fake_tree_test_support.h"

#include <utility>

#include "platform/error.h"

namespace fake_tree {
namespace {

using platform::PlatformError;

template <class T>
class FakeEnumerator : public platform::Enumerator<T> {
 public:
  FakeEnumerator(const std::vector<std::shared_ptr<T>>& elements, bool throws)
      : elements_(elements), throws_(throws) {}

  bool Next(std::shared_ptr<T>& item) override {
    if (throws_ && next_ == 1) throw PlatformError(platform::kPathFileAccessError);
    if (next_ == elements_.size()) return false;
    item = elements_[next_++];
    return true;
  }

 private:
  const std::vector<std::shared_ptr<T>>& elements_;
  bool throws_;
  size_t next_ = 0;
};

template <class T>
class FakeCollection : public platform::Collection<T> {
 public:
  FakeCollection(std::vector<std::shared_ptr<T>> elements, ListFault fault)
      : elements_(std::move(elements)), fault_(fault) {}

  int32_t Count() override {
    const auto count = static_cast<int32_t>(elements_.size());
    switch (fault_) {
      case ListFault::kCountThrows: throw PlatformError(platform::kPathFileAccessError);
      case ListFault::kMoreThanCount: return count - 1;
      case ListFault::kFewerThanCount: return count + 1;
      default: return count;
    }
  }

  std::unique_ptr<platform::Enumerator<T>> Enumerate() override {
    return std::make_unique<FakeEnumerator<T>>(elements_, fault_ == ListFault::kEnumerationThrows);
  }

 private:
  std::vector<std::shared_ptr<T>> elements_;
  ListFault fault_;
};

// The listing is a snapshot: later additions to the folder are not in it.
template <class Base, class Fake>
std::shared_ptr<platform::Collection<Base>> Snapshot(const std::vector<std::shared_ptr<Fake>>& from,
                                                     ListFault fault) {
  if (fault == ListFault::kListThrows) throw PlatformError(platform::kPermissionDenied);
  return MakeCollection<Base>({from.begin(), from.end()}, fault);
}

}  // namespace

template <class T>
std::shared_ptr<platform::Collection<T>> MakeCollection(std::vector<std::shared_ptr<T>> elements,
                                                        ListFault fault) {
  return std::make_shared<FakeCollection<T>>(std::move(elements), fault);
}

template std::shared_ptr<platform::FolderCollection> MakeCollection(
    std::vector<platform::FolderRef>, ListFault);

std::string FakeFile::Path() {
  ++path_reads;
  if (path_throws) throw PlatformError(platform::kFileNotFound);
  return path_;
}

std::shared_ptr<FakeFolder> FakeFolder::MakeRoot(const std::string& name, char drive) {
  const std::string top = std::string(1, drive) + ":\\";
  return std::make_shared<FakeFolder>(top + name, name);
}

std::shared_ptr<FakeFolder> FakeFolder::AddFolder(const std::string& name) {
  const std::string separator = path_.back() == '\\' ? "" : "\\";
  children_.push_back(std::make_shared<FakeFolder>(path_ + separator + name, name));
  return children_.back();
}

std::shared_ptr<FakeFile> FakeFolder::AddFile(const std::string& name) {
  const std::string separator = path_.back() == '\\' ? "" : "\\";
  files_.push_back(std::make_shared<FakeFile>(path_ + separator + name, name));
  return files_.back();
}

void FakeFolder::ThrowIfRemoved() const {
  if (removed) throw PlatformError(platform::kPathNotFound);
}

std::string FakeFolder::Path() {
  ++path_reads;
  ThrowIfRemoved();
  if (path_throws) throw PlatformError(platform::kPermissionDenied);
  return path_;
}

int32_t FakeFolder::Attributes() {
  ++attribute_reads;
  ThrowIfRemoved();
  if (attributes_throw) throw PlatformError(platform::kPermissionDenied);
  return attributes;
}

std::shared_ptr<platform::FolderCollection> FakeFolder::SubFolders() {
  ++subfolder_listings;
  ThrowIfRemoved();
  return Snapshot<platform::Folder>(children_, subfolders_fault);
}

std::shared_ptr<platform::FileCollection> FakeFolder::Files() {
  ++file_listings;
  ThrowIfRemoved();
  return Snapshot<platform::File>(files_, files_fault);
}

platform::FolderRef FakeDrive::RootFolder() {
  if (not_ready) throw PlatformError(platform::kDiskNotReady);
  return root_;
}

}  // namespace fake_tree
