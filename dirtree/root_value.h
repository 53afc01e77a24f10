#pragma once

// A tagged value that names where a walk starts. Its kind is reported by name
// ("String", "Folder", ...), so the walker can accept six kinds and turn every
// other one away. Kinds it never accepts (numbers, number lists, the empty
// reference) exist so that a caller can hand one over by mistake and get the
// rejection.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/file_system.h"

class RootValue {
 public:
  // The empty reference, kind "Nothing".
  RootValue() = default;

  static RootValue OfString(std::string path);                                      // "String"
  static RootValue OfStrings(std::vector<std::string> paths);                       // "String()"
  static RootValue OfFolder(platform::FolderRef folder);                            // "Folder"
  static RootValue OfFolders(std::shared_ptr<platform::FolderCollection> folders);  // "Folders"
  static RootValue OfDrive(platform::DriveRef drive);                               // "Drive"
  static RootValue OfCollection(std::vector<RootValue> elements);                   // "Collection"
  static RootValue OfDouble(double number);                                         // "Double"
  static RootValue OfDoubles(std::vector<double> numbers);                          // "Double()"
  // An empty folder, folder-collection or drive reference is "Nothing" too:
  // it names no root, just as the empty value does.

  std::string_view KindName() const;

  // Each accessor requires the matching kind.
  const std::string& AsString() const { return std::get<std::string>(value_); }
  const std::vector<std::string>& AsStrings() const {
    return std::get<std::vector<std::string>>(value_);
  }
  const platform::FolderRef& AsFolder() const { return std::get<platform::FolderRef>(value_); }
  const std::shared_ptr<platform::FolderCollection>& AsFolders() const {
    return std::get<std::shared_ptr<platform::FolderCollection>>(value_);
  }
  const platform::DriveRef& AsDrive() const { return std::get<platform::DriveRef>(value_); }
  const std::vector<RootValue>& AsCollection() const {
    return std::get<std::vector<RootValue>>(value_);
  }

 private:
  using Value =
      std::variant<std::monostate, std::string, std::vector<std::string>, platform::FolderRef,
                   std::shared_ptr<platform::FolderCollection>, platform::DriveRef,
                   std::vector<RootValue>, double, std::vector<double>>;

  explicit RootValue(Value value) : value_(std::move(value)) {}

  Value value_;
};
