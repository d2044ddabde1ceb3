// What closing the wizard decides on the device route: the question after a
// stopped run and both its answers, a close while a copy still runs, and a
// quit while the scan still runs. The copy-done marker is written only for a
// copy that finished, and deleted only after a paste that did.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "framework/ui/UserInput.h"
#include "program/PageFlowFixture.h"
#include "program/TransferFixture.h"

namespace {

namespace fs = std::filesystem;

using framework::DialogButton;
using framework::UserInput;
using pageflowtest::kCopyFailedQuestion;
using pageflowtest::kCopyPhaseQuestion;
using pageflowtest::kCopyRunningQuestion;
using pageflowtest::kPasteFailedQuestion;
using pageflowtest::kPastePhaseQuestion;
using pageflowtest::PageFlowTest;
using programtest::TimeSliceGuard;
using transfertest::Listing;
using Names = std::set<std::string>;

class Closing : public PageFlowTest {
 protected:
  // Three applications, one item each, and STEP 3 of the device route.
  void OnStepThreeWithThreeItems() {
    App("Pelquon/Pelquon.app", programtest::kPelquon);
    App("Quilbrant/Quilbrant.app", programtest::kQuilbrant);
    App("Toskarine II/Toskarine.app", programtest::kToskarine);
    ScanOnDeviceRoute();
    NextToStepThree();
  }

  // The three items, Pelquon's folder holding a file of many pieces, and
  // the copy under way inside that file: its first pieces have arrived in
  // the hidden staging folder. Every yield then hands over.
  void CopyUntilALargeItemIsUnderWay() {
    // Real bytes, so the copy goes piece by piece (a hole would be skipped).
    tree_.WriteFile("startup/Applications/Pelquon/big.bin", std::string(std::size_t{40} << 20, 'x'));
    OnStepThreeWithThreeItems();
    strictTurns_.emplace(std::chrono::microseconds(0));
    ASSERT_TRUE(UserInput::Press(HeldWizard().PushButton5()));
    ASSERT_TRUE(programtest::YieldUntil([&] {
      std::error_code error;
      for (fs::recursive_directory_iterator it(TransferFolder(), error), end; it != end; it.increment(error))
        if (it->path().filename() == "big.bin" && it->file_size(error) > 0) return true;
      return false;
    }));
  }

  // The run to its end, through the caution dialog that lists its failed
  // items.
  void RunWithFailures(framework::PushButton& run, const char* message) {
    user_.WillPress(DialogButton::Action);
    RunToTheEnd(run);
    ASSERT_EQ(user_.Dialogs().size(), 1u);
    EXPECT_EQ(user_.Dialogs()[0].message.ToUTF8(), message);
  }

  // The close box then asks, as the second dialog; "強制終了" quits.
  void ForceTheQuitAfterTheFailures(const pageflowtest::CloseQuestion& question) {
    WillAnswerCloseQuestion(DialogButton::Cancel);
    EXPECT_TRUE(UserInput::ClickCloseBox(HeldWizard()));
    ExpectCloseQuestion(1, question);
    EXPECT_EQ(user_.Quits(), 1);
  }

  void ExpectNothingOfTheLargeItem() const {
    const Names copied = Listing(TransferFolder() / "App");
    EXPECT_FALSE(copied.contains("Pelquon"));
    for (const std::string& name : copied) EXPECT_FALSE(name.starts_with(".")) << "staging left over: " << name;
  }

  std::optional<TimeSliceGuard> strictTurns_;
};

TEST_F(Closing, AfterAStoppedCopyStayingKeepsStepThreeAndForcingTheQuitWritesNoMarker) {
  App("Pelquon/Pelquon.app", programtest::kPelquon);
  Pref("Pelquon初期設定");
  ScanOnDeviceRoute();
  NextToStepThree();
  StopAfterTheFirstItem(Wizard().PushButton5());
  ASSERT_EQ(Listing(TransferFolder() / "App"), (Names{"Pelquon"}));

  // The close box, then Next ("終了"): both ask, and staying keeps STEP 3
  // with its copy button, to finish the copy.
  Window1& w = HeldWizard();
  WillAnswerCloseQuestion(DialogButton::Action);
  EXPECT_FALSE(UserInput::ClickCloseBox(w));
  ExpectCloseQuestion(0, kCopyPhaseQuestion);
  WillAnswerCloseQuestion(DialogButton::Action);
  ASSERT_TRUE(UserInput::Press(w.PushButton2()));
  ExpectCloseQuestion(1, kCopyPhaseQuestion);
  EXPECT_FALSE(w.Closed());
  EXPECT_EQ(user_.Quits(), 0);
  EXPECT_EQ(w.PagePanel1().Value(), 2) << "not the paste page";
  EXPECT_TRUE(w.PushButton5().Enabled());
  EXPECT_TRUE(w.PushButton7().Enabled());

  WillAnswerCloseQuestion(DialogButton::Cancel);
  ASSERT_TRUE(UserInput::ChooseMenuItem(TheApp(), "FileQuit"));
  ExpectCloseQuestion(2, kCopyPhaseQuestion);
  EXPECT_TRUE(w.Closed());
  EXPECT_EQ(user_.Quits(), 1);
  EXPECT_FALSE(fs::exists(Marker()));
}

TEST_F(Closing, AfterAStoppedPasteStayingKeepsStepFourAndForcingTheQuitKeepsTheMarker) {
  tree_.WriteFile("usb/temp/App/Alpha/a.txt", "a");
  tree_.WriteFile("usb/temp/App/Beta/b.txt", "b");
  tree_.WriteFile("usb/OLVAN 移行アシスタント.app/Contents/Resources/CopyDone");
  LaunchOnNewMachine();
  Window1& w = HeldWizard();
  ASSERT_EQ(w.PagePanel1().Value(), 3);
  ASSERT_TRUE(UserInput::Choose(w.RadioButton6()));
  StopAfterTheFirstItem(w.PushButton6());
  ASSERT_EQ(Listing(NewMachine("Applications")), (Names{"Alpha"}));

  WillAnswerCloseQuestion(DialogButton::Action);
  EXPECT_FALSE(UserInput::ClickCloseBox(w));
  ExpectCloseQuestion(0, kPastePhaseQuestion);
  EXPECT_EQ(w.PagePanel1().Value(), 3);
  EXPECT_TRUE(w.PushButton6().Enabled());

  WillAnswerCloseQuestion(DialogButton::Cancel);
  ASSERT_TRUE(UserInput::Press(w.PushButton2()));
  ExpectCloseQuestion(1, kPastePhaseQuestion);
  EXPECT_EQ(user_.Quits(), 1);
  EXPECT_TRUE(fs::exists(Marker())) << "the paste is still to be finished";

  LaunchOnNewMachine();
  EXPECT_EQ(Wizard().PagePanel1().Value(), 3);
}

TEST_F(Closing, ForcingTheQuitWhileACopyRunsStopsItAtItsNextCheckAndWritesNoMarker) {
  OnStepThreeWithThreeItems();
  Window1& w = HeldWizard();
  TimeSliceGuard strictTurns(std::chrono::microseconds(0));
  ASSERT_TRUE(UserInput::Press(w.PushButton5()));
  // The run has begun and is counting its items.
  ASSERT_TRUE(programtest::YieldUntil([&] { return w.PushButton5().Caption() == "中止"; }));

  WillAnswerCloseQuestion(DialogButton::Cancel);
  EXPECT_TRUE(UserInput::ClickCloseBox(w));
  ExpectCloseQuestion(0, kCopyRunningQuestion);
  EXPECT_EQ(user_.Quits(), 1);
  framework::Thread::WaitForAll();

  // While the person read the question the run went on, and may have
  // finished the item it was at; none was begun after the wizard had closed.
  EXPECT_LE(Listing(TransferFolder() / "App").size(), 1u);
  EXPECT_TRUE(w.pStopThread1);
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_EQ(user_.Dialogs().size(), 1u);
  ExpectNothingLeftOpen();
}

TEST_F(Closing, StayingWhileACopyRunsLetsItFinishAndTheEndWritesTheMarker) {
  OnStepThreeWithThreeItems();
  Window1& w = HeldWizard();
  TimeSliceGuard strictTurns(std::chrono::microseconds(0));
  ASSERT_TRUE(UserInput::Press(w.PushButton5()));
  ASSERT_TRUE(programtest::YieldUntil([&] { return w.ProgressBar1().Value() >= 1; }));

  WillAnswerCloseQuestion(DialogButton::Action);
  EXPECT_FALSE(UserInput::ClickCloseBox(w));
  ExpectCloseQuestion(0, kCopyRunningQuestion);
  framework::Thread::WaitForAll();
  EXPECT_EQ(Listing(TransferFolder() / "App"), (Names{"Pelquon", "Quilbrant", "Toskarine II"}));
  EXPECT_FALSE(w.pStopThread1);
  EXPECT_FALSE(w.PushButton5().Enabled()) << "finished";

  ASSERT_TRUE(UserInput::Press(w.PushButton2()));
  EXPECT_EQ(user_.Quits(), 1);
  EXPECT_TRUE(fs::exists(Marker()));
  EXPECT_EQ(user_.Dialogs().size(), 1u);
}

// The question was asked while the copy ran; the copy finished while it
// was up. "強制終了" then quits a finished copy: the marker is written, so
// the new machine opens on STEP 4.
TEST_F(Closing, ForcingTheQuitAfterTheCopyFinishedUnderTheQuestionWritesTheMarker) {
  OnStepThreeWithThreeItems();
  Window1& w = HeldWizard();
  ASSERT_TRUE(UserInput::Press(w.PushButton5()));
  ASSERT_TRUE(programtest::YieldUntil([&] { return w.PushButton5().Caption() == "中止"; }));

  WillAnswerCloseQuestion(DialogButton::Cancel, [] { framework::Thread::WaitForAll(); });
  EXPECT_TRUE(UserInput::ClickCloseBox(w));
  ExpectCloseQuestion(0, kCopyRunningQuestion);
  EXPECT_EQ(user_.Quits(), 1);
  EXPECT_FALSE(w.pStopThread1) << "a finished run is not stopped after the fact";
  EXPECT_EQ(Listing(TransferFolder() / "App"), (Names{"Pelquon", "Quilbrant", "Toskarine II"}));
  EXPECT_TRUE(fs::exists(Marker()));

  LaunchOnNewMachine();
  EXPECT_EQ(Wizard().PagePanel1().Value(), 3);
}

// A copy with a failed item is no stop by the person: the question says
// what happened, and no marker is written.
TEST_F(Closing, AfterACopyWithErrorsTheQuestionSaysSoAndForcingTheQuitWritesNoMarker) {
  App("Pelquon/Pelquon.app", programtest::kPelquon);
  // A second application folder of the same name, added by hand: the
  // transfer folder cannot hold both.
  tree_.MakeBundle("startup/Other/Pelquon/Pelquon.app", programtest::kPelquon);
  ScanOnDeviceRoute();
  AddByHand(Item("startup/Other/Pelquon"));
  NextToStepThree();
  RunWithFailures(HeldWizard().PushButton5(), "コピーできなかったアイテムがあります。");
  ForceTheQuitAfterTheFailures(kCopyFailedQuestion);
  EXPECT_FALSE(fs::exists(Marker()));
}

// The paste's failures leave it pending: the question says so, and the
// marker stays for the next launch to offer the paste again.
TEST_F(Closing, AfterAPasteWithErrorsTheQuestionSaysSoAndForcingTheQuitKeepsTheMarker) {
  tree_.WriteFile("usb/temp/App/Alpha/a.txt", "a");
  tree_.WriteFile("usb/OLVAN 移行アシスタント.app/Contents/Resources/CopyDone");
  LaunchOnNewMachine();
  // The new machine's Applications is a file: nothing can be pasted into it.
  fs::remove_all(NewMachine("Applications"));
  tree_.WriteFile("newmac/Applications", "not a folder");
  ASSERT_TRUE(UserInput::Choose(HeldWizard().RadioButton5()));
  RunWithFailures(HeldWizard().PushButton6(), "ペーストできなかったアイテムがあります。");
  ForceTheQuitAfterTheFailures(kPasteFailedQuestion);
  EXPECT_TRUE(fs::exists(Marker()));
}

// 中止 stops a copy inside an item of many pieces, not after it: the item's
// partial copy is removed, and nothing of it is left in the transfer folder.
TEST_F(Closing, StopCutsTheItemInHandShort) {
  CopyUntilALargeItemIsUnderWay();
  Window1& w = HeldWizard();
  ASSERT_TRUE(UserInput::Press(w.PushButton5()));
  framework::Thread::WaitForAll();
  ExpectNothingOfTheLargeItem();
  EXPECT_EQ(w.StaticText10().Text(),
            framework::String("コピーが中止されました。このまま終了しても、ペーストのステップには進めません。") +
                framework::EndOfLine + "ペーストのステップに進むには、コピーを完了させてください。");
  EXPECT_TRUE(w.PushButton5().Enabled());
  EXPECT_EQ(user_.Report(), "");
}

TEST_F(Closing, AQuitWhileTheScanRunsEndsTheScanWithoutBuildingTheListAgain) {
  App("Pelquon/Pelquon.app", programtest::kPelquon);
  Pref("Pelquon初期設定");
  TimeSliceGuard strictTurns(std::chrono::microseconds(0));
  ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton1()));
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
  // The worker has recorded the application and is looking the
  // preferences item up in the item table, the product's row still to come.
  ASSERT_TRUE(programtest::YieldUntil([&] { return Wizard().pFI.size() == 1; }));
  ASSERT_EQ(framework::Thread::RunningCount(), 1);

  ASSERT_TRUE(UserInput::ChooseMenuItem(TheApp(), "FileQuit"));
  EXPECT_EQ(user_.Quits(), 1);
  framework::Thread::WaitForAll();
  EXPECT_TRUE(user_.Dialogs().empty()) << "nothing had been copied: no question";
  ExpectNothingLeftOpen();
}

}  // namespace
