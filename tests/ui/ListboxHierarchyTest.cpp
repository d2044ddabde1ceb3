// The hierarchical list as the program relies on it: children built by the
// ExpandRow handler go beneath the expanding row, collapsing removes them,
// and only the person's ticks raise CellAction.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "framework/testing/ScriptedUser.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/Listbox.h"
#include "framework/ui/UserInput.h"
#include "ui/ScratchWindow.h"

namespace {

using framework::Graphics;
using framework::Listbox;
using framework::ScriptedUser;
using framework::UserInput;

struct Child {
  std::string name;
  bool folder;
};

// A list whose ExpandRow handler adds the children named in a table, the way
// the item list builds a product's rows, and expands a folder child at once,
// as a manual selection does.
class ListboxHierarchy : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = uitest::ScratchWindow::Make([this](uitest::ScratchWindow& w) {
      list_ = &w.AddControl<Listbox>("Listbox1");
      list_->ColumnCount(4);
      list_->ExpandRow = [this](Listbox& list, std::int32_t row) { OnExpand(list, row); };
    });
  }

  void OnExpand(Listbox& list, std::int32_t row) {
    ++expansions_;
    for (const Child& child : children_[list.Cell(row, 0).ToUTF8()]) {
      if (child.folder) {
        list.AddFolder(child.name);
      } else {
        list.AddRow(child.name);
      }
      // What the handler knows of the new row is LastIndex alone.
      lastIndexNames_.push_back(list.Cell(list.LastIndex(), 0).ToUTF8());
      if (child.folder && expandFolderChildren_) list.Expanded(list.LastIndex(), true);
    }
  }

  // "name@depth" for every row, top to bottom.
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (std::int32_t r = 0; r < list_->ListCount(); ++r)
      rows.push_back(list_->Cell(r, 0).ToUTF8() + "@" + std::to_string(list_->RowDepth(r)));
    return rows;
  }

  ScriptedUser user_;
  std::shared_ptr<uitest::ScratchWindow> window_;
  Listbox* list_ = nullptr;
  std::map<std::string, std::vector<Child>> children_;
  bool expandFolderChildren_ = false;
  int expansions_ = 0;
  std::vector<std::string> lastIndexNames_;
};

TEST_F(ListboxHierarchy, ExpandInsertsChildrenBeneathTheRowAndBeforeLaterRows) {
  children_["P1"] = {{"a", false}, {"b", false}};
  list_->AddFolder("P1");
  list_->AddFolder("P2");
  list_->Expanded(0, true);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"P1@0", "a@1", "b@1", "P2@0"}));
  EXPECT_TRUE(list_->Expanded(0));
  EXPECT_FALSE(list_->Expanded(3));
  // LastIndex named each new child while the handler ran, not the list's end.
  EXPECT_EQ(lastIndexNames_, (std::vector<std::string>{"a", "b"}));
  // Outside the handler, rows go to the end again.
  list_->AddRow("tail");
  EXPECT_EQ(Rows().back(), "tail@0");
  EXPECT_EQ(list_->LastIndex(), 4);
}

TEST_F(ListboxHierarchy, AFolderExpandedInsideExpandRowGetsItsChildrenBeforeItsLaterSiblings) {
  children_["P1"] = {{"sub", true}, {"c2", false}};
  children_["sub"] = {{"g1", false}, {"g2", false}};
  expandFolderChildren_ = true;
  list_->AddFolder("P1");
  list_->AddFolder("P2");
  list_->Expanded(0, true);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"P1@0", "sub@1", "g1@2", "g2@2", "c2@1", "P2@0"}));
  EXPECT_EQ(lastIndexNames_, (std::vector<std::string>{"sub", "g1", "g2", "c2"}));
}

TEST_F(ListboxHierarchy, CollapseRemovesEveryDescendantAndExpandingAgainRebuildsThem) {
  children_["P1"] = {{"sub", true}, {"c2", false}};
  children_["sub"] = {{"g1", false}};
  expandFolderChildren_ = true;
  list_->AddFolder("P1");
  list_->AddFolder("P2");
  list_->Expanded(0, true);
  list_->CellType(2, 0, Listbox::TypeCheckBox);
  list_->CellCheck(2, 0, true);

  list_->Expanded(0, false);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"P1@0", "P2@0"}));
  EXPECT_FALSE(list_->Expanded(0));

  list_->Expanded(0, true);
  EXPECT_EQ(expansions_, 4);  // P1 and sub, twice each
  EXPECT_EQ(Rows(), (std::vector<std::string>{"P1@0", "sub@1", "g1@2", "c2@1", "P2@0"}));
  EXPECT_FALSE(list_->CellCheck(2, 0)) << "rebuilt rows are new rows";
}

TEST_F(ListboxHierarchy, ExpandingRowNamesTheInnermostExpansionUntilItsRowGoes) {
  std::vector<std::int32_t> seen;
  list_->ExpandRow = [&](Listbox& list, std::int32_t row) {
    seen.push_back(list.ExpandingRow());
    if (list.Cell(row, 0) == "P2") {
      // An expansion of an earlier row pushes this one down.
      list.Expanded(0, true);
      seen.push_back(list.ExpandingRow());
      list.DeleteAllRows();
      seen.push_back(list.ExpandingRow());
      return;
    }
    list.AddRow("child");
  };
  EXPECT_EQ(list_->ExpandingRow(), -1);
  list_->AddFolder("P1");
  list_->AddFolder("P2");
  list_->Expanded(1, true);
  // P2 at 1; P1 at 0 inside it; P2 moved to 2 by P1's child; gone.
  EXPECT_EQ(seen, (std::vector<std::int32_t>{1, 0, 2, -1}));
  EXPECT_EQ(list_->ExpandingRow(), -1);
}

TEST_F(ListboxHierarchy, ExpandingEveryRowFromTheLastUpBuildsEachProductOnce) {
  children_["P1"] = {{"a", false}};
  children_["P2"] = {{"b", false}, {"c", false}};
  list_->AddFolder("P1");
  list_->AddRow("doc");
  list_->AddFolder("P2");
  for (std::int32_t row = list_->ListCount() - 1; row >= 0; --row) list_->Expanded(row, true);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"P1@0", "a@1", "doc@0", "P2@0", "b@1", "c@1"}));
  // A second pass meets expanded folders and plain rows only.
  for (std::int32_t row = list_->ListCount() - 1; row >= 0; --row) list_->Expanded(row, true);
  EXPECT_EQ(expansions_, 2);
  EXPECT_EQ(list_->ListCount(), 6);
}

TEST_F(ListboxHierarchy, ExpandingAPlainRowDoesNothing) {
  children_["doc"] = {{"x", false}};
  list_->AddRow("doc");
  list_->Expanded(0, true);
  EXPECT_EQ(expansions_, 0);
  EXPECT_FALSE(list_->Expanded(0));
  EXPECT_EQ(list_->ListCount(), 1);
  EXPECT_FALSE(UserInput::ToggleExpanded(*list_, 0));
}

TEST_F(ListboxHierarchy, TheUsersDisclosureClickExpandsAndCollapses) {
  children_["P1"] = {{"a", false}};
  list_->AddFolder("P1");
  EXPECT_TRUE(UserInput::ToggleExpanded(*list_, 0));
  EXPECT_EQ(list_->ListCount(), 2);
  EXPECT_TRUE(UserInput::ToggleExpanded(*list_, 0));
  EXPECT_EQ(list_->ListCount(), 1);
}

TEST_F(ListboxHierarchy, RowsAnotherThreadAddsWhileExpandRowYieldsGoToTheEnd) {
  struct Appender : framework::Thread {
    explicit Appender(Listbox& l) : list(l) {}
    void Event_Run() override { list.AddRow("from worker"); }
    Listbox& list;
  };
  const auto savedSlice = framework::Baton::TimeSlice();
  framework::Baton::SetTimeSlice(std::chrono::microseconds(0));
  auto worker = std::make_shared<Appender>(*list_);
  list_->ExpandRow = [&](Listbox& list, std::int32_t) {
    list.AddRow("first");
    worker->Run();
    // Wait until the worker asks for the baton, then hand it over mid-handler.
    while (framework::Baton::Waiters() == 0) std::this_thread::yield();
    framework::Yield();
    list.AddRow("second");
  };
  list_->AddFolder("P1");
  list_->AddRow("end");
  list_->Expanded(0, true);
  worker->WaitUntilDone();
  framework::Baton::SetTimeSlice(savedSlice);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"P1@0", "first@1", "second@1", "end@0", "from worker@0"}));
}

TEST_F(ListboxHierarchy, HiddenColumnsKeepTheirText) {
  list_->ColumnWidths("70%,0,0,*");
  list_->AddRow("Tool.app");
  list_->Cell(0, 1, "A");
  list_->Cell(0, 2, "7");
  list_->Cell(0, 3, "アプリ");
  EXPECT_FALSE(list_->ColumnHidden(0));
  EXPECT_TRUE(list_->ColumnHidden(1));
  EXPECT_TRUE(list_->ColumnHidden(2));
  EXPECT_FALSE(list_->ColumnHidden(3));
  EXPECT_EQ(list_->ColumnWidthOf(0).unit, Listbox::ColumnWidth::Unit::Percent);
  EXPECT_EQ(list_->ColumnWidthOf(0).value, 70);
  EXPECT_EQ(list_->ColumnWidthOf(3).unit, Listbox::ColumnWidth::Unit::Share);
  EXPECT_EQ(list_->Cell(0, 1).ToUTF8(), "A");
  EXPECT_EQ(list_->Cell(0, 2).ToUTF8(), "7");
  EXPECT_EQ(list_->List(0).ToUTF8(), "Tool.app");
}

TEST_F(ListboxHierarchy, RowsAndColumnsOutOfRangeThrow) {
  list_->AddRow("only");
  EXPECT_THROW(list_->Cell(1, 0), std::out_of_range);
  EXPECT_THROW(list_->Cell(0, 4), std::out_of_range);
  EXPECT_THROW(list_->Expanded(-1, true), std::out_of_range);
  EXPECT_EQ(list_->Cell(0, 3).ToUTF8(), "");
}

TEST_F(ListboxHierarchy, OnlyThePersonsTickRaisesCellAction) {
  // The item list's rule: a product's mark goes to the rows below it.
  std::vector<std::string> actions;
  list_->CellAction = [&](Listbox& list, std::int32_t row, std::int32_t column) {
    actions.push_back(std::to_string(row) + "," + std::to_string(column));
    for (std::int32_t i = row + 1; i < list.ListCount() && list.RowDepth(i) > 0; ++i)
      list.CellCheck(i, 0, list.CellCheck(row, 0));
  };
  children_["P1"] = {{"a", false}, {"b", false}};
  list_->AddFolder("P1");
  list_->AddFolder("P2");
  list_->Expanded(0, true);
  for (std::int32_t r = 0; r < list_->ListCount(); ++r) {
    list_->CellType(r, 0, Listbox::TypeCheckBox);
    list_->CellCheck(r, 0, true);
  }
  EXPECT_TRUE(actions.empty()) << "the program's own settings raise nothing";

  EXPECT_TRUE(UserInput::ToggleCheck(*list_, 0, 0));
  EXPECT_EQ(actions, (std::vector<std::string>{"0,0"}));
  EXPECT_FALSE(list_->CellCheck(1, 0));
  EXPECT_FALSE(list_->CellCheck(2, 0));
  EXPECT_TRUE(list_->CellCheck(3, 0)) << "the next product keeps its mark";

  // Only check-box cells can be ticked, and only while the marks are not
  // locked; folding still goes through.
  EXPECT_FALSE(UserInput::SetCheck(*list_, 0, 1, true));
  list_->ChecksLocked(true);
  EXPECT_FALSE(UserInput::SetCheck(*list_, 1, 0, true));
  EXPECT_FALSE(list_->CellCheck(1, 0));
  EXPECT_TRUE(UserInput::ToggleExpanded(*list_, 0));
  list_->ChecksLocked(false);
  list_->Enabled(false);
  EXPECT_FALSE(UserInput::ToggleCheck(*list_, 0, 0));
  EXPECT_EQ(actions.size(), 1u);
}

TEST_F(ListboxHierarchy, SelectionFollowsItsRowAndChangeReportsOnlyRealChanges) {
  int changes = 0;
  list_->Change = [&](Listbox&) { ++changes; };
  children_["P1"] = {{"a", false}, {"b", false}};
  list_->AddFolder("P1");
  list_->AddFolder("P2");

  EXPECT_TRUE(UserInput::SelectRow(*list_, 1));
  EXPECT_EQ(changes, 1);
  list_->Expanded(0, true);  // P2 moves down to row 3, still selected
  EXPECT_EQ(list_->ListIndex(), 3);
  EXPECT_EQ(changes, 1);

  list_->ListIndex(2);  // "b", by the program
  EXPECT_EQ(changes, 2);
  list_->Expanded(0, false);  // removes "b"
  EXPECT_EQ(list_->ListIndex(), -1);
  EXPECT_EQ(changes, 3);

  list_->ListIndex(7);  // no such row: nothing selected, nothing changed
  EXPECT_EQ(changes, 3);
  list_->ListIndex(1);
  list_->DeleteAllRows();
  EXPECT_EQ(list_->ListIndex(), -1);
  EXPECT_EQ(changes, 5);
}

TEST_F(ListboxHierarchy, CellBackgroundPaintRecordsWhatTheHandlerDraws) {
  list_->Width(346);
  list_->Height(395);
  list_->CellBackgroundPaint = [](Listbox& list, Graphics& g, std::int32_t row, std::int32_t) {
    if (row % 2 == 0) {
      g.ForeColor(framework::RGB(237, 243, 254));
      g.FillRect(0, 0, list.Width(), list.Height());
    }
    return false;
  };
  list_->AddRow("r0");
  list_->AddRow("r1");
  Graphics even(200, 18);
  Graphics odd(200, 18);
  EXPECT_FALSE(UserInput::PaintCellBackground(*list_, even, 0, 0));
  EXPECT_FALSE(UserInput::PaintCellBackground(*list_, odd, 1, 0));
  ASSERT_EQ(even.Operations().size(), 1u);
  const Graphics::Operation& fill = even.Operations()[0];
  EXPECT_EQ(fill.kind, Graphics::Operation::Kind::FillRect);
  EXPECT_EQ(fill.color, framework::RGB(237, 243, 254));
  EXPECT_EQ(fill.width, 346);
  EXPECT_EQ(fill.height, 395);
  EXPECT_TRUE(odd.Operations().empty());
}

}  // namespace
