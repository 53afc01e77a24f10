#pragma once

// An in-memory folder tree behind the platform's file-system interfaces, for
// staging what a real disk cannot: listings that fail or deliver more or
// fewer elements than their Count, Path reads that raise, entries removed
// after they were listed. It also counts the calls the walker makes, so that
// tests can check what a walk costs.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace fake_tree {

// How one listing (a folder's SubFolders or Files) misbehaves.
enum class ListFault {
  kNone,
  kListThrows,         // the listing call itself raises
  kCountThrows,        // reading Count raises
  kEnumerationThrows,  // the enumeration raises after delivering its first element
  kMoreThanCount,      // Count is one less than what the enumeration delivers
  kFewerThanCount,     // Count is one more than what the enumeration delivers
};

inline constexpr int kListFaultCount = 6;

class FakeFile : public platform::File {
 public:
  FakeFile(std::string path, std::string name) : path_(std::move(path)), name_(std::move(name)) {}

  std::string Path() override;
  std::string Name() override { return name_; }
  int32_t Attributes() override { return platform::kAttrArchive; }
  // The path, read without counting and without faults.
  const std::string& StoredPath() const { return path_; }

  // A Path read raises 53 "File not found" from now on.
  bool path_throws = false;
  int path_reads = 0;

 private:
  std::string path_;
  std::string name_;
};

class FakeFolder : public platform::Folder {
 public:
  FakeFolder(std::string path, std::string name) : path_(std::move(path)), name_(std::move(name)) {}

  // A new root folder "<drive>:\<name>" (or "<drive>:\" for an empty name).
  static std::shared_ptr<FakeFolder> MakeRoot(const std::string& name, char drive = 'F');

  std::shared_ptr<FakeFolder> AddFolder(const std::string& name);
  std::shared_ptr<FakeFile> AddFile(const std::string& name);

  std::string Path() override;
  std::string Name() override { return name_; }
  int32_t Attributes() override;
  std::shared_ptr<platform::FolderCollection> SubFolders() override;
  std::shared_ptr<platform::FileCollection> Files() override;
  // The path, read without counting and without faults.
  const std::string& StoredPath() const { return path_; }

  // Behaves from now on like a folder removed from the disk: every property
  // read and listing raises 76 "Path not found".
  void Remove() { removed = true; }

  int32_t attributes = platform::kAttrDirectory;
  bool path_throws = false;
  bool attributes_throw = false;
  bool removed = false;
  ListFault subfolders_fault = ListFault::kNone;
  ListFault files_fault = ListFault::kNone;

  int path_reads = 0;
  int attribute_reads = 0;
  int subfolder_listings = 0;
  int file_listings = 0;

  const std::vector<std::shared_ptr<FakeFolder>>& Children() const { return children_; }
  const std::vector<std::shared_ptr<FakeFile>>& ChildFiles() const { return files_; }

 private:
  void ThrowIfRemoved() const;

  std::string path_;
  std::string name_;
  std::vector<std::shared_ptr<FakeFolder>> children_;
  std::vector<std::shared_ptr<FakeFile>> files_;
};

class FakeDrive : public platform::Drive {
 public:
  FakeDrive(char letter, std::shared_ptr<FakeFolder> root)
      : letter_(letter), root_(std::move(root)) {}

  std::string DriveLetter() override { return std::string(1, letter_); }
  int32_t Type() override { return platform::kDriveFixed; }
  // Raises 71 "Disk not ready" while `not_ready` is set.
  platform::FolderRef RootFolder() override;

  bool not_ready = false;

 private:
  char letter_;
  std::shared_ptr<FakeFolder> root_;
};

// A collection over a fixed list of elements with a listing fault applied.
template <class T>
std::shared_ptr<platform::Collection<T>> MakeCollection(std::vector<std::shared_ptr<T>> elements,
                                                        ListFault fault = ListFault::kNone);

}  // namespace fake_tree
