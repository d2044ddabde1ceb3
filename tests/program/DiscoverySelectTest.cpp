// Items added by hand on STEP 2 ("フォルダを取得...", "ファイルを取得..."), and
// manual adds running beside a scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/ui/MessageDialogButton.h"
#include "program/DiscoveryFixture.h"

namespace {

namespace fs = std::filesystem;
using framework::UserInput;
using programtest::DiscoveryTest;
using Texts = std::vector<std::string>;

class DiscoverySelect : public DiscoveryTest {
 protected:
  // STEP 2 after a scan of an empty Applications folder: the manual-add
  // buttons are enabled and the list is empty.
  void SetUp() override {
    ScanOnDeviceRoute();
    ASSERT_EQ(List().ListCount(), 0);
  }
};

TEST_F(DiscoverySelect, ChosenProductOrDocumentsAreAppendedAsRows) {
  struct Case {
    const char* name;
    std::function<framework::FolderItemPtr()> make;
    bool file;
    Texts added;
  };
  const Case cases[] = {
      {"a folder holding the application, whatever its name",
       [&] {
         tree_.MakeBundle("elsewhere/My Tools/Toskarine.app", programtest::kToskarine);
         return Item("elsewhere/My Tools");
       },
       false,
       {"[x] Toskarine II {0:1:}", "  [x] My Tools (AD 0 アプリ)", "  [x] Toskarine初期設定 (P 1 初期設定)"}},
      {"the application package itself",
       [&] {
         tree_.MakeBundle("elsewhere/Pelquon.app", programtest::kPelquon);
         return Item("elsewhere/Pelquon.app");
       },
       true,
       {"[x] Pelquon {2:}", "  [x] Pelquon.app (A 2 アプリ)"}},
      {"a document of the maker",
       [&] {
         Document("elsewhere/Notes/memo", "Gml3", "qZw1");
         return Item("elsewhere/Notes/memo");
       },
       true,
       {"[x] memo (D 3)"}},
      {"a folder directly holding a document",
       [&] {
         Document("elsewhere/Work/plan", "Dorn", "qZw5");
         return Item("elsewhere/Work");
       },
       false,
       {"[x] Work (DD 4)"}},
      {"a folder holding documents and an application gives the product",
       [&] {
         Document("elsewhere/Kav/a memo", "Suvo", "qZw4");
         tree_.MakeBundle("elsewhere/Kav/Kavreline.app", programtest::kKavreline);
         return Item("elsewhere/Kav");
       },
       false,
       {"[x] Kavreline {5:}", "  [x] Kav (AD 5 アプリ)"}},
  };
  Pref("Toskarine初期設定");

  Texts expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AddByHand(c.make(), c.file);
    // Appended after what was there, never clearing it.
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(Rows(), expected);
  }
  EXPECT_TRUE(user_.Dialogs().empty());
}

TEST_F(DiscoverySelect, ChosenItemWithoutTheMakersSoftwareIsRefusedWithACaution) {
  struct Case {
    const char* name;
    std::function<framework::FolderItemPtr()> make;
    bool file;
  };
  const Case cases[] = {
      {"another maker's application folder",
       [&] {
         tree_.MakeBundle("elsewhere/Other/Other.app", "APPLabcd");
         return Item("elsewhere/Other");
       },
       false},
      {"a product without a pickup rule",
       [&] {
         tree_.MakeBundle("elsewhere/Card/ToskCard.app", programtest::kToskCard);
         return Item("elsewhere/Card");
       },
       false},
      {"a file of another type", [&] { return framework::FolderItem::FromPosix(Document("elsewhere/other.txt", "TEXT", "ttxt")); }, true},
      {"a document two levels down", [&] {
         Document("elsewhere/Deep/Inner/memo", "Gml3", "qZw1");
         return Item("elsewhere/Deep");
       },
       false},
      {"an item gone before the worker looked", [&] { return Item("elsewhere/gone"); }, true},
  };

  const Texts before = Rows();
  const std::size_t entries = Wizard().pFI.size();
  int dialogs = static_cast<int>(user_.Dialogs().size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const framework::FolderItemPtr item = c.make();
    user_.WillChoose(item);
    user_.WillPress(framework::DialogButton::Action);
    ASSERT_TRUE(UserInput::Press(c.file ? Wizard().PushButton4() : Wizard().PushButton3()));
    framework::Thread::WaitForAll();

    const auto shown = user_.Dialogs();
    ASSERT_EQ(static_cast<int>(shown.size()), dialogs + 1);
    ++dialogs;
    EXPECT_EQ(shown.back().message.ToUTF8(), "OLVANSoftware製ソフトウェアが含まれていません。");
    EXPECT_EQ(shown.back().explanation.ToUTF8(), "フォルダの追加はされません。");
    EXPECT_EQ(shown.back().parent, &Wizard());
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(Wizard().pFI.size(), entries);
  }
  EXPECT_EQ(user_.Beeps(), dialogs) << "every caution beeps";
}

TEST_F(DiscoverySelect, ProductTheScanFoundGetsASecondRowNamingTheSameEntries) {
  App("Tosk/Toskarine.app", programtest::kToskarine);
  Pref("Toskarine初期設定");
  Rescan();
  const Texts scanned = Rows();
  ASSERT_EQ(scanned.size(), 3u);

  AddByHand(Item("startup/Applications/Tosk"));

  Texts expected = scanned;
  expected.insert(expected.end(), scanned.begin(), scanned.end());
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(Wizard().pFI.size(), 2u);
}

TEST_F(DiscoverySelect, ManualAddDuringAScanLeavesTheScansControlsAlone) {
  for (const char* folder : {"P1", "P2", "P3", "P4", "P5"}) App(std::string(folder) + "/Pelquon.app", programtest::kPelquon);
  Document("elsewhere/memo", "Gml3", "qZw1");
  programtest::TimeSliceGuard everyYieldHandsOver(std::chrono::microseconds(0));
  Window1& w = Wizard();
  // The chooser first: while it is up the baton is free and a scan would
  // run unchecked. Both workers then take turns at every yield.
  user_.WillChoose(Item("elsewhere/memo"));
  ASSERT_TRUE(UserInput::Press(w.PushButton4()));
  ASSERT_TRUE(UserInput::Press(w.PushButton8()));
  // The memo's index depends on how the two workers interleave.
  const auto isMemo = [](const std::string& row) { return row.starts_with("[x] memo (D "); };
  ASSERT_TRUE(programtest::YieldUntil([&] {
    const Texts rows = Rows();
    return std::any_of(rows.begin(), rows.end(), isMemo);
  }));
  ASSERT_LT(TopRows().size(), 1u + 5u) << "the scan should still be running";

  // The manual add is done; the scan's busy state is untouched.
  EXPECT_EQ(w.PushButton8().Caption().ToUTF8(), "中止");
  EXPECT_FALSE(w.pStopThread2);
  EXPECT_TRUE(Window2::Instance().StaticText1().Visible());
  EXPECT_TRUE(Window2::Instance().ProgressWheel1().Visible());

  framework::Thread::WaitForAll();
  ExpectScanDone();
  EXPECT_EQ(TopRows().size(), 1u + 5u) << "the memo and the five products";
  const Texts rows = Rows();
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), isMemo), 1);
}

// Manual adds of the same new items interleave at every yield; the item
// table must still hold each path once, and rows naming one item must name
// one entry.
TEST_F(DiscoverySelect, ManualAddsSideBySideNeverRecordAPathTwice) {
  // Items found before make every later search of the item table long, and
  // it yields after each entry it passes: plenty of turns for the workers to
  // meet while both look for the same new path.
  for (int i = 10; i < 40; ++i) {
    const std::string folder = "Z" + std::to_string(i);
    App(folder + "/Pelquon.app", programtest::kPelquon);
  }
  Rescan();
  const std::size_t before = Wizard().pFI.size();
  ASSERT_EQ(before, 30u);

  App("A Tosk/Toskarine.app", programtest::kToskarine);
  Pref("Toskarine初期設定");
  Support("Toskarine II");
  App("B Dornel/Dornel.app", programtest::kDornel);
  Pref("Dornel初期設定");
  Support("Dornel");
  App("C Pelquon/Pelquon.app", programtest::kPelquon);
  Pref("Pelquon初期設定");
  programtest::TimeSliceGuard everyYieldHandsOver(std::chrono::microseconds(0));

  // A scan holds the manual adds back until it ends, but manual adds run
  // beside each other: the person adds each new product twice, quickly,
  // every add starting while the ones before still run.
  for (int round = 0; round < 2; ++round) {
    for (const char* folder : {"A Tosk", "B Dornel", "C Pelquon"}) {
      user_.WillChoose(Item(std::string("startup/Applications/") + folder));
      ASSERT_TRUE(UserInput::Press(Wizard().PushButton3()));
    }
  }
  ASSERT_GT(framework::Thread::RunningCount(), 1);
  framework::Thread::WaitForAll();
  ExpectScanDone();

  const std::vector<std::string> entries = Entries();
  EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()).size(), entries.size())
      << ::testing::PrintToString(entries);
  EXPECT_EQ(entries.size(), before + 8);
  // The three new products are listed twice, both rows naming the same
  // entries.
  const std::vector<std::string> products = TopRows();
  ASSERT_EQ(products.size(), 30u + 6u);
  const std::multiset<std::string> counted(products.begin(), products.end());
  for (const char* product : {"Toskarine II: AD startup/Applications/A Tosk", "Dornel: AD startup/Applications/B Dornel",
                              "Pelquon: AD startup/Applications/C Pelquon"}) {
    const auto found = std::find_if(products.begin(), products.end(),
                                    [&](const std::string& p) { return p.starts_with(product); });
    ASSERT_NE(found, products.end()) << product;
    EXPECT_EQ(counted.count(*found), 2u) << *found;
  }
}

}  // namespace
