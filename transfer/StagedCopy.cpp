#include "transfer/StagedCopy.h"

#include <cstdint>

#include "framework/core/files/RemoveTree.h"
#include "framework/core/text/StringFunctions.h"

namespace StagedCopy {
namespace {

using framework::FolderItemPtr;
using framework::String;

// Enough tries to step over hidden folders that earlier runs left behind
// when the machine stopped in the middle of a copy.
constexpr std::int32_t kStageTries = 100;

// A new, empty hidden folder inside destination; nullptr when none can be
// made (a disk that cannot be written, a destination that is not a folder).
FolderItemPtr MakeStage(const FolderItemPtr& destination, framework::FileError& why) {
  why = framework::FileError::Other;
  for (std::int32_t n = 1; n <= kStageTries; ++n) {
    FolderItemPtr stage = destination->Child(String(".olvan-incoming-") + framework::Str(n));
    if (!stage) return nullptr;
    if (stage->CreateAsFolder()) return stage;
    why = stage->LastError();
    if (!stage->Exists()) return nullptr;
  }
  return nullptr;
}

// Removes the hidden folder with whatever is in it. True when it is gone.
bool RemoveStage(const FolderItemPtr& stage) { return framework::RemoveTree(stage->PosixPath()); }

bool Present(const FolderItemPtr& item) { return item && item->Exists(); }

}  // namespace

Outcome CopyInto(const FolderItemPtr& item, const FolderItemPtr& destination, Existing existing,
                 framework::FileError* why) {
  framework::FileError reason = framework::FileError::NotFound;
  if (why) *why = reason;
  if (!item || !destination) return Outcome::CopyFailed;
  const String name = item->Name();
  if (Present(destination->Child(name))) {
    // Nothing is copied that could not be put in place anyway.
    if (existing == Existing::Keep) return Outcome::Kept;
    if (existing == Existing::Refuse) return Outcome::NameTaken;
  }

  const FolderItemPtr stage = MakeStage(destination, reason);
  if (why) *why = reason;
  if (!stage) return Outcome::CopyFailed;
  if (!item->CopyFileTo(stage)) {
    if (why) *why = item->LastError();
    // The copy removed what it made; the destination is as it was.
    RemoveStage(stage);
    return Outcome::CopyFailed;
  }
  const FolderItemPtr copy = stage->Child(name);

  // Looked at again: the copy yielded, and a long copy gives other programs
  // time to put something there.
  const FolderItemPtr old = destination->Child(name);
  FolderItemPtr aside;
  String oldName;
  if (Present(old)) {
    if (existing != Existing::Replace) {
      RemoveStage(stage);
      return existing == Existing::Keep ? Outcome::Kept : Outcome::NameTaken;
    }
    // The old item may differ from the copy's name in letter case; it goes
    // back under its own name if the copy cannot take its place.
    oldName = old->Name();
    const String asideName = name == ".olvan-previous" ? ".olvan-previous-2" : ".olvan-previous";
    if (!old->MoveFileTo(stage, asideName)) {
      RemoveStage(stage);
      return Outcome::ReplaceFailed;
    }
    aside = stage->Child(asideName);
  }

  if (!copy || !copy->MoveFileTo(destination, name)) {
    if (aside && !aside->MoveFileTo(destination, oldName)) {
      // The old item could not go back: it stays in the hidden folder,
      // which is therefore kept. Lost it is not.
      return Outcome::ReplaceFailed;
    }
    RemoveStage(stage);
    return aside ? Outcome::ReplaceFailed : Outcome::CopyFailed;
  }
  if (!RemoveStage(stage)) return aside ? Outcome::OldLeftOver : Outcome::Copied;
  return Outcome::Copied;
}

}  // namespace StagedCopy
