// The external-device route from STEP 1 to the end: the copy on the old
// machine, the marker left in the program's bundle, the launch on the new
// machine that opens STEP 4, the paste, and the way back from STEP 3.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/ui/UserInput.h"
#include "program/PageFlowFixture.h"
#include "program/TransferFixture.h"

namespace {

namespace fs = std::filesystem;

using framework::DialogButton;
using framework::UserInput;
using pageflowtest::PageFlowTest;
using pageflowtest::TreeImage;
using transfertest::Listing;
using Names = std::set<std::string>;

class DeviceRoute : public PageFlowTest {};

TEST_F(DeviceRoute, CopyOnTheOldMachineThenPasteOnTheNewOneCarriesEveryChosenItemUnchanged) {
  BuildOldMachine();
  ScanOnDeviceRoute();
  ExpectScanDone();
  AddLetters();
  // The person leaves Quilbrant behind.
  const std::int32_t quilbrant = RowOf("Quilbrant", "AD");
  ASSERT_GE(quilbrant, 0);
  ASSERT_TRUE(UserInput::SetCheck(List(), quilbrant, 0, false));

  NextToStepThree();
  EXPECT_FALSE(Wizard().RadioButton3().Shown()) << "the device copy offers no replace choice";
  EXPECT_FALSE(Wizard().PushButton2().Enabled()) << "no way on before the copy";
  RunToTheEnd(Wizard().PushButton5());
  EXPECT_EQ(Listing(TransferFolder() / "App"), (Names{"Pelquon", "Toskarine II"}));
  EXPECT_FALSE(fs::exists(Marker())) << "the marker is written on closing, not before";

  ASSERT_EQ(Wizard().PushButton2().Caption().ToUTF8(), "終了");
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
  EXPECT_EQ(user_.Quits(), 1);
  ASSERT_TRUE(fs::exists(Marker()));
  EXPECT_EQ(fs::file_size(Marker()), 0u);

  LaunchOnNewMachine();
  Window1& w = HeldWizard();
  EXPECT_EQ(w.PagePanel1().Value(), 3);
  EXPECT_TRUE(w.PushButton6().Shown());
  EXPECT_FALSE(w.PushButton2().Enabled());

  user_.WillPress(DialogButton::Action);
  ASSERT_TRUE(UserInput::Press(w.PushButton6()));
  ASSERT_EQ(user_.Dialogs().size(), 1u);
  EXPECT_EQ(user_.Dialogs()[0].message.ToUTF8(), "既存アイテムの処理方法が選択されていません。");
  EXPECT_EQ(w.PushButton6().Caption().ToUTF8(), "ペースト") << "nothing started";

  ASSERT_TRUE(UserInput::Choose(w.RadioButton5()));
  RunToTheEnd(w.PushButton6());
  struct Moved {
    const char* from;
    const char* to;
  };
  const Moved moved[] = {
      {"startup/Applications/Toskarine II", "Applications/Toskarine II"},
      {"startup/Applications/Pelquon", "Applications/Pelquon"},
      {"startup/Users/me/Library/Preferences/Pelquon初期設定", "Users/me/Library/Preferences/Pelquon初期設定"},
      {"startup/Users/me/Library/Application Support/Toskarine II",
       "Users/me/Library/Application Support/Toskarine II"},
      {"startup/Users/me/Documents/Letters", "Users/me/Documents/Letters"},
  };
  for (const Moved& item : moved) {
    SCOPED_TRACE(item.to);
    EXPECT_EQ(TreeImage(NewMachine(item.to)), TreeImage(tree_ / item.from));
  }
  // Nothing else arrived: not the item left behind, no staging left over.
  EXPECT_EQ(Listing(NewMachine("Applications")), (Names{"Pelquon", "Toskarine II"}));
  EXPECT_EQ(Listing(NewMachine("Users/me/Documents")), (Names{"Letters"}));

  ASSERT_TRUE(UserInput::Press(w.PushButton2()));
  EXPECT_EQ(user_.Quits(), 2);
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_TRUE(fs::exists(TransferFolder() / "App/Pelquon")) << "the transfer folder stays on the device";
  EXPECT_EQ(user_.Dialogs().size(), 1u) << "a finished run closes without a question";
}

TEST_F(DeviceRoute, BackFromStepThreeKeepsTheListAndARescanThenFindsWhatWasInstalledMeanwhile) {
  App("Pelquon/Pelquon.app", programtest::kPelquon);
  Pref("Pelquon初期設定");
  ScanOnDeviceRoute();
  const std::int32_t pref = RowOf("Pelquon初期設定", "P");
  ASSERT_GE(pref, 0);
  ASSERT_TRUE(UserInput::SetCheck(List(), pref, 0, false));
  const std::vector<std::string> rows = Rows();
  const std::vector<std::string> entries = Entries();

  NextToStepThree();
  Window1& w = HeldWizard();
  ASSERT_TRUE(UserInput::Press(w.PushButton7()));
  EXPECT_EQ(w.PagePanel1().Value(), 1);
  EXPECT_FALSE(w.PushButton7().Visible());
  EXPECT_EQ(w.PushButton2().Caption().ToUTF8(), "次へ");
  ExpectScanDone();
  EXPECT_EQ(Rows(), rows) << "no new scan: the person's marks stand";
  EXPECT_EQ(Entries(), entries);

  App("Quilbrant/Quilbrant.app", programtest::kQuilbrant);
  ASSERT_TRUE(UserInput::Press(w.PushButton8()));
  // A rescan holds Next and the manual adds back until it ends, as the
  // first scan does: a copy started meanwhile would take only the rows
  // found so far.
  EXPECT_EQ(w.PushButton8().Caption().ToUTF8(), "中止");
  EXPECT_FALSE(w.PushButton2().Enabled());
  EXPECT_FALSE(w.PushButton3().Enabled());
  EXPECT_FALSE(w.PushButton4().Enabled());
  EXPECT_FALSE(UserInput::Press(w.PushButton2()));
  EXPECT_EQ(w.PagePanel1().Value(), 1);
  framework::Thread::WaitForAll();
  ExpectScanDone();
  EXPECT_EQ(TopRows(), (std::vector<std::string>{
                           "Pelquon: AD startup/Applications/Pelquon, P startup/Users/me/Library/Preferences/Pelquon初期設定",
                           "Toskarine II Quilbrant: AD startup/Applications/Quilbrant"}));
  const std::vector<std::string> after = Entries();
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + 2), entries)
      << "items found again keep their entries";

  NextToStepThree();
  EXPECT_TRUE(w.PushButton7().Visible());
  RunToTheEnd(w.PushButton5());
  EXPECT_EQ(Listing(TransferFolder() / "App"), (Names{"Pelquon", "Quilbrant"}));
  EXPECT_EQ(Listing(TransferFolder() / "Pref"), (Names{"Pelquon初期設定"})) << "the new list is checked afresh";
}

}  // namespace
