// The network copy on STEP 3: each checked item goes from the old disk
// straight into this machine's folder for its kind. Every copied item
// costs 1.1 s of pacing, so these runs copy only a few.
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

const char* const kNetCopyDone = "ネットコピーが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。";

class NetCopy : public TransferTest {
 protected:
  void ExpectFinished() {
    const Window1& w = Wizard();
    EXPECT_EQ(w.StaticText10().Text().ToUTF8(), kNetCopyDone);
    EXPECT_TRUE(w.StaticText10().Enabled());
    EXPECT_EQ(w.PushButton5().Caption().ToUTF8(), "コピー");
    EXPECT_FALSE(w.PushButton5().Enabled());
    EXPECT_FALSE(w.PushButton7().Visible());
    EXPECT_TRUE(w.PushButton2().Enabled());
    EXPECT_EQ(w.PushButton2().Caption().ToUTF8(), "終了");
    EXPECT_FALSE(w.ProgressBar1().Visible());
    EXPECT_FALSE(w.RadioButton3().Enabled()) << "disabled when the run started, and it stays so";
    EXPECT_FALSE(w.RadioButton4().Enabled());
    EXPECT_EQ(Status3(), "");
    EXPECT_TRUE(user_.Dialogs().empty());
    EXPECT_EQ(Listing(Device()), Names{}) << "no transfer folder on this route";
  }
};

TEST_F(NetCopy, CopiesEachItemIntoTheFolderOfItsKindReplacingItsNamesake) {
  tree_.MakeBundle("Old/Applications/Tool.app", "APPLqZwf");
  tree_.WriteFile("Old/Users/taro/Library/Preferences/Toskarine 初期設定/pref2", "new settings");
  tree_.WriteFile("Old/Users/taro/Library/Application Support/Toskarine/data", "data");
  tree_.WriteFile("Old/Users/taro/Documents/memo.txt", "memo");
  // A folder of the old machine's named like a working folder is an item,
  // which the item copied after it into the same folder leaves alone.
  tree_.WriteFile("Old/Users/taro/Documents/.olvan-incoming-1/n.txt", "notes");
  tree_.WriteFile("New/Library/Preferences/Toskarine 初期設定/old.plist", "old settings");
  tree_.WriteFile("New/Library/Preferences/Other.plist", "other");
  // Folders the new machine lacks are made as the first item goes in.
  fs::remove_all(Applications());
  fs::remove_all(ApplicationSupport());

  const auto app = Entry(Old("Applications/Tool.app"), "A");
  const auto pref = Entry(Old("Users/taro/Library/Preferences/Toskarine 初期設定"), "P");
  const auto support = Entry(Old("Users/taro/Library/Application Support/Toskarine"), "AS");
  AddProductRow("Toskarine", {app, pref, support});
  AddItemRow(Entry(Old("Users/taro/Documents/.olvan-incoming-1"), "DD"), "DD");
  AddItemRow(Entry(Old("Users/taro/Documents/memo.txt"), "D"), "D");
  AddItemRow(pref, "P");  // a second row for one entry

  OnStepThreeByNetwork(/*replace=*/true);
  Copy();

  EXPECT_EQ(Listing(Applications()), (Names{"Tool.app"}));
  EXPECT_EQ(ReadText(Applications() / "Tool.app/Contents/PkgInfo"), "APPLqZwf");
  EXPECT_EQ(Listing(Preferences()), (Names{"Other.plist", "Toskarine 初期設定"}));
  EXPECT_EQ(Listing(Preferences() / "Toskarine 初期設定"), (Names{"pref2"})) << "replaced as a whole";
  EXPECT_EQ(ReadText(Preferences() / "Other.plist"), "other");
  EXPECT_EQ(Listing(ApplicationSupport()), (Names{"Toskarine"}));
  EXPECT_EQ(Listing(Documents()), (Names{".olvan-incoming-1", "memo.txt"}));
  EXPECT_TRUE(fs::exists(Old("Applications/Tool.app"))) << "a copy, not a move";
  EXPECT_EQ(Wizard().ProgressBar1().Maximum(), 5);
  EXPECT_EQ(Wizard().ProgressBar1().Value(), 5);
  EXPECT_EQ(ReadText(Documents() / ".olvan-incoming-1/n.txt"), "notes");
  ExpectFinished();
}

TEST_F(NetCopy, KeepLeavesTheItemOfTheSameNameAndCopiesTheRest) {
  tree_.WriteFile("Old/Users/taro/Library/Preferences/Toskarine.plist", "new");
  tree_.WriteFile("Old/Users/taro/Documents/memo.txt", "memo");
  tree_.WriteFile("New/Library/Preferences/Toskarine.plist", "old");
  AddItemRow(Entry(Old("Users/taro/Library/Preferences/Toskarine.plist"), "P"), "P");
  AddItemRow(Entry(Old("Users/taro/Documents/memo.txt"), "D"), "D");

  OnStepThreeByNetwork(/*replace=*/false);
  Copy();

  EXPECT_EQ(ReadText(Preferences() / "Toskarine.plist"), "old");
  EXPECT_EQ(Listing(Preferences()), (Names{"Toskarine.plist"}));
  EXPECT_EQ(Listing(Documents()), (Names{"memo.txt"}));
  // A kept item is the person's choice, not a failure.
  ExpectFinished();
}

// Two Application Support folders on the old disk are absolute links, as
// the old machine wrote them, to a path that this machine has too, with
// other data: one leads to its folder on the old disk, the other to nothing
// there.
TEST_F(NetCopy, AnItemGoneFromTheOldDiskIsReportedAndItsNamesakeStays) {
  tree_.WriteFile("Old/Users/taro/Library/Preferences/Toskarine.plist", "new");
  tree_.WriteFile("Old/Users/taro/Documents/memo.txt", "memo");
  tree_.WriteFile("New/Library/Preferences/Toskarine.plist", "old");
  const fs::path data = tree_ / "Data";  // the path the links name, on this machine
  const fs::path dataOnOldDisk = Old(data.relative_path().string());
  tree_.WriteFile("Data/Toskarine II/dictionary.db", "this machine's");
  tree_.WriteFile("Data/Dornel/cache", "this machine's");
  tree_.WriteFile(fs::relative(dataOnOldDisk / "Toskarine II/dictionary.db", tree_.Path()).string(), "the old disk's");
  tree_.WriteFile("New/Library/Application Support/Dornel/cache", "older");
  fs::create_directories(Old("Users/taro/Library/Application Support"));
  for (const char* name : {"Toskarine II", "Dornel"}) {
    fs::create_directory_symlink(data / name, Old("Users/taro/Library/Application Support") / name);
  }
  AddItemRow(Entry(Old("Users/taro/Library/Preferences/Toskarine.plist"), "P"), "P");
  AddItemRow(Entry(Old("Users/taro/Documents/memo.txt"), "D"), "D");
  AddItemRow(Entry(Old("Users/taro/Library/Application Support/Toskarine II"), "AS"), "AS");
  AddItemRow(Entry(Old("Users/taro/Library/Application Support/Dornel"), "AS"), "AS");
  // Found by the scan, gone when the copy comes to it.
  fs::remove(Old("Users/taro/Library/Preferences/Toskarine.plist"));

  OnStepThreeByNetwork(/*replace=*/true);
  user_.WillPress(framework::DialogButton::Action);
  Copy();

  EXPECT_EQ(ReadText(Preferences() / "Toskarine.plist"), "old") << "nothing to replace it with";
  EXPECT_EQ(Listing(Documents()), (Names{"memo.txt"}));
  EXPECT_EQ(ReadText(ApplicationSupport() / "Toskarine II/dictionary.db"), "the old disk's");
  EXPECT_FALSE(fs::is_symlink(ApplicationSupport() / "Toskarine II")) << "what the link leads to arrives";
  EXPECT_EQ(ReadText(ApplicationSupport() / "Dornel/cache"), "older") << "nothing to replace it with";
  EXPECT_EQ(Listing(ApplicationSupport() / "Dornel"), (Names{"cache"}));
  const auto dialogs = user_.Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].message.ToUTF8(), "コピーできなかったアイテムがあります。");
  EXPECT_NE(dialogs[0].explanation.ToUTF8().find("OldMac:Users:taro:Library:Preferences:Toskarine.plist：コピー元のアイテムが見つかりません。"),
            std::string::npos)
      << dialogs[0].explanation.ToUTF8();
  EXPECT_NE(dialogs[0].explanation.ToUTF8().find("OldMac:Users:taro:Library:Application Support:Dornel：コピー元のアイテムが見つかりません。"),
            std::string::npos)
      << dialogs[0].explanation.ToUTF8();
  EXPECT_EQ(ReadText(data / "Toskarine II/dictionary.db"), "this machine's") << "this machine's folder stays as it was";
  const Window1& w = Wizard();
  EXPECT_EQ(w.StaticText10().Text().ToUTF8(),
            Expand("ネットコピーはエラーで終了しました。コピーは不完全です。⏎原因を取り除いてから、再度コピーしてください。"));
  EXPECT_TRUE(w.PushButton5().Enabled()) << "the copy can be run again";
  EXPECT_TRUE(w.PushButton2().Enabled());
}

TEST_F(NetCopy, StopPressedWhileAnItemIsShownCutsThatItemShort) {
  tree_.WriteFile("Old/Users/taro/Documents/a.txt", "a");
  tree_.WriteFile("Old/Users/taro/Documents/b.txt", "b");
  AddItemRow(Entry(Old("Users/taro/Documents/a.txt"), "D"), "D");
  AddItemRow(Entry(Old("Users/taro/Documents/b.txt"), "D"), "D");
  OnStepThreeByNetwork(/*replace=*/true);

  ASSERT_TRUE(UserInput::Press(Wizard().PushButton5()));
  ASSERT_TRUE(YieldUntil([&] { return Status3() == "OldMac:Users:taro:Documents:a.txt をコピー中..."; }))
      << "last status: " << Status3();
  EXPECT_EQ(Wizard().StaticText10().Text().ToUTF8(), "ネットコピー中です。コピー終了まで数分かかる場合があります。");
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton5()));
  framework::Thread::WaitForAll();

  EXPECT_EQ(Listing(Documents()), Names{}) << "the item in hand is cut short, and removed";
  const Window1& w = Wizard();
  EXPECT_EQ(w.ProgressBar1().Value(), 1);
  EXPECT_EQ(w.StaticText10().Text().ToUTF8(),
            Expand("ネットコピーが中止されました。コピーは不完全なまま終了しました。⏎"
                   "コピーを最後まで完了させるには再度コピーボタンを押してください。"));
  EXPECT_EQ(w.PushButton5().Caption().ToUTF8(), "コピー");
  EXPECT_TRUE(w.PushButton5().Enabled());
  EXPECT_TRUE(w.PushButton7().Enabled());
  EXPECT_TRUE(w.PushButton2().Enabled());
  // The next copy runs with the choice of this one.
  EXPECT_FALSE(w.RadioButton3().Enabled());
  EXPECT_FALSE(w.RadioButton4().Enabled());
}

}  // namespace
