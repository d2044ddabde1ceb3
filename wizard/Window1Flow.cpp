// The wizard's behaviour: opening, moving between the four pages, the
// control handlers, starting the two workers, and what closing decides.
#include "wizard/Window1.h"

#include <cstddef>
#include <memory>

#include "discovery/Thread2.h"
#include "discovery/Window2.h"
#include "framework/core/threads/Baton.h"
#include "framework/ui/Application.h"
#include "framework/ui/Color.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/OpenDialog.h"
#include "framework/ui/SelectFolderDialog.h"
#include "helpers/CautionDialogs.h"
#include "helpers/Globals.h"
#include "transfer/Thread1.h"
#include "wizard/Window3.h"

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
      StaticText10().Text("");
      {
        Window2& list = Window2::Instance();
        list.pWin1 = std::static_pointer_cast<Window1>(shared_from_this());
        list.Show();
        // Only the names and the kind labels show; the kind codes and the
        // indexes stay in hidden columns for the workers.
        list.Listbox1().ColumnWidths("70%,0,0,*");
      }
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
  // On STEP 3 Next reads "終了", and STEP 4 (which quits on arrival there,
  // in the copy phase and on the network route alike) belongs to the next
  // launch. The quit is made from STEP 3 itself: when the person then
  // chooses to stay (the question after a stopped run), the window must
  // still show STEP 3, to run the copy again, and not the paste page. On
  // the last page there is no page past it.
  if (page >= 2) {
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
  // Until a disk is chosen the old machine is this machine, as on the
  // device route: links are followed as this machine follows them.
  framework::SetOldMachineDisk(nullptr);
  if (!control.Value()) {
    StaticText10().Enabled(false);
    PushButton2().Enabled(false);
    return;
  }
  // Held here, so the sheet outlives its own closing until we have read it.
  const std::shared_ptr<Window3> chooser = framework::ImplicitInstance<Window3>::Shared();
  chooser->ShowModal();
  pVolNo = chooser->pVolNo;
  pUser = chooser->pUser;
  chooser->Close();
  // Negative: cancelled. 0: the sheet went without either button (a quit
  // while it was up), which chose no disk either.
  if (pVolNo < 1) {
    // No route is chosen, and the off branch keeps Next disabled; the disk
    // the sheet last looked at is no old machine's.
    framework::SetOldMachineDisk(nullptr);
    control.Value(false);
    return;
  }
  // From now on the old machine's links and recorded paths lead into this
  // disk, found here by its folder rather than by its number, which a disk
  // unmounted meanwhile would hand to another.
  framework::SetOldMachineDisk(framework::Volume(pVolNo));
  // The network route has no STEP 4.
  StaticText4().Visible(false);
  StaticText10().Enabled(true);
  PushButton2().Enabled(true);
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
  if (const framework::FolderItemPtr disk = framework::OldMachineDisk()) initial = disk->FindChild("Applications");
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
    RequestTransferStop();
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
    RequestTransferStop();
    return;
  }
  if (!RadioButton5().Value() && !RadioButton6().Value()) {
    Caution("既存アイテムの処理方法が選択されていません。", "どちらかを選択して下さい。");
    return;
  }
  PutForPaste();
}

// --- the workers ---

void Window1::GetItem() {
  framework::FolderItemPtr folder;
  if (RadioButton1().Value()) {
    folder = framework::SpecialFolder::Applications();
  } else if (const framework::FolderItemPtr disk = framework::OldMachineDisk()) {
    // A disk unmounted since it was chosen leaves nothing to scan; the
    // worker still hands STEP 2 back.
    folder = disk->FindChild("Applications");
  }
  PushButton8().Caption("中止");
  pStopThread2 = false;
  // Until the scan has ended the list is not what will be copied, and what
  // is added by hand meanwhile would be listed among rows the scan is
  // still adding: Next and both manual adds wait for it, on a new scan as
  // on the first. The scan's end gives them back.
  PushButton2().Enabled(false);
  PushButton3().Enabled(false);
  PushButton4().Enabled(false);
  // A new scan starts from an empty list; the item table keeps its entries,
  // so an item found again keeps its index.
  Window2& list = Window2::Instance();
  list.Listbox1().DeleteAllRows();
  list.StaticText1().Visible(true);
  list.ProgressWheel1().Visible(true);
  auto worker = std::make_shared<Thread2>();
  worker->pWin1 = std::static_pointer_cast<Window1>(shared_from_this());
  worker->pSelect = false;
  worker->pFI = folder;
  worker->pExdrive = RadioButton1().Value();
  worker->pVolNo = pVolNo;
  worker->pUser = pUser;
  worker->Run();
}

void Window1::GetItemSelect(const framework::FolderItemPtr& item) {
  // Runs beside a scan that may still be going; it touches no control.
  auto worker = std::make_shared<Thread2>();
  worker->pWin1 = std::static_pointer_cast<Window1>(shared_from_this());
  worker->pSelect = true;
  worker->pFI = item;
  worker->pExdrive = RadioButton1().Value();
  worker->pVolNo = pVolNo;
  worker->pUser = pUser;
  worker->Run();
}

void Window1::PutForCopy() {
  // The transfer worker reads item rows only, and a collapsed product row
  // has none: every row is expanded first. From the bottom up, so the rows
  // not yet visited keep their indexes while children go in below the one
  // being expanded. The list is held, and its length read again, because
  // this yields and a scan may be adding rows meanwhile.
  const std::shared_ptr<Window2> itemList = framework::ImplicitInstance<Window2>::Shared();
  framework::Listbox& list = itemList->Listbox1();
  for (std::int32_t row = list.ListCount() - 1; row >= 0; --row) {
    if (row < list.ListCount()) list.Expanded(row, true);
    framework::Yield();
  }
  pStopThread1 = false;
  stopAsked_ = false;
  pStartCP = true;
  auto worker = std::make_shared<Thread1>();
  worker->pWin1 = std::static_pointer_cast<Window1>(shared_from_this());
  worker->pMode = RadioButton1().Value() ? Thread1::ModeCopy : Thread1::ModeNetCopy;
  worker->pExist = RadioButton3().Value();
  transferWorker_ = worker;
  worker->Run();
}

void Window1::PutForPaste() {
  pStopThread1 = false;
  stopAsked_ = false;
  pStartCP = true;
  auto worker = std::make_shared<Thread1>();
  worker->pWin1 = std::static_pointer_cast<Window1>(shared_from_this());
  worker->pMode = Thread1::ModePaste;
  worker->pExist = RadioButton5().Value();
  transferWorker_ = worker;
  worker->Run();
}

void Window1::RequestTransferStop() {
  pStopThread1 = true;
  stopAsked_ = true;
}

bool Window1::TransferRunning() const {
  const std::shared_ptr<framework::Thread> worker = transferWorker_.lock();
  return worker && worker->IsRunning();
}

// --- closing ---

namespace {

// The question before closing while the last copy or paste has not gone
// through, in the words of how it stands.
struct CloseQuestion {
  const char* message;
  const char* explanation;
};

// [stopped, running, ended with errors][copy phase, paste phase]
constexpr CloseQuestion kCloseQuestions[3][2] = {
    {{"処理を中止したままで終了すると、ペーストができません。それでも終了しますか？",
      "ペースト処理したい場合は、終了しないで戻り、コピー処理を継続してください。"},
     {"処理を中止したままで終了すると、ペーストが不完全で終わります。それでも終了しますか？",
      "ペースト処理を完了したい場合は、終了しないで戻り、ペースト処理を継続してください。"}},
    {{"コピー中です。今終了するとコピーは中止され、ペーストができません。それでも終了しますか？",
      "ペースト処理したい場合は、終了しないで、コピーが終わるまでお待ちください。"},
     {"ペースト中です。今終了するとペーストは中止され、不完全で終わります。それでも終了しますか？",
      "ペースト処理を完了したい場合は、終了しないで、ペーストが終わるまでお待ちください。"}},
    {{"コピーはエラーで終了しました。このまま終了すると、ペーストができません。それでも終了しますか？",
      "ペースト処理したい場合は、終了しないで戻り、原因を取り除いてから、再度コピーしてください。"},
     {"ペーストはエラーで終了しました。このまま終了すると、ペーストが不完全で終わります。それでも終了しますか？",
      "ペースト処理を完了したい場合は、終了しないで戻り、原因を取り除いてから、再度ペーストしてください。"}},
};

}  // namespace

Window1::RunState Window1::LastRunState() const {
  if (TransferRunning()) return RunState::Running;
  if (!pStopThread1) return RunState::Finished;
  // The flag is set by the person's "中止" (or a forced quit), and by the
  // worker itself after a run with failed items.
  return stopAsked_ ? RunState::Stopped : RunState::Failed;
}

// The copy-done marker of Window1CopyDone.cpp is written or deleted here, and
// only here.
bool Window1::CloseApp() {
  // The network route keeps no marker and asks nothing. A network copy still
  // going stops at once, as after "中止".
  if (RadioButton2().Value()) {
    if (TransferRunning()) RequestTransferStop();
    return false;
  }
  if (!pStartCP) return false;
  const RunState asked = LastRunState();
  if (asked != RunState::Finished) {
    const std::size_t situation = asked == RunState::Stopped ? 0 : asked == RunState::Running ? 1 : 2;
    const CloseQuestion& question = kCloseQuestions[situation][pPastePhase == PhaseCopy ? 0 : 1];
    const std::int32_t answer = Globals::gCautionDlg(this, Globals::gBeep, /*buttons=*/2, /*altCaption=*/"",
                                                     /*cancelCaption=*/"強制終了", /*actionCaption=*/"終了しない",
                                                     question.message, question.explanation);
    if (answer == Globals::CautionAction) return true;
    // "強制終了". The run went on while the person read the question: what
    // counts is how it stands now. One still going is stopped, and the
    // program waits for it to end (at the copy's next piece) before it goes.
    const RunState now = LastRunState();
    if (now == RunState::Running) RequestTransferStop();
    if (now != RunState::Finished) return false;
  }
  // The last run went through, perhaps while the question was up: the
  // device now holds the whole copy, or the paste is complete.
  if (pPastePhase == PhaseCopy) {
    CreateCopyDone();
  } else {
    DeleteCopyDone();
  }
  return false;
}
