// The copy to the device: the items checked in the item list when the run
// started go into the transfer folder "temp" beside the program, each into
// the category folder of its kind.
#include "transfer/Thread1.h"

#include "framework/core/threads/Baton.h"
#include "helpers/Globals.h"
#include "helpers/TextEnco.h"
#include "wizard/Window1.h"

namespace {

using framework::String;

// The category folder in "temp" for a kind code; "" for a code outside the
// six the item list writes.
String CategoryFor(const String& kind) {
  if (kind == "AD" || kind == "A") return "App";
  if (kind == "P") return "Pref";
  if (kind == "AS") return "AS";
  if (kind == "DD" || kind == "D") return "Doc";
  return "";
}

}  // namespace

void Thread1::DeleteFolderItem() {
  const FolderItemPtr transferFolder = framework::GetFolderItem("temp");
  if (!transferFolder) return;
  if (transferFolder->Exists()) Globals::gDeleteFolder(transferFolder);
  // Without "temp" nothing of this run arrives, and what an earlier run left
  // must not travel to the new machine mixed with this run's items. Either
  // is told with the disk's reason (a read-only or locked device, a folder
  // this user may not write), and the run ends on it (RunCopy).
  if (!transferFolder->Exists()) {
    if (!transferFolder->CreateAsFolder()) {
      Fail(transferFolder, ReasonWhy(transferFolder->LastError()) + "転送用のフォルダを作成できませんでした。");
    }
    return;
  }
  // An empty one that could not go will do.
  if (transferFolder->Directory() && transferFolder->Count() == 0) return;
  // The removal of "temp" itself, asked once more, gives the disk's reason
  // where the disk has one to give; a folder left full only says that.
  transferFolder->Delete();
  Fail(transferFolder, ReasonWhy(transferFolder->LastError()) + "前回の転送用のフォルダを空にできませんでした。");
}

bool Thread1::CopyFolderItem() {
  std::int32_t transferred = 0;
  for (const ChosenItem& chosen : chosen_) {
    if (Abandoned()) return true;
    if (FIEntry& entry = EntryOf(chosen); !entry.used) {
      const FolderItemPtr item = entry.item;
      const bool present = item && item->Exists();
      // The category folder comes first, also for an item that has gone
      // since it was found.
      const FolderItemPtr transferFolder = framework::GetFolderItem("temp");
      const String categoryName = CategoryFor(chosen.kind);
      FolderItemPtr category;
      if (transferFolder && !categoryName.IsEmpty()) category = transferFolder->Child(categoryName);
      if (category && !category->Exists()) category->CreateAsFolder();

      if (present && category && category->Directory()) {
        pWin1->StaticText21().Text(item->AbsolutePath() +
                                   TextEnco::gEncText(" をコピー中...", "UTF-8", "Shift-JIS"));
        Globals::gWait(100);
        Transfer(item, category, "コピー");
        ++transferred;
        pWin1->ProgressBar1().Value(transferred);
        if (pWin1->pStopThread1) return true;
      } else if (present) {
        Fail(category ? category->Child(item->Name()) : item, "コピー先のフォルダを作成できませんでした。");
      } else if (item) {
        // Gone since the scan (removed, or its disk unmounted): the person
        // must not take the transfer folder for complete. Worded as the
        // network copy words it.
        Fail(item, "コピー元のアイテムが見つかりません。");
      }
      entry.used = true;
    }
    framework::Yield();
  }
  return false;
}
