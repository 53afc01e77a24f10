#include "platform/file_system.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/win_path.h"
#include "platform/windows/file_operations.h"
#include "platform/windows/handles.h"
#include "platform/windows/listing.h"
#include "platform/windows/long_path.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

namespace platform {
namespace {

using windows::ListedEntry;
using windows::ListKind;

class WinFile : public File {
 public:
  WinFile(std::string path, std::string name, int32_t attributes)
      : path_(std::move(path)), name_(std::move(name)), attributes_(attributes) {}
  std::string Path() override { return path_; }
  bool HasPath() override { return true; }
  std::string Name() override { return name_; }
  int32_t Attributes() override { return attributes_; }

 private:
  std::string path_;
  std::string name_;
  int32_t attributes_;
};

// Opening follows a link to its folder; asking only for attributes needs no
// right to read the folder itself.
EntryIdentity IdentityOfPath(const std::string& path) try {
  return windows::IdentityOf(windows::OpenEntry(path, FILE_READ_ATTRIBUTES).get());
} catch (const PlatformError& error) {
  throw error.WithPath(path);
}

class WinFolder : public Folder {
 public:
  WinFolder(std::string path, std::string name, int32_t attributes)
      : path_(std::move(path)), name_(std::move(name)), attributes_(attributes) {}
  std::string Path() override { return path_; }
  bool HasPath() override { return true; }
  std::string Name() override { return name_; }
  int32_t Attributes() override { return attributes_; }
  EntryIdentity Identity() override {
    if (!identity_) identity_ = IdentityOfPath(path_);
    return *identity_;
  }
  std::shared_ptr<FolderCollection> SubFolders() override;
  std::shared_ptr<FileCollection> Files() override;

 private:
  std::string path_;
  std::string name_;
  int32_t attributes_;
  std::optional<EntryIdentity> identity_;
};

// One listing of a folder; the objects are made as the enumeration reaches
// them, so a listing costs one allocation per entry it hands out.
template <class T, class Made>
class ListedCollection : public Collection<T> {
  using Entries = std::vector<ListedEntry>;

 public:
  ListedCollection(std::string parent, Entries entries)
      : parent_(std::move(parent)), entries_(std::make_shared<const Entries>(std::move(entries))) {}
  int32_t Count() override { return static_cast<int32_t>(entries_->size()); }
  std::unique_ptr<Enumerator<T>> Enumerate() override {
    return std::make_unique<ListedEnumerator>(parent_, entries_);
  }

 private:
  // Shares the listing, so it may outlive the collection.
  class ListedEnumerator : public Enumerator<T> {
   public:
    ListedEnumerator(std::string parent, std::shared_ptr<const Entries> entries)
        : parent_(std::move(parent)), entries_(std::move(entries)) {}
    bool Next(std::shared_ptr<T>& item) override {
      if (next_ == entries_->size()) return false;
      const ListedEntry& entry = (*entries_)[next_++];
      item =
          std::make_shared<Made>(win_path::Join(parent_, entry.name), entry.name, entry.attributes);
      return true;
    }

   private:
    std::string parent_;
    std::shared_ptr<const Entries> entries_;
    size_t next_ = 0;
  };

  std::string parent_;
  std::shared_ptr<const Entries> entries_;
};

// A failed listing names the folder it could not read.
std::vector<ListedEntry> ListNamed(const std::string& path, ListKind kind) {
  try {
    return windows::ListFolder(windows::ExtendedPath(path), kind);
  } catch (const PlatformError& error) {
    throw error.WithPath(path);
  }
}

std::shared_ptr<FolderCollection> WinFolder::SubFolders() {
  return std::make_shared<ListedCollection<Folder, WinFolder>>(
      path_, ListNamed(path_, ListKind::kFolders));
}

std::shared_ptr<FileCollection> WinFolder::Files() {
  return std::make_shared<ListedCollection<File, WinFile>>(path_,
                                                           ListNamed(path_, ListKind::kFiles));
}

int32_t DriveTypeOf(UINT system_type) {
  switch (system_type) {
    case DRIVE_REMOVABLE: return kDriveRemovable;
    case DRIVE_FIXED: return kDriveFixed;
    case DRIVE_REMOTE: return kDriveNetwork;
    case DRIVE_CDROM: return kDriveCdRom;
    case DRIVE_RAMDISK: return kDriveRamDisk;
    default: return kDriveUnknown;
  }
}

class WinDrive : public Drive {
 public:
  WinDrive(char letter, int32_t type) : letter_(letter), type_(type) {}
  std::string DriveLetter() override { return std::string(1, letter_); }
  int32_t Type() override { return type_; }
  FolderRef RootFolder() override {
    const win_path::DrivePath root{letter_, {}};
    const DWORD attributes = GetFileAttributesW(windows::ExtendedPath(root).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      throw PlatformError(kDiskNotReady).WithPath(win_path::JoinDrivePath(root));
    }
    return std::make_shared<WinFolder>(win_path::JoinDrivePath(root), "",
                                       windows::AttributesFromSystem(attributes));
  }

 private:
  char letter_;
  int32_t type_;
};

class DriveList : public DriveCollection {
 public:
  explicit DriveList(std::vector<DriveRef> drives) : drives_(std::move(drives)) {}
  int32_t Count() override { return static_cast<int32_t>(drives_.size()); }
  std::unique_ptr<Enumerator<Drive>> Enumerate() override {
    return std::make_unique<DriveEnumerator>(drives_);
  }

 private:
  // Its own copy of the list, so it may outlive the collection.
  class DriveEnumerator : public Enumerator<Drive> {
   public:
    explicit DriveEnumerator(const std::vector<DriveRef>& drives) : drives_(drives) {}
    bool Next(DriveRef& item) override {
      if (next_ == drives_.size()) return false;
      item = drives_[next_++];
      return true;
    }

   private:
    std::vector<DriveRef> drives_;
    size_t next_ = 0;
  };

  std::vector<DriveRef> drives_;
};

class WinFileSystem : public FileSystemObject {
 public:
  std::shared_ptr<DriveCollection> Drives() override {
    const DWORD present = GetLogicalDrives();
    std::vector<DriveRef> drives;
    for (int index = 0; index < 26; ++index) {
      if ((present & (DWORD{1} << index)) == 0) continue;
      const char letter = static_cast<char>('A' + index);
      const wchar_t root[] = {static_cast<wchar_t>(L'A' + index), L':', L'\\', L'\0'};
      drives.push_back(std::make_shared<WinDrive>(letter, DriveTypeOf(GetDriveTypeW(root))));
    }
    return std::make_shared<DriveList>(std::move(drives));
  }

  FolderRef GetFolder(const std::string& path) override {
    win_path::DrivePath stored;
    std::optional<ListedEntry> entry;
    // Named like every other failure here, a path that is no drive path too.
    NamingPath(path,
               [&] { entry = windows::FindStoredPath(windows::ResolveDrivePath(path), stored); });
    if (!entry || (entry->attributes & kAttrDirectory) == 0) {
      throw PlatformError(kPathNotFound).WithPath(path);
    }
    return std::make_shared<WinFolder>(win_path::JoinDrivePath(stored), entry->name,
                                       entry->attributes);
  }

  void CopyFile(const std::string& source, const std::string& destination, bool overwrite,
                const std::optional<EntryIdentity>& source_identity) override {
    windows::CopyOneFile(source, destination, overwrite, source_identity);
  }

  void DeleteFile(const std::string& path, bool force) override {
    windows::DeleteOneFile(path, force);
  }
};

}  // namespace

FileSystemObjectRef CreateFileSystemObject() {
  return std::make_shared<WinFileSystem>();
}

}  // namespace platform
