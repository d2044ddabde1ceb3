#include "transfer/StagedCopy.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/core/files/FileHandle.h"
#include "framework/core/files/MarkFile.h"
#include "framework/core/files/MoveEntry.h"
#include "framework/core/files/RemoveTree.h"
#include "framework/core/threads/Baton.h"

namespace StagedCopy {
namespace {

namespace fs = std::filesystem;
using framework::FileError;
using framework::FileHandle;
using framework::FolderItem;
using framework::FolderItemPtr;
using framework::MarkFile;
using framework::String;

const std::string kStagePrefix = ".olvan-incoming-";
const std::string kMarkName = ".olvan-mark";
// The mark's one line: what no person and no other program writes there.
constexpr std::string_view kMarkContent = "OLVAN migration assistant: working folder of a transfer, version 1\n";
// Inside the working folder: the copy, and the old item set aside.
const std::string kNew = "new";
const std::string kOld = "old";

// Enough tries to step over working folders that cannot be removed, and
// over names beside a set-aside item's that are taken.
constexpr std::int32_t kStageTries = 100;

std::function<bool(Step)>& StepHook() {
  static std::function<bool(Step)> hook;
  return hook;
}

std::function<bool(const std::string&)>& LookHook() {
  static std::function<bool(const std::string&)> hook;
  return hook;
}

// False when the test hook stops the machine here.
bool Reached(Step step) { return !StepHook() || StepHook()(step); }

// Bytes of a name read from the disk, as a name to give the framework back.
String AsName(const std::string& bytes) { return String::FromBytes(bytes, framework::EncodingId::None); }

// What the disk says of an entry: there, not there, or it could not say.
enum class Look { Absent, Present, Failed };

// Any directory entry under exactly this name, as the disk finds it (a link
// that leads nowhere is an item too); errno tells why a look failed.
Look LookAt(const FolderItemPtr& item) {
  struct stat info {};
  if (lstat(item->PosixPath().c_str(), &info) == 0) return Look::Present;
  return errno == ENOENT || errno == ENOTDIR ? Look::Absent : Look::Failed;
}

// A folder opened for listing and for acting inside it through its handle:
// the folder itself, never a link's target, unless the link is followed on
// purpose (a destination such as Documents may be a link to elsewhere).
FileHandle OpenFolder(int at, const std::string& name, bool followLink = false) {
  framework::BatonReleaser outside;
  return FileHandle(openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW)));
}

bool Names(int folderFd, std::vector<std::string>& names) {
  framework::BatonReleaser outside;
  return framework::ReadNames(folderFd, names);
}

// Two names that a disk which ignores letter case takes for one.
bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The name under which the disk keeps the entry it finds for `name`: that
// name, unless the disk ignores letter case and keeps the entry otherwise
// spelled; then the listed entry that is the same file.
std::string NameOnDisk(const fs::path& folder, const std::string& name) {
  struct stat found {};
  std::vector<std::string> names;
  const FileHandle fd = OpenFolder(AT_FDCWD, folder.string(), /*followLink=*/true);
  if (lstat((folder / name).c_str(), &found) != 0 || !fd.valid() || !Names(fd.get(), names)) return name;
  if (std::find(names.begin(), names.end(), name) != names.end()) return name;
  for (const std::string& listed : names) {
    struct stat info {};
    if (fstatat(fd.get(), listed.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && info.st_dev == found.st_dev &&
        info.st_ino == found.st_ino) {
      return listed;
    }
  }
  return name;
}

// A working folder: the folder (by its path, to name it, and open, to act
// inside it) and its mark, held while the object lives. Dropping it without
// Remove is what a stopped machine does.
struct Stage {
  FolderItemPtr folder;
  FileHandle fd;
  MarkFile mark;

  FolderItemPtr Part(const std::string& name) const { return FolderItem::FromPosix(folder->PosixPath() / name); }

  // Removes everything but the mark, then the mark, then the folder: what
  // cannot go keeps its mark beside it. True when the folder is gone.
  bool Remove() {
    std::vector<std::string> names;
    if (!Names(fd.get(), names)) return false;
    bool emptied = true;
    for (const std::string& name : names) {
      if (name != kMarkName && !framework::RemoveAt(fd.get(), name)) emptied = false;
    }
    if (!emptied) return false;
    mark.Release();
    fd.Reset();
    return framework::RemoveTree(folder->PosixPath());
  }
};

// A new working folder inside destination, marked, with its new/ folder;
// nullopt when none can be made (a disk that cannot be written, a
// destination that is not a folder). Its name is never the item's own.
std::optional<Stage> MakeStage(const FolderItemPtr& destination, const String& itemName, FileError& why) {
  why = FileError::Other;
  for (std::int32_t n = 1; n <= kStageTries; ++n) {
    const std::string name = kStagePrefix + std::to_string(n);
    if (SameIgnoringCase(name, itemName.Bytes())) continue;
    FolderItemPtr folder = destination->Child(String(name));
    if (!folder) return std::nullopt;
    if (!folder->CreateAsFolder()) {
      why = folder->LastError();
      if (why != FileError::NameTaken) return std::nullopt;
      continue;
    }
    Stage stage{folder, OpenFolder(AT_FDCWD, folder->PosixPath().string()), MarkFile()};
    if (!stage.fd.valid() || !stage.mark.Create(stage.fd.get(), kMarkName, kMarkContent)) {
      why = stage.fd.valid() ? stage.mark.LastError() : framework::FileErrorOf(errno);
      folder->Delete();
      return std::nullopt;
    }
    if (mkdirat(stage.fd.get(), kNew.c_str(), 0777) != 0) {
      why = framework::FileErrorOf(errno);
      stage.Remove();
      return std::nullopt;
    }
    return stage;
  }
  return std::nullopt;
}

// The name with a number added, as file managers name a second item of one
// name: before a file's extension ("memo 2.txt"), else at the end.
std::string NameBeside(const std::string& name, std::int32_t number, bool folder) {
  const std::size_t dot = name.rfind('.');
  const std::size_t extension = dot == std::string::npos ? 0 : name.size() - dot - 1;
  bool beforeExtension = !folder && dot != std::string::npos && dot > 0 && extension >= 1 && extension <= 8;
  for (std::size_t i = dot + 1; beforeExtension && i < name.size(); ++i) {
    beforeExtension = std::isalnum(static_cast<unsigned char>(name[i])) != 0;
  }
  const std::string suffix = " " + std::to_string(number);
  if (!beforeExtension) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

// A part of a working folder as recovery sees it: not there, a real folder
// with these names, or unsure (a failed look, or something else than a
// real folder, such as a link: nothing of it is acted on).
struct PartSeen {
  enum class State { Absent, Folder, Unsure } state = State::Unsure;
  FileHandle fd;
  std::vector<std::string> names;
};

PartSeen SeePart(const Stage& stage, const std::string& name) {
  PartSeen seen;
  if (LookHook() && !LookHook()(name)) return seen;
  struct stat info {};
  if (fstatat(stage.fd.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) seen.state = PartSeen::State::Absent;
    return seen;
  }
  if (!S_ISDIR(info.st_mode)) return seen;
  seen.fd = OpenFolder(stage.fd.get(), name);
  if (seen.fd.valid() && Names(seen.fd.get(), seen.names)) seen.state = PartSeen::State::Folder;
  return seen;
}

// Moves a set-aside old item back into folder: under its own name when the
// disk has no entry of exactly that name, else beside it. False when it
// stays.
bool PutBack(const PartSeen& old, const std::string& name, const FolderItemPtr& folder, int folderFd,
             std::vector<Recovered>& told) {
  struct stat info {};
  const bool isFolder = fstatat(old.fd.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
  for (std::int32_t n = 1; n <= kStageTries; ++n) {
    const std::string candidate = n == 1 ? name : NameBeside(name, n, isFolder);
    if (framework::MoveEntry(old.fd.get(), name, folderFd, candidate)) {
      if (n > 1) told.push_back({Recovered::What::PutBackBeside, folder->Child(AsName(candidate))});
      return true;
    }
    // Taken: the next number. Any other failure is the item's own.
    if (errno != EEXIST && errno != ENOTEMPTY) return false;
  }
  return false;
}

// Recovers one working folder that a stopped run left (its mark held now).
// Only what recovery has seen is acted on: a part it cannot see, or that is
// not a real folder, leaves the working folder whole.
void RecoverStage(Stage& stage, const FolderItemPtr& folder, int folderFd, std::vector<Recovered>& told) {
  const PartSeen copies = SeePart(stage, kNew);
  PartSeen old = SeePart(stage, kOld);
  if (copies.state == PartSeen::State::Unsure || old.state == PartSeen::State::Unsure) {
    told.push_back({Recovered::What::NotLooked, stage.folder});
    return;
  }
  // An old item set aside while its copy is still beside it: the run
  // stopped between its two renames, and the old item goes back. Without
  // a copy beside it, the copy took its place, as the person chose.
  if (!copies.names.empty() && !old.names.empty()) {
    bool allBack = true;
    for (const std::string& name : old.names) {
      if (!PutBack(old, name, folder, folderFd, told)) allBack = false;
    }
    if (!allBack) {
      told.push_back({Recovered::What::NotPutBack, stage.folder});
      return;
    }
    // Gone from old/ is seen, not assumed.
    old = SeePart(stage, kOld);
    if (old.state != PartSeen::State::Folder || !old.names.empty()) {
      told.push_back({Recovered::What::NotLooked, stage.folder});
      return;
    }
  }
  if (stage.Remove()) return;
  // What is left of it says what it was: a replaced old version lies in
  // old/, an unfinished copy in new/.
  const PartSeen left = SeePart(stage, kOld);
  const bool oldLeft = left.state != PartSeen::State::Absent && !(left.state == PartSeen::State::Folder && left.names.empty());
  told.push_back({oldLeft ? Recovered::What::ReplacedNotRemoved : Recovered::What::CopyNotRemoved, stage.folder});
}

// The item the list shows: a link at the top followed once, where the
// framework follows it (on the old machine's disk, as that machine does).
FolderItemPtr WhatMoves(const FolderItemPtr& item) { return item->LinkTarget(); }

// The end of a replace: the old item goes with the working folder. What
// cannot go stays there, and the failure names that folder, where the person
// finds it (the next run tries again).
Outcome SwappedOut(Stage& stage, Failure& failed) {
  if (stage.Remove()) return Outcome::Copied;
  failed.item = stage.folder;
  return Outcome::OldLeftOver;
}

// Whether the destination refused: its disk or folder full, read-only,
// closed to this user, failing, or gone.
bool DestinationRefused(FileError why) {
  return why == FileError::NoRoom || why == FileError::ReadOnly || why == FileError::NotPermitted ||
         why == FileError::WriteFailed || why == FileError::DestinationGone;
}

Outcome Copy(const FolderItemPtr& item, const FolderItemPtr& destination, Existing existing, Failure& failed) {
  const String name = item->Name();
  const FolderItemPtr there = destination->Child(name);
  if (!there) return Outcome::CopyFailed;
  const Look before = LookAt(there);
  if (before == Look::Failed) {
    failed.why = framework::FileErrorOf(errno);
    return Outcome::CopyFailed;
  }
  // Nothing is copied that could not be put in place anyway.
  if (before == Look::Present && existing == Existing::Keep) return Outcome::Kept;
  if (before == Look::Present && existing == Existing::Refuse) return Outcome::NameTaken;
  // A link that leads nowhere has nothing to move.
  const FolderItemPtr source = WhatMoves(item);
  if (!source) return Outcome::CopyFailed;

  std::optional<Stage> made = MakeStage(destination, name, failed.why);
  if (!made) return Outcome::CopyFailed;
  Stage& stage = *made;
  const FolderItemPtr copies = stage.Part(kNew);
  if (!source->CopyFileTo(copies)) {
    failed.why = source->LastError();
    failed.item = source->LastErrorItem();
    if (failed.item && failed.item->PosixPath() == item->PosixPath()) failed.item = nullptr;
    // The copy removed what it made; the destination is as it was.
    stage.Remove();
    return Outcome::CopyFailed;
  }
  FolderItemPtr copy = copies->Child(source->Name());
  if (source != item && !(source->Name() == name)) {
    // The link's target arrived under its own name; it moves under the link's.
    if (!copy->MoveFileTo(copies, name)) {
      failed.why = copy->LastError();
      stage.Remove();
      return Outcome::CopyFailed;
    }
    copy = copies->Child(name);
  }
  if (!Reached(Step::Copied)) return Outcome::CopyFailed;

  // Looked at again: the copy yielded, and a long copy gives other programs
  // time to put something there.
  const Look now = LookAt(there);
  if (now != Look::Present) {
    if (now == Look::Failed || !copy->MoveFileTo(destination, name)) {
      // Everything arrived, but could not be put in its place: say why.
      failed.why = now == Look::Failed ? framework::FileErrorOf(errno) : copy->LastError();
      stage.Remove();
      return Outcome::CopyFailed;
    }
    stage.Remove();
    return Outcome::Copied;
  }
  if (existing != Existing::Replace) {
    stage.Remove();
    return existing == Existing::Keep ? Outcome::Kept : Outcome::NameTaken;
  }

  // A disk that ignores letter case may keep the old item otherwise
  // spelled; the new one takes its own name once it stands in its place.
  const std::string oldName = NameOnDisk(destination->PosixPath(), there->PosixPath().filename().string());
  if (copy->ExchangeWith(there)) {
    if (!Reached(Step::SwappedIn)) return Outcome::CopyFailed;
    // The old item now in new/ goes to old/, so that its place tells a
    // replaced version from an unfinished copy, should it stay behind.
    renameat(stage.fd.get(), kNew.c_str(), stage.fd.get(), kOld.c_str());
    if (oldName != there->PosixPath().filename().string()) {
      destination->Child(AsName(oldName))->MoveFileTo(destination, name);
    }
    return SwappedOut(stage, failed);
  }

  // No exchange on this file system: two renames, the old item set aside
  // in old/ first (where the next run finds it beside its copy, should the
  // machine stop in between).
  const FolderItemPtr asideFolder = stage.Part(kOld);
  const FolderItemPtr old = destination->Child(AsName(oldName));
  if (!asideFolder->CreateAsFolder() || !old->MoveFileTo(asideFolder, AsName(oldName))) {
    failed.why = asideFolder->LastError() != FileError::None ? asideFolder->LastError() : old->LastError();
    stage.Remove();
    return Outcome::ReplaceFailed;
  }
  if (!Reached(Step::SetAside)) return Outcome::CopyFailed;
  if (!copy->MoveFileTo(destination, name)) {
    failed.why = copy->LastError();
    // The old item could not go back: it stays in the working folder, which
    // is therefore kept (and the next run puts it back). Lost it is not, but
    // its name no longer shows it, and the person is told where it is.
    if (!asideFolder->Child(AsName(oldName))->MoveFileTo(destination, AsName(oldName))) {
      failed.item = stage.folder;
      return Outcome::OldSetAside;
    }
    stage.Remove();
    return Outcome::ReplaceFailed;
  }
  return SwappedOut(stage, failed);
}

}  // namespace

void SetStepHookForTesting(std::function<bool(Step)> hook) { StepHook() = std::move(hook); }

void SetLookHookForTesting(std::function<bool(const std::string&)> hook) { LookHook() = std::move(hook); }

Outcome CopyInto(const FolderItemPtr& item, const FolderItemPtr& destination, Existing existing,
                 Failure* failure) {
  Failure local;
  Failure& failed = failure ? *failure : local;
  failed = Failure{FileError::NotFound, nullptr};
  if (!item || !destination) return Outcome::CopyFailed;
  const Outcome outcome = Copy(item, destination, existing, failed);
  // Where the destination refused, the line names the item that was to
  // stand there, not the source.
  if ((outcome == Outcome::CopyFailed || outcome == Outcome::ReplaceFailed) && DestinationRefused(failed.why)) {
    failed.item = destination->Child(item->Name());
  }
  return outcome;
}

std::vector<Recovered> Recover(const FolderItemPtr& folder) {
  std::vector<Recovered> told;
  if (!folder) return told;
  const FileHandle folderFd = OpenFolder(AT_FDCWD, folder->PosixPath().string(), /*followLink=*/true);
  std::vector<std::string> names;
  if (!folderFd.valid() || !Names(folderFd.get(), names)) {
    // What could not be listed may hold a stopped run's working folder.
    if (errno != ENOENT) told.push_back({Recovered::What::NotLooked, folder});
    if (!folderFd.valid()) return told;
  }
  for (const std::string& name : names) {
    if (!name.starts_with(kStagePrefix)) continue;
    const FolderItemPtr item = folder->Child(AsName(name));
    Stage stage{item, OpenFolder(folderFd.get(), name), MarkFile()};
    // Not a real folder (a link, a file of that name): the person's.
    if (!stage.fd.valid()) {
      if (errno != ENOENT && errno != ENOTDIR && errno != ELOOP) told.push_back({Recovered::What::NotLooked, item});
      continue;
    }
    // Unmarked: the person's. Held: a live run's.
    switch (stage.mark.Take(stage.fd.get(), kMarkName, kMarkContent)) {
      case MarkFile::Taken::Yes:
        RecoverStage(stage, folder, folderFd.get(), told);
        break;
      case MarkFile::Taken::Unsure:
        told.push_back({Recovered::What::NotLooked, item});
        break;
      case MarkFile::Taken::NotAMark:
      case MarkFile::Taken::HeldElsewhere:
        break;
    }
    framework::Yield();
  }
  return told;
}

bool IsWorkingFolder(const FolderItemPtr& item) {
  if (!item || !item->PosixPath().filename().string().starts_with(kStagePrefix)) return false;
  const FileHandle fd = OpenFolder(AT_FDCWD, item->PosixPath().string());
  return fd.valid() && MarkFile::Is(fd.get(), kMarkName, kMarkContent);
}

}  // namespace StagedCopy
