// Conformance cases: each file in cases/ stages a computer and questions the
// file-system layer, the walker and the window object, one command a line;
// the answers indented under each command are what both systems must give.
// Natively, LUMBREL_UPDATE_CASES=1 writes the answers given back into the
// files.
//
// A command is VERB ARG | ARG ...; "native: " or "wine: " before it runs it
// on that system only (elsewhere its answers stay as written), and a line
// "native-only" ends the case under Wine. Paths "X:\..." lie on drive X as
// the case added it: the whole drive natively, a folder of the shared
// prefix's drive under Wine. The verbs:
//   staging   drive L [TYPE], file P [| TEXT], folder P, attrib P | BITS,
//             link P | TARGET, remove P, swap P | TEXT (a new file in its
//             place), fault ... (see Arm), registry TEXT (system.reg,
//             natively), map L | HOST (drive L leads to a host folder,
//             natively), read P, ls P
//   layer     list P, get P, root L, drives, type L, off-disk P, direntry P | ATTRS,
//             regular P, copy A | B [| overwrite], delete P [| force],
//             exists P (the start-up module's file test)
//   text      error-text N, upper T, same T | UPPER (other than printable ASCII as <HH>),
//             parent P, split P (the drive path split and joined again)
//   walker    walk ROOT [| SETTINGS] (see ParseRoot), next-file,
//             next-folder, get-file, get-folder, state, files, folders,
//             counts [P | ...] (listings and path reads since the last ask)
//   window    check P (the delivery check, which later copies take),
//             copy-all SRC | DST, delete-all SRC | DST, copy-fault POINT |
//             OLD (see CopyFault), fail POINT | disk-full,
//             denied or an OS error code, armed POINT, on-shown TEXT | COMMAND, show, message T,
//             message2 T, answer CODE, click [EVENT], flag [set | clear],
//             find DRIVE | NAME, events, run FOLDER (the whole program, its
//             documents beside FOLDER: its events and exit status),
//             keep-alive always or never (the window's events handled at
//             every step of long work, or only by status writes: the
//             default, so that no answer depends on how fast the machine is)

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/mod_main.h"
#include "dirtree/crt_dtree.h"
#include "platform/dir_entry.h"
#include "platform/keep_alive.h"
#include "platform/test_hooks.h"
#include "platform/text.h"
#include "platform/win_path.h"
#include "tests/conformance/conformance_support.h"
#include "tests/support/frm_main_test_peer.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/test_computer.h"
#include "tests/support/walk_loops.h"
#include "ui/frm_main.h"

namespace lumbrel_conformance {

namespace {

using Answers = std::vector<std::string>;
using lumbrel_test::ListFault;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + separator.size();
  }
}

// Bytes beyond printable ASCII written <HH>, so that a case can hold any byte.
std::string Unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool escape = text[i] == '<' && i + 3 < text.size() && text[i + 3] == '>';
    out += escape ? static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)) : text[i];
    if (escape) i += 3;
  }
  return out;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "<%02X>", static_cast<unsigned char>(c));
    out += c >= 0x20 && c < 0x7F ? std::string(1, c) : hex;
  }
  return out;
}

std::string Hex(int32_t value) {
  std::ostringstream out;
  out << "0x" << std::hex << value;
  return out.str();
}

class CaseRun {
 public:
  CaseRun() { KeepAliveAlways(false); }
  ~CaseRun() {
    platform::SetKeepAliveInterval(platform::kKeepAliveInterval);
    for (int point = 0; point < static_cast<int>(platform::FaultPoint::kCount); ++point) {
      platform::ArmFault(static_cast<platform::FaultPoint>(point), 0);
    }
  }

  // The case's text with every command's answers given anew.
  std::string Run(const std::string& text) {
    std::string out;
    std::vector<std::string> lines = Split(text, "\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      out += line + '\n';
      if (line.empty() || line[0] == '#' || line[0] == ' ') continue;
      std::string command = line;
      const bool native = lumbrel_test::TestComputer::OwnsWholeDrives();
      bool runs = true;
      for (const auto& [qualifier, here] : {std::pair{"native: ", native}, {"wine: ", !native}}) {
        if (command.rfind(qualifier, 0) == 0) {
          command.erase(0, std::string(qualifier).size());
          runs = here;
        }
      }
      if (command == "native-only") {
        if (native) continue;
        for (++i; i < lines.size(); ++i) out += lines[i] + '\n';  // stays as written
        break;
      }
      if (!runs) continue;  // its written answers follow as they are
      while (i + 1 < lines.size() && lines[i + 1].rfind("  ", 0) == 0) ++i;
      for (std::string answer : Answer(command)) {
        answer = Out(answer);
        answer.erase(answer.find_last_not_of(' ') + 1);  // no line may end in a space
        for (size_t at; (at = answer.find_first_of("\r\n")) != std::string::npos;) {
          answer.replace(at, 1, answer[at] == '\r' ? "\\r" : "\\n");
        }
        out += "  " + answer + '\n';
      }
    }
    return out;
  }

 private:
  Answers Answer(const std::string& command) {
    const size_t space = command.find(' ');
    const std::string verb = command.substr(0, space);
    if (verb == "on-shown") {
      // on-shown TEXT | COMMAND: runs COMMAND when a copy names TEXT; alone,
      // forgets every such command.
      const size_t bar = command.find(" | ");
      if (bar == std::string::npos)
        on_shown_.clear();
      else
        on_shown_[command.substr(space + 1, bar - space - 1)] = command.substr(bar + 3);
      return {};
    }
    std::vector<std::string> args;
    if (space != std::string::npos) args = Split(command.substr(space + 1), " | ");
    if (args.size() < 3) args.resize(3);
    try {
      return Do(verb, args);
    } catch (const platform::PlatformError& error) {
      return {ErrorLine(error)};
    }
  }

  static void KeepAliveAlways(bool always) {
    using Duration = std::chrono::steady_clock::duration;
    platform::SetKeepAliveInterval(always ? Duration::zero() : Duration::max());
  }

  static std::string ErrorLine(const platform::PlatformError& error) {
    return "error " + std::to_string(error.Number()) +
           (error.Path().empty() ? "" : " " + error.Path());
  }

  // The window object copying or removing one folder's documents against
  // another's: each document it names as it goes, "events handled" where the
  // window's events were handled with no status write, then "ok" or the
  // error.
  Answers Documents(const std::string& verb, const std::vector<std::string>& a) {
    const size_t before = Script().Transcript().size();
    std::string outcome = "ok";
    try {
      if (verb == "copy-all") {
        Form().CopyAllFiles(In(a[0]), In(a[1]));
      } else {
        Form().DeleteAllFiles(In(a[0]), In(a[1]));
      }
    } catch (const platform::PlatformError& error) {
      outcome = ErrorLine(error);
    }
    Answers seen;
    const auto& events = Script().Transcript();
    for (size_t i = before; i < events.size(); ++i) {
      if (events[i].rfind("status 2 ", 0) == 0) seen.push_back("shown " + events[i].substr(9));
      const bool amid_work =
          events[i] == "pump" && (i == 0 || events[i - 1].rfind("status ", 0) != 0);
      if (amid_work && (seen.empty() || seen.back() != "events handled")) {
        seen.push_back("events handled");
      }
    }
    seen.push_back(outcome);
    return seen;
  }

  // copy-fault POINT | OLD: a copy of a.txt, b.txt and c.txt over a folder
  // holding c.txt and, unless OLD is "none", b.txt spelled OLD fails at POINT
  // with a full disk as it takes b.txt. The answers: how the copy ended, the
  // folder afterwards, and both again for a second run without the fault.
  Answers CopyFault(const std::string& point, const std::string& old) {
    // A folder of each row's own: names in other letter case are one name
    // under Windows.
    const std::string area = "T:\\copy-fault-" + std::to_string(++copy_faults_);
    for (const char* name : {"a", "b", "c"}) {
      computer_.MakeFile(In(area + "\\src\\" + name + ".txt"), std::string("new ") + name);
    }
    computer_.MakeFile(In(area + "\\dst\\c.txt"), "old c");
    if (old != "none") computer_.MakeFile(In(area + "\\dst\\" + old), "old b");
    const std::string copy = "copy-all " + area + "\\src | " + area + "\\dst";
    on_shown_["b.txt"] = "fail " + point + " | disk-full";
    Answers seen{Answer(copy).back(), Contents(area + "\\dst")};
    on_shown_.clear();
    seen.push_back("again " + Answer(copy).back());
    seen.push_back(Contents(area + "\\dst"));
    return seen;
  }

  // name=content, ... of every entry in `folder`.
  std::string Contents(const std::string& folder) {
    std::string contents;
    for (const std::string& name : computer_.List(In(folder))) {
      contents +=
          (contents.empty() ? "" : ", ") + name + "=" + computer_.Read(In(folder + "\\" + name));
    }
    return contents;
  }

  // The window object with a scripted user: "show", "message" and "message2"
  // (its status lines), "answer CODE" for the next box, "click" now or "click
  // EVENT" after the event, "flag [set | clear]", "find DRIVE | NAME" (its search), "events" since
  // the last ask, "run FOLDER" (start-up's whole run, on a window made afresh after it).
  Answers Window(const std::string& verb, const std::vector<std::string>& a) {
    using Peer = frmMainTestPeer;
    if (verb == "show") {
      Form().Window().Show();
    } else if (verb == "message" || verb == "message2") {
      (verb == "message" ? Peer::ShowMessage : Peer::ShowMessage2)(Form(), a[0]);
    } else if (verb == "answer") {
      Script().QueueAnswer(std::stoi(a[0]));
    } else if (verb == "click") {
      a[0].empty() ? Script().ClickCancel() : Script().ClickCancelAfter(a[0]);
    } else if (verb == "check") {
      return Peer::CheckDelivery(Form(), In(a[0]));
    } else if (verb == "keep-alive") {
      KeepAliveAlways(a[0] == "always");
    } else if (verb == "flag") {
      if (!a[0].empty()) Peer::CancelRequested(Form()) = a[0] == "set";
      return {Peer::CancelRequested(Form()) ? "raised" : "down"};
    } else if (verb == "find") {
      try {
        return Peer::FindFilesOnDrive(Form(), a[0], a[1]);
      } catch (const platform::ProgramEnd& end) {
        return {"ended " + std::string(platform::EndingName(end.ending))};
      }
    } else if (verb == "events") {
      const auto& events = Script().Transcript();
      Answers seen(events.begin() + static_cast<std::ptrdiff_t>(events_read_), events.end());
      events_read_ = events.size();
      return seen;
    } else if (verb == "run") {
      platform::StandInExecutableFolder(In(a[0]));
      Peer::SetFileSystem(Form(), Fso());
      const int status = modMain::Main(&Form());
      platform::StandInExecutableFolder("");
      Answers seen = Window("events", a);
      seen.push_back("exit " + std::to_string(status));
      form_.reset();  // a run closes its window: the next command gets a fresh one
      events_read_ = 0;
      return seen;
    } else {
      return Walk(verb, a);
    }
    return {};
  }

  frmMain& Form() {
    if (!form_) {
      form_ = std::make_unique<frmMain>(std::make_unique<lumbrel_test::ScriptedFrontEnd>());
      Script().OnStatus([this](const std::string& text) {
        const auto command = on_shown_.find(text);
        if (command != on_shown_.end()) Answer(command->second);
      });
    }
    return *form_;
  }

  lumbrel_test::ScriptedFrontEnd& Script() {
    return static_cast<lumbrel_test::ScriptedFrontEnd&>(Form().Window());
  }

  // fail POINT | disk-full, denied or an OS error code: the next copy step at POINT fails with
  // the system's own error; "armed POINT" tells whether it is still waiting.
  static platform::FaultPoint Point(const std::string& name) {
    static const std::map<std::string, platform::FaultPoint> points = {
        {"open-source", platform::FaultPoint::kCopyOpenSource},
        {"create-temporary", platform::FaultPoint::kCopyCreateTemporary},
        {"write", platform::FaultPoint::kCopyWrite},
        {"rename", platform::FaultPoint::kCopyRename},
        {"respell", platform::FaultPoint::kCopyRespell}};
    return points.at(name);
  }

  // Staging, through the system's own calls; false for any other verb.
  bool Stage(const std::string& verb, const std::vector<std::string>& a) {
    if (verb == "drive") {
      const std::vector<std::string> parts = Split(a[0], " ");
      const std::string area = computer_.AddDrive(parts[0][0], parts.size() > 1 ? parts[1] : "hd");
      if (area.size() > 2) areas_[parts[0][0]] = area;
    } else if (verb == "file") {
      computer_.MakeFile(In(a[0]), a[1]);
    } else if (verb == "folder") {
      computer_.MakeFolder(In(a[0]));
    } else if (verb == "attrib") {
      computer_.SetAttributes(In(a[0]), std::stoi(a[1], nullptr, 0));
    } else if (verb == "link") {
      if (!computer_.MakeLink(In(a[0]), In(a[1]))) throw std::runtime_error("cannot make links");
    } else if (verb == "remove") {
      computer_.Remove(In(a[0]));
    } else if (verb == "swap") {
      // Another file, with other content, takes the entry's place.
      computer_.MakeFile(In(a[0]) + "~", a[1]);
      std::filesystem::rename(computer_.Host(In(a[0]) + "~"), computer_.Host(In(a[0])));
    } else if (verb == "fault") {
      Arm(a[0], In(a[1]), a[2]);
    } else if (verb == "map") {
      computer_.MapDrive(a[0][0], a[1]);  // natively only
    } else if (verb == "registry") {
      // The prefix's drive table as written; natively only.
      std::ofstream(computer_.Prefix() + "/system.reg") << Unescaped(a[0]);
    } else {
      return false;
    }
    return true;
  }

  Answers Do(const std::string& verb, const std::vector<std::string>& a) {
    if (Stage(verb, a)) return {};
    if (verb == "read") return {computer_.Read(In(a[0]))};
    if (verb == "ls") return computer_.List(In(a[0]));
    if (verb == "counts") return Counts(a);
    if (verb == "list") {
      const platform::FolderRef folder = Fso()->GetFolder(In(a[0]));
      Answers seen;
      Add(*folder->Files(), seen);
      Add(*folder->SubFolders(), seen);
      return seen;
    }
    if (verb == "get" || verb == "root") {
      const platform::FolderRef folder =
          verb == "get" ? Fso()->GetFolder(In(a[0])) : DriveOf(a[0][0])->RootFolder();
      return {folder->Path() + " | " + folder->Name() + " | " +
              Hex(Comparable(folder->Attributes())) + (folder->IsAlias() ? " link" : "")};
    }
    if (verb == "direntry") return {'"' + platform::DirEntryName(In(a[0]), std::stoi(a[1])) + '"'};
    if (verb == "drives") return Drives();
    if (verb == "copy-all" || verb == "delete-all") return Documents(verb, a);
    if (verb == "copy-fault") return CopyFault(a[0], a[1]);
    if (verb == "fail") {
      constexpr bool kWindows = std::filesystem::path::preferred_separator == L'\\';
      const int32_t disk_full = kWindows ? 112 : 28;  // ERROR_DISK_FULL, ENOSPC
      const int32_t denied = kWindows ? 5 : 13;       // ERROR_ACCESS_DENIED, EACCES
      const int32_t code = a[1] == "denied"      ? denied
                           : a[1] == "disk-full" ? disk_full
                                                 : std::stoi(a[1]);
      platform::ArmFault(Point(a[0]), code);
      return {};
    }
    if (verb == "armed") return {platform::TakeFault(Point(a[0])) != 0 ? "yes" : "no"};
    if (verb == "exists") return {modMain::IsFileExisting(In(a[0])) ? "yes" : "no"};
    if (verb == "error-text") return {platform::StandardErrorText(std::stoi(a[0]))};
    if (verb == "upper") return {Escaped(platform::UpperCase(Unescaped(a[0])))};
    if (verb == "same")
      return {platform::EqualsUpperCase(Unescaped(a[0]), Unescaped(a[1])) ? "yes" : "no"};
    if (verb == "parent") return {'"' + platform::win_path::ParentFolderName(a[0]) + '"'};
    if (verb == "split") {
      platform::win_path::DrivePath parts;
      return {platform::win_path::SplitDrivePath(a[0], parts)
                  ? platform::win_path::JoinDrivePath(parts)
                  : "no drive path"};
    }
    if (verb == "off-disk") {  // as the parent's listing gives the folder
      const std::string path = In(a[0]);
      auto items =
          Fso()->GetFolder(platform::win_path::ParentFolderName(path))->SubFolders()->Enumerate();
      for (platform::FolderRef folder; items->Next(folder);) {
        if (folder->Path() == path) return {folder->LeadsOffDisk() ? "yes" : "no"};
      }
      return {"not listed"};
    }
    if (verb == "type") return {std::to_string(DriveOf(a[0][0])->Type())};
    if (verb == "state") return {(tree_.Finished() ? "finished" : "not finished") + Code()};
    if (verb == "regular") {
      checked_[In(a[0])] = platform::RegularFileIdentity(In(a[0]));
    } else if (verb == "copy") {
      // A source checked with "regular" must still be the file checked.
      const auto checked = checked_.find(In(a[0]));
      Fso()->CopyFile(In(a[0]), In(a[1]), a[2] == "overwrite",
                      checked != checked_.end() ? std::optional(checked->second) : std::nullopt);
    } else if (verb == "delete") {
      Fso()->DeleteFile(In(a[0]), a[1] == "force");
    } else {
      return Window(verb, a);
    }
    return {"ok"};
  }

  // The walker: "walk ROOT | SETTINGS" starts a walk; the cursor calls
  // answer with paths and error numbers, "files" and "folders" with what
  // the loops callers write are handed.
  Answers Walk(const std::string& verb, const std::vector<std::string>& a) {
    const auto got = [&](const auto& entry) { return (entry ? entry->Path() : "-") + Code(); };
    const auto moved = [&] { return (tree_.Finished() ? "finished" : "moved") + Code(); };
    if (verb == "walk") {
      std::string_view root_text = a[0];
      const RootValue root = ParseRoot(root_text);
      tree_.SetRoot(root, a[1].empty() ? 0 : std::stoi(a[1]));
      return {"started" + Code()};
    }
    if (verb == "next-file") return tree_.MoveNextFile(), Answers{moved()};
    if (verb == "next-folder") return tree_.MoveNextFolder(), Answers{moved()};
    if (verb == "get-file") return {got(tree_.GetFile())};
    if (verb == "get-folder") return {got(tree_.GetFolder())};
    if (verb == "files") return walk_loops::FileLoop(tree_);
    if (verb == "folders") return walk_loops::FolderLoop(tree_);
    throw std::invalid_argument("unknown verb " + verb);
  }

  // string(P) strings(P, P) folder(P) subfolders(P) drive(D) number(N)
  // numbers(N) nothing [ROOT, ROOT]
  RootValue ParseRoot(std::string_view& root_text) {
    if (root_text.substr(0, 1) == "[") {
      std::vector<RootValue> elements;
      for (root_text.remove_prefix(1); !root_text.empty() && root_text[0] != ']';) {
        elements.push_back(ParseRoot(root_text));
        if (root_text.substr(0, 2) == ", ") root_text.remove_prefix(2);
      }
      root_text.remove_prefix(1);
      return RootValue::OfCollection(std::move(elements));
    }
    if (root_text.substr(0, 7) == "nothing") return root_text.remove_prefix(7), RootValue();
    const size_t open = root_text.find('(');
    const size_t close = root_text.find(')');
    const std::string kind(root_text.substr(0, open));
    std::vector<std::string> args =
        Split(std::string(root_text.substr(open + 1, close - open - 1)), ", ");
    if (args == std::vector<std::string>{""}) args.clear();
    root_text.remove_prefix(close + 1);
    for (std::string& arg : args) arg = In(arg);
    if (kind == "string") return RootValue::OfString(args[0]);
    if (kind == "strings") return RootValue::OfStrings(args);
    if (kind == "folder") return RootValue::OfFolder(Fso()->GetFolder(args[0]));
    if (kind == "subfolders") return RootValue::OfFolders(Fso()->GetFolder(args[0])->SubFolders());
    if (kind == "drive") return RootValue::OfDrive(DriveOf(args[0][0]));
    if (kind == "number") return RootValue::OfDouble(std::stod(args[0]));
    if (kind == "numbers") return RootValue::OfDoubles({std::stod(args[0])});
    throw std::invalid_argument("unknown root " + kind);
  }

  // The walker's error number, when it is not 0.
  std::string Code() const {
    const int32_t number = tree_.ErrorNumber();
    return number == 0 ? std::string() : " (" + std::to_string(number) + ")";
  }

  // Files, then folders marked "\\" (and "link"), with the attributes both
  // systems report; a folder's read-only mark is the "get" command's, since
  // Wine keeps none that its own calls set.
  template <class T>
  static void Add(platform::Collection<T>& collection, Answers& seen) {
    const size_t before = seen.size();
    auto items = collection.Enumerate();
    for (std::shared_ptr<T> item; items->Next(item);) {
      std::string line = item->Name();
      int32_t attributes = Comparable(item->Attributes());
      if constexpr (std::is_same_v<T, platform::Folder>) {
        line += item->IsAlias() ? "\\ link" : "\\";
        attributes &= ~platform::kAttrReadOnly;
      }
      seen.push_back(line + " " + Hex(attributes));
    }
    if (static_cast<size_t>(collection.Count()) != seen.size() - before) {
      seen.push_back("<count differs>");
    }
  }

  // The letters in their order; each drive's type is the "type" command's.
  Answers Drives() {
    auto drives = Fso()->Drives();
    std::string letters;
    auto items = drives->Enumerate();
    for (platform::DriveRef drive; items->Next(drive);) letters += drive->DriveLetter();
    if (static_cast<size_t>(drives->Count()) != letters.size()) letters += " <count differs>";
    return {letters};
  }

  platform::DriveRef DriveOf(char letter) {
    auto items = Fso()->Drives()->Enumerate();
    for (platform::DriveRef drive; items->Next(drive);) {
      if (drive->DriveLetter()[0] == letter) return drive;
    }
    throw std::invalid_argument(std::string("no drive ") + letter);
  }

  // fault unreadable | PATH, fault attributes | PATH (they cannot be read),
  // fault off-disk | PATH (a mount of the kernel's own or a network file
  // system), fault files or subfolders | PATH | HOW (a listing whose count is
  // one fewer or more than it delivers, that throws, whose count throws, or
  // that stops with an error after its first entry), or fault drives | out-of-memory, internal or
  // input-closed: the list of drives fails as nothing of the platform's does.
  void Arm(const std::string& kind, const std::string& path, const std::string& how) {
    lumbrel_test::Faults& faults = computer_.faults;
    if (kind == "drives") {
      faults.drives_raise = [path] {
        if (path == "out-of-memory") throw std::bad_alloc();
        if (path == "internal") throw std::logic_error("broken list");
        throw platform::ProgramEnd{platform::Ending::kInputClosed};
      };
      return;
    }
    if (kind == "unreadable") return void(faults.unreadable.insert(path));
    if (kind == "attributes") return void(faults.attributes_fail.insert(path));
    if (kind == "off-disk") return void(faults.off_disk.insert(path));
    static const std::map<std::string, ListFault> kListFaults = {
        {"fewer", ListFault::kFewerThanCount},
        {"more", ListFault::kMoreThanCount},
        {"throws", ListFault::kListThrows},
        {"count-throws", ListFault::kCountThrows},
        {"stops", ListFault::kEnumerationThrows}};
    (kind == "files" ? faults.files : faults.subfolders)[path] = kListFaults.at(how);
  }

  // How often each path was listed, and how many paths were read, since the
  // last ask.
  Answers Counts(const std::vector<std::string>& paths) {
    Answers seen;
    for (const std::string& path : paths) {
      if (!path.empty())
        seen.push_back(path + " " + std::to_string(computer_.faults.listings[In(path)]));
    }
    seen.push_back("paths read " + std::to_string(computer_.faults.path_reads));
    computer_.faults.listings.clear();
    computer_.faults.path_reads = 0;
    return seen;
  }

  platform::FileSystemObjectRef& Fso() {
    if (!fso_) fso_ = computer_.FileSystem();
    return fso_;
  }

  std::string In(const std::string& path) const {
    if (path.size() < 2 || path[1] != ':') return path;
    const auto area = areas_.find(platform::AsciiUpper(path[0]));
    if (area == areas_.end()) return path;
    std::string in = lumbrel_test::PathIn(area->second, path.substr(path.size() > 2 ? 3 : 2));
    in[0] = path[0];  // the letter as the case spells it
    return in;
  }

  std::string Out(std::string text) const {
    for (const auto& [letter, area] : areas_) {
      for (size_t at; (at = text.find(area)) != std::string::npos;) {
        const bool inside = at + area.size() < text.size() && text[at + area.size()] == '\\';
        text.replace(at, area.size() + (inside ? 1 : 0), std::string{letter, ':', '\\'});
      }
    }
    return text;
  }

  lumbrel_test::TestComputer computer_;
  std::unique_ptr<frmMain> form_;
  size_t events_read_ = 0;
  std::map<std::string, std::string> on_shown_;
  std::map<char, std::string> areas_;  // under Wine: the folder each drive letter stands for
  std::map<std::string, platform::EntryIdentity> checked_;  // by "regular"
  int copy_faults_ = 0;
  platform::FileSystemObjectRef fso_;
  crtDTree tree_;
};

class Case : public testing::TestWithParam<CaseFile> {};

TEST_P(Case, GivesTheAnswersWritten) {
  const std::string expected = GetParam().text;
  const std::string given = CaseRun().Run(expected);
  if (given != expected && std::getenv("LUMBREL_UPDATE_CASES") != nullptr) {
    std::ofstream(std::string(LUMBREL_CASES_DIR "/") + GetParam().name + ".case") << given;
  }
  // The first line that differs, with its number, rather than two whole texts.
  const std::vector<std::string> want = Split(expected, "\n");
  const std::vector<std::string> got = Split(given, "\n");
  size_t line = 0;
  while (line < want.size() && line < got.size() && want[line] == got[line]) ++line;
  if (given != expected) {
    ADD_FAILURE() << GetParam().name << ".case:" << line + 1
                  << "\n  written: " << (line < want.size() ? want[line] : "<end>")
                  << "\n  given:   " << (line < got.size() ? got[line] : "<end>");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Case, testing::ValuesIn(kCaseFiles), [](const auto& param_info) {
  std::string name = param_info.param.name;
  for (char& c : name) c = c == '-' ? '_' : c;
  return name;
});

}  // namespace
}  // namespace lumbrel_conformance
