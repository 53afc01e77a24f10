// The documents directly in one folder, copied into or removed from another.
// Each call works through a file-system object of its own and raises the
// first failure; what was done before it stays done.

#include <string>

#include "platform/dir_entry.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "ui/frm_main.h"

namespace {

// A root folder's Path already ends in a backslash ("T:\").
std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

// Either operation run on one folder against itself would destroy the very
// documents it takes (removal) or copy each onto itself.
void RefuseSameFolder(platform::Folder& source, platform::Folder& destination) {
  if (platform::UpperCase(source.Path()) == platform::UpperCase(destination.Path())) {
    throw platform::PlatformError(platform::kInvalidProcedureCall);
  }
}

// Any entry at all (hidden, system, folder) occupies a name.
constexpr int32_t kAnyEntry =
    platform::kAttrHidden | platform::kAttrSystem | platform::kAttrDirectory;

// A name beside `stored` in `folder` that nothing uses: "<stored>.lumbrel-old",
// then with a number appended.
std::string UnusedAsidePath(const std::string& folder, const std::string& stored) {
  std::string path = JoinPath(folder, stored + ".lumbrel-old");
  for (int number = 2; !platform::DirEntryName(path, kAnyEntry).empty(); ++number) {
    path = JoinPath(folder, stored + ".lumbrel-old" + std::to_string(number));
  }
  return path;
}

// Removes a leftover of a failed step; the failure being raised is the one
// the user has to hear about, not this one.
void DiscardQuietly(platform::FileSystemObject& fso, const std::string& path) {
  try {
    fso.DeleteFile(path, true);
  } catch (const platform::PlatformError&) {
    // The leftover is a complete copy of a document, never a fragment.
  }
}

// Puts the copy aside back under its old name; on failure it stays aside.
void RestoreQuietly(platform::FileSystemObject& fso, const std::string& aside,
                    const std::string& old_path) {
  try {
    fso.CopyFile(aside, old_path, false);
  } catch (const platform::PlatformError&) {
    return;
  }
  DiscardQuietly(fso, aside);
}

// Replaces the document stored as `stored` (the name of `destination` but
// for letter case) so that afterwards it carries the source's spelling. A
// replacement in place would keep the old spelling on a case-insensitive
// disk, so the old document is first copied aside, then removed, and put
// back when the new one cannot be written. It is never lost: should even the
// way back fail, the copy aside stays.
void ReplaceRespelled(platform::FileSystemObject& fso, const std::string& source,
                      const std::string& destination, const std::string& folder,
                      const std::string& stored) {
  const std::string old_path = JoinPath(folder, stored);
  const std::string aside = UnusedAsidePath(folder, stored);
  fso.CopyFile(old_path, aside, false);
  try {
    fso.DeleteFile(old_path, true);
  } catch (const platform::PlatformError&) {
    DiscardQuietly(fso, aside);
    throw;
  }
  try {
    fso.CopyFile(source, destination, true);
  } catch (const platform::PlatformError&) {
    RestoreQuietly(fso, aside, old_path);
    throw;
  }
  fso.DeleteFile(aside, true);
}

}  // namespace

void frmMain::CopyAllFiles(const std::string& pSrcFolder, const std::string& pDestFolder) {
  const platform::FileSystemObjectRef fso = platform::CreateFileSystemObject();
  const platform::FolderRef source = fso->GetFolder(pSrcFolder);
  const platform::FolderRef destination = fso->GetFolder(pDestFolder);
  RefuseSameFolder(*source, *destination);
  const std::string source_path = source->Path();
  const std::string destination_path = destination->Path();

  const auto documents = source->Files()->Enumerate();
  for (platform::FileRef document; documents->Next(document);) {
    const std::string name = document->Name();
    ShowMessage2(name);
    const std::string target = JoinPath(destination_path, name);
    const std::string stored = platform::DirEntryName(target, 0);
    // The copy replaces the old document in one step, so no delete precedes
    // it: a failed copy leaves the old one as it was.
    if (stored.empty() || stored == name) {
      fso->CopyFile(JoinPath(source_path, name), target, true);
    } else {
      ReplaceRespelled(*fso, JoinPath(source_path, name), target, destination_path, stored);
    }
  }
}

void frmMain::DeleteAllFiles(const std::string& pSrcFolder, const std::string& pDestFolder) {
  const platform::FileSystemObjectRef fso = platform::CreateFileSystemObject();
  const platform::FolderRef source = fso->GetFolder(pSrcFolder);
  const platform::FolderRef destination = fso->GetFolder(pDestFolder);
  RefuseSameFolder(*source, *destination);
  const std::string destination_path = destination->Path();

  const auto documents = source->Files()->Enumerate();
  for (platform::FileRef document; documents->Next(document);) {
    const std::string name = document->Name();
    ShowMessage2(name);
    const std::string target = JoinPath(destination_path, name);
    if (!platform::DirEntryName(target, 0).empty()) fso->DeleteFile(target, true);
  }
}
