#pragma once

// The file-system object model the core works through: drives, folders,
// files and their collections, as shared, reference-counted objects. An empty
// reference stands for "none".
//
// Paths are Windows paths everywhere ("X:\folder\file", backslashes, drive
// letter and colon); strings are UTF-8. Each operation either succeeds or
// throws platform::PlatformError, never anything else from the OS.
//
// Every class is an interface, so that tests can wrap or substitute objects
// to stage faults a real disk cannot.

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/win_path.h"

namespace platform {

enum FileAttribute : int32_t {
  kAttrReadOnly = 1,
  kAttrHidden = 2,
  kAttrSystem = 4,
  kAttrDirectory = 16,
  kAttrArchive = 32,
  kAttrAlias = 1024,  // reached through a symbolic link or junction
};

enum DriveType : int32_t {
  kDriveUnknown = 0,
  kDriveRemovable = 1,
  kDriveFixed = 2,
  kDriveNetwork = 3,
  kDriveCdRom = 4,
  kDriveRamDisk = 5,
};

class Drive;
class Folder;
class File;
using DriveRef = std::shared_ptr<Drive>;
using FolderRef = std::shared_ptr<Folder>;
using FileRef = std::shared_ptr<File>;

// Which folder or file a path leads to, whatever links lie on the way: two
// entries are one exactly when their identities are equal.
struct EntryIdentity {
  uint64_t volume = 0;  // device (Linux), volume serial number (Windows)
  uint64_t file = 0;    // inode (Linux), file ID (Windows)
  auto operator<=>(const EntryIdentity&) const = default;
};

// One pass over a collection. Next() stores the next element in `item` and
// returns true, or returns false at the end. It may throw PlatformError.
// An enumerator may outlive the collection it came from and still delivers
// every element, so `folder->Files()->Enumerate()` may be kept on its own:
// every implementation, test doubles included, holds what it needs itself.
template <class T>
class Enumerator {
 public:
  virtual ~Enumerator() = default;
  virtual bool Next(std::shared_ptr<T>& item) = 0;
};

// A collection built from one listing taken when it was created, so Count()
// equals what an enumeration delivers (unless a test substitutes it).
// Listings come in case-insensitive name order on every system.
template <class T>
class Collection {
 public:
  virtual ~Collection() = default;
  virtual int32_t Count() = 0;
  virtual std::unique_ptr<Enumerator<T>> Enumerate() = 0;
};

using DriveCollection = Collection<Drive>;
using FolderCollection = Collection<Folder>;
using FileCollection = Collection<File>;

class File {
 public:
  virtual ~File() = default;
  // Full path, the name as stored on disk.
  virtual std::string Path() = 0;
  virtual std::string Name() = 0;
  virtual int32_t Attributes() = 0;
  // Whether Path() would succeed now: the test a walk makes of every entry
  // before it hands the entry out. An object that always knows its path
  // answers without building the string.
  virtual bool HasPath() = 0;
};

class Folder {
 public:
  virtual ~Folder() = default;
  // Full path as stored on disk; a drive's root folder is "X:\".
  virtual std::string Path() = 0;
  // The folder's own name; empty for a drive's root folder.
  virtual std::string Name() = 0;
  virtual int32_t Attributes() = 0;
  // As File::HasPath.
  virtual bool HasPath() = 0;
  // True when the folder is reached through a link (the alias attribute);
  // throws as Attributes() does. A folder that came from a listing may answer
  // from what the listing saw, without reading the disk again.
  virtual bool IsAlias() { return (Attributes() & kAttrAlias) != 0; }
  // The identity of the folder this one leads to, through a link too. Read
  // from the disk when first asked for, then kept. Throws when it cannot be
  // read, as for a link that leads nowhere.
  virtual EntryIdentity Identity() = 0;
  // Direct subfolders, from one listing taken now. Throws when the folder
  // cannot be listed.
  virtual std::shared_ptr<FolderCollection> SubFolders() = 0;
  // Files directly in the folder (hidden and system ones too), from one
  // listing taken now. Throws when the folder cannot be listed.
  virtual std::shared_ptr<FileCollection> Files() = 0;
  // True when entering the folder would leave the computer's disks for a file
  // system of the kernel's own (processes, devices, the system's objects) or
  // of another computer, mounted there or reached through a link. Only a
  // folder that came from a listing tells; any other (a drive's root, one
  // GetFolder found) was asked for by path and answers false, as does every
  // folder where the system cannot tell cheaply (Windows, Wine). Answering
  // may list the folder, and throws as that listing would.
  virtual bool LeadsOffDisk() { return false; }
};

class Drive {
 public:
  virtual ~Drive() = default;
  // One upper-case letter, no colon.
  virtual std::string DriveLetter() = 0;
  virtual int32_t Type() = 0;  // a DriveType value
  // The drive's top folder; throws 71 "Disk not ready" when the drive cannot
  // deliver it.
  virtual FolderRef RootFolder() = 0;
};

class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  // Every drive the system presents, in letter order A to Z.
  virtual std::shared_ptr<DriveCollection> Drives() = 0;
  // The folder at `path`; throws 76 "Path not found" when no folder is there.
  virtual FolderRef GetFolder(const std::string& path) = 0;
  // Everything before the last path component, without a trailing backslash
  // except for a drive root ("C:\a\b.exe" -> "C:\a", "D:\QUARN.exe" -> "D:\").
  // Pure string work, the same on every system, so not for a back-end to vary.
  std::string GetParentFolderName(const std::string& path) const {
    return win_path::ParentFolderName(path);
  }
  // Copies a file so that no document is ever lost: the data goes to a new
  // temporary file in the destination's folder, which then replaces the
  // destination in one rename. On any failure the temporary file is removed
  // and an existing destination is left exactly as it was.
  // Afterwards the destination carries the spelling given in `destination`,
  // also when the entry it replaced was spelled in another letter case: that
  // entry is replaced as stored, then renamed to the new spelling, so that at
  // every instant a whole document answers to the name. Should only that last
  // rename fail, its failure is raised and the new content stays under the
  // old spelling. A file system that cannot change only the letter case of a
  // name in one rename (Wine, a FAT drive) keeps the old spelling: the name
  // is never given up for an instant for the sake of its spelling.
  // An existing destination raises 58 when `overwrite` is false. With
  // `overwrite`, an ordinary file is replaced, also when read-only; a hidden
  // or system file or a folder raises 70 "Permission denied". A symbolic link
  // or junction at the destination is itself replaced, never written through.
  // The source is opened without waiting for a writer and must be a regular
  // file (else 75); given `source_identity`, it must also be that very file
  // (else 75), and the copy reads what it opened, so a document checked
  // earlier and swapped since is never copied.
  // The program runs with administrator rights in folders anyone may have
  // prepared, so before anything in the destination's folder is touched,
  // every link on its path from the drive's root must have been made by an
  // administrator or by the user running the program (Windows: owned by
  // Administrators, SYSTEM or TrustedInstaller, or by that user; Linux: by
  // root or the effective user); else 70 naming that link. The same holds for
  // a source that is itself a link. The folder is then held open and every
  // write, rename and removal goes relative to it (or re-verifies it), so a
  // path swapped during the copy cannot redirect them.
  // A replaced document keeps its mode (Linux), and also its owner and group
  // when the program runs as root; Windows: its read-only and not-indexed
  // marks. A new one gets the folder's defaults.
  // Temporary files this program left behind when it was killed (their
  // process no longer runs) are removed as the copy begins; the new file is
  // renamed into place while still open (Windows), so a concurrent run never
  // takes it for one. SIGTERM or SIGHUP during a copy removes its temporary
  // file and raises 18 "User interrupt occurred".
  // Every error raised names the entry it concerns (PlatformError::Path).
  virtual void CopyFile(const std::string& source, const std::string& destination, bool overwrite,
                        const std::optional<EntryIdentity>& source_identity) = 0;
  // Removes a file; a read-only one only with `force` (else 70). Links on the
  // way are trusted as for CopyFile.
  virtual void DeleteFile(const std::string& path, bool force) = 0;
};

using FileSystemObjectRef = std::shared_ptr<FileSystemObject>;

// The operating system's file-system object model.
FileSystemObjectRef CreateFileSystemObject();

}  // namespace platform
