#include "dirtree/root_value.h"

#include <utility>

RootValue RootValue::OfString(std::string path) {
  return RootValue(Value(std::move(path)));
}

RootValue RootValue::OfStrings(std::vector<std::string> paths) {
  return RootValue(Value(std::move(paths)));
}

RootValue RootValue::OfFolder(platform::FolderRef folder) {
  return folder ? RootValue(Value(std::move(folder))) : RootValue();
}

RootValue RootValue::OfFolders(std::shared_ptr<platform::FolderCollection> folders) {
  return folders ? RootValue(Value(std::move(folders))) : RootValue();
}

RootValue RootValue::OfDrive(platform::DriveRef drive) {
  return drive ? RootValue(Value(std::move(drive))) : RootValue();
}

RootValue RootValue::OfCollection(std::vector<RootValue> elements) {
  return RootValue(Value(std::move(elements)));
}

RootValue RootValue::OfDouble(double number) {
  return RootValue(Value(number));
}

RootValue RootValue::OfDoubles(std::vector<double> numbers) {
  return RootValue(Value(std::move(numbers)));
}

std::string_view RootValue::KindName() const {
  struct Namer {
    std::string_view operator()(const std::monostate&) const { return "Nothing"; }
    std::string_view operator()(const std::string&) const { return "String"; }
    std::string_view operator()(const std::vector<std::string>&) const { return "String()"; }
    std::string_view operator()(const platform::FolderRef&) const { return "Folder"; }
    std::string_view operator()(const std::shared_ptr<platform::FolderCollection>&) const {
      return "Folders";
    }
    std::string_view operator()(const platform::DriveRef&) const { return "Drive"; }
    std::string_view operator()(const std::vector<RootValue>&) const { return "Collection"; }
    std::string_view operator()(double) const { return "Double"; }
    std::string_view operator()(const std::vector<double>&) const { return "Double()"; }
  };
  return std::visit(Namer{}, value_);
}
