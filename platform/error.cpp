#include "platform/error.h"

#include <utility>

namespace platform {

std::string StandardErrorText(int32_t number) {
  switch (number) {
    case kInvalidProcedureCall: return "Invalid procedure call or argument";
    case kSubscriptOutOfRange: return "Subscript out of range";
    case kUserInterrupt: return "User interrupt occurred";
    case kBadFileName: return "Bad file name or number";
    case kFileNotFound: return "File not found";
    case kFileAlreadyExists: return "File already exists";
    case kDiskFull: return "Disk full";
    case kPermissionDenied: return "Permission denied";
    case kDiskNotReady: return "Disk not ready";
    case kPathFileAccessError: return "Path/File access error";
    case kPathNotFound: return "Path not found";
    default: return "Application-defined or object-defined error";
  }
}

PlatformError::PlatformError(int32_t number) : PlatformError(number, StandardErrorText(number)) {}

PlatformError::PlatformError(int32_t number, std::string text)
    : std::runtime_error(text), number_(number), text_(std::move(text)) {}

PlatformError PlatformError::WithPath(std::string path) const {
  PlatformError named = *this;
  if (named.path_.empty()) named.path_ = std::move(path);
  return named;
}

}  // namespace platform
