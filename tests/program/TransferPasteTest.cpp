// The paste on STEP 4: which items of "temp" arrive where on the new
// machine, the folders made for them, the replace and keep choices, the
// stop, and a missing "temp".
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "framework/core/threads/Thread.h"
#include "framework/testing/TempFolder.h"
#include "framework/ui/UserInput.h"
#include "program/TransferFixture.h"
#include "transfer/StagedCopy.h"

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
    EXPECT_FALSE(w.RadioButton5().Enabled()) << "disabled when the run started, and it stays so";
    EXPECT_FALSE(w.RadioButton6().Enabled());
    EXPECT_EQ(Status4(), "");
    EXPECT_EQ(w.pPastePhase, Window1::PhasePasteDone);
    EXPECT_TRUE(user_.Dialogs().empty());
  }
};

TEST_F(PasteRun, PastesEverythingTheCopyPutIntoEachCategory) {
  tree_.WriteFile("Device/temp/App/Toskarine/Readme.txt", "read me");
  tree_.MakeBundle("Device/temp/App/Toskarine/Toskarine.app", "APPLqZw1");
  // Chosen by hand: a package and a single document.
  tree_.MakeBundle("Device/temp/App/Tool.app", "APPLqZwf");
  tree_.WriteFile("Device/temp/Doc/memo.txt", "memo");
  // A preferences item that is a single file, one that the Finder hides,
  // a documents folder whose name begins with "." and an Application
  // Support folder that is a link to a folder elsewhere.
  tree_.WriteFile("Device/temp/Pref/Pelquon初期設定", "settings");
  const fs::path hidden = tree_.WriteFile("Device/temp/Pref/Dornel初期設定/pref", "pref").parent_path();
  // (Where the disk keeps no extended attributes the folder stays visible.)
  framework::WriteFinderInfo(hidden, "", "", framework::kFinderFlagInvisible);
  tree_.WriteFile("Device/temp/Doc/.Letters/a.txt", "letter");
  tree_.WriteFile("Shared/Dornel/data", "data");
  fs::create_directory_symlink(tree_ / "Shared/Dornel", tree_.MakeFolder("Device/temp/AS") / "Dornel");
  // What the systems leave in folders, and the working folder of a copy
  // that was stopped dead: none of it is an item.
  tree_.WriteFile("Device/temp/App/.DS_Store", "view");
  tree_.WriteFile("Device/temp/App/._Toskarine", "attributes");
  tree_.WriteFile("Device/temp/Doc/Thumbs.db", "thumbnails");
  StagedCopy::SetStepHookForTesting([](StagedCopy::Step) { return false; });
  tree_.WriteFile("Old/Applications/Stopped/s.txt", "stopped");
  StagedCopy::CopyInto(framework::FolderItem::FromPosix(Old("Applications/Stopped")),
                       framework::FolderItem::FromPosix(TransferFolder() / "App"), StagedCopy::Existing::Refuse);
  StagedCopy::SetStepHookForTesting(nullptr);
  ASSERT_TRUE(StagedCopy::IsWorkingFolder(framework::FolderItem::FromPosix(TransferFolder() / "App/.olvan-incoming-1")));
  // Items named like working folders are items all the same, and a
  // person's folder of such a name in the new home stays as it is.
  tree_.WriteFile("Device/temp/Doc/.olvan-notes/n.txt", "notes");
  tree_.WriteFile("Device/temp/Pref/.olvan-incoming-1/p.txt", "pref");
  tree_.WriteFile("New/Applications/.olvan-incoming-1/notes.txt", "mine");
  tree_.WriteFile("New/Applications/Other/keep.txt", "other");
  // The new machine has no Library and no Documents yet.
  fs::remove_all(tree_ / "New/Library");
  fs::remove_all(Documents());
  const Names temp = Listing(TransferFolder() / "App");

  OnStepFour(/*replace=*/true);
  Paste();

  EXPECT_EQ(Listing(Applications()), (Names{".olvan-incoming-1", "Other", "Tool.app", "Toskarine"}));
  EXPECT_EQ(ReadText(Applications() / ".olvan-incoming-1/notes.txt"), "mine");
  EXPECT_EQ(Listing(Applications() / "Toskarine"), (Names{"Readme.txt", "Toskarine.app"}));
  EXPECT_EQ(ReadText(Applications() / "Toskarine/Toskarine.app/Contents/PkgInfo"), "APPLqZw1");
  EXPECT_EQ(ReadText(Applications() / "Tool.app/Contents/PkgInfo"), "APPLqZwf");
  EXPECT_EQ(ReadText(Applications() / "Other/keep.txt"), "other");
  EXPECT_EQ(Listing(Preferences()), (Names{".olvan-incoming-1", "Dornel初期設定", "Pelquon初期設定"}));
  EXPECT_EQ(ReadText(Preferences() / ".olvan-incoming-1/p.txt"), "pref");
  EXPECT_EQ(ReadText(Preferences() / "Pelquon初期設定"), "settings");
  EXPECT_EQ(ReadText(Preferences() / "Dornel初期設定/pref"), "pref");
  EXPECT_EQ(Listing(ApplicationSupport()), (Names{"Dornel"}));
  EXPECT_EQ(ReadText(ApplicationSupport() / "Dornel/data"), "data");
  EXPECT_EQ(Listing(Documents()), (Names{".Letters", ".olvan-notes", "memo.txt"}));
  EXPECT_EQ(ReadText(Documents() / ".olvan-notes/n.txt"), "notes");
  EXPECT_EQ(ReadText(Documents() / ".Letters/a.txt"), "letter");
  EXPECT_EQ(Listing(tree_ / "New/Library"), (Names{"Application Support", "Preferences"}));
  // "temp" stays on the device as it was.
  EXPECT_EQ(Listing(TransferFolder() / "App"), temp);

  EXPECT_EQ(Wizard().ProgressBar2().Maximum(), 9);
  EXPECT_EQ(Wizard().ProgressBar2().Value(), 9);
  ExpectFinished();
}

// Runs with nothing to paste for a category, or nothing at all, on a new
// machine that has none of the four folders yet: only a folder that gets an
// item is made.
struct SparsePasteCase {
  const char* name;
  std::vector<std::string> tempFiles;    // files to write under "Device/temp" ("x/" makes a folder)
  std::set<std::string> documents;       // Documents afterwards
  std::set<std::string> home;            // the new home afterwards
  std::int32_t maximum;
};

class SparsePaste : public PasteRun, public ::testing::WithParamInterface<SparsePasteCase> {};

TEST_P(SparsePaste, PastesWhatThereIsAndEndsFinished) {
  const SparsePasteCase& c = GetParam();
  fs::remove_all(tree_ / "New");
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
  EXPECT_EQ(Listing(tree_ / "New"), c.home);
  EXPECT_EQ(Wizard().ProgressBar2().Maximum(), c.maximum);
  EXPECT_EQ(Wizard().ProgressBar2().Value(), c.maximum == 0 ? 3 : c.maximum) << "untouched when nothing pasted";
  ExpectFinished();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SparsePaste,
    ::testing::Values(SparsePasteCase{"EmptyTransferFolder", {}, {}, {}, 0},
                      SparsePasteCase{
                          "OnlyWhatTheSystemsLeave", {"App/.DS_Store", "Doc/._Letters", "Pref/Thumbs.db"}, {}, {}, 0},
                      SparsePasteCase{"OnlyDoc", {"Doc/Letters/a.txt"}, {"Letters"}, {"Documents"}, 1}),
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
  // Names that merely look alike are other items, whatever the choice: in
  // letter case, "ß" against "ss", and other bytes that are not UTF-8.
  const std::vector<std::pair<std::string, std::string>> alike = {
      {"kavreline", "Kavreline"}, {"Dornel Strasse", "Dornel Straße"}, {"\x8F\x91\x97\xDE", "\x8E\x91\x97\xBF"}};
  for (const auto& [mine, theirs] : alike) {
    tree_.WriteFile("New/Applications/" + mine + "/mine.txt", "mine");
    tree_.WriteFile("Device/temp/App/" + theirs + "/new.txt", "new");
  }

  OnStepFour(c.replace);
  Paste();

  // Nothing of the copy's own making is left beside the items.
  Names expected{"Other", "Tool", "Toskarine"};
  for (const auto& [mine, theirs] : alike) {
    expected.insert({mine, theirs});
    EXPECT_EQ(ReadText(Applications() / mine / "mine.txt"), "mine");
    EXPECT_EQ(Listing(Applications() / theirs), Names{"new.txt"});
  }
  EXPECT_EQ(Listing(Applications()), expected);
  EXPECT_EQ(Listing(Applications() / "Toskarine"), c.toskarine);
  EXPECT_EQ(fs::is_directory(Applications() / "Tool"), c.toolIsFolder);
  EXPECT_EQ(ReadText(Applications() / "Other/keep.txt"), "other");
  EXPECT_EQ(Wizard().ProgressBar2().Value(), 5);
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
  // The next paste runs with the choice of this one.
  EXPECT_FALSE(w.RadioButton5().Enabled());
  EXPECT_FALSE(w.RadioButton6().Enabled());
}

}  // namespace
