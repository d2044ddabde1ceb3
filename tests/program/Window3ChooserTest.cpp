// The old machine's chooser: the disk list from the volume table, the user
// list with its filter, the results the wizard copies, the caution on an
// incomplete choice, and disks that go away while the sheet is open.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/UserInput.h"
#include "helpers/Globals.h"
#include "program/FakeMachine.h"
#include "program/ProgramFixture.h"
#include "wizard/Window3.h"

namespace {

namespace fs = std::filesystem;
using framework::DialogButton;
using framework::Listbox;
using framework::UserInput;
using programtest::FakeMachine;
using programtest::ProgramTest;
using programtest::WizardAccess;

const char* const kIncomplete = "ディスクまたはユーザが指定されていません。";

std::vector<std::string> Rows(const Listbox& list) {
  std::vector<std::string> rows;
  for (std::int32_t row = 0; row < list.ListCount(); ++row) rows.push_back(list.Cell(row, 0).ToUTF8());
  return rows;
}

Window3& Sheet(framework::Window& window) { return dynamic_cast<Window3&>(window); }

// Three disks: the start-up disk, the old machine mounted over the network
// ("OldMac") and a disk without users ("Backup").
class OldMachineChooser : protected FakeMachine, public ProgramTest {
 protected:
  OldMachineChooser() : view_(ThreeDisks()) {}

  framework::FileSystemSetup ThreeDisks() {
    Root().MakeFolder("MacHD/Users/Shared");
    MakeOldMac();
    Root().MakeFolder("Backup/Archive");
    framework::FileSystemSetup setup = StandardSetup(Root());
    setup.volumes = {{"Macintosh HD", Root() / "MacHD"}, {"OldMac", Root() / "OldMac"}, {"Backup", Root() / "Backup"}};
    return setup;
  }

  void MakeOldMac() const {
    for (const char* user : {"bob", "carol", ".hidden", "Shared", "SharedStuff"})
      Root().MakeFolder(std::string("OldMac/Users/") + user);
    Root().WriteFile("OldMac/Users/.localized");
    Root().WriteFile("OldMac/Users/notes.txt", "a plain file is listed too");
    // An entry that cannot be reached is no one's home.
    const fs::path ghost = Root() / "OldMac/Users/ghost";
    if (!fs::is_symlink(ghost)) fs::create_symlink(Root() / "nowhere", ghost);
    Root().MakeFolder("OldMac/Applications");
    // A home the old machine keeps elsewhere on its disk, written as that
    // machine names it: listed from this disk, whatever this machine has.
    Root().MakeFolder("OldMac/Homes/dave");
    if (!fs::is_symlink(Root() / "OldMac/Users/dave")) fs::create_symlink("/Homes/dave", Root() / "OldMac/Users/dave");
  }

  // Turns the network route on; the step drives the sheet while it is up,
  // and the dialogs it raises are answered with OK.
  void OpenChooser(std::function<void(Window3&)> step, int cautions = 0) {
    user_.WillDrive([step = std::move(step)](framework::Window& w) { step(Sheet(w)); });
    for (int i = 0; i < cautions; ++i) user_.WillPress(DialogButton::Action);
    ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton2()));
  }

  int BeepsPerCaution() const { return Globals::gBeep ? 1 : 0; }

  framework::FileSystemSetupGuard view_;
};

TEST_F(OldMachineChooser, ChoosingADiskAndAUserGivesTheWizardTheirNumberAndName) {
  const Window3* shown = nullptr;
  OpenChooser([&](Window3& sheet) {
    shown = &sheet;
    EXPECT_EQ(sheet.Frame(), framework::WindowFrame::Sheet);
    EXPECT_EQ(sheet.StaticText1().Text(), "旧マシンのディスクを選択してください。");
    EXPECT_EQ(sheet.StaticText2().Text(), "ユーザを選択してください。");
    EXPECT_EQ(sheet.PushButton1().Caption(), "キャンセル");
    EXPECT_EQ(sheet.PushButton2().Caption(), "実行");
    EXPECT_EQ(Rows(sheet.Listbox1()),
              (std::vector<std::string>{"Macintosh HD（起動ディスク・選択不可）", "OldMac", "Backup"}));
    EXPECT_EQ(sheet.Listbox1().ListIndex(), -1);
    EXPECT_EQ(sheet.Listbox2().ListCount(), 0);

    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), 1));
    EXPECT_EQ(Rows(sheet.Listbox2()), (std::vector<std::string>{"SharedStuff", "bob", "carol", "dave", "notes.txt"}));
    EXPECT_EQ(sheet.Listbox2().ListIndex(), -1);
    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox2(), 2));
    ASSERT_TRUE(UserInput::Press(sheet.PushButton2()));
    EXPECT_FALSE(sheet.Visible());
    EXPECT_EQ(sheet.pVolNo, 1);
    EXPECT_EQ(sheet.pUser, "carol");
  });

  Window1& w = Wizard();
  EXPECT_EQ(WizardAccess::ChosenVolume(w), 1);
  EXPECT_EQ(WizardAccess::ChosenUser(w), "carol");
  EXPECT_TRUE(w.RadioButton2().Value());
  EXPECT_FALSE(w.StaticText4().Visible());
  EXPECT_TRUE(w.StaticText10().Enabled());
  EXPECT_TRUE(w.PushButton2().Enabled());
  // The wizard closed the sheet after reading it.
  ASSERT_NE(shown, nullptr);
  EXPECT_FALSE(framework::ImplicitInstance<Window3>::Exists());
}

TEST_F(OldMachineChooser, AnIncompleteChoiceIsRefusedUntilThePersonCancels) {
  struct Attempt {
    const char* name;
    std::int32_t disk;  // -1: none selected
    std::int32_t user;
  };
  const Attempt attempts[] = {
      {"nothing selected", -1, -1},
      {"the start-up disk, with one of its users", 0, 0},
      {"a disk but no user", 1, -1},
      {"a disk without a Users folder", 2, -1},
  };
  OpenChooser(
      [&](Window3& sheet) {
        for (const Attempt& attempt : attempts) {
          SCOPED_TRACE(attempt.name);
          UserInput::SelectRow(sheet.Listbox1(), attempt.disk);
          if (attempt.user >= 0) {
            ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox2(), attempt.user));
          }
          ASSERT_TRUE(UserInput::Press(sheet.PushButton2()));
          // The sheet stays up with the person's selections.
          EXPECT_TRUE(sheet.Visible());
          EXPECT_EQ(sheet.Listbox1().ListIndex(), attempt.disk);
          EXPECT_EQ(sheet.Listbox2().ListIndex(), attempt.user);
          EXPECT_EQ(sheet.pVolNo, 0);
        }
        // The start-up disk lists its users like any other disk.
        ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), 0));
        EXPECT_EQ(Rows(sheet.Listbox2()), (std::vector<std::string>{"me"}));
        ASSERT_TRUE(UserInput::Press(sheet.PushButton1()));
      },
      /*cautions=*/4);

  const auto dialogs = user_.Dialogs();
  ASSERT_EQ(dialogs.size(), 4u);
  for (const auto& dialog : dialogs) {
    EXPECT_EQ(dialog.message, kIncomplete);
    EXPECT_EQ(dialog.explanation, "");
    EXPECT_NE(dialog.parent, nullptr);
    EXPECT_NE(dialog.parent, &Wizard());
  }
  EXPECT_EQ(user_.Beeps(), 4 * BeepsPerCaution());

  // Cancelled: no route chosen, nothing to go on to.
  Window1& w = Wizard();
  EXPECT_EQ(WizardAccess::ChosenVolume(w), -1);
  EXPECT_EQ(WizardAccess::ChosenUser(w), "");
  EXPECT_FALSE(w.RadioButton2().Value());
  EXPECT_FALSE(w.RadioButton1().Value());
  EXPECT_FALSE(w.PushButton2().Enabled());
  EXPECT_FALSE(w.StaticText10().Enabled());
  EXPECT_TRUE(w.StaticText4().Visible());
}

TEST_F(OldMachineChooser, AnotherDiskClearsTheUserListAndItsSelection) {
  OpenChooser([&](Window3& sheet) {
    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), 1));
    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox2(), 1));
    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), 2));
    EXPECT_EQ(sheet.Listbox2().ListCount(), 0);
    EXPECT_EQ(sheet.Listbox2().ListIndex(), -1);
    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), 1));
    EXPECT_EQ(sheet.Listbox2().ListCount(), 5);
    EXPECT_EQ(sheet.Listbox2().ListIndex(), -1);
    // Clicking below the disks clears the disk and so the users.
    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), -1));
    EXPECT_EQ(sheet.Listbox2().ListCount(), 0);
    ASSERT_TRUE(UserInput::Press(sheet.PushButton1()));
  });
}

TEST_F(OldMachineChooser, EachOpeningStartsAfreshAndACancelForgetsTheEarlierUser) {
  OpenChooser([&](Window3& sheet) {
    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), 1));
    ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox2(), 1));
    ASSERT_TRUE(UserInput::Press(sheet.PushButton2()));
  });
  ASSERT_EQ(WizardAccess::ChosenUser(Wizard()), "bob");
  ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton1()));

  OpenChooser([&](Window3& sheet) {
    EXPECT_EQ(sheet.Listbox1().ListIndex(), -1);
    EXPECT_EQ(sheet.Listbox2().ListCount(), 0);
    EXPECT_EQ(sheet.pVolNo, 0);
    EXPECT_EQ(sheet.pUser, "");
    ASSERT_TRUE(UserInput::Press(sheet.PushButton1()));
  });
  EXPECT_EQ(WizardAccess::ChosenVolume(Wizard()), -1);
  EXPECT_EQ(WizardAccess::ChosenUser(Wizard()), "");
  EXPECT_FALSE(Wizard().PushButton2().Enabled());
}

TEST_F(OldMachineChooser, ADiskUnmountedAfterTheSheetOpenedIsRefused) {
  struct Case {
    const char* name;
    // Runs while the sheet is up; may select before taking the disk away.
    std::function<void(Window3&)> unmount;
  };
  // Backup gains a user, so a chooser that follows the row number to
  // whatever volume now has it would offer "dave" from the wrong disk.
  Root().MakeFolder("Backup/Users/dave");
  const Case cases[] = {
      {"its mount point went away", [&](Window3&) { fs::remove_all(Root() / "OldMac"); }},
      {"the volume table lost it and the next disk took its number",
       [&](Window3&) {
         framework::FileSystemSetup after = StandardSetup(Root());
         after.volumes = {{"Macintosh HD", Root() / "MacHD"}, {"Backup", Root() / "Backup"}};
         framework::SetFileSystemSetup(after);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!fs::exists(Root() / "OldMac")) MakeOldMac();
    const framework::FileSystemSetup before = framework::CurrentFileSystemSetup();
    OpenChooser(
        [&](Window3& sheet) {
          c.unmount(sheet);
          ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), 1));
          EXPECT_EQ(sheet.Listbox2().ListCount(), 0);
          ASSERT_TRUE(UserInput::Press(sheet.PushButton2()));
          EXPECT_TRUE(sheet.Visible());
          ASSERT_TRUE(UserInput::Press(sheet.PushButton1()));
        },
        /*cautions=*/1);
    framework::SetFileSystemSetup(before);
  }

  // Unmounted after its users were listed and one was chosen.
  if (!fs::exists(Root() / "OldMac")) MakeOldMac();
  OpenChooser(
      [&](Window3& sheet) {
        ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox1(), 1));
        ASSERT_TRUE(UserInput::SelectRow(sheet.Listbox2(), 1));
        fs::remove_all(Root() / "OldMac");
        ASSERT_TRUE(UserInput::Press(sheet.PushButton2()));
        EXPECT_TRUE(sheet.Visible());
        EXPECT_EQ(sheet.pVolNo, 0);
        ASSERT_TRUE(UserInput::Press(sheet.PushButton1()));
      },
      /*cautions=*/1);

  EXPECT_EQ(user_.Dialogs().size(), 3u);
  for (const auto& dialog : user_.Dialogs()) EXPECT_EQ(dialog.message, kIncomplete);
  EXPECT_EQ(WizardAccess::ChosenVolume(Wizard()), -1);
}

}  // namespace
