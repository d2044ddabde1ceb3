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
#include "support/AliasRecordWriter.h"
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

  // The scan of the old disk: the first by Next from STEP 1, every later
  // one by "再取得".
  void Scan() {
    if (Wizard().PushButton8().Caption() == "再取得") {
      Rescan();
      return;
    }
    ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
    framework::Thread::WaitForAll();
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
  const std::string toskarine = "Toskarine II: AD oldmac/Applications/Tosk, P oldmac/Users/taro/Library/Preferences/Toskarine初期設定";
  const fs::path support = tree_ / "oldmac/Users/taro/Library/Application Support/Toskarine II";
  // This machine has a folder of that very path: the one of its own user.
  const fs::path alsoHere = tree_ / "startup/Users/me/Library/Application Support/Toskarine II";
  const Case cases[] = {
      {"the user's Library is there", [] {}, {toskarine + ", AS oldmac/Users/taro/Library/Application Support/Toskarine II"}},
      {"Application Support is an absolute link into the old disk",
       [&] {
         fs::remove_all(support);
         tree_.MakeFolder("oldmac/home/taro/Data/Toskarine II");
         fs::create_directory_symlink("/home/taro/Data/Toskarine II", support);
       },
       {toskarine + ", AS oldmac/Users/taro/Library/Application Support/Toskarine II"}},
      {"Application Support is an absolute link that leads nowhere on the old disk, only here",
       [&] {
         fs::remove(support);
         fs::create_directory_symlink(alsoHere, support);
       },
       {toskarine}},
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    Scan();
    EXPECT_EQ(TopRows(), c.products);
    ExpectScanDone();
  }
  EXPECT_TRUE(user_.Dialogs().empty());
}

// The preference file on the old disk records its documents folder on the
// old machine's start-up disk, as a path text or as an alias record; here
// that disk's name belongs to this machine's own start-up disk. The folder
// is looked for on the old disk before anything is asked; one the person
// then chooses by hand is taken as chosen.
TEST_F(DiscoveryNetwork, ADocumentsFolderRecordedOnTheOldStartUpDiskIsTakenFromTheOldDisk) {
  const std::string shoruiMJ = "\x8f\x91\x97\xde";  // 書類 in Mac Japanese
  const std::string record = testsupport::AliasRecordWriter::Version2(testsupport::AliasRecordWriter::kFolder)
                                 .VolumeName("Macintosh HD")
                                 .Tag(2, "Macintosh HD:Users:taro:Documents:" + shoruiMJ)
                                 .Bytes();
  const std::string kToskarineItems =
      "Toskarine II: AD oldmac/Applications/Tosk, P oldmac/Users/taro/Library/Preferences/Toskarine初期設定, "
      "AS oldmac/Users/taro/Library/Application Support/Toskarine II";
  struct Case {
    const char* name;
    std::string entry19;
    bool alsoHere;   // this machine holds a folder of the recorded path too
    bool onOldDisk;  // the folder is there; else the person chooses one here
    const char* documents;
  };
  const Case cases[] = {
      {"path text", "Macintosh HD:Users:taro:Documents:書類:", true, true, "oldmac/Users/taro/Documents/書類"},
      {"alias record", record, false, true, "oldmac/Users/taro/Documents/書類"},
      {"alias record, also here", record, true, true, "oldmac/Users/taro/Documents/書類"},
      {"alias record, gone from the old disk", record, false, false, "startup/Users/me/Documents/Mine"},
  };
  tree_.MakeFolder("startup/Users/me/Documents/Mine");
  ChooseOldMachine();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(tree_ / "oldmac/Users/taro/Documents");
    fs::remove_all(tree_ / "startup/Users/taro");
    if (c.onOldDisk) tree_.MakeFolder("oldmac/Users/taro/Documents/書類/notes");
    if (c.alsoHere) tree_.MakeFolder("startup/Users/taro/Documents/書類");
    tree_.WriteFile("oldmac/Users/taro/Library/Preferences/Toskarine初期設定/pref2",
                    testsupport::PrefFileWriter::File(/*encoded=*/true, "", "", c.entry19));
    const std::size_t messagesBefore = user_.MessageBoxes().size();
    if (!c.onOldDisk) user_.WillChoose(Item(c.documents));
    Scan();
    EXPECT_EQ(TopRows(), (Texts{kToskarineItems + ", DD " + c.documents}));
    const auto messages = user_.MessageBoxes();
    ASSERT_EQ(messages.size() - messagesBefore, c.onOldDisk ? 0u : 1u) << "asked only when not on the old disk";
    if (!c.onOldDisk) {
      EXPECT_EQ(messages.back().ToUTF8(), "「Macintosh HD:Users:taro:Documents:書類」が見つかりません。再指定して下さい。");
    }
  }
  EXPECT_TRUE(user_.Dialogs().empty());

  // The old disk goes away during the scan, once its preference file has
  // been read (entry 18, which cannot be found, is being reported): what
  // entry 19 records on it is then not found, and is never taken from this
  // machine, not even from the folder that the bare mount point holds.
  SCOPED_TRACE("the old disk goes away during the scan");
  const std::string nowhere = testsupport::AliasRecordWriter::Version2(testsupport::AliasRecordWriter::kFolder)
                                  .VolumeName("Macintosh HD")
                                  .Tag(2, "Macintosh HD:Users:taro:Nowhere")
                                  .Bytes();
  tree_.MakeFolder("oldmac/Users/taro/Documents/書類/notes");
  tree_.WriteFile("oldmac/Users/taro/Library/Preferences/Toskarine初期設定/pref2",
                  testsupport::PrefFileWriter::File(/*encoded=*/true, "", nowhere, "Macintosh HD:Users:taro:Documents:書類:"));
  user_.WillCancelChooser();
  const std::size_t messagesBefore = user_.MessageBoxes().size();
  {
    programtest::TimeSliceGuard everyYieldHandsOver(std::chrono::microseconds(0));
    ASSERT_TRUE(UserInput::Press(Wizard().PushButton8()));
    ASSERT_TRUE(programtest::YieldUntil([&] { return user_.MessageBoxes().size() == messagesBefore + 2; }));
    fs::rename(tree_ / "oldmac", tree_ / "oldmac-unmounted");
    tree_.MakeFolder("oldmac/Users/taro/Documents/書類");
    framework::Thread::WaitForAll();
  }
  EXPECT_EQ(TopRows(), (Texts{kToskarineItems}));
  EXPECT_EQ(user_.MessageBoxes().back().ToUTF8(), "必要なファイルの所在が不明なので、処理を続行できません。:18");
  EXPECT_EQ(user_.Report(), "");
}

}  // namespace
