// The copy to the external device on STEP 3: what goes into "temp", what
// does not, and the window the person sees during and after the run.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "framework/core/threads/Thread.h"
#include "framework/ui/UserInput.h"
#include "program/TransferFixture.h"

namespace {

namespace fs = std::filesystem;
using framework::UserInput;
using programtest::Expand;
using transfertest::Listing;
using transfertest::ReadText;
using transfertest::TransferTest;
using Names = std::set<std::string>;

const char* const kCopyDone =
    "コピーが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。⏎"
    "その後、外部デバイスを新マシンに繋ぎ直して、再度起動してください。";
const char* const kCopyStopped =
    "コピーが中止されました。このまま終了しても、ペーストのステップには進めません。⏎"
    "ペーストのステップに進むには、コピーを完了させてください。";

class DeviceCopy : public TransferTest {
 protected:
  // The window after a run that went through.
  void ExpectFinished() {
    const Window1& w = Wizard();
    EXPECT_EQ(w.StaticText10().Text().ToUTF8(), Expand(kCopyDone));
    EXPECT_TRUE(w.StaticText10().Enabled());
    EXPECT_EQ(w.PushButton5().Caption().ToUTF8(), "コピー");
    EXPECT_FALSE(w.PushButton5().Enabled()) << "a finished copy is not run again";
    EXPECT_FALSE(w.PushButton7().Visible());
    EXPECT_TRUE(w.PushButton2().Enabled());
    EXPECT_EQ(w.PushButton2().Caption().ToUTF8(), "終了");
    EXPECT_FALSE(w.ProgressBar1().Visible());
    EXPECT_EQ(Status3(), "");
    EXPECT_FALSE(w.pStopThread1) << "closing must write the copy-done marker";
    EXPECT_TRUE(user_.Dialogs().empty());
  }
};

TEST_F(DeviceCopy, PutsEveryCheckedItemIntoTheCategoryOfItsKindAndNothingElse) {
  tree_.WriteFile("Old/Applications/Toskarine/Readme.txt", "read me");
  tree_.MakeBundle("Old/Applications/Toskarine/Toskarine.app", "APPLqZw1");
  tree_.WriteFile("Old/Users/taro/Library/Preferences/Toskarine 初期設定/pref2", "settings");
  tree_.WriteFile("Old/Users/taro/Library/Application Support/Toskarine/data", "data");
  tree_.WriteFile("Old/Users/taro/Documents/Letters/a.txt", "letter");
  tree_.WriteFile("Old/Users/taro/Documents/memo.txt", "memo");
  tree_.MakeBundle("Old/Applications/Tool.app", "APPLqZwf");
  // What an earlier run (or the person) left in "temp" must not travel.
  tree_.WriteFile("Device/temp/App/Stale/x.txt", "old");
  tree_.WriteFile("Device/temp/junk.txt", "junk");

  const auto app = Entry(Old("Applications/Toskarine"), "AD");
  const auto pref = Entry(Old("Users/taro/Library/Preferences/Toskarine 初期設定"), "P");
  const auto support = Entry(Old("Users/taro/Library/Application Support/Toskarine"), "AS");
  AddProductRow("Toskarine", {app, pref, support});
  AddItemRow(Entry(Old("Users/taro/Documents/Letters"), "DD"), "DD");
  AddItemRow(Entry(Old("Users/taro/Documents/memo.txt"), "D"), "D");
  AddItemRow(Entry(Old("Applications/Tool.app"), "A"), "A");

  OnStepThreeByDevice();
  Copy();

  const auto temp = TransferFolder();
  EXPECT_EQ(Listing(temp), (Names{"App", "Pref", "AS", "Doc"}));
  EXPECT_EQ(Listing(temp / "App"), (Names{"Toskarine", "Tool.app"})) << "kinds AD and A both go to App";
  EXPECT_EQ(Listing(temp / "Pref"), (Names{"Toskarine 初期設定"}));
  EXPECT_EQ(Listing(temp / "AS"), (Names{"Toskarine"}));
  EXPECT_EQ(Listing(temp / "Doc"), (Names{"Letters", "memo.txt"})) << "kinds DD and D both go to Doc";
  EXPECT_EQ(Listing(temp / "App/Toskarine"), (Names{"Readme.txt", "Toskarine.app"}));
  EXPECT_EQ(ReadText(temp / "App/Toskarine/Toskarine.app/Contents/PkgInfo"), "APPLqZw1");
  EXPECT_EQ(ReadText(temp / "Doc/Letters/a.txt"), "letter");
  EXPECT_EQ(ReadText(temp / "Doc/memo.txt"), "memo");
  EXPECT_TRUE(fs::exists(Old("Applications/Toskarine/Readme.txt"))) << "a copy, not a move";

  EXPECT_EQ(Wizard().ProgressBar1().Maximum(), 6);
  EXPECT_EQ(Wizard().ProgressBar1().Value(), 6);
  ExpectFinished();
}

TEST_F(DeviceCopy, TwoRowsNamingOneEntryCopyItOnce) {
  tree_.WriteFile("Old/Users/taro/Documents/memo.txt", "memo");
  const auto memo = Entry(Old("Users/taro/Documents/memo.txt"), "D");
  AddProductRow("Toskarine", {memo});
  AddItemRow(memo, "D");

  OnStepThreeByDevice();
  Copy();

  // A second copy would find the name taken and be reported as failed.
  EXPECT_EQ(Listing(TransferFolder() / "Doc"), (Names{"memo.txt"}));
  EXPECT_EQ(Wizard().ProgressBar1().Maximum(), 1);
  EXPECT_EQ(Wizard().ProgressBar1().Value(), 1);
  ExpectFinished();
}

TEST_F(DeviceCopy, OnlyTheItemRowsOwnCheckMarkCounts) {
  tree_.MakeFolder("Old/Applications/Toskarine");
  tree_.WriteFile("Old/Users/taro/Library/Preferences/Toskarine 初期設定/pref2", "settings");
  tree_.MakeFolder("Old/Users/taro/Library/Application Support/Dornel");
  const auto app = Entry(Old("Applications/Toskarine"), "AD");
  const auto pref = Entry(Old("Users/taro/Library/Preferences/Toskarine 初期設定"), "P");
  const auto support = Entry(Old("Users/taro/Library/Application Support/Dornel"), "AS");
  AddProductRow("Toskarine", {app, pref});
  AddProductRow("Dornel", {support});

  // Rows: 0 Toskarine, 1 its application, 2 its preferences, 3 Dornel, 4 its
  // Application Support folder.
  framework::Listbox& list = List();
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 1));
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  ASSERT_EQ(list.ListCount(), 5);
  ASSERT_TRUE(UserInput::SetCheck(list, 0, 0, false));  // clears both children
  ASSERT_TRUE(UserInput::SetCheck(list, 2, 0, true));   // ... and one comes back
  ASSERT_TRUE(UserInput::SetCheck(list, 4, 0, false));  // Dornel's row stays checked
  ASSERT_FALSE(list.CellCheck(0, 0));
  ASSERT_TRUE(list.CellCheck(3, 0));

  OnStepThreeByDevice();
  Copy();

  // A checked product row is never copied by itself, a cleared one does
  // not hold back its checked item, and no category folder is made for
  // rows that do not count.
  EXPECT_EQ(Listing(TransferFolder()), (Names{"Pref"}));
  EXPECT_EQ(Listing(TransferFolder() / "Pref"), (Names{"Toskarine 初期設定"}));
  EXPECT_EQ(Wizard().ProgressBar1().Maximum(), 1);
  ExpectFinished();
}

TEST_F(DeviceCopy, StopPressedWhileAnItemIsShownCutsThatItemShort) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    tree_.WriteFile(std::string("Old/Users/taro/Documents/") + name, name);
    AddItemRow(Entry(Old("Users/taro/Documents") / name, "D"), "D");
  }
  OnStepThreeByDevice();

  ASSERT_TRUE(UserInput::Press(Wizard().PushButton5()));
  // The person presses "中止" while the status line names the second item
  // (the old disk is also the volume "OldMac" in this fake world).
  ASSERT_TRUE(YieldUntil([&] { return Status3() == "OldMac:Users:taro:Documents:b.txt をコピー中..."; }))
      << "last status: " << Status3();
  EXPECT_EQ(Wizard().PushButton5().Caption().ToUTF8(), "中止");
  EXPECT_FALSE(Wizard().PushButton7().Enabled()) << "no way back while the copy runs";
  EXPECT_EQ(Wizard().StaticText10().Text().ToUTF8(), "コピー中です。コピー終了まで数分かかる場合があります。");
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton5()));
  framework::Thread::WaitForAll();

  EXPECT_EQ(Listing(TransferFolder() / "Doc"), (Names{"a.txt"})) << "the item in hand is cut short, and removed";
  const Window1& w = Wizard();
  EXPECT_EQ(w.ProgressBar1().Value(), 2);
  EXPECT_EQ(w.StaticText10().Text().ToUTF8(), Expand(kCopyStopped));
  EXPECT_EQ(w.PushButton5().Caption().ToUTF8(), "コピー");
  EXPECT_TRUE(w.PushButton5().Enabled()) << "the copy can be run again";
  EXPECT_TRUE(w.PushButton7().Visible());
  EXPECT_TRUE(w.PushButton7().Enabled());
  EXPECT_TRUE(w.PushButton2().Enabled());
  EXPECT_EQ(Status3(), "");
  EXPECT_TRUE(w.pStopThread1) << "closing now must ask, and leave no copy-done marker";
}

// A run that transfers nothing ends with an empty "temp": as finished, or,
// when a checked item has gone since the scan, with that item reported.
struct NothingToCopyCase {
  const char* name;
  bool checked;       // the one item row's check mark
  bool itemVanished;  // its item was deleted after discovery
  std::set<std::string> temp;
};

class NothingToCopy : public DeviceCopy, public ::testing::WithParamInterface<NothingToCopyCase> {};

TEST_P(NothingToCopy, EndsWithTheBarWhereItWas) {
  const NothingToCopyCase& c = GetParam();
  tree_.WriteFile("Old/Users/taro/Library/Preferences/Toskarine.plist", "p");
  const auto row = AddItemRow(Entry(Old("Users/taro/Library/Preferences/Toskarine.plist"), "P"), "P");
  if (!c.checked) {
    ASSERT_TRUE(UserInput::SetCheck(List(), row, 0, false));
  }
  if (c.itemVanished) fs::remove(Old("Users/taro/Library/Preferences/Toskarine.plist"));
  tree_.WriteFile("Device/temp/Doc/old.txt", "from an earlier run");
  // Where the bar stood after an earlier run.
  Wizard().ProgressBar1().Value(5);

  OnStepThreeByDevice();
  if (c.itemVanished) user_.WillPress(framework::DialogButton::Action);
  Copy();

  EXPECT_EQ(Listing(TransferFolder()), c.temp);
  EXPECT_EQ(Listing(TransferFolder() / "Pref"), Names{});
  EXPECT_EQ(Wizard().ProgressBar1().Maximum(), 0);
  EXPECT_EQ(Wizard().ProgressBar1().Value(), 5);
  if (!c.itemVanished) {
    ExpectFinished();
    return;
  }
  // As the network copy reports it; the copy-done marker is not written.
  const auto dialogs = user_.Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].message.ToUTF8(), "コピーできなかったアイテムがあります。");
  const std::string explanation = dialogs[0].explanation.ToUTF8();
  EXPECT_NE(explanation.find("OldMac:Users:taro:Library:Preferences:Toskarine.plist"), std::string::npos)
      << explanation;
  EXPECT_TRUE(explanation.ends_with("コピー元のアイテムが見つかりません。")) << explanation;
  EXPECT_TRUE(Wizard().pStopThread1);
  EXPECT_TRUE(Wizard().PushButton5().Enabled()) << "the copy can be run again";
}

INSTANTIATE_TEST_SUITE_P(Cases, NothingToCopy,
                         ::testing::Values(NothingToCopyCase{"NothingChecked", false, false, {}},
                                           // Its category folder is still made.
                                           NothingToCopyCase{"CheckedItemGone", true, true, {"Pref"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
