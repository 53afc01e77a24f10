#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <memory>

#include "platform/error.h"
#include "platform/posix/file_operations.h"
#include "platform/posix/fs_objects.h"
#include "platform/posix/item_collection.h"
#include "platform/posix/path_resolver.h"
#include "platform/posix/wine_drives.h"

namespace platform {
namespace {

class PosixDrive final : public Drive {
 public:
  PosixDrive(char letter, int32_t type, std::string folder)
      : letter_(letter), type_(type), folder_(std::move(folder)) {}

  std::string DriveLetter() override { return std::string(1, letter_); }
  int32_t Type() override { return type_; }

  FolderRef RootFolder() override {
    // Opened for reading: a root that cannot be listed is not ready.
    posix::Descriptor root(open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.Get() < 0) {
      throw PlatformError(kDiskNotReady).WithPath(std::string{letter_, ':', '\\'});
    }
    return posix::MakePathFolder(std::string{letter_, ':', '\\'}, folder_, "", false,
                                 std::move(root));
  }

 private:
  char letter_;
  int32_t type_;
  std::string folder_;
};

class DriveList final : public posix::ItemCollection<Drive, PosixDrive> {
 public:
  // Every "x:" entry of the prefix's dosdevices, in letter order; other
  // entries there ("x::" devices, "com1") are no drives.
  DriveList() {
    std::string prefix = posix::PrefixFolder();
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir((prefix + "/dosdevices").c_str()), closedir);
    if (!dir) return;
    bool present[26] = {};
    while (const dirent* entry = readdir(dir.get())) {
      const char* name = entry->d_name;
      if (name[0] >= 'a' && name[0] <= 'z' && name[1] == ':' && name[2] == '\0') {
        present[name[0] - 'a'] = true;
      }
    }
    std::array<int32_t, 26> listed = posix::ReadListedDriveTypes(prefix);
    for (size_t i = 0; i < 26; ++i) {
      if (!present[i]) continue;
      char letter = static_cast<char>('A' + i);
      std::string folder = posix::DriveFolder(prefix, letter);
      int32_t type = posix::DriveTypeOf(letter, listed[i], folder);
      items_.emplace_back(letter, type, std::move(folder));
    }
  }
};

class PosixFileSystem final : public FileSystemObject {
 public:
  std::shared_ptr<DriveCollection> Drives() override { return std::make_shared<DriveList>(); }

  FolderRef GetFolder(const std::string& path) override {
    posix::ResolvedPath found;
    if (posix::ResolvePath(path, found) != posix::Resolution::kFound || !found.is_folder) {
      throw PlatformError(kPathNotFound).WithPath(path);
    }
    posix::Descriptor folder(openat(found.target_folder.Get(), found.target_name.c_str(),
                                    O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.Get() < 0) throw PlatformError(kPathNotFound).WithPath(path);
    return posix::MakePathFolder(std::move(found.windows_path), std::move(found.linux_path),
                                 std::move(found.name), found.alias, std::move(folder));
  }

  void CopyFile(const std::string& source, const std::string& destination, bool overwrite,
                const std::optional<EntryIdentity>& source_identity) override {
    posix::CopyOneFile(source, destination, overwrite, source_identity);
  }

  void DeleteFile(const std::string& path, bool force) override {
    posix::DeleteOneFile(path, force);
  }
};

}  // namespace

FileSystemObjectRef CreateFileSystemObject() {
  return std::make_shared<PosixFileSystem>();
}

}  // namespace platform
