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
    // Looked up before anything is written, so that a drive that has stopped
    // answering is reported (71) with the destination untouched.
    platform::DirEntryName(target, 0);
    // The copy replaces a same-named document in one step, whatever the
    // letter case of its name, and leaves the source's spelling; so no delete
    // precedes it and a failed copy leaves the old document as it was.
    fso->CopyFile(JoinPath(source_path, name), target, true);
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
