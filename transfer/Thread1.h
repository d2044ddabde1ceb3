// Thread1: the transfer worker of STEP 3 and STEP 4. One object serves one
// run, started by Window1::PutForCopy or Window1::PutForPaste with pWin1,
// pMode and pExist set:
//   ModeCopy     copies the checked items of the item list into the transfer
//                folder "temp" beside the program (on the external device);
//   ModePaste    pastes everything the copy put into "temp" into this
//                machine's Applications, Preferences, Application Support
//                and Documents folders;
//   ModeNetCopy  copies the checked items straight from the old machine's
//                disk, mounted over the network, into those folders.
//
// Every item lands the same way (StagedCopy.h): copied first into a hidden
// folder beside its destination and moved under its final name only when
// the whole copy succeeded, so no half-copied item ever stands under a real
// name, and an item being replaced is set aside, not deleted, until its
// successor is in place.
//
// Nothing that goes wrong passes silently: every item whose copy,
// replacement or destination folder failed is collected, and a run with
// such items ends with a completion text that says so and a caution dialog
// that lists them. What the program itself left behind (a working folder
// that could not be removed, an old version that recovery put back beside
// its name) is told in the same dialog under a heading of its own, but is no
// failure: a run's end text, marker, quit question and paste phase follow
// its own items alone. Such a run leaves the wizard as a stopped run does
// (pStopThread1 set, the run's button enabled again): the copy-done marker
// is not written after a device copy with failures, so the new machine is
// never told that everything is there; a paste with failures stays pending,
// so the next launch from the device opens STEP 4 again.
//
// A quit while a run goes closes the wizard (pWin1 stays valid: it is held
// here). The walks take a closed wizard as a stop, at the next item, and
// nothing is asked of the person any more: the program waits for this
// worker to end before it goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"
#include "framework/core/threads/Thread.h"

class Window1;
class Window2;
struct FIEntry;

namespace framework {
class Label;
class ProgressBar;
class PushButton;
}

class Thread1 : public framework::Thread {
 public:
  using FolderItemPtr = framework::FolderItemPtr;
  using String = framework::String;

  static constexpr std::int32_t ModeCopy = 1;     // copy to the device
  static constexpr std::int32_t ModePaste = 2;    // paste from the device
  static constexpr std::int32_t ModeNetCopy = 3;  // copy over the network

  // Set by the starter before Run.
  std::shared_ptr<Window1> pWin1;
  std::int32_t pMode = 0;
  // True: an item of the same name at the destination is replaced; false:
  // it stays and the transferred one is not copied. Read by the paste and
  // the network copy; the device copy starts from an empty "temp".
  bool pExist = false;

  void Event_Run() override;

 protected:
  // The walks; each returns true when it ended on the stop request.
  bool CopyFolderItem();
  bool PasteFolderItem();
  bool NetCopyPaste();
  // The number of items the walk of the mode will transfer. PasteCount
  // also records what it counted, for the walk to tell what went missing.
  std::int32_t CopyCount();
  std::int32_t PasteCount();
  // Leaves an empty "temp" beside the program.
  void DeleteFolderItem();

 private:
  // One row of the item list that counted for this run when it started: the
  // index of its entry in the item table and the kind code of the row.
  struct ChosenItem {
    std::size_t entry;
    String kind;
  };
  // Takes the rows that count for a transfer (column 0 checked, a kind in
  // column 1, an index into the item table in column 2), in list order,
  // without giving way: the count and the walk of a copy run work from this
  // one reading, never from the list as it stands later. In the same moment
  // the list's boxes are held for this run (Window2::HoldChecks); the list
  // is returned for the run to give them back as it ends.
  std::shared_ptr<Window2> TakeChosenItems();
  // The entry a chosen row names.
  FIEntry& EntryOf(const ChosenItem& chosen) const;
  // The wizard was closed (the program is quitting): no further item.
  bool Abandoned() const;
  // Whether an entry of a category folder is one the paste takes: anything
  // the copy put there, but neither what the operating system drops into
  // folders by itself (".DS_Store" and the like) nor a marked working folder.
  static bool Pastable(const FolderItemPtr& item);
  // Makes the folder, with any missing folders above it, unless it is there
  // already. The walks call it just before they first write into a
  // destination: nothing is made in the person's home that nothing goes
  // into. True when the folder is there.
  static bool MakeFolder(const FolderItemPtr& folder);
  // Lands item in destination by StagedCopy with the replace choice of the
  // mode, and records a failure. verb is "コピー" or "ペースト", for the
  // reasons the person reads.
  void Transfer(const FolderItemPtr& item, const FolderItemPtr& destination, const String& verb);
  // Recovers this machine's four destination folders from stopped runs
  // (StagedCopy::Recover) before a paste or network copy writes: an item a
  // stopped replace set aside is back before anything else is looked at,
  // whatever this run writes. What the person must know becomes notices.
  void RecoverDestinations();
  void EndOfRun(framework::ProgressBar& bar, framework::PushButton& button, const String& caption,
                framework::Label& status);
  static String ReasonWhy(framework::FileError why);
  static String Line(const FolderItemPtr& item, const String& text);
  void Fail(const FolderItemPtr& item, const String& reason);
  // Something the program left behind, told but not failed.
  void Notice(const FolderItemPtr& item, const String& what);
  // The caution dialog listing the failures of this run and the notices.
  void ReportFailures(const String& message);

  void RunCopy();
  void RunPaste();
  void RunNetCopy();

  // A category folder of "temp" and the entries in it that PasteCount
  // counted at the start of the paste.
  struct ExpectedCategory {
    FolderItemPtr folder;
    std::vector<FolderItemPtr> items;
  };

  // The person's lines: each an item's path and what befell it.
  std::vector<String> failures_;
  std::vector<String> notices_;
  // Filled by PasteCount, in the order of the categories the paste walks.
  std::vector<ExpectedCategory> pasteExpected_;
  // Taken when a copy run starts (see Event_Run); empty for a paste.
  std::vector<ChosenItem> chosen_;
};
