// The wizard's behaviour: opening, moving between the four pages, and the
// control handlers. The discovery and transfer workers, the item list
// window, the old machine's chooser and the copy-done marker are not built
// yet; the places that start or ask them are marked FIXME and do nothing.
#include "wizard/Window1.h"

#include "framework/ui/Application.h"
#include "framework/ui/Color.h"
#include "framework/ui/OpenDialog.h"
#include "framework/ui/SelectFolderDialog.h"
#include "helpers/CautionDialogs.h"
#include "helpers/Globals.h"

namespace {

const char* const kNextWhenFetched = "取得が完了したら、「次へ」ボタンを押して下さい。";
const char* const kAddMissingItems = "不足のアイテムがあれば、前のステップに戻って追加して下さい。";

}  // namespace

void Window1::InitApp() {
  InitCaption();
  SetStatus(PagePanel1().Value());
  ProgressBar1().Visible(false);
  ProgressBar2().Visible(false);
  PushButton7().Visible(false);
  // Nothing to go on to until a route is chosen.
  StaticText10().Enabled(false);
  PushButton2().Enabled(false);
  if (ExistsCopyDone()) {
    // The phase first: the page change below reads it.
    pPastePhase = PhasePastePending;
    PagePanel1().Value(3);
  }
}

void Window1::SetStatus(std::int32_t n) {
  if (n < 0 || n > 3) return;
  Label* headers[] = {&StaticText1(), &StaticText2(), &StaticText3(), &StaticText4()};
  for (std::int32_t step = 0; step < 4; ++step)
    headers[step]->TextColor(step == n ? framework::RGB(0, 0, 255) : framework::RGB(128, 128, 128));
}

void Window1::PageChange(std::int32_t n) {
  switch (n) {
    case 1:
      if (pBack) {
        // Back from STEP 3: the list is as the person left it; no new scan.
        StaticText10().Enabled(true);
        StaticText10().Text(kNextWhenFetched);
        PushButton2().Enabled(true);
        PushButton2().Caption("次へ");
        pBack = false;
        break;
      }
      PushButton2().Enabled(false);
      PushButton3().Enabled(false);
      PushButton4().Enabled(false);
      StaticText10().Text("");
      // FIXME: show the item list window beside the wizard (its kind and
      // index columns hidden) before the scan starts.
      GetItem();
      break;
    case 2:
      StaticText10().Enabled(true);
      StaticText10().Text(String(kAddMissingItems) + framework::EndOfLine +
                          "コピーが完了するまで、次のステップへは進めません。");
      StaticText21().Text("");
      PushButton2().Enabled(false);
      PushButton7().Visible(true);
      if (RadioButton1().Value()) {
        // The device copy never replaces anything, so the choice is not offered.
        GroupBox3().Visible(false);
        RadioButton3().Visible(false);
        RadioButton4().Visible(false);
      } else {
        StaticText10().Enabled(true);
        StaticText12().Text("必要なアイテムを、ネットワーク経由でコピーします。");
        StaticText10().Text(kAddMissingItems);
        // The network route has no STEP 4: the copy is the last step.
        PushButton2().Caption("終了");
      }
      break;
    case 3:
      if (RadioButton2().Value() || pPastePhase != PhasePastePending) {
        // Arriving here after a copy, or after the paste, ends the run.
        framework::Quit();
        break;
      }
      StaticText10().Enabled(false);
      StaticText10().Text("ペーストが完了するまで、次のステップへは進めません。");
      StaticText25().Text("");
      PushButton2().Enabled(false);
      break;
    default:
      break;
  }
  SetStatus(n);
}

void Window1::Caution(const String& message, const String& explanation) {
  Globals::gCautionDlg1(this, Globals::gBeep, message, explanation);
}

// --- handlers ---

void Window1::PagePanel1_Change(PagePanel& control) { PageChange(control.Value()); }

void Window1::PushButton1_Action(PushButton& control) {
  (void)control;
  framework::Quit();
}

void Window1::PushButton2_Action(PushButton& control) {
  (void)control;
  const std::int32_t page = PagePanel1().Value();
  // On the last page Next reads "終了": there is no page past it.
  if (page >= 3) {
    framework::Quit();
    return;
  }
  PagePanel1().Value(page + 1);
}

void Window1::PushButton7_Action(PushButton& control) {
  pBack = true;
  PagePanel1().Value(1);
  control.Visible(false);
}

void Window1::RadioButton1_Action(RadioButton& control) {
  if (control.Value()) StaticText4().Visible(true);
  StaticText10().Enabled(control.Value());
  PushButton2().Enabled(control.Value());
}

void Window1::RadioButton2_Action(RadioButton& control) {
  if (!control.Value()) {
    StaticText10().Enabled(false);
    PushButton2().Enabled(false);
    return;
  }
  // FIXME: ask for the old machine's disk and user (Window3, modally), copy
  // pVolNo and pUser from it, turn this button off again when the person
  // cancelled; else hide the STEP 4 header and enable StaticText10 and Next.
}

void Window1::PushButton8_Action(PushButton& control) {
  if (control.Caption() == "中止") {
    pStopThread2 = true;
    return;
  }
  GetItem();
}

bool Window1::ManualAddStart(framework::FolderItemPtr& initial) {
  if (!RadioButton2().Value()) return true;
  if (pVolNo < 1) {
    Caution("旧マシンのディスクが選択されていません。", "");
    return false;
  }
  if (const framework::FolderItemPtr volume = framework::Volume(pVolNo)) initial = volume->Child("Applications");
  return true;
}

void Window1::PushButton3_Action(PushButton& control) {
  (void)control;
  framework::SelectFolderDialog chooser;
  framework::FolderItemPtr initial;
  if (!ManualAddStart(initial)) return;
  chooser.InitialDirectory(initial);
  if (const framework::FolderItemPtr item = chooser.ShowModal()) GetItemSelect(item);
}

void Window1::PushButton4_Action(PushButton& control) {
  (void)control;
  framework::OpenDialog chooser;
  framework::FolderItemPtr initial;
  if (!ManualAddStart(initial)) return;
  chooser.InitialDirectory(initial);
  if (const framework::FolderItemPtr item = chooser.ShowModal()) GetItemSelect(item);
}

void Window1::PushButton5_Action(PushButton& control) {
  if (control.Caption() != "コピー") {
    pStopThread1 = true;
    return;
  }
  if (RadioButton2().Value() && !RadioButton3().Value() && !RadioButton4().Value()) {
    Caution("既存アイテムの処理方法が選択されていません。", "どちらかを選択して下さい。");
    return;
  }
  PutForCopy();
}

void Window1::PushButton6_Action(PushButton& control) {
  if (control.Caption() != "ペースト") {
    pStopThread1 = true;
    return;
  }
  if (!RadioButton5().Value() && !RadioButton6().Value()) {
    Caution("既存アイテムの処理方法が選択されていません。", "どちらかを選択して下さい。");
    return;
  }
  PutForPaste();
}

// --- not built yet ---

// FIXME: look for the copy-done marker in the program's own bundle.
bool Window1::ExistsCopyDone() { return false; }

// FIXME: write the copy-done marker into the program's own bundle.
void Window1::CreateCopyDone() {}

// FIXME: delete the copy-done marker from the program's own bundle.
void Window1::DeleteCopyDone() {}

// FIXME: start a scan of the Applications folder (this machine's, or the
// old machine's on the network route) with a new discovery worker.
void Window1::GetItem() {}

// FIXME: start a discovery worker in selection mode on the chosen item.
void Window1::GetItemSelect(const framework::FolderItemPtr& item) { (void)item; }

// FIXME: expand every row of the item list, then start the transfer worker
// in copy mode (device or network by the route).
void Window1::PutForCopy() {}

// FIXME: start the transfer worker in paste mode.
void Window1::PutForPaste() {}

// FIXME: ask before closing after a stopped run, and write or delete the
// copy-done marker after a finished one. Until then a close is never refused.
bool Window1::CloseApp() { return false; }
