// A list box, flat or hierarchical, as the program uses it: a flat list of
// rows from 0, each with a depth, some of them folder rows that expand.
//
// Hierarchy:
//   - AddRow and AddFolder append a row at the end, at depth 0, except while
//     an ExpandRow handler runs on the calling thread: then the row goes
//     beneath the expanding row, as its last child (depth + 1). LastIndex
//     names the row just added either way.
//   - Expanded(row, true) on a collapsed folder row marks it expanded and
//     raises ExpandRow(row) before returning; the handler adds the children.
//     On a plain row, or a folder row already expanded, it does nothing.
//   - Expanded(row, false) removes the row's descendants. Expanding again
//     raises ExpandRow again; the children are built anew.
//   - Rows the expanding handler adds on other threads (a worker appending
//     while the main thread expands, both yielding) go to the end: "inside
//     ExpandRow" means inside it on this thread.
//
// Cells: every row has ColumnCount cells of text, each with a cell type
// (TypeCheckBox shows a check box) and a check mark. ColumnWidths is the text
// the program gives ("70%,0,0,*"): pixels, percentages, "*" for a share of
// what is left; a width of 0 hides the column, which keeps its text.
//
// Events:
//   - ExpandRow(list, row): see above.
//   - CellAction(list, row, column): the person changed a cell (ticked a check
//     box). Raised by UserInput only, never when the program sets a cell, so
//     a handler that sets other rows' marks does not run again for them.
//   - CellBackgroundPaint(list, g, row, column) -> handled: the front asks
//     for each cell's background before drawing the cell's text and check box
//     over it; what the handler records in g is painted behind them.
//   - Change(list): the selection (ListIndex) changed, by the person, by code,
//     or because the selected row was removed.
//
// ChecksLocked: while true the check marks are the program's alone. The
// person's tick changes nothing and raises no CellAction (UserInput refuses
// it), and the front shows the boxes as not clickable. The program still
// sets marks, and rows, selection and folding stay the person's: a lock
// holds what the boxes show, not what the list holds.
//
// Rows and columns out of range throw std::out_of_range.
#pragma once

#include <cstdint>
#include <thread>
#include <vector>

#include "framework/ui/Control.h"
#include "framework/ui/Event.h"

namespace framework {

class Graphics;

class Listbox : public Control {
 public:
  static constexpr std::int32_t TypeDefault = 0;
  static constexpr std::int32_t TypeNormal = 1;
  static constexpr std::int32_t TypeCheckBox = 2;
  static constexpr std::int32_t TypeEditable = 3;

  // One entry of ColumnWidths.
  struct ColumnWidth {
    enum class Unit : std::uint8_t { Default, Pixels, Percent, Share };
    Unit unit = Unit::Default;  // Default: no entry; the front treats it as a "*"
    double value = 0;           // pixels, percent, or the weight of a "*" share
  };

  explicit Listbox(const ControlPlace& place) : Control(place) {}

  // --- columns ---
  std::int32_t ColumnCount() const { return columnCount_; }
  void ColumnCount(std::int32_t count);  // at least 1
  const String& ColumnWidths() const { return columnWidths_; }
  void ColumnWidths(const String& widths);
  ColumnWidth ColumnWidthOf(std::int32_t column) const;
  bool ColumnHidden(std::int32_t column) const;

  // Presentation only (the front reads them).
  bool Hierarchical() const { return hierarchical_; }
  void Hierarchical(bool v) { Update(hierarchical_, v); }
  bool HasHeading() const { return hasHeading_; }
  void HasHeading(bool v) { Update(hasHeading_, v); }
  bool ScrollBarVertical() const { return scrollBarVertical_; }
  void ScrollBarVertical(bool v) { Update(scrollBarVertical_, v); }
  bool ScrollBarHorizontal() const { return scrollBarHorizontal_; }
  void ScrollBarHorizontal(bool v) { Update(scrollBarHorizontal_, v); }
  bool ColumnsResizable() const { return columnsResizable_; }
  void ColumnsResizable(bool v) { Update(columnsResizable_, v); }

  // See above.
  bool ChecksLocked() const { return checksLocked_; }
  void ChecksLocked(bool v) { Update(checksLocked_, v); }

  // --- rows ---
  void AddRow(const String& text);
  void AddFolder(const String& text);
  // The row added last; -1 before any (or after it was removed).
  std::int32_t LastIndex() const { return lastIndex_; }
  std::int32_t ListCount() const { return static_cast<std::int32_t>(rows_.size()); }
  // Removes the row and, for an expanded folder, its descendants.
  void RemoveRow(std::int32_t row);
  void DeleteAllRows();

  // The row that the innermost ExpandRow handler running on the calling
  // thread expands, kept current while rows are inserted and removed around
  // it; -1 outside a handler, or once that row was removed (collapsed from
  // above, or every row deleted while the handler yielded). A handler that
  // yields between its children checks it so it neither reads another row's
  // cells nor adds orphans at the end of the list.
  std::int32_t ExpandingRow() const;

  std::int32_t RowDepth(std::int32_t row) const;
  bool RowIsFolder(std::int32_t row) const;
  bool Expanded(std::int32_t row) const;
  void Expanded(std::int32_t row, bool expanded);

  // --- selection ---
  // The selected row; -1 for none. Setting it raises Change when it changes;
  // a value outside the rows selects nothing.
  std::int32_t ListIndex() const { return listIndex_; }
  void ListIndex(std::int32_t row);

  // --- cells ---
  String Cell(std::int32_t row, std::int32_t column) const;
  void Cell(std::int32_t row, std::int32_t column, const String& text);
  String List(std::int32_t row) const { return Cell(row, 0); }
  std::int32_t CellType(std::int32_t row, std::int32_t column) const;
  void CellType(std::int32_t row, std::int32_t column, std::int32_t type);
  bool CellCheck(std::int32_t row, std::int32_t column) const;
  void CellCheck(std::int32_t row, std::int32_t column, bool checked);

  Event<void(Listbox&, std::int32_t)> ExpandRow;
  Event<void(Listbox&, std::int32_t, std::int32_t)> CellAction;
  Event<bool(Listbox&, Graphics&, std::int32_t, std::int32_t)> CellBackgroundPaint;
  Event<void(Listbox&)> Change;

 private:
  struct CellData {
    String text;
    std::int32_t type = TypeDefault;
    bool checked = false;
  };
  struct Row {
    std::int32_t depth = 0;
    bool folder = false;
    bool expanded = false;
    std::vector<CellData> cells;
  };
  // One running ExpandRow handler: the row it expands (kept current while
  // rows are inserted and removed) and the thread it runs on.
  struct Expansion {
    std::uint64_t id;
    std::thread::id thread;
    std::int32_t row;
  };

  void Add(const String& text, bool folder);
  void Insert(std::int32_t at, Row row);
  // Removes rows [first, first + count) and keeps every row index current.
  void Erase(std::int32_t first, std::int32_t count);
  // One past the last descendant of row.
  std::int32_t SubtreeEnd(std::int32_t row) const;
  void CheckRow(std::int32_t row) const;
  void CheckCell(std::int32_t row, std::int32_t column) const;
  const CellData* FindCell(std::int32_t row, std::int32_t column) const;
  CellData& CellAt(std::int32_t row, std::int32_t column);
  void SelectionChanged(std::int32_t before);

  std::vector<Row> rows_;
  std::vector<Expansion> expansions_;
  std::uint64_t nextExpansionId_ = 0;
  std::int32_t lastIndex_ = -1;
  std::int32_t listIndex_ = -1;
  std::int32_t columnCount_ = 1;
  String columnWidths_;
  std::vector<ColumnWidth> parsedWidths_;
  bool hierarchical_ = false;
  bool hasHeading_ = false;
  bool scrollBarVertical_ = true;
  bool scrollBarHorizontal_ = false;
  bool columnsResizable_ = false;
  bool checksLocked_ = false;
};

}  // namespace framework
