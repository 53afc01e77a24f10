// The documents directly in one folder, copied into or removed from another.
// Each call works through a file-system object of its own and raises the
// first failure; what was done before it stays done.

#include <memory>
#include <set>
#include <string>
#include <vector>

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

// One call's own file-system object and both folders resolved, the source
// first, so either missing raises before any document is touched.
struct DocumentPass {
  platform::FileSystemObjectRef fso;
  platform::FolderRef source;
  std::string source_path;
  std::string destination_path;
};

DocumentPass OpenDocumentPass(const std::string& source_folder,
                              const std::string& destination_folder) {
  DocumentPass pass;
  pass.fso = platform::CreateFileSystemObject();
  pass.source = pass.fso->GetFolder(source_folder);
  const platform::FolderRef destination = pass.fso->GetFolder(destination_folder);
  RefuseSameFolder(*pass.source, *destination);
  pass.source_path = pass.source->Path();
  pass.destination_path = destination->Path();
  return pass;
}

// The source's documents in listing order, each name one that Windows can
// hold (52 naming it otherwise): joined to the destination, any other would
// lead somewhere else.
std::vector<std::string> DocumentNames(platform::Folder& source) {
  std::vector<std::string> names;
  const auto listed = source.Files()->Enumerate();
  for (platform::FileRef document; listed->Next(document);) {
    names.push_back(document->Name());
    if (!platform::win_path::IsValidFileName(names.back())) {
      throw platform::PlatformError(platform::kBadFileName)
          .WithPath(platform::win_path::Join(source.Path(), names.back()));
    }
  }
  return names;
}

}  // namespace

frmMain::CheckedDelivery frmMain::CheckDelivery(const std::string& pFolder) {
  const platform::FolderRef folder = platform::CreateFileSystemObject()->GetFolder(pFolder);
  CheckedDelivery delivery{folder->Path(), {}};
  std::set<std::string> upper_names;
  for (std::string& name : DocumentNames(*folder)) {
    const std::string path = platform::win_path::Join(delivery.folder, name);
    // Two names Windows takes for one would land as one document, or as two
    // that Windows programs cannot tell apart.
    if (!upper_names.insert(platform::UpperCase(name)).second) {
      throw platform::PlatformError(platform::kFileAlreadyExists).WithPath(path);
    }
    delivery.documents.push_back({std::move(name), platform::RegularFileIdentity(path)});
  }
  return delivery;
}

void frmMain::CopyAllFiles(const std::string& pSrcFolder, const std::string& pDestFolder) {
  const DocumentPass pass = OpenDocumentPass(pSrcFolder, pDestFolder);
  // The documents the run checked, when it checked this folder; else those
  // checked now. An entry added since is not taken.
  const bool checked_earlier = delivery_.folder == pass.source_path;
  const std::vector<CheckedDocument> documents =
      checked_earlier ? delivery_.documents : CheckDelivery(pass.source_path).documents;
  // Checked earlier, each must still be the file checked before anything
  // here is replaced, so that a swapped document stops the copy with this
  // folder untouched. Checked just now, that is known already.
  if (checked_earlier) {
    for (const CheckedDocument& document : documents) {
      const std::string source = platform::win_path::Join(pass.source_path, document.name);
      if (platform::RegularFileIdentity(source) != document.identity) {
        throw platform::PlatformError(platform::kPathFileAccessError).WithPath(source);
      }
    }
  }
  for (const CheckedDocument& document : documents) {
    ShowMessage2(document.name);
    const std::string target = platform::win_path::Join(pass.destination_path, document.name);
    // Looked up before anything is written, so that a drive that has stopped
    // answering is reported (71) with the destination untouched.
    platform::DirEntryName(target, 0);
    // The copy replaces a same-named document in one step, whatever the
    // letter case of its name, and leaves the source's spelling; so no delete
    // precedes it and a failed copy leaves the old document as it was. It
    // reads only the very file checked, and raises 75 for any other.
    pass.fso->CopyFile(platform::win_path::Join(pass.source_path, document.name), target, true,
                       document.identity);
  }
}

void frmMain::DeleteAllFiles(const std::string& pSrcFolder, const std::string& pDestFolder) {
  const DocumentPass pass = OpenDocumentPass(pSrcFolder, pDestFolder);
  // Every name is checked before anything is removed.
  for (const std::string& name : DocumentNames(*pass.source)) {
    ShowMessage2(name);
    const std::string target = platform::win_path::Join(pass.destination_path, name);
    if (!platform::DirEntryName(target, 0).empty()) pass.fso->DeleteFile(target, true);
  }
}
