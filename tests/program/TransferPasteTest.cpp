// The paste on STEP 4: which items of "temp" arrive where on the new
// machine, the replace and keep choices, the stop, and a missing "temp".
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "framework/core/threads/Thread.h"
#include "framework/testing/TempFolder.h"
#include "framework/ui/UserInput.h"
#include "program/TransferFixture.h"

namespace {

namespace fs = std::filesystem;
using framework::DialogButton;
using framework::UserInput;
using programtest::Expand;
using transfertest::Listing;
using transfertest::ReadText;
using transfertest::TransferTest;
using Names = std::set<std::string>;

const char* const kPasteDone = "ペーストが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。";

class PasteRun : public TransferTest {
 protected:
  // The window after a paste that went through.
  void ExpectFinished() {
    const Window1& w = Wizard();
    EXPECT_EQ(w.StaticText10().Text().ToUTF8(), kPasteDone);
    EXPECT_TRUE(w.StaticText10().Enabled());
    EXPECT_EQ(w.PushButton6().Caption().ToUTF8(), "ペースト");
    EXPECT_FALSE(w.PushButton6().Enabled());
    EXPECT_FALSE(w.PushButton7().Enabled());
    EXPECT_TRUE(w.PushButton2().Enabled());
    EXPECT_EQ(w.PushButton2().Caption().ToUTF8(), "終了");
    EXPECT_FALSE(w.ProgressBar2().Visible());
    EXPECT_FALSE(w.RadioButton5().Enabled());
    EXPECT_FALSE(w.RadioButton6().Enabled());
    EXPECT_EQ(Status4(), "");
    EXPECT_EQ(w.pPastePhase, Window1::PhasePasteDone);
    EXPECT_TRUE(user_.Dialogs().empty());
  }
};

TEST_F(PasteRun, PastesTheVisibleFoldersOfEachCategoryAndLeavesTheRest) {
  tree_.WriteFile("Device/temp/App/Toskarine/Readme.txt", "read me");
  tree_.MakeBundle("Device/temp/App/Toskarine/Toskarine.app", "APPLqZw1");
  // An application package, a file, a "." folder and an invisible folder
  // lie in "temp" too; none of them is pasted.
  tree_.MakeBundle("Device/temp/App/Tool.app", "APPLqZwf");
  tree_.WriteFile("Device/temp/App/notes.txt", "notes");
  tree_.MakeFolder("Device/temp/App/.cache");
  const fs::path hidden = tree_.MakeFolder("Device/temp/App/Hidden");
  // (Where the disk keeps no extended attributes there is no such folder.)
  const bool canHide = framework::WriteFinderInfo(hidden, "", "", framework::kFinderFlagInvisible);
  if (!canHide) fs::remove(hidden);
  tree_.WriteFile("Device/temp/Pref/Toskarine 初期設定/pref2", "settings");
  tree_.WriteFile("Device/temp/AS/Toskarine/data", "data");
  tree_.WriteFile("Device/temp/Doc/Letters/a.txt", "letter");
  tree_.WriteFile("Device/temp/Doc/memo.txt", "memo");
  tree_.WriteFile("New/Applications/Other/keep.txt", "other");

  OnStepFour(/*replace=*/true);
  Paste();

  EXPECT_EQ(Listing(Applications()), (Names{"Other", "Toskarine"}));
  EXPECT_EQ(Listing(Applications() / "Toskarine"), (Names{"Readme.txt", "Toskarine.app"}));
  EXPECT_EQ(ReadText(Applications() / "Toskarine/Toskarine.app/Contents/PkgInfo"), "APPLqZw1");
  EXPECT_EQ(ReadText(Applications() / "Other/keep.txt"), "other");
  EXPECT_EQ(Listing(Preferences()), (Names{"Toskarine 初期設定"}));
  EXPECT_EQ(Listing(ApplicationSupport()), (Names{"Toskarine"}));
  EXPECT_EQ(Listing(Documents()), (Names{"Letters"}));
  EXPECT_EQ(ReadText(Documents() / "Letters/a.txt"), "letter");
  // "temp" stays on the device as it was.
  Names app = {".cache", "Toskarine", "Tool.app", "notes.txt"};
  if (canHide) app.insert("Hidden");
  EXPECT_EQ(Listing(TransferFolder() / "App"), app);

  EXPECT_EQ(Wizard().ProgressBar2().Maximum(), 4);
  EXPECT_EQ(Wizard().ProgressBar2().Value(), 4);
  ExpectFinished();
}

// Runs with nothing to paste for a category, or nothing at all.
struct SparsePasteCase {
  const char* name;
  std::vector<std::string> tempFiles;    // files to write under "Device/temp" ("x/" makes a folder)
  std::set<std::string> documents;       // Documents afterwards
  std::int32_t maximum;
};

class SparsePaste : public PasteRun, public ::testing::WithParamInterface<SparsePasteCase> {};

TEST_P(SparsePaste, PastesWhatThereIsAndEndsFinished) {
  const SparsePasteCase& c = GetParam();
  tree_.MakeFolder("Device/temp");
  for (const std::string& file : c.tempFiles) {
    if (file.ends_with("/")) {
      tree_.MakeFolder("Device/temp/" + file);
    } else {
      tree_.WriteFile("Device/temp/" + file, "x");
    }
  }
  // Where the bar stood after an earlier, stopped paste.
  Wizard().ProgressBar2().Value(3);

  OnStepFour(/*replace=*/false);
  Paste();

  EXPECT_EQ(Listing(Documents()), c.documents);
  EXPECT_EQ(Listing(Applications()), Names{});
  EXPECT_EQ(Listing(Preferences()), Names{});
  EXPECT_EQ(Wizard().ProgressBar2().Maximum(), c.maximum);
  EXPECT_EQ(Wizard().ProgressBar2().Value(), c.maximum == 0 ? 3 : c.maximum) << "untouched when nothing pasted";
  ExpectFinished();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SparsePaste,
    ::testing::Values(SparsePasteCase{"EmptyTransferFolder", {}, {}, 0},
                      SparsePasteCase{"NothingPastable",
                                      {"App/Tool.app/", "App/.hidden/", "Pref/x.plist", "Doc/memo.txt"},
                                      {},
                                      0},
                      SparsePasteCase{"OnlyDoc", {"Doc/Letters/a.txt"}, {"Letters"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasteRun, WithoutTransferFolderOnlyTellsThePerson) {
  OnStepFour(/*replace=*/true);
  const std::string guidance = Wizard().StaticText10().Text().ToUTF8();
  user_.WillPress(DialogButton::Action);
  Paste();

  const auto dialogs = user_.Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].message.ToUTF8(), "ペースト用のフォルダがないので処理できません。");
  EXPECT_EQ(dialogs[0].explanation.ToUTF8(), "");
  EXPECT_EQ(dialogs[0].parent, &Wizard());
  EXPECT_EQ(user_.Beeps(), 1);
  // Nothing else changed: the person can press "ペースト" again.
  const Window1& w = Wizard();
  EXPECT_EQ(w.PushButton6().Caption().ToUTF8(), "ペースト");
  EXPECT_TRUE(w.PushButton6().Enabled());
  EXPECT_FALSE(w.ProgressBar2().Visible());
  EXPECT_TRUE(w.RadioButton5().Enabled());
  EXPECT_FALSE(w.PushButton2().Enabled());
  EXPECT_EQ(w.StaticText10().Text().ToUTF8(), guidance);
  EXPECT_EQ(w.pPastePhase, Window1::PhasePastePending);
}

struct SameNameCase {
  const char* name;
  bool replace;
  std::set<std::string> toskarine;  // what Applications/Toskarine holds afterwards
  bool toolIsFolder;                // Applications/Tool became the pasted folder
};

class SameNamePaste : public PasteRun, public ::testing::WithParamInterface<SameNameCase> {};

TEST_P(SameNamePaste, ReplacesOrKeepsOnlyTheItemOfThatName) {
  const SameNameCase& c = GetParam();
  tree_.WriteFile("New/Applications/Toskarine/old.txt", "old");
  tree_.WriteFile("New/Applications/Tool", "a file of the same name");
  tree_.WriteFile("New/Applications/Other/keep.txt", "other");
  tree_.WriteFile("Device/temp/App/Toskarine/new.txt", "new");
  tree_.WriteFile("Device/temp/App/Tool/new.txt", "new");

  OnStepFour(c.replace);
  Paste();

  // Nothing of the copy's own making is left beside the items.
  EXPECT_EQ(Listing(Applications()), (Names{"Other", "Tool", "Toskarine"}));
  EXPECT_EQ(Listing(Applications() / "Toskarine"), c.toskarine);
  EXPECT_EQ(fs::is_directory(Applications() / "Tool"), c.toolIsFolder);
  EXPECT_EQ(ReadText(Applications() / "Other/keep.txt"), "other");
  EXPECT_EQ(Wizard().ProgressBar2().Value(), 2);
  // An item kept by the person's choice is no failure.
  ExpectFinished();
}

INSTANTIATE_TEST_SUITE_P(Cases, SameNamePaste,
                         ::testing::Values(SameNameCase{"Replace", true, {"new.txt"}, true},
                                           SameNameCase{"Keep", false, {"old.txt"}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasteRun, StopPressedWhileAnItemIsShownCutsThatItemShort) {
  tree_.WriteFile("Device/temp/App/Alpha/a.txt", "a");
  tree_.WriteFile("Device/temp/App/Beta/b.txt", "b");
  tree_.WriteFile("Device/temp/Doc/Letters/c.txt", "c");
  OnStepFour(/*replace=*/true);

  ASSERT_TRUE(UserInput::Press(Wizard().PushButton6()));
  // The status line names the destination folder, not the item.
  ASSERT_TRUE(YieldUntil([&] { return Status4() == "Macintosh HD:New:Applications: にペースト中..."; }))
      << "last status: " << Status4();
  EXPECT_EQ(Wizard().PushButton6().Caption().ToUTF8(), "中止");
  EXPECT_EQ(Wizard().StaticText10().Text().ToUTF8(), "ペースト中です。ペースト終了まで数分かかる場合があります。");
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton6()));
  framework::Thread::WaitForAll();

  // The folders are taken in name order: the first, in hand, is cut short
  // and removed; everything waits for the next paste.
  EXPECT_EQ(Listing(Applications()), Names{});
  EXPECT_EQ(Listing(Documents()), Names{});
  const Window1& w = Wizard();
  EXPECT_EQ(w.ProgressBar2().Maximum(), 3);
  EXPECT_EQ(w.ProgressBar2().Value(), 1);
  EXPECT_EQ(w.StaticText10().Text().ToUTF8(),
            Expand("ペーストが中止されました。ペーストは不完全なまま終了しました。⏎"
                   "ペーストを最後まで完了させるには再度ペーストボタンを押してください。"));
  EXPECT_EQ(w.PushButton6().Caption().ToUTF8(), "ペースト");
  EXPECT_TRUE(w.PushButton6().Enabled());
  EXPECT_FALSE(w.PushButton7().Enabled());
  EXPECT_TRUE(w.PushButton2().Enabled());
  EXPECT_EQ(w.pPastePhase, Window1::PhasePastePending) << "the next launch offers the paste again";
  EXPECT_TRUE(w.pStopThread1);
}

}  // namespace
