// The scan of STEP 2: which sub-folders of Applications give a product, what
// each product brings along, and how a scan ends, also when it is stopped.
#include <gtest/gtest.h>

#include <dirent.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "program/DiscoveryFixture.h"

namespace {

namespace fs = std::filesystem;
using framework::UserInput;
using programtest::DiscoveryTest;
using Texts = std::vector<std::string>;

class DiscoveryScan : public DiscoveryTest {};

TEST_F(DiscoveryScan, EachProductRowListsItsItemsInRuleOrderAsCheckedItemRows) {
  // Sub-folder names sort in the order the rows are expected.
  App("A Toskarine II/Toskarine.app", programtest::kToskarine);
  Pref("Toskarine初期設定");
  Support("Toskarine II");
  App("B Quilbrant/Quilbrant.app", programtest::kQuilbrant);
  Pref("Quilbrant初期設定");  // not in Quilbrant's rule
  App("C Kavreline/Kavreline.app", programtest::kKavreline);
  Pref("Kavreline初期設定");
  App("D Dornel/Dornel.app", programtest::kDornel);
  Support("Dornel");  // its preferences item is missing
  App("E Pelquon/Pelquon.app", programtest::kPelquon);
  Pref("Pelquon初期設定");

  ScanOnDeviceRoute();

  EXPECT_EQ(Rows(), (Texts{
                        "[x] Toskarine II {0:1:2:}",
                        "  [x] A Toskarine II (AD 0 アプリ)",
                        "  [x] Toskarine初期設定 (P 1 初期設定)",
                        "  [x] Toskarine II (AS 2 App. Support)",
                        "[x] Toskarine II Quilbrant {3:}",
                        "  [x] B Quilbrant (AD 3 アプリ)",
                        "[x] Kavreline {4:5:}",
                        "  [x] C Kavreline (AD 4 アプリ)",
                        "  [x] Kavreline初期設定 (P 5 初期設定)",
                        "[x] Dornel {6:7:}",
                        "  [x] D Dornel (AD 6 アプリ)",
                        "  [x] Dornel (AS 7 App. Support)",
                        "[x] Pelquon {8:9:}",
                        "  [x] E Pelquon (AD 8 アプリ)",
                        "  [x] Pelquon初期設定 (P 9 初期設定)",
                    }));
  EXPECT_EQ(Entries(), (Texts{
                           "AD startup/Applications/A Toskarine II",
                           "P startup/Users/me/Library/Preferences/Toskarine初期設定",
                           "AS startup/Users/me/Library/Application Support/Toskarine II",
                           "AD startup/Applications/B Quilbrant",
                           "AD startup/Applications/C Kavreline",
                           "P startup/Users/me/Library/Preferences/Kavreline初期設定",
                           "AD startup/Applications/D Dornel",
                           "AS startup/Users/me/Library/Application Support/Dornel",
                           "AD startup/Applications/E Pelquon",
                           "P startup/Users/me/Library/Preferences/Pelquon初期設定",
                       }));
  ExpectScanDone();
  EXPECT_TRUE(user_.Dialogs().empty()) << "a scan reports nothing";
}

// What a sub-folder of Applications must be for its application to count.
// The cases share one program: each rebuilds Applications and scans again.
TEST_F(DiscoveryScan, OnlyVisibleSubFoldersHoldingARuledProductGiveARow) {
  struct Case {
    const char* name;
    std::function<void()> build;
    Texts products;
  };
  const std::string apps = "startup/Applications/";
  const Case cases[] = {
      {"package lying directly in Applications", [&] { App("Toskarine.app", programtest::kToskarine); }, {}},
      {"the same package in a sub-folder is found, the sub-folder moved",
       [&] { App("Tosk/Toskarine.app", programtest::kToskarine); },
       {"Toskarine II: AD startup/Applications/Tosk"}},
      {"application two folder levels down", [&] { App("Suite/Tools/Pelquon.app", programtest::kPelquon); }, {}},
      {"sub-folder whose name begins with a dot", [&] { App(".Tosk/Toskarine.app", programtest::kToskarine); }, {}},
      {"sub-folder hidden by its Finder flag",
       [&] {
         App("Hidden/Toskarine.app", programtest::kToskarine);
         ASSERT_TRUE(framework::WriteFinderInfo(tree_ / (apps + "Hidden"), "", "", framework::kFinderFlagInvisible));
       },
       {}},
      {"sub-folder that is itself a package",
       [&] {
         App("Suite.app", programtest::kToskarine);
         App("Suite.app/Toskarine.app", programtest::kToskarine);
       },
       {}},
      {"products without a pickup rule",
       [&] {
         const char* codes[] = {"APPLqZw3", "APPLqZw6", "APPLqZwf", "APPLqZwj", "APPLqZwk", "APPLqZwq", "APPLqZwr"};
         for (const char* code : codes) App(std::string(code) + "/Tool.app", code);
       },
       {}},
      {"another maker's application and a document do not make a product",
       [&] {
         App("Other/Other.app", "APPLabcd");
         Document(apps + "Letters/letter", "Gml3", "qZw1");
       },
       {}},
      {"the first of two applications by name decides",
       [&] {
         App("Both/A Pelquon.app", programtest::kPelquon);
         App("Both/B Toskarine.app", programtest::kToskarine);
       },
       {"Pelquon: AD startup/Applications/Both"}},
      {"another maker's application before the maker's does not end the search",
       [&] {
         App("Mixed/A Other.app", "APPLabcd");
         App("Mixed/B Kavreline.app", programtest::kKavreline);
       },
       {"Kavreline: AD startup/Applications/Mixed"}},
      {"the maker's product without a rule, coming first, decides: no row",
       [&] {
         App("Mixed/A ToskCard.app", programtest::kToskCard);
         App("Mixed/B Kavreline.app", programtest::kKavreline);
       },
       {}},
      {"an application kept as a plain file of type APPL",
       [&] { Document(apps + "Plain/Kavreline", "APPL", "qZw4"); },
       {"Kavreline: AD startup/Applications/Plain"}},
      {"unusable entries are passed over and the scan goes on",
       [&] {
         tree_.MakeFolder(apps + "Links");
         fs::create_symlink(tree_ / "nowhere", tree_ / (apps + "A broken link"));
         fs::create_symlink("B looping link", tree_ / (apps + "B looping link"));
         fs::create_symlink(tree_ / "nowhere.app", tree_ / (apps + "Links/Toskarine.app"));
         tree_.MakeFolder(apps + "No PkgInfo/Toskarine.app/Contents");
         tree_.MakeFolder(apps + "PkgInfo folder/Toskarine.app/Contents/PkgInfo");
         App("Z Pelquon/Pelquon.app", programtest::kPelquon);
       },
       {"Pelquon: AD startup/Applications/Z Pelquon"}},
  };

  ScanOnDeviceRoute();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(tree_ / apps);
    tree_.MakeFolder(apps);
    c.build();
    Rescan();
    EXPECT_EQ(TopRows(), c.products);
    ExpectScanDone();
  }
}

TEST_F(DiscoveryScan, StopDuringAScanKeepsWhatWasFoundAndHandsStepTwoBack) {
  for (const char* folder : {"P1", "P2", "P3", "P4", "P5"}) App(std::string(folder) + "/Pelquon.app", programtest::kPelquon);
  programtest::TimeSliceGuard everyYieldHandsOver(std::chrono::microseconds(0));

  ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton1()));
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
  ASSERT_EQ(Wizard().PushButton8().Caption().ToUTF8(), "中止");
  ASSERT_TRUE(programtest::YieldUntil([] { return List().ListCount() >= 1; }));
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton8()));
  framework::Thread::WaitForAll();

  // The entry being examined when the stop came is finished, no later one
  // is begun.
  const std::vector<std::string> products = TopRows();
  EXPECT_GE(products.size(), 1u);
  EXPECT_LE(products.size(), 2u);
  EXPECT_EQ(products.front(), "Pelquon: AD startup/Applications/P1");
  ExpectScanDone();
  EXPECT_EQ(Rows().size(), products.size() * 2) << "each found product shows its item row";
  EXPECT_TRUE(Wizard().pStopThread2);

  // "再取得" starts over and, left alone, finds all five.
  framework::Baton::SetTimeSlice(std::chrono::microseconds(2000));
  Rescan();
  EXPECT_EQ(TopRows().size(), 5u);
  EXPECT_FALSE(Wizard().pStopThread2);
}

TEST_F(DiscoveryScan, NothingToFindStillHandsStepTwoBackWithoutAMessage) {
  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"Applications holding nothing of the maker's", [&] { App("Other/Other.app", "APPLabcd"); }},
      {"no Applications folder at all", [&] { fs::remove_all(tree_ / "startup/Applications"); }},
  };
  bool first = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    if (first) {
      ScanOnDeviceRoute();
      first = false;
    } else {
      Rescan();
    }
    EXPECT_EQ(List().ListCount(), 0);
    EXPECT_TRUE(Wizard().pFI.empty());
    ExpectScanDone();
  }
  EXPECT_TRUE(user_.Dialogs().empty());
}

TEST_F(DiscoveryScan, ANewScanGivesItemsFoundAgainTheirOldIndexes) {
  App("Tosk/Toskarine.app", programtest::kToskarine);
  Pref("Toskarine初期設定");
  ScanOnDeviceRoute();
  const Texts first = Rows();

  // The person clears a check mark and collapses the row; a new scan starts
  // from a fresh list, and the item table does not grow.
  ASSERT_TRUE(UserInput::SetCheck(List(), 2, 0, false));
  ASSERT_TRUE(UserInput::ToggleExpanded(List(), 0));
  Rescan();
  EXPECT_EQ(Rows(), first);
  EXPECT_EQ(Wizard().pFI.size(), 2u);

  // An item that appeared meanwhile is appended after the old entries.
  Support("Toskarine II");
  Rescan();
  EXPECT_EQ(Rows(), (Texts{
                        "[x] Toskarine II {0:1:2:}",
                        "  [x] Tosk (AD 0 アプリ)",
                        "  [x] Toskarine初期設定 (P 1 初期設定)",
                        "  [x] Toskarine II (AS 2 App. Support)",
                    }));
}

// Lowers the calling thread's power to read past file permissions (root's
// CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH) for its scope; threads started
// meanwhile inherit the lowered set, so a worker meets an unreadable folder
// as any user would. The permitted set is kept, so the scope's end restores
// the power.
class WithoutReadingPastPermissions {
 public:
  WithoutReadingPastPermissions() {
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    header_.pid = 0;
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~WithoutReadingPastPermissions() {
    if (lowered_) syscall(SYS_capset, &header_, saved_);
  }
  WithoutReadingPastPermissions(const WithoutReadingPastPermissions&) = delete;
  WithoutReadingPastPermissions& operator=(const WithoutReadingPastPermissions&) = delete;

 private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
  bool lowered_ = false;
};

TEST_F(DiscoveryScan, UnreadableFoldersArePassedOverAndTheScanGoesOn) {
  App("A Locked/Toskarine.app", programtest::kToskarine);
  App("B Locked bundle/Kavreline.app", programtest::kKavreline);
  App("C Pelquon/Pelquon.app", programtest::kPelquon);
  Pref("Pelquon初期設定");
  const fs::path lockedFolder = tree_ / "startup/Applications/A Locked";
  const fs::path lockedBundle = tree_ / "startup/Applications/B Locked bundle/Kavreline.app/Contents";
  const fs::path lockedPrefs = tree_ / "startup/Users/me/Library/Preferences";
  for (const fs::path& p : {lockedFolder, lockedBundle, lockedPrefs}) fs::permissions(p, fs::perms::none);

  {
    WithoutReadingPastPermissions asAnyUser;
    // Probed by opening it: access() would answer with root's full powers.
    if (DIR* probe = opendir(lockedFolder.c_str())) {
      closedir(probe);
      for (const fs::path& p : {lockedFolder, lockedBundle, lockedPrefs}) fs::permissions(p, fs::perms::owner_all);
      GTEST_SKIP() << "this process reads past file permissions and cannot give that up";
    }
    ScanOnDeviceRoute();
  }
  for (const fs::path& p : {lockedFolder, lockedBundle, lockedPrefs}) fs::permissions(p, fs::perms::owner_all);

  // The Preferences folder could not be searched either: Pelquon is listed
  // with its application only.
  EXPECT_EQ(TopRows(), (Texts{"Pelquon: AD startup/Applications/C Pelquon"}));
  ExpectScanDone();
}

TEST_F(DiscoveryScan, SubFolderRemovedWhileTheScanWaitsIsPassedOver) {
  for (const char* folder : {"P1", "P2", "P3", "P4"}) App(std::string(folder) + "/Pelquon.app", programtest::kPelquon);
  programtest::TimeSliceGuard everyYieldHandsOver(std::chrono::microseconds(0));

  ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton1()));
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
  ASSERT_TRUE(programtest::YieldUntil([] { return List().ListCount() >= 1; }));
  // The worker waits at a yield after P1, holding a listing that still
  // names P2 and P3.
  fs::remove_all(tree_ / "startup/Applications/P2");
  fs::remove_all(tree_ / "startup/Applications/P3/Pelquon.app");
  framework::Thread::WaitForAll();

  EXPECT_EQ(TopRows(), (Texts{"Pelquon: AD startup/Applications/P1", "Pelquon: AD startup/Applications/P4"}));
  ExpectScanDone();
}

}  // namespace
