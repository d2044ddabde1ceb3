// The discovery worker's run: the scan walk, the selection by hand, and the
// end of a scan. Classification is in Thread2Classify.cpp, the pickup rules
// in Thread2Pickup.cpp.
#include "discovery/Thread2.h"

#include <exception>

#include "discovery/Window2.h"
#include "framework/core/threads/Baton.h"
#include "framework/ui/Listbox.h"
#include "helpers/CautionDialogs.h"
#include "helpers/Globals.h"
#include "wizard/Window1.h"

void Thread2::Event_Run() {
  // A worker started without a window has nowhere to report; nothing to do.
  // A wizard closed before the worker first ran is a quit: nothing to do
  // either.
  if (!pWin1 || pWin1->Closed()) return;
  if (pSelect) {
    GetItem2Select(pFI);
    return;
  }
  // Whatever ends the walk, the person gets STEP 2 back: a scan that died
  // half-way must not leave Next and the manual-add buttons disabled and the
  // stop button reading "中止" for good.
  std::exception_ptr failure;
  try {
    GetItem2(pFI);
    ExpandAllRows();
  } catch (...) {
    failure = std::current_exception();
  }
  ShowScanDone();
  if (failure) std::rethrow_exception(failure);
}

bool Thread2::StopRequested() const { return pWin1->pStopThread2 || pWin1->Closed(); }

void Thread2::GetItem2(const FolderItemPtr& folder) {
  if (!folder) return;
  // The count is read before every entry: the folder may change while the
  // worker waits at a yield.
  for (std::int32_t i = 1; i <= folder->Count(); ++i) {
    const FolderItemPtr entry = folder->Item(i);
    if (entry && entry->Exists()) {
      // Packages lying directly in the folder are passed over: an
      // application is found only inside a sub-folder, which is then the
      // item moved for it. Hidden entries are passed over, a transfer's
      // working folder among them.
      if (entry->Directory() && entry->Visible() && !entry->Name().Bytes().starts_with('.') &&
          !Globals::gAppPackage(entry))
        GetItem2Pickup(entry, ModeScan);
      if (StopRequested()) return;
    }
    framework::Yield();
  }
}

void Thread2::ExpandAllRows() {
  // A closed wizard means the program is going away; building the list
  // window again just to expand it would be wasted.
  if (pWin1->Closed()) return;
  const std::int32_t n = Window2::Instance().Listbox1().ListCount();
  // From the last row up: the children inserted beneath a row leave the
  // numbers of the rows above it, not yet visited, as they were.
  for (std::int32_t row = n - 1; row >= 0; --row) {
    // Looked up afresh after every yield: meanwhile the person may have
    // collapsed a row above, which shortens the list.
    framework::Listbox& list = Window2::Instance().Listbox1();
    if (row < list.ListCount()) list.Expanded(row, true);
    framework::Yield();
  }
}

void Thread2::ShowScanDone() {
  if (pWin1->Closed()) return;
  Window2& items = Window2::Instance();
  items.StaticText1().Visible(false);
  items.ProgressWheel1().Visible(false);
  Window1& wizard = *pWin1;
  wizard.PushButton3().Enabled(true);
  wizard.PushButton4().Enabled(true);
  wizard.PushButton8().Caption("再取得");
  // The guidance line and Next serve every page: they speak for STEP 2
  // only while it shows.
  if (wizard.PagePanel1().Value() != 1) return;
  wizard.StaticText10().Enabled(true);
  wizard.StaticText10().Text("取得が完了したら、「次へ」ボタンを押して下さい。");
  wizard.PushButton2().Enabled(true);
}

void Thread2::GetItem2Select(const FolderItemPtr& item) {
  const bool picked = item && GetItem2Pickup(item, ModeSelect);
  // Closed meanwhile (a quit): no list to expand and nobody to tell; the
  // program waits for this worker to end before it goes.
  if (pWin1->Closed()) return;
  if (picked) {
    // No yield since the row was added, so the last row is still the new
    // one: a product row shows its items at once; an item row is no folder
    // row and stays as it is.
    framework::Listbox& list = Window2::Instance().Listbox1();
    if (list.LastIndex() >= 0) list.Expanded(list.LastIndex(), true);
    return;
  }
  Globals::gCautionDlg1(pWin1.get(), Globals::gBeep, "OLVANSoftware製ソフトウェアが含まれていません。",
                        "フォルダの追加はされません。");
}
