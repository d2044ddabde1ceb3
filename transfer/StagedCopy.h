// How the transfer worker puts one item into its destination folder without
// ever leaving the destination worse off than it found it.
//
// The working folder. The item is copied into a fresh hidden folder
// ".olvan-incoming-N" inside the destination folder (same disk, so the moves
// below are renames). The moment that folder is made, a mark file
// ".olvan-mark" is created in it exclusively, holding one fixed line that
// only this program writes, flushed to the disk (MarkFile.h); the run keeps
// the mark open and locked until it is done with the folder. Besides the
// mark the folder holds
//   new/  the copy, under its own name (after an exchange: the old item);
//   old/  where the disk cannot exchange, the old item set aside, under its
//         own name;
// so what each part is shows in the layout, and the mark says only whose the
// folder is. A folder is a working folder only with a valid mark: any entry
// without one is the person's, whatever its name. The paste, the scan and
// recovery pass over marked ones only (IsWorkingFolder); a person's own
// ".olvan-incoming-1" is an item like any other, and the working folder's
// number steps over it and over the item's own name. A machine that stops
// between making the folder and its mark leaves an empty hidden folder
// without one, which is then left alone like any entry of the person's.
//
// Replacing. An item of the same name already there (the entry the disk
// finds under exactly that name, a link that leads nowhere included; a
// name that differs in case, by folding or in bytes is another item, left
// as it is, unless the disk itself ignores case) is, with Replace, swapped with the
// copy in one atomic exchange, so the name always shows the old item or the
// whole new one, and deleted with the working folder afterwards. Where the
// file system cannot exchange (network homes, many user-space disks), the
// old item is first moved into old/, then the copy out under the name; the
// old item goes back when the copy cannot take its place.
//
// Recovery. A run that ends, by success, failure or stop, removes its
// working folder; only a machine that stops in the middle leaves one. A
// paste and a network copy first recover each folder they may write into
// (Recover; the device copy starts from an empty transfer folder), taking
// each marked working folder whose mark no live run holds. Recovery acts
// only on what it has seen: it opens the working folder and its parts
// through handles, never following a link, and a look that fails (a
// listing, a status, the mark's reading or locking), or a part that is not
// a real folder, leaves the working folder whole and is told.
//   - an old item set aside while its copy is still beside it (a run
//     stopped between the two renames) goes back under its name when the
//     disk has no entry of exactly that name; else it comes back beside
//     under a free name, its name with a number added as file managers do
//     ("Toskarine 2", before the extension of a file: "memo 2.txt"), and
//     Recover tells so. When it cannot move at all, the working folder stays
//     whole and Recover tells so. Recovery never deletes a set-aside version.
//   - the working folder goes only once what it held has been seen back in
//     place, or seen to be what may go: an unfinished copy in new/ (its
//     source is still there), or in old/ without a copy beside it an old
//     item that its copy replaced, as the person chose (after an exchange
//     the old item is moved from new/ to old/ for this). Everything is
//     removed, the mark last: a folder that cannot be emptied (an immutable
//     file, a disk mounted inside) stays marked, and every later recovery
//     tries again and tells, by what is left, which of the two it holds.
// What recovery tells is the program's own leftover, never a failure of
// the run that finds it.
//
// Locks. A mark that a live run holds locked (another copy of the program
// writing into the same folder, on this machine or another one) is passed
// over. Where the disk cannot lock at all, runs go on unlocked and recovery
// takes every mark for a dead run's: recovery only ever moves a set-aside
// version back and removes nothing but copies (whose sources are still
// there) and versions that the person chose to replace, so taking a live
// run's folder can make that run fail its item in hand, which it reports,
// but loses nothing of the person's; passing over such marks instead would
// leave a stopped replace's item missing under its name for good.
//
// The item the person chose is what moves: an item that is a symbolic link
// is followed once, and its target copied under the item's name (links
// inside it stay links).
#pragma once

#include <functional>
#include <string>
#include <vector>

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
                  // (what is left of it lies in the working folder beside the new
                  // one, which the failure names)
  OldSetAside,    // where the disk cannot exchange: the copy could not take the old item's
                  // place, and the old item could not go back either (its name was taken
                  // meanwhile); it stays set aside in the working folder, which the
                  // failure names, for the next run's recovery to bring back
};

// Why a copy failed (CopyFailed, ReplaceFailed, OldSetAside), where the system told.
struct Failure {
  framework::FileError why = framework::FileError::None;
  // What the person's line names, when it is not the item itself: where
  // the destination refused (full, read-only, not permitted, failing, gone)
  // the item that was to stand in the destination; else the innermost item
  // that could not be copied (a file deep inside a folder); with
  // OldSetAside and OldLeftOver the working folder that holds the old item;
  // else nullptr.
  framework::FolderItemPtr item;
};

Outcome CopyInto(const framework::FolderItemPtr& item, const framework::FolderItemPtr& destination,
                 Existing existing, Failure* failure = nullptr);

// What recovery did or left that the person must be told of.
struct Recovered {
  enum class What {
    PutBackBeside,       // a set-aside old item came back beside its name: item is where it stands now
    NotPutBack,          // a set-aside old item could not move: item is the working folder that holds it
    ReplacedNotRemoved,  // an old item replaced as chosen could not be deleted: item is its working folder
    CopyNotRemoved,      // an unfinished copy could not be deleted: item is its working folder
    NotLooked,           // a look failed or a part is not a real folder: item (a working folder, or
                         // the folder that could not be listed) stays as it is
  };
  What what;
  framework::FolderItemPtr item;
};

// Recovers what stopped runs left in folder (see above); returns what the
// person must be told, nothing when all went back as it was.
std::vector<Recovered> Recover(const framework::FolderItemPtr& folder);

// Whether item is a working folder of this program's (marked), live or left.
bool IsWorkingFolder(const framework::FolderItemPtr& item);

// For tests: the steps of one CopyInto between which a machine may stop.
enum class Step {
  Copied,     // the copy is complete in the hidden folder
  SetAside,   // the old item was moved into the hidden folder (no exchange here)
  SwappedIn,  // the copy stands under the name; the old item is in the hidden folder
};
// While set, asked after each step; false ends CopyInto there at once as a
// machine that stops would (nothing cleaned up), returning CopyFailed.
void SetStepHookForTesting(std::function<bool(Step)> hook);
// While set, asked before recovery looks into a part of a working folder
// ("new", "old"); false makes that look fail as a failing disk would.
void SetLookHookForTesting(std::function<bool(const std::string&)> hook);

}  // namespace StagedCopy
