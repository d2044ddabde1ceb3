// The hierarchical check-box list: ticks and triangles go to the model
// through UserInput, hidden columns stay hidden, and the program's row
// backgrounds are painted behind the rows.
#include <QHeaderView>
#include <QImage>
#include <QTest>

#include "framework/core/threads/Baton.h"
#include "framework/qt/ListboxView.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/Listbox.h"
#include "qt/QtTestSupport.h"

namespace {

using framework::Listbox;
using framework::ListboxView;
using qttest::QtFrontTest;
using qttest::TestWindow;
using qttest::WaitUntil;

// The item list as the program builds it: product rows (folders, column 1
// empty) whose children are item rows with a kind code, all checked.
class ItemList : public QtFrontTest {
 protected:
  void SetUp() override {
    window_ = TestWindow::Make(
        [&](TestWindow& w) {
          list_ = &w.AddControl<Listbox>("Listbox1");
          list_->Bounds(10, 25, 346, 395);
          list_->TextSize(12);
          list_->ColumnCount(4);
          list_->Hierarchical(true);
        },
        [](TestWindow& w) {
          w.Width(360);
          w.Height(446);
        });
    list_->ColumnWidths("70%,0,0,*");
    list_->ExpandRow = [this](Listbox& list, std::int32_t row) {
      expanded_.push_back(row);
      for (const char* name : {"Toskarine.app", "Toskarine Prefs"}) {
        list.AddRow(name);
        list.CellType(list.LastIndex(), 0, Listbox::TypeCheckBox);
        list.CellCheck(list.LastIndex(), 0, true);
        list.Cell(list.LastIndex(), 1, "A");
        list.Cell(list.LastIndex(), 3, "アプリ");
      }
    };
    list_->CellAction = [this](Listbox& list, std::int32_t row, std::int32_t column) {
      cellActions_.emplace_back(row, column);
      // A product's mark goes to its item rows.
      if (!list.Cell(row, 1).IsEmpty()) return;
      for (std::int32_t i = row + 1; i < list.ListCount() && !list.Cell(i, 1).IsEmpty(); ++i)
        list.CellCheck(i, 0, list.CellCheck(row, 0));
    };
    list_->CellBackgroundPaint = [](Listbox& list, framework::Graphics& g, std::int32_t row, std::int32_t) {
      if (row % 2 == 0) {
        g.ForeColor(framework::RGB(237, 243, 254));
        g.FillRect(0, 0, list.Width(), list.Height());
      }
      return false;
    };
    for (const char* product : {"Toskarine", "Quilbrant"}) {
      list_->AddFolder(product);
      list_->CellType(list_->LastIndex(), 0, Listbox::TypeCheckBox);
      list_->CellCheck(list_->LastIndex(), 0, true);
      list_->Cell(list_->LastIndex(), 2, "0:1:");
    }
    view_ = WidgetOf<ListboxView>(*list_);
    ASSERT_NE(view_, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return view_->topLevelItemCount() == 2; }));
  }

  void ClickInList(QPoint at) {
    framework::BatonReleaser asTheEventLoopDoes;
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }

  std::shared_ptr<TestWindow> window_;
  Listbox* list_ = nullptr;
  ListboxView* view_ = nullptr;
  std::vector<std::int32_t> expanded_;
  std::vector<std::pair<std::int32_t, std::int32_t>> cellActions_;
};

TEST_F(ItemList, TriangleExpandsThroughExpandRowAndCollapsesAgain) {
  ClickInList(qttest::TriangleCentre(*view_, view_->ItemOfRow(1)));
  ASSERT_EQ(expanded_, std::vector<std::int32_t>{1});
  EXPECT_EQ(list_->ListCount(), 4);
  ASSERT_TRUE(WaitUntil([&] { return view_->ItemOfRow(1) != nullptr && view_->ItemOfRow(1)->childCount() == 2; }));
  QTreeWidgetItem* product = view_->ItemOfRow(1);
  EXPECT_TRUE(product->isExpanded());
  EXPECT_EQ(product->child(0)->text(0), QString("Toskarine.app"));
  EXPECT_EQ(product->child(1)->text(3), QString("アプリ"));
  EXPECT_EQ(product->child(0)->checkState(0), Qt::Checked);

  ClickInList(qttest::TriangleCentre(*view_, product));
  EXPECT_FALSE(list_->Expanded(1));
  EXPECT_EQ(list_->ListCount(), 2);
  EXPECT_TRUE(WaitUntil([&] { return view_->ItemOfRow(1)->childCount() == 0; }));
  EXPECT_EQ(expanded_.size(), 1u) << "collapsing raises no ExpandRow";
}

TEST_F(ItemList, CheckBoxClickRaisesCellActionAndShowsWhatTheHandlerSet) {
  list_->Expanded(0, true);
  ASSERT_TRUE(WaitUntil([&] { return view_->ItemOfRow(0)->childCount() == 2 && view_->ItemOfRow(0)->isExpanded(); }));

  ClickInList(qttest::CheckBoxCentre(*view_, view_->ItemOfRow(0), 0));
  ASSERT_EQ(cellActions_.size(), 1u);
  EXPECT_EQ(cellActions_[0], std::make_pair(0, 0));
  EXPECT_FALSE(list_->CellCheck(0, 0));
  EXPECT_FALSE(list_->CellCheck(1, 0));
  EXPECT_FALSE(list_->CellCheck(2, 0));
  EXPECT_TRUE(list_->CellCheck(3, 0)) << "the next product keeps its mark";
  EXPECT_TRUE(WaitUntil([&] {
    return view_->ItemOfRow(1)->checkState(0) == Qt::Unchecked && view_->ItemOfRow(2)->checkState(0) == Qt::Unchecked;
  }));
  EXPECT_EQ(view_->ItemOfRow(3)->checkState(0), Qt::Checked);

  // A child's box changes that row alone.
  ClickInList(qttest::CheckBoxCentre(*view_, view_->ItemOfRow(2), 0));
  EXPECT_EQ(cellActions_.back(), std::make_pair(2, 0));
  EXPECT_TRUE(list_->CellCheck(2, 0));
  EXPECT_FALSE(list_->CellCheck(0, 0));
}

TEST_F(ItemList, LockedBoxesAreGreyedAndTakeNoClickWhileTheTrianglesStillFold) {
  const QPoint box = qttest::CheckBoxCentre(*view_, view_->ItemOfRow(0), 0);
  const auto drawn = [&] { return view_->viewport()->grab(QRect(box - QPoint(6, 6), QSize(13, 13))).toImage(); };
  const QImage clickable = drawn();
  list_->ChecksLocked(true);
  ASSERT_TRUE(WaitUntil([&] { return drawn() != clickable; })) << "drawn greyed";
  ClickInList(box);
  EXPECT_TRUE(cellActions_.empty());
  EXPECT_TRUE(list_->CellCheck(0, 0));
  EXPECT_EQ(view_->ItemOfRow(0)->checkState(0), Qt::Checked);
  ClickInList(qttest::TriangleCentre(*view_, view_->ItemOfRow(0)));
  EXPECT_EQ(list_->ListCount(), 4);
}

TEST_F(ItemList, ZeroWidthColumnsStayHiddenAndTheStarTakesTheRest) {
  EXPECT_TRUE(view_->isHeaderHidden());
  EXPECT_FALSE(view_->isColumnHidden(0));
  EXPECT_TRUE(view_->isColumnHidden(1));
  EXPECT_TRUE(view_->isColumnHidden(2));
  EXPECT_FALSE(view_->isColumnHidden(3));
  const int inner = view_->viewport()->width();
  EXPECT_EQ(view_->columnWidth(0), inner * 70 / 100);
  EXPECT_EQ(view_->columnWidth(0) + view_->columnWidth(3), inner);

  // The hidden cells keep their texts for the program.
  list_->Expanded(0, true);
  ASSERT_TRUE(WaitUntil([&] { return view_->ItemOfRow(0)->childCount() == 2; }));
  EXPECT_EQ(view_->ItemOfRow(1)->text(1), QString("A"));
  EXPECT_TRUE(view_->isColumnHidden(1));
}

TEST_F(ItemList, EvenRowsArePaintedWithTheProgramsStripe) {
  list_->Expanded(0, true);
  ASSERT_TRUE(WaitUntil([&] { return view_->ItemOfRow(0)->childCount() == 2; }));
  const QImage image = view_->viewport()->grab().toImage();
  // Column 3 of these rows holds no text for row 0 and 3, and a short one
  // for the item rows; sample its right end.
  const int x = view_->viewport()->width() - 3;
  const auto colourOfRow = [&](int row) {
    const QRect rect = view_->visualItemRect(view_->ItemOfRow(row));
    return image.pixelColor(x * image.width() / view_->viewport()->width(),
                            rect.center().y() * image.height() / view_->viewport()->height());
  };
  const QColor stripe(237, 243, 254);
  EXPECT_EQ(colourOfRow(0), stripe);
  EXPECT_NE(colourOfRow(1), stripe);
  EXPECT_EQ(colourOfRow(2), stripe);
  EXPECT_NE(colourOfRow(3), stripe);
  // Column 0 runs under the triangle too.
  const QRect first = view_->visualItemRect(view_->ItemOfRow(2));
  EXPECT_EQ(image.pixelColor(1, first.center().y() * image.height() / view_->viewport()->height()), stripe);
}

}  // namespace
