#include "platform/windows/file_operations.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/fault_injection.h"
#include "platform/keep_alive.h"
#include "platform/text.h"
#include "platform/win_path.h"
#include "platform/windows/handles.h"
#include "platform/windows/listing.h"
#include "platform/windows/long_path.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

// After windows.h, which it needs.
#include <aclapi.h>

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

// Made by an administrator, the system, the installer service or the user
// running the program: only such a junction or link may lead a write
// elsewhere, since the program runs with administrator rights in folders
// anyone may have prepared.
bool IsTrustedOwner(PSID owner) {
  if (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
      IsWellKnownSid(owner, WinLocalSystemSid)) {
    return true;
  }
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID installer = nullptr;  // NT SERVICE\TrustedInstaller
  if (AllocateAndInitializeSid(&authority, 6, 80, 956008885u, 3418522649u, 1831038044u, 1853292631u,
                               2271478464u, 0, 0, &installer)) {
    const bool same = EqualSid(owner, installer) != FALSE;
    FreeSid(installer);
    if (same) return true;
  }
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  const OwnedHandle token(opened);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  return size != 0 && GetTokenInformation(token.get(), TokenUser, user.data(), size, &size) &&
         EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

// Whether the reparse point (junction, link) at `path` has a trusted owner.
bool IsTrustedLink(const std::wstring& path) {
  OwnedHandle link(CreateFileW(
      path.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const bool trusted =
      link.valid() &&
      GetSecurityInfo(link.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                      nullptr, nullptr, &descriptor) == ERROR_SUCCESS &&
      owner != nullptr && IsTrustedOwner(owner);
  if (descriptor != nullptr) LocalFree(descriptor);
  return trusted;
}

// Raises 70 naming the first reparse point on the way from the drive's root
// to `folder` (the folder itself included) whose owner is not trusted.
void RefuseForeignLinks(const win_path::DrivePath& folder) {
  win_path::DrivePath walked = folder;
  walked.components.clear();
  for (const std::string& name : folder.components) {
    walked.components.push_back(name);
    const std::wstring path = ExtendedPath(walked);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      throw ErrorFromCode(GetLastError()).WithPath(win_path::JoinDrivePath(walked));
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !IsTrustedLink(path)) {
      throw PlatformError(kPermissionDenied).WithPath(win_path::JoinDrivePath(walked));
    }
  }
}

// The destination folder, held open for the whole copy without sharing
// deletion, so that it cannot be renamed, removed or replaced by a link
// meanwhile; its links are checked once it is held. Each step that goes by
// path checks that the path still leads to it.
class HeldFolder {
 public:
  explicit HeldFolder(const win_path::DrivePath& folder)
      : path_(ExtendedPath(folder)),
        handle_(CreateFileW(path_.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {
    if (!handle_.valid()) {
      const DWORD error = GetLastError();
      ThrowCode(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
    }
    RefuseForeignLinks(folder);
    id_ = IdentityOf(handle_.get());
    Verify();
  }
  const std::wstring& path() const { return path_; }

  // Raises 70 unless the folder's path still leads to the folder held.
  void Verify() const {
    OwnedHandle now(CreateFileW(path_.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!now.valid() || !(IdentityOf(now.get()) == id_)) throw PlatformError(kPermissionDenied);
  }

 private:
  std::wstring path_;
  OwnedHandle handle_;
  EntryIdentity id_;
};

// Whether `name` is one of this program's temporary files:
// "~lumbrel-<digits and dashes>.tmp".
bool IsTemporaryName(const std::wstring& name) {
  constexpr std::wstring_view kPrefix = L"~lumbrel-";
  constexpr std::wstring_view kSuffix = L".tmp";
  if (name.size() <= kPrefix.size() + kSuffix.size() || name.rfind(kPrefix, 0) != 0 ||
      name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
    return false;
  }
  const std::wstring middle =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  return middle.find_first_not_of(L"0123456789-") == std::wstring::npos;
}

// Temporary files a killed run left behind. One a running copy still writes
// is open without sharing, so it cannot be deleted and stays.
void RemoveLeftTemporaryFiles(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const OwnedHandle search(FindFirstFileW((folder + L"\\~lumbrel-*.tmp").c_str(), &found),
                           FindClose);
  if (!search.valid()) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        IsTemporaryName(found.cFileName)) {
      DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    }
  } while (FindNextFileW(search.get(), &found));
}

// Creates a new hidden file in `folder` for the data to go to first; `path`
// receives its name.
HANDLE CreateTemporary(const std::wstring& folder, std::wstring& path) {
  static std::atomic<uint32_t> counter{0};
  FailIfArmed(FaultPoint::kCopyCreateTemporary);
  const std::wstring stem = folder + L"\\~lumbrel-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(GetTickCount64()) + L"-";
  for (;;) {
    path = stem + std::to_wstring(counter++) + L".tmp";
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    if (GetLastError() != ERROR_FILE_EXISTS) ThrowLastError();
  }
}

// The hidden file the data goes to first; removed unless it has replaced
// the destination.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::wstring& folder) : handle_(CreateTemporary(folder, path_)) {}
  ~TemporaryFile() {
    handle_.Close();
    if (!placed_) DeleteFileW(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  HANDLE handle() const { return handle_.get(); }
  const std::wstring& path() const { return path_; }

  // Made durable and plain: the copy must not stay hidden once in place.
  void Finish() {
    FILE_BASIC_INFO info{};
    info.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    if (!FlushFileBuffers(handle_.get()) ||
        !SetFileInformationByHandle(handle_.get(), FileBasicInfo, &info, sizeof info) ||
        !handle_.Close()) {
      ThrowLastError();
    }
  }
  void Placed() { placed_ = true; }

 private:
  std::wstring path_;  // before handle_, which is made with it
  OwnedHandle handle_;
  bool placed_ = false;
};

void CopyData(HANDLE from, HANDLE to) {
  std::vector<char> block(kBlockSize);
  for (;;) {
    KeepAlive();
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

// Opens the document to copy; one that is a junction or link is read only
// when its owner is trusted. What the open gave must be a regular file on a
// disk, and the one `expected` names when given.
HANDLE OpenSource(const std::string& source, const std::optional<EntryIdentity>& expected) try {
  const std::wstring from = ExtendedPath(source);
  const DWORD attributes = GetFileAttributesW(from.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
      !IsTrustedLink(from)) {
    throw PlatformError(kPermissionDenied);
  }
  FailIfArmed(FaultPoint::kCopyOpenSource);
  const HANDLE input = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (input == INVALID_HANDLE_VALUE) ThrowLastError();
  OwnedHandle opened(input);
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(input) != FILE_TYPE_DISK || !GetFileInformationByHandle(input, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      (expected && IdentityOf(input) != *expected)) {
    throw PlatformError(kPathFileAccessError);
  }
  return opened.release();
} catch (const PlatformError& error) {
  throw error.WithPath(source);
}

void CopyIntoFolder(const std::string& source, const std::string& destination, bool overwrite,
                    const std::optional<EntryIdentity>& source_identity) {
  win_path::DrivePath target = ResolveDrivePath(destination);
  if (target.components.empty()) throw PlatformError(kPermissionDenied);
  const std::wstring to = ExtendedPath(target);
  win_path::DrivePath parent = target;
  parent.components.pop_back();

  OwnedHandle input(OpenSource(source, source_identity));
  const HeldFolder folder(parent);

  const DWORD existing = GetFileAttributesW(to.c_str());
  if (existing == INVALID_FILE_ATTRIBUTES) {
    if (GetLastError() != ERROR_FILE_NOT_FOUND) ThrowLastError();
  } else {
    if (!overwrite) throw PlatformError(kFileAlreadyExists);
    if ((existing & kRefusedAttributes) != 0) throw PlatformError(kPermissionDenied);
  }

  RemoveLeftTemporaryFiles(folder.path());
  TemporaryFile temporary(folder.path());
  CopyData(input.get(), temporary.handle());
  input.Close();
  temporary.Finish();
  folder.Verify();
  PutInPlace(temporary, to, existing);
  Respell(target);
}

}  // namespace

void CopyOneFile(const std::string& source, const std::string& destination, bool overwrite,
                 const std::optional<EntryIdentity>& source_identity) {
  NamingPath(destination, [&] { CopyIntoFolder(source, destination, overwrite, source_identity); });
}

void DeleteOneFile(const std::string& path, bool force) try {
  win_path::DrivePath parent = ResolveDrivePath(path);
  if (!parent.components.empty()) parent.components.pop_back();
  const HeldFolder folder(parent);
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
} catch (const PlatformError& error) {
  throw error.WithPath(path);
}

}  // namespace platform::windows
