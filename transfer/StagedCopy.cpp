#include "transfer/StagedCopy.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/core/files/MarkFile.h"
#include "framework/core/files/RemoveTree.h"
#include "framework/core/threads/Baton.h"

namespace StagedCopy {
namespace {

namespace fs = std::filesystem;
using framework::FileError;
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

// False when the test hook stops the machine here.
bool Reached(Step step) { return !StepHook() || StepHook()(step); }

// Any directory entry: a link that leads nowhere is an item too.
bool Present(const FolderItemPtr& item) {
  std::error_code error;
  return item && fs::exists(fs::symlink_status(item->PosixPath(), error));
}

bool RealFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(fs::symlink_status(path, error));
}

// The names directly inside a folder; none for one that is not there.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) names.push_back(entry.path().filename().string());
  return names;
}

// Two names that a disk which ignores letter case takes for one.
bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// A working folder of this run: the folder and its mark, held while the
// object lives. Dropping it without Remove is what a stopped machine does.
struct Stage {
  FolderItemPtr folder;
  MarkFile mark;

  FolderItemPtr Part(const std::string& name) const { return FolderItem::FromPosix(folder->PosixPath() / name); }

  // Removes everything but the mark, then the mark, then the folder: what
  // cannot go keeps its mark beside it. True when the folder is gone.
  bool Remove() {
    const fs::path path = folder->PosixPath();
    bool emptied = true;
    for (const std::string& name : Names(path)) {
      if (name != kMarkName && !framework::RemoveTree(path / name)) emptied = false;
    }
    if (!emptied) return false;
    mark.Release();
    return framework::RemoveTree(path);
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
      if (!Present(folder)) return std::nullopt;
      continue;
    }
    Stage stage{folder, MarkFile()};
    if (!stage.mark.Create(folder->PosixPath() / kMarkName, kMarkContent)) {
      why = stage.mark.LastError();
      folder->Delete();
      return std::nullopt;
    }
    const FolderItemPtr copies = stage.Part(kNew);
    if (!copies->CreateAsFolder()) {
      why = copies->LastError();
      stage.Remove();
      return std::nullopt;
    }
    return stage;
  }
  return std::nullopt;
}

// The name with a number added, as file managers name a second item of one
// name: before a file's extension ("memo 2.txt"), else at the end.
String NameBeside(const std::string& name, std::int32_t number, bool folder) {
  const std::size_t dot = name.rfind('.');
  const std::size_t extension = dot == std::string::npos ? 0 : name.size() - dot - 1;
  bool beforeExtension = !folder && dot != std::string::npos && dot > 0 && extension >= 1 && extension <= 8;
  for (std::size_t i = dot + 1; beforeExtension && i < name.size(); ++i) {
    beforeExtension = std::isalnum(static_cast<unsigned char>(name[i])) != 0;
  }
  const std::string suffix = " " + std::to_string(number);
  if (!beforeExtension) return String(name + suffix);
  return String(name.substr(0, dot) + suffix + name.substr(dot));
}

// Moves a set-aside old item back into folder: under its own name when no
// entry has it (in any letter case), else beside it. False when it stays.
bool PutBack(const FolderItemPtr& aside, const FolderItemPtr& folder, std::vector<Recovered>& told) {
  const std::string name = aside->PosixPath().filename().string();
  const bool isFolder = RealFolder(aside->PosixPath());
  for (std::int32_t n = 1; n <= kStageTries; ++n) {
    const String candidate = n == 1 ? String(name) : NameBeside(name, n, isFolder);
    if (Present(folder->Child(candidate))) continue;
    if (aside->MoveFileTo(folder, candidate)) {
      if (n > 1) told.push_back({Recovered::What::PutBackBeside, folder->Child(candidate)});
      return true;
    }
    // Taken meanwhile: the next number. Any other failure is the item's own.
    if (aside->LastError() != FileError::NameTaken) return false;
  }
  return false;
}

// Recovers one working folder that a stopped run left (its mark held now).
void RecoverStage(Stage& stage, const FolderItemPtr& folder, std::vector<Recovered>& told) {
  const fs::path old = stage.folder->PosixPath() / kOld;
  // The copy gone from new/ means it took the old item's place: the old
  // item was replaced as the person chose, and goes with the folder.
  if (!Names(stage.folder->PosixPath() / kNew).empty()) {
    bool allBack = true;
    for (const std::string& name : Names(old)) {
      if (!PutBack(FolderItem::FromPosix(old / name), folder, told)) allBack = false;
    }
    if (!allBack) {
      told.push_back({Recovered::What::NotPutBack, stage.folder});
      return;
    }
  }
  if (!stage.Remove()) told.push_back({Recovered::What::NotRemoved, stage.folder});
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

}  // namespace

void SetStepHookForTesting(std::function<bool(Step)> hook) { StepHook() = std::move(hook); }

Outcome CopyInto(const FolderItemPtr& item, const FolderItemPtr& destination, Existing existing,
                 Failure* failure) {
  Failure local;
  Failure& failed = failure ? *failure : local;
  failed = Failure{FileError::NotFound, nullptr};
  if (!item || !destination) return Outcome::CopyFailed;
  const String name = item->Name();
  if (Present(destination->Child(name))) {
    // Nothing is copied that could not be put in place anyway.
    if (existing == Existing::Keep) return Outcome::Kept;
    if (existing == Existing::Refuse) return Outcome::NameTaken;
  }
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
  const FolderItemPtr old = destination->Child(name);
  if (!Present(old)) {
    if (!copy->MoveFileTo(destination, name)) {
      // Everything arrived, but could not be put in its place: say why.
      failed.why = copy->LastError();
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

  // The old item may differ from the copy's name in letter case; the new
  // one takes its own name once it stands in the old one's place.
  const String oldName = old->Name();
  if (copy->ExchangeWith(old)) {
    if (!Reached(Step::SwappedIn)) return Outcome::CopyFailed;
    if (!(oldName == name)) destination->Child(oldName)->MoveFileTo(destination, name);
    return SwappedOut(stage, failed);
  }

  // No exchange on this file system: two renames, the old item set aside
  // in old/ first (where the next run finds it beside its copy, should the
  // machine stop in between).
  const FolderItemPtr asideFolder = stage.Part(kOld);
  if (!asideFolder->CreateAsFolder() || !old->MoveFileTo(asideFolder, oldName)) {
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
    if (!asideFolder->Child(oldName)->MoveFileTo(destination, oldName)) {
      failed.item = stage.folder;
      return Outcome::OldSetAside;
    }
    stage.Remove();
    return Outcome::ReplaceFailed;
  }
  return SwappedOut(stage, failed);
}

std::vector<Recovered> Recover(const FolderItemPtr& folder) {
  std::vector<Recovered> told;
  if (!folder) return told;
  for (const std::string& name : Names(folder->PosixPath())) {
    if (!name.starts_with(kStagePrefix) || !RealFolder(folder->PosixPath() / name)) continue;
    Stage stage{FolderItem::FromPosix(folder->PosixPath() / name), MarkFile()};
    // Unmarked: the person's. Held: a live run's.
    if (stage.mark.Take(stage.folder->PosixPath() / kMarkName, kMarkContent) != MarkFile::Taken::Yes) continue;
    RecoverStage(stage, folder, told);
    framework::Yield();
  }
  return told;
}

bool IsWorkingFolder(const FolderItemPtr& item) {
  if (!item || !item->PosixPath().filename().string().starts_with(kStagePrefix)) return false;
  return RealFolder(item->PosixPath()) && MarkFile::Is(item->PosixPath() / kMarkName, kMarkContent);
}

}  // namespace StagedCopy
