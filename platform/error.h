#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace platform {

// The numbers errors are reported with. Every OS failure is mapped onto one
// of them, so a report reads the same on both systems and a script can tell
// failures apart by number.
enum ErrorCode : int32_t {
  kInvalidProcedureCall = 5,
  kSubscriptOutOfRange = 9,
  kUserInterrupt = 18,
  kBadFileName = 52,
  kFileNotFound = 53,
  kFileAlreadyExists = 58,
  kDiskFull = 61,
  kPermissionDenied = 70,
  kDiskNotReady = 71,
  kPathFileAccessError = 75,
  kPathNotFound = 76,
};

// The error state failures travel in. Code that suppresses errors catches
// exactly this type, never everything, so that other signals (such as the
// end of the program) pass through it.
class PlatformError : public std::runtime_error {
 public:
  // The standard text for `number` ("Path not found" for 76).
  explicit PlatformError(int32_t number);
  PlatformError(int32_t number, std::string text);

  int32_t Number() const noexcept { return number_; }
  const std::string& Text() const noexcept { return text_; }
  // The Windows path of the file or folder the failure concerns; empty when
  // none is known.
  const std::string& Path() const noexcept { return path_; }
  // The same error naming `path`, unless it already names one: the innermost
  // step knows best which entry failed.
  PlatformError WithPath(std::string path) const;

 private:
  int32_t number_;
  std::string text_;
  std::string path_;
};

// Runs `step`; a PlatformError it raises leaves naming `path`, unless it
// names an entry already (WithPath).
template <class Step>
void NamingPath(const std::string& path, Step&& step) {
  try {
    std::forward<Step>(step)();
  } catch (const PlatformError& error) {
    throw error.WithPath(path);
  }
}

// The standard text of `number`; "Application-defined or object-defined
// error" for numbers outside the table.
std::string StandardErrorText(int32_t number);

}  // namespace platform
