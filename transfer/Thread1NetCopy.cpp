// The network copy: the items checked when the run started go from the old
// machine's disk, mounted over the network, straight into this machine's
// folder for their kind.
#include "transfer/Thread1.h"

#include "framework/core/threads/Baton.h"
#include "helpers/Globals.h"
#include "helpers/TextEnco.h"
#include "wizard/Window1.h"

namespace {

using framework::FolderItemPtr;
using framework::String;

// This machine's folder for a kind code; nullptr for a code outside the six
// the item list writes.
FolderItemPtr DestinationFor(const String& kind) {
  if (kind == "AD" || kind == "A") return framework::SpecialFolder::Applications();
  if (kind == "P") return framework::SpecialFolder::Preferences();
  if (kind == "AS") return framework::SpecialFolder::ApplicationData();
  if (kind == "DD" || kind == "D") return framework::SpecialFolder::Documents();
  return nullptr;
}

}  // namespace

bool Thread1::NetCopyPaste() {
  std::int32_t copied = 0;
  for (const ChosenItem& chosen : chosen_) {
    if (Abandoned()) return true;
    if (FIEntry& entry = EntryOf(chosen); !entry.used) {
      const FolderItemPtr item = entry.item;
      const FolderItemPtr destination = DestinationFor(chosen.kind);
      const bool present = item && item->Exists();
      // The destination is made only now that something goes into it.
      if (present && MakeFolder(destination)) {
        pWin1->StaticText21().Text(item->AbsolutePath() +
                                   TextEnco::gEncText(" をコピー中...", "UTF-8", "Shift-JIS"));
        Globals::gWait(100);
        Transfer(item, destination, "コピー");
        // The old machine's disk is read over the network: a pause after
        // each item leaves it and the network room for others.
        Globals::gWait(1000);
        ++copied;
        pWin1->ProgressBar1().Value(copied);
        if (pWin1->pStopThread1) return true;
      } else if (present) {
        Fail(destination ? destination->Child(item->Name()) : item, "コピー先のフォルダを作成できませんでした。");
      } else {
        // Gone from the old disk since the scan (the disk unmounted, the
        // network dropped, the item removed there): it does not arrive, and
        // the person must not take the copy for complete.
        Fail(item, "コピー元のアイテムが見つかりません。");
      }
      entry.used = true;
    }
    framework::Yield();
  }
  return false;
}
