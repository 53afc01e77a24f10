#pragma once

// A file-system object that presents only the drives a test chooses, so a
// whole-drive search can run on a small real folder instead of a real disk.
// A drive is either one of the system's own, or one standing on a real
// folder; everything else goes to the system's file-system object unchanged.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace lumbrel_test {

class ChosenDrives : public platform::FileSystemObject {
 public:
  explicit ChosenDrives(platform::FileSystemObjectRef real = platform::CreateFileSystemObject())
      : real_(std::move(real)) {}

  // The system's own drive `letter`, as it is.
  void AddRealDrive(char letter) {
    const auto all = real_->Drives()->Enumerate();
    for (platform::DriveRef drive; all->Next(drive);) {
      if (drive->DriveLetter() == std::string(1, letter)) {
        drives_.push_back(std::move(drive));
        return;
      }
    }
    throw platform::PlatformError(platform::kDiskNotReady, "No drive " + std::string(1, letter));
  }

  // A drive `letter` (upper case) of `type` whose root is the real folder at
  // `folder`, a Windows path. "X:\" leads to that folder; when it is missing
  // the drive is not ready.
  void AddDrive(char letter, int32_t type, std::string folder) {
    drives_.push_back(std::make_shared<StagedDrive>(real_, letter, type, folder));
    staged_.push_back({std::string(1, letter) + ":\\", std::move(folder)});
  }

  std::shared_ptr<platform::DriveCollection> Drives() override {
    return std::make_shared<DriveList>(drives_);
  }
  platform::FolderRef GetFolder(const std::string& path) override {
    for (const auto& [root, folder] : staged_) {
      if (platform::UpperCase(path) == root) return real_->GetFolder(folder);
    }
    return real_->GetFolder(path);
  }
  std::string GetParentFolderName(const std::string& path) override {
    return real_->GetParentFolderName(path);
  }
  void CopyFile(const std::string& source, const std::string& destination,
                bool overwrite) override {
    real_->CopyFile(source, destination, overwrite);
  }
  void DeleteFile(const std::string& path, bool force) override { real_->DeleteFile(path, force); }

 private:
  class StagedDrive : public platform::Drive {
   public:
    StagedDrive(platform::FileSystemObjectRef real, char letter, int32_t type, std::string folder)
        : real_(std::move(real)), letter_(1, letter), type_(type), folder_(std::move(folder)) {}
    std::string DriveLetter() override { return letter_; }
    int32_t Type() override { return type_; }
    platform::FolderRef RootFolder() override {
      try {
        return real_->GetFolder(folder_);
      } catch (const platform::PlatformError&) {
        throw platform::PlatformError(platform::kDiskNotReady);
      }
    }

   private:
    platform::FileSystemObjectRef real_;
    std::string letter_;
    int32_t type_;
    std::string folder_;
  };

  class DriveList : public platform::DriveCollection {
   public:
    explicit DriveList(std::vector<platform::DriveRef> drives) : drives_(std::move(drives)) {}
    int32_t Count() override { return static_cast<int32_t>(drives_.size()); }
    std::unique_ptr<platform::Enumerator<platform::Drive>> Enumerate() override {
      return std::make_unique<Cursor>(drives_);
    }

   private:
    class Cursor : public platform::Enumerator<platform::Drive> {
     public:
      explicit Cursor(const std::vector<platform::DriveRef>& drives) : drives_(drives) {}
      bool Next(platform::DriveRef& item) override {
        if (next_ == drives_.size()) return false;
        item = drives_[next_++];
        return true;
      }

     private:
      std::vector<platform::DriveRef> drives_;
      size_t next_ = 0;
    };

    std::vector<platform::DriveRef> drives_;
  };

  platform::FileSystemObjectRef real_;
  std::vector<platform::DriveRef> drives_;
  std::vector<std::pair<std::string, std::string>> staged_;
};

}  // namespace lumbrel_test
