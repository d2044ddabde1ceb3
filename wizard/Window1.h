// Window1: the wizard's main window and the program's default window. One
// fixed-size window carries the four steps: a row of step headers at the
// top, the page panel PagePanel1 with one page per step (0 STEP 1 "はじめに",
// 1 STEP 2 "アイテムの取得", 2 STEP 3 "コピー", 3 STEP 4 "ペースト"), and
// below it the guidance line StaticText10 with Back (PushButton7) and Next
// (PushButton2).
//
// Implicit instances. Every class whose bare name the program uses as an
// object (Window1, Window2, Window3, MenuBar1) is reached through one static
// accessor, T::Instance(), a one-line wrapper over
// framework::ImplicitInstance<T>::Get(): the first reference builds the
// object (for a window: Layout, CreateControls, Open, shown); a window's
// Instance() after it was closed builds a new one. Where a shared pointer is
// needed (a menu bar handed to a window), T::Shared(). Code of the window
// itself uses `this`, never Instance(), so it works for any window object.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"
#include "framework/core/threads/Thread.h"
#include "framework/ui/GroupBox.h"
#include "framework/ui/Label.h"
#include "framework/ui/PagePanel.h"
#include "framework/ui/ProgressBar.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/RadioButton.h"
#include "framework/ui/Separator.h"
#include "framework/ui/Window.h"
#include "wizard/FIEntry.h"

class Window1 : public framework::Window {
 public:
  using GroupBox = framework::GroupBox;
  using Label = framework::Label;
  using PagePanel = framework::PagePanel;
  using ProgressBar = framework::ProgressBar;
  using PushButton = framework::PushButton;
  using RadioButton = framework::RadioButton;
  using Separator = framework::Separator;
  using String = framework::String;

  // pPastePhase: where the external-device route stands on this launch.
  static constexpr std::int32_t PhaseCopy = 0;          // copying on the old machine
  static constexpr std::int32_t PhasePastePending = 1;  // the copy-done marker was found at launch
  static constexpr std::int32_t PhasePasteDone = 2;     // a paste ran to its end

  Window1() = default;

  static Window1& Instance();

  // --- properties read and written by the workers and the item list ---
  std::int32_t pPastePhase = PhaseCopy;
  // The item table. A deque, so an entry a worker holds across a yield stays
  // valid while another worker appends.
  std::deque<FIEntry> pFI;
  bool pStopThread1 = false;    // stop request to the transfer worker
  bool pStopThread2 = false;    // stop request to the discovery worker

  // --- controls, in creation order ---
  PagePanel& PagePanel1() const;
  Label& StaticText5() const;
  Label& StaticText8() const;
  Label& StaticText11() const;
  Label& StaticText12() const;
  Label& StaticText14() const;
  Label& StaticText17() const;
  Label& StaticText20() const;
  PushButton& PushButton5() const;
  PushButton& PushButton6() const;
  GroupBox& GroupBox1() const;
  Label& StaticText24() const;
  PushButton& PushButton1() const;
  GroupBox& GroupBox2() const;
  PushButton& PushButton3() const;
  PushButton& PushButton4() const;
  Label& StaticText18() const;
  Label& StaticText16() const;
  ProgressBar& ProgressBar1() const;
  ProgressBar& ProgressBar2() const;
  Label& StaticText21() const;
  Label& StaticText25() const;
  RadioButton& RadioButton1() const;
  RadioButton& RadioButton2() const;
  Label& StaticText26() const;
  GroupBox& GroupBox3() const;
  RadioButton& RadioButton3() const;
  RadioButton& RadioButton4() const;
  GroupBox& GroupBox4() const;
  RadioButton& RadioButton5() const;
  RadioButton& RadioButton6() const;
  PushButton& PushButton8() const;
  Label& StaticText1() const;
  Label& StaticText2() const;
  Label& StaticText3() const;
  Label& StaticText4() const;
  Separator& Separator1() const;
  PushButton& PushButton2() const;
  Label& StaticText10() const;
  Separator& Separator2() const;
  PushButton& PushButton7() const;

  // --- control handlers, wired in CreateControls ---
  void PagePanel1_Change(PagePanel& control);
  void PushButton5_Action(PushButton& control);
  void PushButton6_Action(PushButton& control);
  void PushButton1_Action(PushButton& control);
  void PushButton3_Action(PushButton& control);
  void PushButton4_Action(PushButton& control);
  void RadioButton1_Action(RadioButton& control);
  void RadioButton2_Action(RadioButton& control);
  void PushButton8_Action(PushButton& control);
  void PushButton2_Action(PushButton& control);
  void PushButton7_Action(PushButton& control);

  void Event_Open() override;
  // True keeps the window open, and so cancels a quit in progress. The close
  // box quits the program: the wizard is its one window, and the item list
  // beside it has no use without it.
  bool Event_CancelClose(bool appQuitting) override;

  // Records f in the item table once per absolute path; returns its index
  // (-1, naming no entry, for no item).
  std::int32_t AddFIlist(const framework::FolderItemPtr& f, const String& kind);

 protected:
  void Layout() override;
  void CreateControls() override;

  // --- own state ---
  bool pStartCP = false;     // a copy or paste was started in this run
  bool pBack = false;        // STEP 2 re-entered from STEP 3 by Back
  std::int32_t pVolNo = 0;   // the old machine's volume (network route)
  String pUser;              // the user folder on that volume

  void InitApp();
  bool ExistsCopyDone();
  void CreateCopyDone();
  void DeleteCopyDone();
  void GetItem();
  void SetStatus(std::int32_t n);
  void PageChange(std::int32_t n);
  void PutForCopy();
  void PutForPaste();
  bool CloseApp();
  void GetItemSelect(const framework::FolderItemPtr& item);
  void InitCaption();

 private:
  void _CreateControls0();
  void _CreateControls1();
  // The caution notice every handler of this window shows.
  void Caution(const String& message, const String& explanation);
  // Before a manual add: on the network route the chooser opens in the old
  // machine's Applications folder (initial), and without a chosen disk the
  // person is told and false comes back.
  bool ManualAddStart(framework::FolderItemPtr& initial);
  // Whether the transfer worker of the last copy or paste still runs.
  bool TransferRunning() const;
  // "中止", or a forced quit, for the transfer worker: it stops at the copy's
  // next piece (the worker's StopCheck asks pStopThread1).
  void RequestTransferStop();
  // How the last copy or paste stands, for the question before closing.
  enum class RunState { Running, Finished, Stopped, Failed };
  RunState LastRunState() const;

  // The stop request of the last run came from the person (or a forced
  // quit); pStopThread1 alone is also set by the worker after failed items.
  bool stopAsked_ = false;

  // The transfer worker of the last copy or paste. Not owned: the worker
  // keeps itself alive while it runs and holds this window, so a shared
  // pointer here would keep both for ever.
  std::weak_ptr<framework::Thread> transferWorker_;
};
