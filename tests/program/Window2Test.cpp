// The item list: product rows and the item rows built beneath them from the
// item table, the product's check mark going down to its items, the
// stripes, and a list that survives its close box.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "discovery/Window2.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/UserInput.h"
#include "program/FakeMachine.h"
#include "program/ProgramFixture.h"

namespace {

using framework::Listbox;
using framework::UserInput;
using programtest::FakeMachine;
using programtest::ProgramTest;

// A product row as the discovery worker appends it: a collapsed folder row,
// checked, its index list in the hidden column 2.
void AddProduct(Listbox& list, const std::string& name, const std::string& indexList) {
  list.AddFolder(name);
  const std::int32_t row = list.LastIndex();
  list.CellType(row, 0, Listbox::TypeCheckBox);
  list.CellCheck(row, 0, true);
  list.Cell(row, 2, indexList);
}

// A document chosen by hand, as the discovery worker appends it.
void AddTopLevelItem(Listbox& list, const std::string& name, const std::string& kind, std::int32_t index) {
  list.AddRow(name);
  const std::int32_t row = list.LastIndex();
  list.CellType(row, 0, Listbox::TypeCheckBox);
  list.CellCheck(row, 0, true);
  list.Cell(row, 1, kind);
  list.Cell(row, 2, std::to_string(index));
}

std::vector<bool> Marks(const Listbox& list) {
  std::vector<bool> marks;
  for (std::int32_t row = 0; row < list.ListCount(); ++row) marks.push_back(list.CellCheck(row, 0));
  return marks;
}

class ItemList : protected FakeMachine, public ProgramTest {
 protected:
  // One entry of each kind code, and one of a kind the list has no label for.
  struct Entry {
    const char* path;
    const char* kind;
    const char* label;
  };
  static constexpr Entry kEntries[] = {
      {"MacHD/Applications/Toskarine", "AD", "アプリ"},
      {"MacHD/Applications/Toskarine.app", "A", "アプリ"},
      {"MacHD/Users/me/Library/Preferences/Toskarine 初期設定", "P", "初期設定"},
      {"MacHD/Users/me/Library/Application Support/Toskarine", "AS", "App. Support"},
      {"MacHD/Users/me/Documents/Toskarine 書類", "DD", "書類"},
      {"MacHD/Users/me/Documents/memo.tsk", "D", "書類"},
      {"MacHD/Users/me/Documents/odd", "Q", ""},
  };

  ItemList() {
    for (const Entry& entry : kEntries) Wizard().AddFIlist(At(entry.path), entry.kind);
  }

  // The list as STEP 2 leaves it for the discovery worker, without the scan.
  Window2& Drawer() {
    Window2& drawer = Window2::Instance();
    drawer.pWin1 = framework::ImplicitInstance<Window1>::Shared();
    return drawer;
  }

  static std::string NameOf(std::size_t entry) {
    const std::string path = kEntries[entry].path;
    return path.substr(path.rfind('/') + 1);
  }
};

TEST_F(ItemList, ExpandingAProductBuildsOneCheckedItemRowPerIndexInOrder) {
  struct Case {
    const char* name;
    const char* indexList;
    std::vector<std::size_t> children;
  };
  const Case cases[] = {
      {"two entries, in the list's order", "3:0:", {3, 0}},
      {"one entry", "5:", {5}},
      {"no entries", "", {}},
      {"every kind, the unknown one unlabelled", "0:1:2:3:4:5:6:", {0, 1, 2, 3, 4, 5, 6}},
      // Indexes that name no entry are passed over, never read.
      {"out of range and negative indexes", "0:99:-1:2:", {0, 2}},
  };
  Listbox& list = Drawer().Listbox1();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.DeleteAllRows();
    AddProduct(list, "Toskarine", c.indexList);
    AddProduct(list, "Quilbrant", "1:");
    ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));

    ASSERT_EQ(list.ListCount(), static_cast<std::int32_t>(c.children.size()) + 2);
    for (std::size_t i = 0; i < c.children.size(); ++i) {
      const std::int32_t row = static_cast<std::int32_t>(i) + 1;
      const std::size_t entry = c.children[i];
      SCOPED_TRACE(NameOf(entry));
      EXPECT_EQ(list.RowDepth(row), 1);
      EXPECT_EQ(list.Cell(row, 0), NameOf(entry));
      EXPECT_EQ(list.CellType(row, 0), Listbox::TypeCheckBox);
      EXPECT_TRUE(list.CellCheck(row, 0));
      EXPECT_EQ(list.Cell(row, 1), kEntries[entry].kind);
      EXPECT_EQ(list.Cell(row, 2), std::to_string(entry));
      EXPECT_EQ(list.Cell(row, 3), kEntries[entry].label);
    }
    // The next product stays where it was: below the children, collapsed.
    EXPECT_EQ(list.Cell(list.ListCount() - 1, 0), "Quilbrant");
    EXPECT_FALSE(list.Expanded(list.ListCount() - 1));
  }
}

TEST_F(ItemList, AProductsMarkGoesToItsItemsUpToTheNextProduct) {
  Listbox& list = Drawer().Listbox1();
  AddProduct(list, "Toskarine", "0:1:");
  AddProduct(list, "Quilbrant", "2:");
  AddTopLevelItem(list, "memo.tsk", "D", 5);
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 1));
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  // Rows: Toskarine, 2 children, Quilbrant, 1 child, the top-level memo.
  ASSERT_EQ(list.ListCount(), 6);

  struct Step {
    const char* name;
    std::int32_t row;
    bool mark;
    std::vector<bool> after;
  };
  const Step steps[] = {
      {"clearing a product clears its items and stops at the next product",
       0,
       false,
       {false, false, false, true, true, true}},
      {"clearing an item leaves its product's mark alone", 4, false, {false, false, false, true, false, true}},
      // Only the item rows count for the copy: the memo right below the
      // product's last child goes with the product.
      {"a top-level item after a product's children takes the product's mark",
       3,
       false,
       {false, false, false, false, false, false}},
      {"checking a product again checks every item below it", 3, true, {false, false, false, true, true, true}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    ASSERT_TRUE(UserInput::SetCheck(list, step.row, 0, step.mark));
    EXPECT_EQ(Marks(list), step.after);
  }
}

TEST_F(ItemList, ExpandingAgainChecksEveryItemOrWhatTheRunHoldingTheBoxesMoves) {
  Listbox& list = Drawer().Listbox1();
  AddProduct(list, "Toskarine", "0:2:4:");
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  ASSERT_TRUE(UserInput::SetCheck(list, 2, 0, false));
  ASSERT_TRUE(UserInput::SetCheck(list, 0, 0, false));
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false, false, false}));

  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  EXPECT_EQ(list.ListCount(), 1);
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  // Built anew: every child checked, though the product itself is clear.
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, true, true, true}));
  EXPECT_EQ(list.Cell(2, 2), "2");

  // While a run that moves entries 0 and 4 holds the boxes: as it moves them.
  Drawer().HoldChecks({0, 4});
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, true, false, true}));
  Drawer().ReleaseChecks();
  EXPECT_TRUE(UserInput::SetCheck(list, 2, 0, true)) << "the boxes are the person's again";
}

TEST_F(ItemList, EvenRowsAreStripedAndTheStripesFollowTheRowIndex) {
  Listbox& list = Drawer().Listbox1();
  AddProduct(list, "Toskarine", "1:");
  AddProduct(list, "Quilbrant", "");
  AddProduct(list, "Kavreline", "");

  auto stripe = [&list](std::int32_t row, std::int32_t column) {
    framework::Graphics g(100, 18);
    // Never claims the cell: text and check box are drawn over the stripe.
    EXPECT_FALSE(UserInput::PaintCellBackground(list, g, row, column));
    if (g.Operations().empty()) return false;
    EXPECT_EQ(g.Operations().size(), 1u);
    const framework::Graphics::Operation& op = g.Operations()[0];
    EXPECT_EQ(op.color, framework::RGB(237, 243, 254));
    EXPECT_EQ(op.x, 0);
    EXPECT_EQ(op.y, 0);
    EXPECT_GE(op.width, g.Width());
    EXPECT_GE(op.height, g.Height());
    return true;
  };
  for (std::int32_t row = 0; row < 3; ++row) {
    for (std::int32_t column = 0; column < 4; ++column) {
      SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
      EXPECT_EQ(stripe(row, column), row % 2 == 0);
    }
  }
  // One child under Toskarine moves Quilbrant from row 1 to row 2.
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  ASSERT_EQ(list.Cell(2, 0), "Quilbrant");
  EXPECT_TRUE(stripe(2, 0));
  EXPECT_FALSE(stripe(1, 0));
}

// The discovery worker's closing pass: expanding the first row, yielding
// after each child it adds.
class ExpandOnWorker : public framework::Thread {
 public:
  explicit ExpandOnWorker(Listbox& list) : list_(list) {}

 protected:
  void Event_Run() override { list_.Expanded(0, true); }

 private:
  Listbox& list_;
};

TEST_F(ItemList, ANewScanDuringAnExpansionLeavesNoStrayRows) {
  Listbox& list = Drawer().Listbox1();
  AddProduct(list, "Toskarine", "0:1:2:3:4:5:");

  const auto previous = framework::Baton::TimeSlice();
  framework::Baton::SetTimeSlice(std::chrono::microseconds(0));
  const auto worker = std::make_shared<ExpandOnWorker>(list);
  worker->Run();
  // The expansion has added its first child and yielded.
  while (list.ListCount() < 2) framework::Yield();
  // As "再取得" does: every row goes, and the new scan appends its first
  // product while the old expansion still waits for its turn.
  list.DeleteAllRows();
  AddProduct(list, "Quilbrant", "3:");
  worker->WaitUntilDone();
  framework::Baton::SetTimeSlice(previous);

  ASSERT_EQ(list.ListCount(), 1);
  EXPECT_EQ(list.Cell(0, 0), "Quilbrant");
  EXPECT_FALSE(list.Expanded(0));
}

TEST_F(ItemList, AClosingAskedOfTheListIsRefusedAndKeepsItsRows) {
  Window1& w = Wizard();
  ASSERT_TRUE(UserInput::Choose(w.RadioButton1()));
  ASSERT_TRUE(UserInput::Press(w.PushButton2()));
  framework::Thread::WaitForAll();

  // Entering STEP 2 shows the list for this wizard, kind and index hidden.
  ASSERT_TRUE(framework::ImplicitInstance<Window2>::Exists());
  // Held, so the closed window can still be looked at after the quit.
  const std::shared_ptr<Window2> held = framework::ImplicitInstance<Window2>::Shared();
  Window2& drawer = *held;
  EXPECT_TRUE(drawer.Visible());
  EXPECT_EQ(drawer.pWin1.get(), &w);
  EXPECT_EQ(drawer.Listbox1().ColumnWidths(), "70%,0,0,*");
  for (const std::int32_t column : {1, 2}) EXPECT_TRUE(drawer.Listbox1().ColumnHidden(column)) << column;
  EXPECT_EQ(drawer.StaticText1().Text(), "取得中...（取得には数分かかる場合があります。）");

  Listbox& list = drawer.Listbox1();
  AddProduct(list, "Toskarine", "0:4:");
  ASSERT_TRUE(UserInput::ToggleExpanded(list, 0));
  ASSERT_TRUE(UserInput::SetCheck(list, 2, 0, false));

  // The drawer has no close box on screen; a close the desktop asks for
  // anyway is refused, and the list stays out with the person's marks,
  // which the copy then expands and reads.
  EXPECT_FALSE(UserInput::ClickCloseBox(drawer));
  EXPECT_TRUE(drawer.Visible());
  EXPECT_FALSE(drawer.Closed());
  EXPECT_EQ(&Window2::Instance(), &drawer);
  EXPECT_EQ(Marks(drawer.Listbox1()), (std::vector<bool>{true, true, false}));

  // Through STEP 3 and back it stays as it was.
  ASSERT_TRUE(UserInput::Press(w.PushButton2()));
  ASSERT_EQ(w.PagePanel1().Value(), 2);
  ASSERT_TRUE(UserInput::Press(w.PushButton7()));
  ASSERT_EQ(w.PagePanel1().Value(), 1);
  EXPECT_TRUE(drawer.Visible());
  EXPECT_EQ(list.ListCount(), 3);

  // A quit is not held up by the list.
  EXPECT_TRUE(UserInput::ChooseMenuItem(TheApp(), "FileQuit"));
  EXPECT_TRUE(drawer.Closed());
  EXPECT_EQ(user_.Quits(), 1);
}

}  // namespace
