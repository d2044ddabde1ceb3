// Dialogs through the scripted user: the pressed button comes back as the
// dialog's own button, mis-scripted runs are caught, and a worker's dialog
// leaves the baton to the main thread while it waits.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "framework/core/files/FolderItem.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "framework/testing/ScriptedUser.h"
#include "framework/testing/TempFolder.h"
#include "framework/ui/Alerts.h"
#include "framework/ui/MessageDialog.h"
#include "framework/ui/OpenDialog.h"
#include "framework/ui/SelectFolderDialog.h"
#include "ui/ScratchWindow.h"

namespace {

using framework::DialogButton;
using framework::FolderItem;
using framework::MessageDialog;
using framework::ScriptedUser;

// A caution dialog with one to three buttons, as the program builds them.
void Configure(MessageDialog& d, int buttons) {
  d.Icon(MessageDialog::GraphicCaution);
  if (buttons > 2) {
    d.AlternateActionButton().Visible(true);
    d.AlternateActionButton().Caption("保存しない");
  }
  if (buttons > 1) {
    d.CancelButton().Visible(true);
    d.CancelButton().Caption("強制終了");
  }
  d.ActionButton().Caption("終了しない");
  d.Message("処理を中止したままで終了すると、ペーストができません。");
  d.Explanation("説明");
}

TEST(MessageDialogs, ThePressedButtonIsTheDialogsOwnButton) {
  struct Row {
    const char* name;
    int buttons;
    DialogButton press;
  };
  const Row rows[] = {
      {"action alone", 1, DialogButton::Action},
      {"cancel of two", 2, DialogButton::Cancel},
      {"action of two", 2, DialogButton::Action},
      {"alternate of three", 3, DialogButton::Alternate},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedUser user;
    auto parent = uitest::ScratchWindow::Make({});
    user.WillPress(row.press);
    MessageDialog d;
    Configure(d, row.buttons);
    framework::MessageDialogButton* pressed = d.ShowModalWithin(*parent);
    EXPECT_EQ(pressed, d.Button(row.press));
    ASSERT_EQ(user.Dialogs().size(), 1u);
    const ScriptedUser::ShownDialog shown = user.Dialogs()[0];
    EXPECT_EQ(shown.parent, parent.get());
    EXPECT_EQ(shown.icon, MessageDialog::GraphicCaution);
    EXPECT_EQ(shown.explanation.ToUTF8(), "説明");
    ASSERT_EQ(shown.buttons.size(), static_cast<std::size_t>(row.buttons));
    EXPECT_EQ(shown.buttons[0].second.ToUTF8(), "終了しない");
    EXPECT_EQ(user.Report(), "");
  }
}

TEST(MessageDialogs, OnlyTheActionButtonShowsUnlessTheProgramShowsMore) {
  ScriptedUser user;
  user.WillPress(DialogButton::Action);
  MessageDialog d;
  d.CancelButton().Caption("never shown");
  d.ShowModal();
  ASSERT_EQ(user.Dialogs().size(), 1u);
  ASSERT_EQ(user.Dialogs()[0].buttons.size(), 1u);
  EXPECT_EQ(user.Dialogs()[0].buttons[0].first, DialogButton::Action);
  EXPECT_EQ(user.Dialogs()[0].parent, nullptr);
}

TEST(MessageDialogs, ADialogClosedWithoutAButtonReturnsNothing) {
  ScriptedUser user;
  user.WillDismissDialog();
  MessageDialog d;
  Configure(d, 3);
  EXPECT_EQ(d.ShowModal(), nullptr);
  EXPECT_EQ(user.Report(), "");
}

TEST(MessageDialogs, AnUnscriptedDialogFailsLoudly) {
  ScriptedUser user;
  MessageDialog d;
  d.Message("unexpected");
  EXPECT_THROW(d.ShowModal(), ScriptedUser::Unscripted);
  EXPECT_TRUE(framework::Baton::HeldByThisThread()) << "the baton comes back on the way out";
  EXPECT_NE(user.Report().find("unexpected"), std::string::npos);
}

TEST(MessageDialogs, PressingAButtonTheDialogDoesNotShowIsAScriptError) {
  ScriptedUser user;
  user.WillPress(DialogButton::Cancel);
  MessageDialog d;
  Configure(d, 1);
  EXPECT_THROW(d.ShowModal(), ScriptedUser::Unscripted);
  EXPECT_EQ(user.Problems().size(), 1u);
}

TEST(MessageDialogs, AnswersOfTheWrongKindAndUnusedAnswersAreReported) {
  ScriptedUser user;
  user.WillCancelChooser();
  user.WillPress(DialogButton::Action);
  MessageDialog d;
  EXPECT_THROW(d.ShowModal(), ScriptedUser::Unscripted);
  const std::string report = user.Report();
  EXPECT_NE(report.find("cancel a chooser"), std::string::npos) << report;
  EXPECT_NE(report.find("unused answer: press a dialog button"), std::string::npos) << report;
}

TEST(MessageDialogs, BeepsAndMessageBoxesAreRecordedInOrderWithoutAScript) {
  ScriptedUser user;
  framework::Beep();
  framework::MsgBox("完了しました。");
  EXPECT_EQ(user.Beeps(), 1);
  EXPECT_EQ(user.Transcript(), (std::vector<std::string>{"beep", "msgbox 完了しました。"}));
  EXPECT_EQ(user.Report(), "");
}

// The worker asks; while its dialog is up the main thread must get the baton
// and run, and the worker must hold the baton again once answered.
TEST(MessageDialogs, AWorkersDialogIsAnsweredWhileTheMainThreadRuns) {
  ScriptedUser user;
  std::mutex m;
  std::condition_variable cv;
  bool dialogUp = false;
  bool mainRanMeanwhile = false;
  bool waitedTooLong = false;
  user.WillPress(DialogButton::Cancel, [&] {
    std::unique_lock lock(m);
    dialogUp = true;
    // A timeout, not a sleep: without the hand-over this would deadlock.
    waitedTooLong = !cv.wait_for(lock, std::chrono::seconds(20), [&] { return mainRanMeanwhile; });
  });

  struct Asker : framework::Thread {
    void Event_Run() override {
      MessageDialog d;
      Configure(d, 2);
      answeredCancel = d.ShowModalWithin(nullptr) == &d.CancelButton();
      heldAfter = framework::Baton::HeldByThisThread();
    }
    std::atomic<bool> answeredCancel{false};
    std::atomic<bool> heldAfter{false};
  };
  auto worker = std::make_shared<Asker>();
  worker->Run();
  while (worker->IsRunning()) {
    {
      std::lock_guard lock(m);
      if (dialogUp && !mainRanMeanwhile) {
        mainRanMeanwhile = framework::Baton::HeldByThisThread();
        cv.notify_all();
      }
    }
    if (framework::Baton::Waiters() == 0) {
      framework::BatonReleaser letGo;
      std::this_thread::yield();
    }
    framework::Yield();
  }
  EXPECT_FALSE(waitedTooLong);
  EXPECT_TRUE(mainRanMeanwhile);
  EXPECT_TRUE(worker->answeredCancel);
  EXPECT_TRUE(worker->heldAfter);
  EXPECT_EQ(user.Report(), "");
}

TEST(Choosers, TheChosenItemOrNothingComesBackAndTheRequestIsRecorded) {
  ScriptedUser user;
  framework::TempFolder tree;
  const auto apps = FolderItem::FromPosix(tree.MakeFolder("Volumes/Old/Applications"));
  const auto picked = FolderItem::FromPosix(tree.MakeFolder("Volumes/Old/Applications/Tool"));
  user.WillChoose(picked);
  user.WillCancelChooser();
  user.WillChoose(picked);

  framework::SelectFolderDialog folders;
  folders.InitialDirectory(apps);
  EXPECT_EQ(folders.ShowModal(), picked);
  framework::OpenDialog files;
  EXPECT_EQ(files.ShowModal(), nullptr);
  EXPECT_EQ(framework::GetOpenFolderItem(""), picked);

  const auto requests = user.Choosers();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].kind, framework::ChooserRequest::Kind::Folder);
  EXPECT_EQ(requests[0].initialDirectory, apps);
  EXPECT_EQ(requests[1].kind, framework::ChooserRequest::Kind::File);
  EXPECT_EQ(requests[1].initialDirectory, nullptr);
  EXPECT_EQ(user.Report(), "");
}

TEST(Choosers, AChooserWithoutAnAnswerFailsLoudly) {
  ScriptedUser user;
  user.WillPress(DialogButton::Action);
  EXPECT_THROW(framework::SelectFolder(), ScriptedUser::Unscripted);
  EXPECT_EQ(user.Problems().size(), 1u);
}

}  // namespace
