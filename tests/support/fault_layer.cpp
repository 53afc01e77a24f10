// TestComputer::FileSystem(): the system's own objects, each wrapped so that
// the faults a test arms apply to it and to everything listed through it.

#include <memory>
#include <utility>

#include "platform/error.h"
#include "tests/support/test_computer.h"

namespace lumbrel_test {
namespace {

using platform::PlatformError;

platform::FolderRef Wrap(platform::FolderRef real, Faults& faults);
platform::FileRef Wrap(platform::FileRef real, Faults& faults);

// The path the real object reports, with the unreadable-path fault applied.
template <class Ref>
std::string CheckedPath(const Ref& real, Faults& faults) {
  ++faults.path_reads;
  std::string path = real->Path();
  if (faults.unreadable.count(path) != 0) throw PlatformError(platform::kPermissionDenied);
  return path;
}

template <class T>
class FaultyCollection : public platform::Collection<T> {
 public:
  FaultyCollection(std::shared_ptr<platform::Collection<T>> real, ListFault fault, Faults& faults)
      : real_(std::move(real)), fault_(fault), faults_(faults) {}

  int32_t Count() override {
    const int32_t count = real_->Count();
    switch (fault_) {
      case ListFault::kCountThrows: throw PlatformError(platform::kPathFileAccessError);
      case ListFault::kMoreThanCount: return count - 1;
      case ListFault::kFewerThanCount: return count + 1;
      default: return count;
    }
  }

  std::unique_ptr<platform::Enumerator<T>> Enumerate() override {
    return std::make_unique<Cursor>(real_->Enumerate(), fault_ == ListFault::kEnumerationThrows,
                                    faults_);
  }

 private:
  // Holds the real enumerator and nothing of this collection, so it may
  // outlive the collection as every enumerator may.
  class Cursor : public platform::Enumerator<T> {
   public:
    Cursor(std::unique_ptr<platform::Enumerator<T>> real, bool throws, Faults& faults)
        : real_(std::move(real)), throws_(throws), faults_(faults) {}
    bool Next(std::shared_ptr<T>& item) override {
      if (throws_ && delivered_ == 1) throw PlatformError(platform::kPathFileAccessError);
      std::shared_ptr<T> real;
      if (!real_->Next(real)) return false;
      ++delivered_;
      item = Wrap(std::move(real), faults_);
      return true;
    }

   private:
    std::unique_ptr<platform::Enumerator<T>> real_;
    bool throws_;
    Faults& faults_;
    int delivered_ = 0;
  };

  std::shared_ptr<platform::Collection<T>> real_;
  ListFault fault_;
  Faults& faults_;
};

// Counts a listing of `path` and gives the fault armed for it.
ListFault ListingFault(const std::string& path, const std::map<std::string, ListFault>& armed,
                       Faults& faults) {
  ++faults.listings[path];
  const auto found = armed.find(path);
  const ListFault fault = found == armed.end() ? ListFault::kNone : found->second;
  if (fault == ListFault::kListThrows) throw PlatformError(platform::kPermissionDenied);
  return fault;
}

// Whether entry.Path() can be read now, armed faults included.
template <class Entry>
bool PathReadable(Entry& entry) {
  try {
    static_cast<void>(entry.Path());
    return true;
  } catch (const PlatformError&) {
    return false;
  }
}

class FaultyFile : public platform::File {
 public:
  FaultyFile(platform::FileRef real, Faults& faults) : real_(std::move(real)), faults_(faults) {}
  std::string Path() override { return CheckedPath(real_, faults_); }
  bool HasPath() override { return PathReadable(*this); }
  std::string Name() override { return real_->Name(); }
  int32_t Attributes() override { return real_->Attributes(); }

 private:
  platform::FileRef real_;
  Faults& faults_;
};

class FaultyFolder : public platform::Folder {
 public:
  FaultyFolder(platform::FolderRef real, Faults& faults)
      : real_(std::move(real)), faults_(faults) {}
  std::string Path() override { return CheckedPath(real_, faults_); }
  bool HasPath() override { return PathReadable(*this); }
  std::string Name() override { return real_->Name(); }
  int32_t Attributes() override {
    CheckAttributes();
    return real_->Attributes();
  }
  bool IsAlias() override {
    CheckAttributes();
    return real_->IsAlias();
  }
  platform::EntryIdentity Identity() override { return real_->Identity(); }
  bool LeadsOffDisk() override {
    return faults_.off_disk.count(real_->Path()) != 0 || real_->LeadsOffDisk();
  }
  std::shared_ptr<platform::FolderCollection> SubFolders() override {
    const ListFault fault = ListingFault(real_->Path(), faults_.subfolders, faults_);
    return std::make_shared<FaultyCollection<platform::Folder>>(real_->SubFolders(), fault,
                                                                faults_);
  }
  std::shared_ptr<platform::FileCollection> Files() override {
    const ListFault fault = ListingFault(real_->Path(), faults_.files, faults_);
    return std::make_shared<FaultyCollection<platform::File>>(real_->Files(), fault, faults_);
  }

 private:
  void CheckAttributes() {
    if (faults_.attributes_fail.count(real_->Path()) != 0) {
      throw PlatformError(platform::kPermissionDenied);
    }
  }

  platform::FolderRef real_;
  Faults& faults_;
};

platform::FolderRef Wrap(platform::FolderRef real, Faults& faults) {
  return std::make_shared<FaultyFolder>(std::move(real), faults);
}
platform::FileRef Wrap(platform::FileRef real, Faults& faults) {
  return std::make_shared<FaultyFile>(std::move(real), faults);
}

class FaultyFileSystem : public platform::FileSystemObject {
 public:
  explicit FaultyFileSystem(Faults& faults)
      : real_(platform::CreateFileSystemObject()), faults_(faults) {}
  std::shared_ptr<platform::DriveCollection> Drives() override {
    if (faults_.drives_raise) faults_.drives_raise();
    return real_->Drives();
  }
  platform::FolderRef GetFolder(const std::string& path) override {
    return Wrap(real_->GetFolder(path), faults_);
  }
  void CopyFile(const std::string& source, const std::string& destination, bool overwrite,
                const std::optional<platform::EntryIdentity>& source_identity) override {
    real_->CopyFile(source, destination, overwrite, source_identity);
  }
  void DeleteFile(const std::string& path, bool force) override { real_->DeleteFile(path, force); }

 private:
  platform::FileSystemObjectRef real_;
  Faults& faults_;
};

}  // namespace

platform::FileSystemObjectRef TestComputer::FileSystem() {
  return std::make_shared<FaultyFileSystem>(faults);
}

}  // namespace lumbrel_test
