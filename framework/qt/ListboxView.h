// A Listbox model shown as a tree: the flat rows with their depths become
// nested items, folder rows get a disclosure triangle, check-box cells a
// check box.
//
// The person's actions go to the model only through UserInput (a tick:
// SetCheck, which raises CellAction; a triangle: ToggleExpanded, which raises
// ExpandRow; a click on a row: SelectRow). The tree never keeps a state of its
// own: after each action it asks for a refresh, and Sync copies the model
// back, so an action the model refused leaves no trace on screen.
//
// While the model's ChecksLocked holds the marks, the boxes take no click
// or key and are drawn greyed; the rows, their texts, selection and
// triangles stay as they are.
//
// Column widths follow the model's ColumnWidths: pixels, percentages of the
// list's inner width, "*" shares of what is left; a width of 0 hides the
// column. Each cell's background is the model's CellBackgroundPaint, asked
// for as the row is drawn and replayed behind the cell's text and check box.
#pragma once

#include <QTreeWidget>
#include <memory>
#include <vector>

#include "framework/qt/ModelLink.h"
#include "framework/ui/Listbox.h"

namespace framework {

class WindowObserver;

class ListboxView : public QTreeWidget {
 public:
  ListboxView(ModelLink link, WindowObserver& host, QWidget* parent);
  ~ListboxView() override;
  ListboxView(const ListboxView&) = delete;
  ListboxView& operator=(const ListboxView&) = delete;

  // Copies the model's presentation (columns, fonts, scroll bars) and, when
  // rows is true, its rows, cells, expansion and selection. GUI thread,
  // under the baton.
  void Sync(const Listbox& list, bool rows);

  // The model row an item stands for; -1 for none.
  int RowOf(const QTreeWidgetItem* item) const;
  // The item of a model row as last synchronised; nullptr out of range.
  QTreeWidgetItem* ItemOfRow(int row) const;

 protected:
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool viewportEvent(QEvent* event) override;

 private:
  struct RowShape {
    int depth = 0;
    bool folder = false;
    friend bool operator==(const RowShape&, const RowShape&) = default;
  };

  void Rebuild(const Listbox& list, const std::vector<RowShape>& shapes);
  // Follows the model's ChecksLocked: each item's flags and the boxes' look.
  void LockChecks(bool locked);
  Qt::ItemFlags ItemFlags() const;
  void UpdateRows(const Listbox& list);
  void LayoutColumns();
  void PaintCellBackgrounds(QPainter* painter, const QRect& rowRect, int row) const;
  // Runs a person's action on the model, under the baton, then asks for the
  // model to be shown again.
  template <class Action>
  void Deliver(Action&& action);

  ModelLink link_;
  WindowObserver& host_;
  std::vector<QTreeWidgetItem*> items_;  // by model row
  std::vector<RowShape> shapes_;
  std::vector<Listbox::ColumnWidth> widths_;
  bool syncing_ = false;
  bool checksLocked_ = false;
  // The application's style, with the boxes greyed while checksLocked_.
  std::unique_ptr<QStyle> style_;
};

}  // namespace framework
