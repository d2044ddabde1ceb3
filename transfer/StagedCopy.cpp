#include "transfer/StagedCopy.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/files/RemoveTree.h"
#include "framework/core/text/StringFunctions.h"
#include "transfer/StagingNames.h"

namespace StagedCopy {
namespace {

using framework::FileError;
using framework::FolderItem;
using framework::FolderItemPtr;
using framework::String;

const std::string kStagePrefix = std::string(StagingNames::kPrefix) + "incoming-";
// The old item's place inside the hidden folder, where the file system
// cannot exchange; the second where the item itself bears the first name.
const std::string kAside = std::string(StagingNames::kPrefix) + "previous";
const std::string kAsideOther = kAside + "-2";

// Enough tries to step over hidden folders that cannot be removed.
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
  return item && std::filesystem::exists(std::filesystem::symlink_status(item->PosixPath(), error));
}

// A new, empty hidden folder inside destination; nullptr when none can be
// made (a disk that cannot be written, a destination that is not a folder).
FolderItemPtr MakeStage(const FolderItemPtr& destination, FileError& why) {
  why = FileError::Other;
  for (std::int32_t n = 1; n <= kStageTries; ++n) {
    FolderItemPtr stage = destination->Child(String(kStagePrefix) + framework::Str(n));
    if (!stage) return nullptr;
    if (stage->CreateAsFolder()) return stage;
    why = stage->LastError();
    if (!Present(stage)) return nullptr;
  }
  return nullptr;
}

// Removes the hidden folder with whatever is in it. True when it is gone.
bool RemoveStage(const FolderItemPtr& stage) { return framework::RemoveTree(stage->PosixPath()); }

// What an interrupted run left in one hidden folder: an old item set aside
// whose name is still empty goes back. The copy beside it names it.
void PutBackSetAside(const std::filesystem::path& stage, const std::filesystem::path& destination) {
  std::error_code error;
  std::string aside;
  std::string copy;
  for (const auto& entry : std::filesystem::directory_iterator(stage, error)) {
    const std::string name = entry.path().filename().string();
    if (name == kAside || name == kAsideOther) {
      if (!aside.empty()) return;  // not a layout this program leaves
      aside = name;
    } else {
      if (!copy.empty()) return;
      copy = name;
    }
  }
  if (aside.empty() || copy.empty()) return;
  const FolderItemPtr old = FolderItem::FromPosix(stage / aside);
  const FolderItemPtr into = FolderItem::FromPosix(destination);
  if (!Present(into->Child(String(copy)))) old->MoveFileTo(into, String(copy));
}

// Recovers what interrupted runs left in destination (only a run that was
// killed leaves anything: one that ends, by success, failure or stop,
// removes its own).
void Recover(const FolderItemPtr& destination) {
  std::error_code error;
  std::vector<std::filesystem::path> stages;
  for (const auto& entry : std::filesystem::directory_iterator(destination->PosixPath(), error)) {
    if (entry.path().filename().string().starts_with(kStagePrefix)) stages.push_back(entry.path());
  }
  for (const auto& stage : stages) {
    PutBackSetAside(stage, destination->PosixPath());
    framework::RemoveTree(stage);
  }
}

// The item the list shows: a link at the top followed once, where the
// framework follows it (on the old machine's disk, as that machine does).
FolderItemPtr WhatMoves(const FolderItemPtr& item) { return item->LinkTarget(); }

}  // namespace

void SetStepHookForTesting(std::function<bool(Step)> hook) { StepHook() = std::move(hook); }

Outcome CopyInto(const FolderItemPtr& item, const FolderItemPtr& destination, Existing existing,
                 Failure* failure) {
  Failure local;
  Failure& failed = failure ? *failure : local;
  failed = Failure{FileError::NotFound, nullptr};
  if (!item || !destination) return Outcome::CopyFailed;
  Recover(destination);
  const String name = item->Name();
  if (Present(destination->Child(name))) {
    // Nothing is copied that could not be put in place anyway.
    if (existing == Existing::Keep) return Outcome::Kept;
    if (existing == Existing::Refuse) return Outcome::NameTaken;
  }
  // A link that leads nowhere has nothing to move.
  const FolderItemPtr source = WhatMoves(item);
  if (!source) return Outcome::CopyFailed;

  const FolderItemPtr stage = MakeStage(destination, failed.why);
  if (!stage) return Outcome::CopyFailed;
  if (!source->CopyFileTo(stage)) {
    failed.why = source->LastError();
    failed.item = source->LastErrorItem();
    if (failed.item && failed.item->PosixPath() == item->PosixPath()) failed.item = nullptr;
    // The copy removed what it made; the destination is as it was.
    RemoveStage(stage);
    return Outcome::CopyFailed;
  }
  FolderItemPtr copy = stage->Child(source->Name());
  if (source != item && !(source->Name() == name)) {
    // The link's target arrived under its own name; it moves under the link's.
    if (!copy->MoveFileTo(stage, name)) {
      failed.why = copy->LastError();
      RemoveStage(stage);
      return Outcome::CopyFailed;
    }
    copy = stage->Child(name);
  }
  if (!Reached(Step::Copied)) return Outcome::CopyFailed;

  // Looked at again: the copy yielded, and a long copy gives other programs
  // time to put something there.
  const FolderItemPtr old = destination->Child(name);
  if (!Present(old)) {
    if (!copy->MoveFileTo(destination, name)) {
      // Everything arrived, but could not be put in its place: say why.
      failed.why = copy->LastError();
      RemoveStage(stage);
      return Outcome::CopyFailed;
    }
    RemoveStage(stage);
    return Outcome::Copied;
  }
  if (existing != Existing::Replace) {
    RemoveStage(stage);
    return existing == Existing::Keep ? Outcome::Kept : Outcome::NameTaken;
  }

  // The old item may differ from the copy's name in letter case; the new
  // one takes its own name once it stands in the old one's place.
  const String oldName = old->Name();
  if (copy->ExchangeWith(old)) {
    if (!Reached(Step::SwappedIn)) return Outcome::CopyFailed;
    if (!(oldName == name)) destination->Child(oldName)->MoveFileTo(destination, name);
    return RemoveStage(stage) ? Outcome::Copied : Outcome::OldLeftOver;
  }

  // No exchange on this file system: two renames, the old item set aside
  // in the hidden folder first (where the next run finds it, should the
  // machine stop in between).
  const String asideName = name == String(kAside) ? kAsideOther : kAside;
  if (!old->MoveFileTo(stage, asideName)) {
    failed.why = old->LastError();
    RemoveStage(stage);
    return Outcome::ReplaceFailed;
  }
  if (!Reached(Step::SetAside)) return Outcome::CopyFailed;
  if (!copy->MoveFileTo(destination, name)) {
    failed.why = copy->LastError();
    // The old item could not go back: it stays in the hidden folder, which
    // is therefore kept (and the next run puts it back). Lost it is not.
    if (!stage->Child(asideName)->MoveFileTo(destination, oldName)) return Outcome::ReplaceFailed;
    RemoveStage(stage);
    return Outcome::ReplaceFailed;
  }
  return RemoveStage(stage) ? Outcome::Copied : Outcome::OldLeftOver;
}

}  // namespace StagedCopy
