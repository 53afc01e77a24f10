// The documents directly in one folder, copied into or removed from another.
// Each call works through a file-system object of its own and raises the
// first failure; what was done before it stays done.

#include <memory>
#include <string>

#include "platform/dir_entry.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/win_path.h"
#include "ui/frm_main.h"

namespace {

// Either operation run on one folder against itself would destroy the very
// documents it takes (removal) or copy each onto itself.
void RefuseSameFolder(platform::Folder& source, platform::Folder& destination) {
  if (platform::UpperCase(source.Path()) == platform::UpperCase(destination.Path())) {
    throw platform::PlatformError(platform::kInvalidProcedureCall);
  }
}

// One call's own file-system object, both folders resolved (the source first,
// so either missing raises before any document is touched) and the source's
// documents in listing order.
struct DocumentPass {
  platform::FileSystemObjectRef fso;
  std::string source_path;
  std::string destination_path;
  std::unique_ptr<platform::Enumerator<platform::File>> documents;
};

DocumentPass OpenDocumentPass(const std::string& source_folder,
                              const std::string& destination_folder) {
  DocumentPass pass;
  pass.fso = platform::CreateFileSystemObject();
  const platform::FolderRef source = pass.fso->GetFolder(source_folder);
  const platform::FolderRef destination = pass.fso->GetFolder(destination_folder);
  RefuseSameFolder(*source, *destination);
  pass.source_path = source->Path();
  pass.destination_path = destination->Path();
  pass.documents = source->Files()->Enumerate();
  return pass;
}

}  // namespace

void frmMain::CopyAllFiles(const std::string& pSrcFolder, const std::string& pDestFolder) {
  DocumentPass pass = OpenDocumentPass(pSrcFolder, pDestFolder);
  for (platform::FileRef document; pass.documents->Next(document);) {
    const std::string name = document->Name();
    ShowMessage2(name);
    const std::string target = platform::win_path::Join(pass.destination_path, name);
    // Looked up before anything is written, so that a drive that has stopped
    // answering is reported (71) with the destination untouched.
    platform::DirEntryName(target, 0);
    // The copy replaces a same-named document in one step, whatever the
    // letter case of its name, and leaves the source's spelling; so no delete
    // precedes it and a failed copy leaves the old document as it was.
    pass.fso->CopyFile(platform::win_path::Join(pass.source_path, name), target, true);
  }
}

void frmMain::DeleteAllFiles(const std::string& pSrcFolder, const std::string& pDestFolder) {
  DocumentPass pass = OpenDocumentPass(pSrcFolder, pDestFolder);
  for (platform::FileRef document; pass.documents->Next(document);) {
    const std::string name = document->Name();
    ShowMessage2(name);
    const std::string target = platform::win_path::Join(pass.destination_path, name);
    if (!platform::DirEntryName(target, 0).empty()) pass.fso->DeleteFile(target, true);
  }
}
