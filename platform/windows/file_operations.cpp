#include "platform/windows/file_operations.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/keep_alive.h"
#include "platform/test_hooks.h"
#include "platform/text.h"
#include "platform/win_path.h"
#include "platform/windows/handles.h"
#include "platform/windows/listing.h"
#include "platform/windows/long_path.h"
#include "platform/windows/trusted_folder.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

namespace platform::windows {
namespace {

constexpr DWORD kBlockSize = 256 * 1024;
constexpr int kRenameAttempts = 50;
constexpr DWORD kRenameRetryMilliseconds = 20;
constexpr DWORD kRefusedAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

[[noreturn]] void ThrowCode(DWORD code) {
  throw ErrorFromCode(code);
}

// An armed test fault stands for the system call failing with that code.
void FailIfArmed(FaultPoint point) {
  if (const int32_t code = TakeFault(point); code != 0) ThrowCode(static_cast<DWORD>(code));
}

// The id of the process that made the temporary file `name`
// ("~lumbrel-<pid>-<ticks>-<n>.tmp"), or nothing for any other name.
std::optional<DWORD> TemporaryFileOwner(std::wstring_view name) {
  constexpr std::wstring_view kPrefix = L"~lumbrel-";
  constexpr std::wstring_view kSuffix = L".tmp";
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
  const std::wstring_view middle =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  const size_t dash = middle.find(L'-');
  if (dash == 0 || dash == std::wstring_view::npos ||
      middle.find_first_not_of(L"0123456789-") != std::wstring_view::npos) {
    return std::nullopt;
  }
  uint64_t pid = 0;
  for (const wchar_t digit : middle.substr(0, dash)) {
    pid = pid * 10 + static_cast<uint64_t>(digit - L'0');
    if (pid > MAXDWORD) return std::nullopt;
  }
  return static_cast<DWORD>(pid);
}

// Whether the process `pid` has ended. One that cannot be asked (another
// user's) counts as running, and so does a new process that took over the
// id: its temporary file is then kept, never another run's taken.
bool HasEnded(DWORD pid) {
  const OwnedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process.valid()) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  return GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE;
}

// Temporary files this program left in the folder when it was killed: those
// whose process has ended are removed. Another run's file stays while that
// run lives; it is open without sharing until it is in place anyway.
void RemoveStaleTemporaryFiles(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const OwnedHandle search(FindFirstFileW((folder + L"\\~lumbrel-*.tmp").c_str(), &found),
                           FindClose);
  if (!search.valid()) return;
  do {
    const std::optional<DWORD> owner = TemporaryFileOwner(found.cFileName);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !owner ||
        *owner == GetCurrentProcessId() || !HasEnded(*owner)) {
      continue;
    }
    // A run killed just before its rename left the document's read-only mark.
    const std::wstring path = folder + L"\\" + found.cFileName;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  } while (FindNextFileW(search.get(), &found));
}

// Creates a new hidden file in `folder` for the data to go to first, open
// without sharing and with the right to rename and delete it.
HANDLE CreateTemporary(const std::wstring& folder) {
  static std::atomic<uint32_t> counter{0};
  FailIfArmed(FaultPoint::kCopyCreateTemporary);
  const std::wstring stem = folder + L"\\~lumbrel-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(GetTickCount64()) + L"-";
  for (;;) {
    const std::wstring path = stem + std::to_wstring(counter++) + L".tmp";
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE, 0, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    if (GetLastError() != ERROR_FILE_EXISTS) ThrowLastError();
  }
}

// The part of an attribute word that SetFileAttributesW takes back; it
// refuses a zero word.
DWORD Settable(DWORD attributes) {
  attributes &= FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// The hidden file the data goes to first. It is never closed before it is in
// place: closed under its temporary name, it could be taken for a killed
// run's leftover. Removed through its handle unless it replaced the
// destination.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::wstring& folder) : handle_(CreateTemporary(folder)) {}
  ~TemporaryFile() {
    if (placed_) return;
    // A read-only mark would bar the removal.
    FILE_BASIC_INFO plain{};
    plain.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(handle_.get(), FileBasicInfo, &plain, sizeof plain);
    FILE_DISPOSITION_INFO remove{TRUE};
    SetFileInformationByHandle(handle_.get(), FileDispositionInfo, &remove, sizeof remove);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  HANDLE handle() const { return handle_.get(); }

  // Made durable, then given the attributes the document is to carry: no
  // longer hidden, and a replaced document's read-only and not-indexed marks
  // (`replaced`, INVALID_FILE_ATTRIBUTES for none) rather than those the
  // folder gave the new file. Archive, since the content is new.
  void MakeDurable(DWORD replaced) {
    BY_HANDLE_FILE_INFORMATION created{};
    if (!FlushFileBuffers(handle_.get()) || !GetFileInformationByHandle(handle_.get(), &created)) {
      ThrowLastError();
    }
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD marks = replaced != INVALID_FILE_ATTRIBUTES ? replaced : created.dwFileAttributes;
    FILE_BASIC_INFO info{};
    info.FileAttributes = (marks & kKept) | FILE_ATTRIBUTE_ARCHIVE;
    if (!SetFileInformationByHandle(handle_.get(), FileBasicInfo, &info, sizeof info)) {
      ThrowLastError();
    }
  }

  // Takes the place of `destination` in one rename of the open file.
  void Replace(const std::wstring& destination) {
    FailIfArmed(FaultPoint::kCopyRename);
    // The name follows the structure, ended by a null the size leaves out.
    const size_t bytes = destination.size() * sizeof(wchar_t);
    std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + bytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(bytes);
    std::memcpy(buffer.data() + offsetof(FILE_RENAME_INFO, FileName), destination.data(), bytes);
    // A file that is open cannot be replaced, and another run holds the
    // document it has just put in place open for an instant: only a refusal
    // that lasts counts.
    for (int attempt = 1; !SetFileInformationByHandle(handle_.get(), FileRenameInfo, rename,
                                                      static_cast<DWORD>(buffer.size()));
         ++attempt) {
      const DWORD error = GetLastError();
      if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
          attempt == kRenameAttempts) {
        ThrowCode(error);
      }
      Sleep(kRenameRetryMilliseconds);
    }
    placed_ = true;
    if (!handle_.Close()) ThrowLastError();
  }

 private:
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

// Renames the temporary file over the destination. A read-only destination
// loses that mark only for the rename and gets it back if the rename fails.
void PutInPlace(TemporaryFile& temporary, const std::wstring& destination, DWORD existing) {
  const bool read_only =
      existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only && !SetFileAttributesW(destination.c_str(),
                                       Settable(existing & ~DWORD{FILE_ATTRIBUTE_READONLY}))) {
    ThrowLastError();
  }
  try {
    temporary.Replace(destination);
  } catch (const PlatformError&) {
    if (read_only) SetFileAttributesW(destination.c_str(), Settable(existing));
    throw;
  }
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

PlatformError NoRegularFile() {
  return PlatformError(kPathFileAccessError);
}

// Opens `path` for reading without letting it be written, renamed or removed
// meanwhile; `flags` as CreateFileW takes them.
OwnedHandle OpenForReading(const std::wstring& path, DWORD flags) {
  OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN | flags,
                               nullptr));
  if (!file.valid()) ThrowLastError();
  return file;
}

// What `file` has open, when that lies on a disk: Wine presents a FIFO as a
// pipe and a device as a character file, each opened without waiting.
std::optional<BY_HANDLE_FILE_INFORMATION> OnDisk(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info)) {
    return std::nullopt;
  }
  return info;
}

// `file` when it is a regular file on a disk, and the one `expected` names
// when given. Backup semantics let a folder open too, to be told apart here.
RegularFile RegularOnly(OwnedHandle file, const std::optional<BY_HANDLE_FILE_INFORMATION>& info,
                        const std::optional<EntryIdentity>& expected) {
  if (!info || (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      (expected && IdentityOf(*info) != *expected)) {
    throw NoRegularFile();
  }
  return {std::move(file), IdentityOf(*info)};
}

void CopyIntoFolder(const std::string& source, const std::string& destination, bool overwrite,
                    const std::optional<EntryIdentity>& source_identity) {
  win_path::DrivePath target = ResolveDrivePath(destination);
  if (target.components.empty()) throw PlatformError(kPermissionDenied);
  const std::wstring to = ExtendedPath(target);
  win_path::DrivePath parent = target;
  parent.components.pop_back();

  OwnedHandle input;
  NamingPath(source, [&] { input = OpenRegularFile(source, source_identity).handle; });
  const HeldFolder folder(parent);

  const DWORD existing = GetFileAttributesW(to.c_str());
  if (existing == INVALID_FILE_ATTRIBUTES) {
    if (GetLastError() != ERROR_FILE_NOT_FOUND) ThrowLastError();
  } else {
    if (!overwrite) throw PlatformError(kFileAlreadyExists);
    if ((existing & kRefusedAttributes) != 0) throw PlatformError(kPermissionDenied);
  }

  RemoveStaleTemporaryFiles(folder.path());
  TemporaryFile temporary(folder.path());
  CopyData(input.get(), temporary.handle());
  input.Close();
  temporary.MakeDurable(existing);
  folder.Verify();
  PutInPlace(temporary, to, existing);
  Respell(target);
}

}  // namespace

RegularFile OpenRegularFile(const std::string& path, const std::optional<EntryIdentity>& expected) {
  const win_path::DrivePath file = ResolveDrivePath(path);
  if (file.components.empty()) throw NoRegularFile();
  win_path::DrivePath parent = file;
  parent.components.pop_back();
  const HeldFolder folder(parent);
  const std::wstring wide = ExtendedPath(file);
  FailIfArmed(FaultPoint::kCopyOpenSource);
  // The entry itself, a link not followed: what the owner check looks at is
  // what is opened, and the link stays held while it is followed.
  OwnedHandle entry = OpenForReading(wide, FILE_FLAG_OPEN_REPARSE_POINT);
  const std::optional<BY_HANDLE_FILE_INFORMATION> info = OnDisk(entry.get());
  if (!info || (info->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return RegularOnly(std::move(entry), info, expected);
  }
  if (!HasTrustedOwner(entry.get())) throw PlatformError(kPermissionDenied);
  OwnedHandle target = OpenForReading(wide, 0);
  const std::optional<BY_HANDLE_FILE_INFORMATION> target_info = OnDisk(target.get());
  return RegularOnly(std::move(target), target_info, expected);
}

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
