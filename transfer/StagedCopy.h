// How the transfer worker puts one item into its destination folder without
// ever leaving the destination worse off than it found it.
//
// The item is copied into a fresh hidden folder inside the destination
// folder (same disk, so the moves below are renames), then moved out under
// its own name. An item of that name already there (any directory entry,
// a link that leads nowhere included) is, with Replace, swapped with the
// copy in one atomic exchange, so the name always shows the old item or the
// whole new one, and deleted with the hidden folder afterwards. Where the
// file system cannot exchange, the old item is first moved into the hidden
// folder and goes back when the copy cannot take its place. The hidden
// folder's name begins with ".", so neither the paste nor the item list ever
// take it for an item.
//
// A machine that stops in the middle leaves hidden folders behind; the next
// copy into that folder first recovers them: an old item whose name was
// left empty goes back under its name, and every hidden folder is removed.
//
// The item the person chose is what moves: an item that is a symbolic link
// is followed once, and its target copied under the item's name (links
// inside it stay links).
#pragma once

#include <functional>

#include "framework/core/files/FolderItem.h"

namespace StagedCopy {

// What to do about an item of the same name already in the destination.
enum class Existing {
  Replace,  // replace it
  Keep,     // leave it, and do not copy (the person chose to keep such items)
  Refuse,   // leave it, and count the copy as failed (nothing may be lost)
};

enum class Outcome {
  Copied,         // the item stands under its own name in the destination
  Kept,           // an item of that name was there and stays (Existing::Keep)
  CopyFailed,     // nothing changed in the destination
  NameTaken,      // an item of that name was there (Existing::Refuse); nothing changed
  ReplaceFailed,  // the copy succeeded but could not take the old item's place; the old item stays
  OldLeftOver,    // replaced, but the old item could not be deleted completely
                  // (what is left of it lies in a hidden folder beside the new one)
};

// Why a copy failed (CopyFailed, ReplaceFailed), where the system told.
struct Failure {
  framework::FileError why = framework::FileError::None;
  // The innermost item that could not be copied, when it is not the item
  // itself (a file deep inside a folder); else nullptr.
  framework::FolderItemPtr item;
};

Outcome CopyInto(const framework::FolderItemPtr& item, const framework::FolderItemPtr& destination,
                 Existing existing, Failure* failure = nullptr);

// For tests: the steps of one CopyInto between which a machine may stop.
enum class Step {
  Copied,     // the copy is complete in the hidden folder
  SetAside,   // the old item was moved into the hidden folder (no exchange here)
  SwappedIn,  // the copy stands under the name; the old item is in the hidden folder
};
// While set, asked after each step; false ends CopyInto there at once as a
// machine that stops would (nothing cleaned up), returning CopyFailed.
void SetStepHookForTesting(std::function<bool(Step)> hook);

}  // namespace StagedCopy
