#pragma once

// A tagged value that names where a walk starts. The walker accepts six of
// its kinds and turns every other one away. Kinds it never accepts (numbers,
// number lists, the empty reference) exist so that a caller can hand one over
// by mistake and get the rejection.

#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/file_system.h"

class RootValue {
 public:
  using Value =
      std::variant<std::monostate, std::string, std::vector<std::string>, platform::FolderRef,
                   std::shared_ptr<platform::FolderCollection>, platform::DriveRef,
                   std::vector<RootValue>, double, std::vector<double>>;

  // The empty reference (std::monostate).
  RootValue() = default;

  static RootValue OfString(std::string path) { return RootValue(std::move(path)); }
  static RootValue OfStrings(std::vector<std::string> paths) { return RootValue(std::move(paths)); }
  // An empty folder, folder-collection or drive reference is the empty value:
  // it names no root either.
  static RootValue OfFolder(platform::FolderRef folder) { return NonEmpty(std::move(folder)); }
  static RootValue OfFolders(std::shared_ptr<platform::FolderCollection> folders) {
    return NonEmpty(std::move(folders));
  }
  static RootValue OfDrive(platform::DriveRef drive) { return NonEmpty(std::move(drive)); }
  static RootValue OfCollection(std::vector<RootValue> elements) {
    return RootValue(std::move(elements));
  }
  static RootValue OfDouble(double number) { return RootValue(number); }
  static RootValue OfDoubles(std::vector<double> numbers) { return RootValue(std::move(numbers)); }

  const Value& Held() const { return value_; }

 private:
  template <class T>
  explicit RootValue(T value) : value_(std::move(value)) {}
  template <class Ref>
  static RootValue NonEmpty(Ref ref) {
    return ref ? RootValue(std::move(ref)) : RootValue();
  }

  Value value_;
};
