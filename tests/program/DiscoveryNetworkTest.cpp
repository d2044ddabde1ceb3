// Discovery on the network route: the old machine's disk is scanned, and a
// product's preferences and Application Support come from the chosen
// user's Library on that disk, never from this machine's.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/Window.h"
#include "program/DiscoveryFixture.h"
#include "support/PrefFileWriter.h"
#include "wizard/Window3.h"

namespace {

namespace fs = std::filesystem;
using framework::UserInput;
using Texts = std::vector<std::string>;

class DiscoveryNetwork : public programtest::DiscoveryTest {
 protected:
  void SetUp() override {
    tree_.MakeBundle("oldmac/Applications/Tosk/Toskarine.app", programtest::kToskarine);
    tree_.WriteFile("oldmac/Users/taro/Library/Preferences/Toskarine初期設定/pref");
    tree_.MakeFolder("oldmac/Users/taro/Library/Application Support/Toskarine II");
    // The same items on this machine must not be taken instead.
    Pref("Toskarine初期設定");
    Support("Toskarine II");
    App("Local/Pelquon.app", programtest::kPelquon);
  }

  // STEP 1: "ネットワーク経由", choosing the disk "OldMac" and its user "taro".
  void ChooseOldMachine() {
    user_.WillDrive([](framework::Window& shown) {
      auto& chooser = dynamic_cast<Window3&>(shown);
      ASSERT_TRUE(UserInput::SelectRow(chooser.Listbox1(), 1));
      ASSERT_EQ(chooser.Listbox2().ListCount(), 1);
      ASSERT_TRUE(UserInput::SelectRow(chooser.Listbox2(), 0));
      ASSERT_TRUE(UserInput::Press(chooser.PushButton2()));
    });
    ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton2()));
    ASSERT_TRUE(Wizard().RadioButton2().Value());
  }

  // The volume table without the old disk, once a case unmounts it.
  std::unique_ptr<framework::FileSystemSetupGuard> unmountedGuard_;
};

TEST_F(DiscoveryNetwork, ScanTakesTheOldDisksApplicationsAndTheChosenUsersLibrary) {
  struct Case {
    const char* name;
    std::function<void()> change;
    Texts products;
  };
  const Case cases[] = {
      {"the user's Library is there",
       [] {},
       {"Toskarine II: AD oldmac/Applications/Tosk, P oldmac/Users/taro/Library/Preferences/Toskarine初期設定, "
        "AS oldmac/Users/taro/Library/Application Support/Toskarine II"}},
      {"the user's folder has gone: the application is still found",
       [&] { fs::remove_all(tree_ / "oldmac/Users/taro"); },
       {"Toskarine II: AD oldmac/Applications/Tosk"}},
      {"the disk is no longer mounted: nothing to scan",
       [&] {
         framework::FileSystemSetup unmounted = framework::CurrentFileSystemSetup();
         unmounted.volumes.pop_back();
         unmountedGuard_ = std::make_unique<framework::FileSystemSetupGuard>(unmounted);
       },
       {}},
  };

  ChooseOldMachine();
  bool first = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    if (first) {
      ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
      framework::Thread::WaitForAll();
      first = false;
    } else {
      Rescan();
    }
    EXPECT_EQ(TopRows(), c.products);
    ExpectScanDone();
  }
  EXPECT_TRUE(user_.Dialogs().empty());
}

// The preference file on the old disk records its documents folder on the
// old machine's start-up disk; here that name belongs to this machine's own
// start-up disk, which even holds a folder of that path.
TEST_F(DiscoveryNetwork, ADocumentsFolderRecordedOnTheOldStartUpDiskIsTakenFromTheOldDisk) {
  tree_.MakeFolder("oldmac/Users/taro/Documents/書類/notes");
  tree_.MakeFolder("startup/Users/taro/Documents/書類");
  tree_.WriteFile("oldmac/Users/taro/Library/Preferences/Toskarine初期設定/pref2",
                  testsupport::PrefFileWriter::File(/*encoded=*/true, "", "", "Macintosh HD:Users:taro:Documents:書類:"));
  ChooseOldMachine();
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
  framework::Thread::WaitForAll();
  EXPECT_EQ(TopRows(),
            (Texts{"Toskarine II: AD oldmac/Applications/Tosk, P oldmac/Users/taro/Library/Preferences/Toskarine初期設定, "
                   "AS oldmac/Users/taro/Library/Application Support/Toskarine II, DD oldmac/Users/taro/Documents/書類"}));
  EXPECT_TRUE(user_.Dialogs().empty());
  EXPECT_TRUE(user_.MessageBoxes().empty());
}

}  // namespace
