#include "platform/windows/file_copy.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/fault_injection.h"
#include "platform/text.h"
#include "platform/win_path.h"
#include "platform/windows/listing.h"
#include "platform/windows/long_path.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

namespace platform::windows {
namespace {

constexpr DWORD kBlockSize = 256 * 1024;
constexpr DWORD kRefusedAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

[[noreturn]] void ThrowCode(DWORD code) {
  throw ErrorFromCode(code);
}

// An armed test fault stands for the system call failing with that code.
void FailIfArmed(FaultPoint point) {
  if (const int32_t code = TakeFault(point); code != 0) ThrowCode(static_cast<DWORD>(code));
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// The hidden file the data goes to first; removed unless it has replaced
// the destination.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::wstring& folder) {
    static std::atomic<uint32_t> counter{0};
    FailIfArmed(FaultPoint::kCopyCreateTemporary);
    const std::wstring stem = folder + L"\\~lumbrel-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(GetTickCount64()) + L"-";
    for (;;) {
      path_ = stem + std::to_wstring(counter++) + L".tmp";
      handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
      if (handle_ != INVALID_HANDLE_VALUE) return;
      if (GetLastError() != ERROR_FILE_EXISTS) ThrowLastError();
    }
  }
  ~TemporaryFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    if (!placed_) DeleteFileW(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  HANDLE handle() const { return handle_; }
  const std::wstring& path() const { return path_; }

  // Made durable and plain: the copy must not stay hidden once in place.
  void Finish() {
    FILE_BASIC_INFO info{};
    info.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    if (!FlushFileBuffers(handle_) ||
        !SetFileInformationByHandle(handle_, FileBasicInfo, &info, sizeof info)) {
      ThrowLastError();
    }
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) ThrowLastError();
  }
  void Placed() { placed_ = true; }

 private:
  std::wstring path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  bool placed_ = false;
};

void CopyData(HANDLE from, HANDLE to) {
  std::vector<char> block(kBlockSize);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(from, block.data(), kBlockSize, &read, nullptr)) ThrowLastError();
    FailIfArmed(FaultPoint::kCopyWrite);
    if (read == 0) return;
    DWORD written = 0;
    if (!WriteFile(to, block.data(), read, &written, nullptr)) ThrowLastError();
    if (written != read) ThrowCode(ERROR_DISK_FULL);
  }
}

// The part of an attribute word that SetFileAttributesW takes back; it
// refuses a zero word.
DWORD Settable(DWORD attributes) {
  attributes &= FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// Renames the temporary file over the destination. A read-only destination
// loses that mark only for the rename and gets it back if the rename fails.
void PutInPlace(TemporaryFile& temporary, const std::wstring& destination, DWORD existing) {
  const bool read_only =
      existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only && !SetFileAttributesW(destination.c_str(),
                                       Settable(existing & ~DWORD{FILE_ATTRIBUTE_READONLY}))) {
    ThrowLastError();
  }
  DWORD error = static_cast<DWORD>(TakeFault(FaultPoint::kCopyRename));
  if (error == 0 && !MoveFileExW(temporary.path().c_str(), destination.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != 0) {
    if (read_only) SetFileAttributesW(destination.c_str(), Settable(existing));
    ThrowCode(error);
  }
  temporary.Placed();
}

// The replace may keep the spelling of the entry it replaced; the document
// then takes the spelling of `destination` in a second rename, which only
// changes letter case and so replaces nothing. Where the file system cannot
// do that in one step, the rename succeeds and changes nothing (Wine, FAT):
// a detour through another name would leave the document without its name
// for an instant. An entry reached by another name (a short 8.3 alias) is
// left as it is.
void Respell(const win_path::DrivePath& destination) {
  const std::optional<ListedEntry> entry = FindEntry(ExtendedPath(destination));
  const std::string& wanted = destination.components.back();
  if (!entry || entry->name == wanted || UpperCase(entry->name) != UpperCase(wanted)) return;
  FailIfArmed(FaultPoint::kCopyRespell);
  win_path::DrivePath stored = destination;
  stored.components.back() = entry->name;
  if (!MoveFileExW(ExtendedPath(stored).c_str(), ExtendedPath(destination).c_str(),
                   MOVEFILE_WRITE_THROUGH)) {
    ThrowLastError();
  }
}

}  // namespace

void CopyFileSafely(const std::string& source, const std::string& destination, bool overwrite) {
  const std::wstring from = ExtendedPath(source);
  win_path::DrivePath target = ResolveDrivePath(destination);
  if (target.components.empty()) throw PlatformError(kPermissionDenied);
  const std::wstring to = ExtendedPath(target);
  win_path::DrivePath parent = target;
  parent.components.pop_back();
  const std::wstring folder = ExtendedPath(parent);

  FailIfArmed(FaultPoint::kCopyOpenSource);
  FileHandle input(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!input.valid()) ThrowLastError();

  const DWORD existing = GetFileAttributesW(to.c_str());
  if (existing == INVALID_FILE_ATTRIBUTES) {
    if (GetLastError() != ERROR_FILE_NOT_FOUND) ThrowLastError();
  } else {
    if (!overwrite) throw PlatformError(kFileAlreadyExists);
    if ((existing & kRefusedAttributes) != 0) throw PlatformError(kPermissionDenied);
  }

  TemporaryFile temporary(folder);
  CopyData(input.get(), temporary.handle());
  input.Close();
  temporary.Finish();
  PutInPlace(temporary, to, existing);
  Respell(target);
}

void DeleteFileChecked(const std::string& path, bool force) {
  const std::wstring target = ExtendedPath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) ThrowLastError();
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) throw PlatformError(kFileNotFound);
  const bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only) {
    if (!force) throw PlatformError(kPermissionDenied);
    if (!SetFileAttributesW(target.c_str(),
                            Settable(attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}))) {
      ThrowLastError();
    }
  }
  if (!DeleteFileW(target.c_str())) {
    const DWORD error = GetLastError();
    if (read_only) SetFileAttributesW(target.c_str(), Settable(attributes));
    ThrowCode(error);
  }
}

}  // namespace platform::windows
