// The network route from STEP 1 to the end: the old machine's disk and user
// chosen in the chooser, the scan of that disk, and the copy straight into
// this machine's folders, which then quits without a marker.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/ui/UserInput.h"
#include "program/FakeMachine.h"
#include "program/PageFlowFixture.h"
#include "program/TransferFixture.h"
#include "wizard/Window3.h"

namespace {

namespace fs = std::filesystem;

using framework::DialogButton;
using framework::UserInput;
using pageflowtest::PageFlowTest;
using pageflowtest::TreeImage;
using programtest::WizardAccess;
using transfertest::Listing;
using transfertest::ReadText;
using Names = std::set<std::string>;

class NetworkRoute : public PageFlowTest {
 protected:
  void SetUp() override {
    tree_.MakeBundle("oldmac/Applications/Pelquon/Pelquon.app", programtest::kPelquon);
    tree_.WriteFile("oldmac/Applications/Pelquon/Manual.txt", "manual");
    tree_.WriteFile("oldmac/Users/taro/Library/Preferences/Pelquon初期設定/pref", "old settings");
    // This machine already has a Pelquon folder of its own.
    tree_.WriteFile("startup/Applications/Pelquon/Mine.txt", "mine");
  }

  // Drives the chooser: the disk and user rows to choose, and the button.
  static std::function<void(framework::Window&)> Chooser(std::int32_t disk, bool run) {
    return [disk, run](framework::Window& shown) {
      auto& chooser = dynamic_cast<Window3&>(shown);
      if (disk >= 0) {
        ASSERT_TRUE(UserInput::SelectRow(chooser.Listbox1(), disk));
        ASSERT_TRUE(UserInput::SelectRow(chooser.Listbox2(), 0));
      }
      ASSERT_TRUE(UserInput::Press(run ? chooser.PushButton2() : chooser.PushButton1()));
    };
  }

  // STEP 1 to STEP 3 with "OldMac" and its user chosen at once.
  void OnStepThree() {
    user_.WillDrive(Chooser(/*disk=*/1, /*run=*/true));
    ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton2()));
    ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
    framework::Thread::WaitForAll();
    NextToStepThree();
  }
};

TEST_F(NetworkRoute, FromTheChooserThroughTheScanToACopyThatReplacesItsNamesake) {
  Window1& w = HeldWizard();
  user_.WillDrive(Chooser(/*disk=*/-1, /*run=*/false));
  ASSERT_TRUE(UserInput::Choose(w.RadioButton2()));
  EXPECT_FALSE(w.RadioButton2().Value()) << "cancelled: no route";
  EXPECT_FALSE(w.PushButton2().Enabled());
  EXPECT_TRUE(w.StaticText4().Visible());

  // The start-up disk is this machine's own, and is refused; then the old
  // machine's disk is taken.
  user_.WillDrive([](framework::Window& shown) {
    Chooser(/*disk=*/0, /*run=*/true)(shown);
    Chooser(/*disk=*/1, /*run=*/true)(shown);
  });
  user_.WillPress(DialogButton::Action);
  ASSERT_TRUE(UserInput::Choose(w.RadioButton2()));
  ASSERT_EQ(user_.Dialogs().size(), 1u);
  EXPECT_EQ(user_.Dialogs()[0].message.ToUTF8(), "ディスクまたはユーザが指定されていません。");
  EXPECT_TRUE(w.RadioButton2().Value());
  EXPECT_EQ(WizardAccess::ChosenVolume(w), 1);
  EXPECT_EQ(WizardAccess::ChosenUser(w).ToUTF8(), "taro");
  EXPECT_TRUE(w.PushButton2().Enabled());
  EXPECT_FALSE(w.StaticText4().Visible()) << "no STEP 4 on this route";

  ASSERT_TRUE(UserInput::Press(w.PushButton2()));
  framework::Thread::WaitForAll();
  ExpectScanDone();
  EXPECT_EQ(TopRows(), (std::vector<std::string>{"Pelquon: AD oldmac/Applications/Pelquon, "
                                                 "P oldmac/Users/taro/Library/Preferences/Pelquon初期設定"}));

  NextToStepThree();
  EXPECT_EQ(w.StaticText12().Text().ToUTF8(), "必要なアイテムを、ネットワーク経由でコピーします。");
  EXPECT_EQ(w.StaticText10().Text().ToUTF8(), "不足のアイテムがあれば、前のステップに戻って追加して下さい。");
  EXPECT_EQ(w.PushButton2().Caption().ToUTF8(), "終了");
  EXPECT_FALSE(w.PushButton2().Enabled());
  EXPECT_TRUE(w.RadioButton3().Shown());

  user_.WillPress(DialogButton::Action);
  ASSERT_TRUE(UserInput::Press(w.PushButton5()));
  ASSERT_EQ(user_.Dialogs().size(), 2u);
  EXPECT_EQ(user_.Dialogs()[1].message.ToUTF8(), "既存アイテムの処理方法が選択されていません。");

  ASSERT_TRUE(UserInput::Choose(w.RadioButton3()));
  RunToTheEnd(w.PushButton5());
  EXPECT_EQ(TreeImage(tree_ / "startup/Applications/Pelquon"), TreeImage(tree_ / "oldmac/Applications/Pelquon"));
  EXPECT_EQ(TreeImage(tree_ / "startup/Users/me/Library/Preferences/Pelquon初期設定"),
            TreeImage(tree_ / "oldmac/Users/taro/Library/Preferences/Pelquon初期設定"));
  EXPECT_FALSE(fs::exists(TransferFolder())) << "nothing goes by the device";

  ASSERT_TRUE(UserInput::Press(w.PushButton2()));
  EXPECT_EQ(user_.Quits(), 1);
  EXPECT_EQ(user_.Dialogs().size(), 2u) << "the network route asks nothing on closing";
  EXPECT_FALSE(fs::exists(Marker()));
}

TEST_F(NetworkRoute, KeepLeavesTheNamesakeAsItWas) {
  OnStepThree();
  Window1& w = HeldWizard();
  const std::int32_t pref = RowOf("Pelquon初期設定", "P");
  ASSERT_GE(pref, 0);
  ASSERT_TRUE(UserInput::SetCheck(List(), pref, 0, false));
  ASSERT_TRUE(UserInput::Choose(w.RadioButton4()));
  RunToTheEnd(w.PushButton5());
  EXPECT_EQ(Listing(tree_ / "startup/Applications/Pelquon"), (Names{"Mine.txt"}));
  EXPECT_EQ(ReadText(tree_ / "startup/Applications/Pelquon/Mine.txt"), "mine");
  EXPECT_EQ(Listing(tree_ / "startup/Users/me/Library/Preferences"), Names{}) << "left unticked";
  EXPECT_EQ(w.PushButton2().Caption().ToUTF8(), "終了");
  EXPECT_TRUE(w.PushButton2().Enabled());
}

TEST_F(NetworkRoute, AQuitWhileTheCopyRunsStopsItWithoutAQuestion) {
  OnStepThree();
  Window1& w = HeldWizard();
  ASSERT_TRUE(UserInput::Choose(w.RadioButton3()));
  programtest::TimeSliceGuard strictTurns(std::chrono::microseconds(0));
  ASSERT_TRUE(UserInput::Press(w.PushButton5()));
  // The run has begun and is counting its items.
  ASSERT_TRUE(programtest::YieldUntil([&] { return w.PushButton5().Caption() == "中止"; }));

  ASSERT_TRUE(UserInput::ChooseMenuItem(TheApp(), "FileQuit"));
  EXPECT_EQ(user_.Quits(), 1);
  EXPECT_TRUE(w.pStopThread1);
  framework::Thread::WaitForAll();
  EXPECT_EQ(Listing(tree_ / "startup/Applications/Pelquon"), (Names{"Mine.txt"})) << "stopped before any item";
  EXPECT_TRUE(user_.Dialogs().empty());
  ExpectNothingLeftOpen();
}

// A quit while the copy is inside an item of many pieces cuts it short
// there (the network route asks nothing first): the replaced folder stays
// as it was, and nothing of the copy is left beside it.
TEST_F(NetworkRoute, AQuitDuringTheCopyCutsTheItemInHandShort) {
  // Real bytes, so the copy goes piece by piece (a hole would be skipped).
  tree_.WriteFile("oldmac/Applications/Pelquon/big.bin", std::string(std::size_t{40} << 20, 'x'));
  OnStepThree();
  Window1& w = HeldWizard();
  ASSERT_TRUE(UserInput::Choose(w.RadioButton3()));
  programtest::TimeSliceGuard strictTurns(std::chrono::microseconds(0));
  ASSERT_TRUE(UserInput::Press(w.PushButton5()));
  // The first pieces of big.bin have arrived beside the Applications folder's Pelquon.
  ASSERT_TRUE(programtest::YieldUntil([&] {
    std::error_code error;
    for (fs::recursive_directory_iterator it(tree_ / "startup/Applications", error), end; it != end; it.increment(error))
      if (it->path().filename() == "big.bin" && it->file_size(error) > 0) return true;
    return false;
  }));
  EXPECT_TRUE(UserInput::ClickCloseBox(w));
  EXPECT_EQ(user_.Quits(), 1);
  framework::Thread::WaitForAll();

  EXPECT_EQ(Listing(tree_ / "startup/Applications"), (Names{"Pelquon"})) << "no staging left over";
  EXPECT_EQ(Listing(tree_ / "startup/Applications/Pelquon"), (Names{"Mine.txt"}));
  EXPECT_TRUE(user_.Dialogs().empty());
}

}  // namespace
