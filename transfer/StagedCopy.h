// How the transfer worker puts one item into its destination folder without
// ever leaving the destination worse off than it found it.
//
// The item is copied into a fresh hidden folder inside the destination
// folder (same disk, so the moves below are renames), then moved out under
// its own name. An item of that name already there is, with Replace, first
// moved into the hidden folder and deleted only once its successor stands
// in its place; when anything fails before that, the old item goes back and
// the partial copy is removed with the hidden folder. The hidden folder's
// name begins with ".", so neither the paste nor the item list ever take it
// for an item, should the machine stop in the middle.
#pragma once

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

// why, when given, receives the file system's reason for a CopyFailed.
Outcome CopyInto(const framework::FolderItemPtr& item, const framework::FolderItemPtr& destination,
                 Existing existing, framework::FileError* why = nullptr);

}  // namespace StagedCopy
