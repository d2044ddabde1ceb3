#include "framework/ui/Listbox.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace framework {
namespace {

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

Listbox::ColumnWidth ParseWidth(const std::string& entry) {
  using Unit = Listbox::ColumnWidth::Unit;
  const std::string text = Trimmed(entry);
  if (text.empty()) return {};
  const char* begin = text.c_str();
  char* end = nullptr;
  const double number = std::strtod(begin, &end);
  const bool hasNumber = end != begin;
  const std::string suffix = Trimmed(std::string(end));
  if (suffix == "*") return {Unit::Share, hasNumber ? number : 1.0};
  if (!hasNumber) return {};
  if (suffix == "%") return {Unit::Percent, number};
  if (suffix.empty()) return {Unit::Pixels, number};
  return {};  // unreadable entries fall back to the front's default share
}

}  // namespace

// --- columns ---

void Listbox::ColumnCount(std::int32_t count) { Update(columnCount_, std::max<std::int32_t>(count, 1)); }

void Listbox::ColumnWidths(const String& widths) {
  parsedWidths_.clear();
  const std::string text = widths.ToUTF8();
  std::size_t start = 0;
  while (!text.empty()) {
    const std::size_t comma = text.find(',', start);
    parsedWidths_.push_back(ParseWidth(text.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  Update(columnWidths_, widths);
}

Listbox::ColumnWidth Listbox::ColumnWidthOf(std::int32_t column) const {
  if (column < 0 || column >= static_cast<std::int32_t>(parsedWidths_.size())) return {};
  return parsedWidths_[static_cast<std::size_t>(column)];
}

bool Listbox::ColumnHidden(std::int32_t column) const {
  const ColumnWidth width = ColumnWidthOf(column);
  return (width.unit == ColumnWidth::Unit::Pixels || width.unit == ColumnWidth::Unit::Percent) &&
         width.value == 0;
}

// --- rows ---

void Listbox::AddRow(const String& text) { Add(text, /*folder=*/false); }

void Listbox::AddFolder(const String& text) { Add(text, /*folder=*/true); }

void Listbox::Add(const String& text, bool folder) {
  Row row;
  row.folder = folder;
  row.cells.resize(static_cast<std::size_t>(columnCount_));
  row.cells[0].text = text;

  std::int32_t at = ListCount();
  const std::thread::id self = std::this_thread::get_id();
  for (auto it = expansions_.rbegin(); it != expansions_.rend(); ++it) {
    if (it->thread != self) continue;
    // A handler that removed its own row adds its rows at the end.
    if (it->row >= 0) {
      at = SubtreeEnd(it->row);
      row.depth = rows_[static_cast<std::size_t>(it->row)].depth + 1;
    }
    break;
  }
  Insert(at, std::move(row));
  lastIndex_ = at;
  Changed();
}

void Listbox::Insert(std::int32_t at, Row row) {
  rows_.insert(rows_.begin() + at, std::move(row));
  auto shift = [at](std::int32_t& index) {
    if (index >= at) ++index;
  };
  shift(lastIndex_);
  shift(listIndex_);
  for (Expansion& e : expansions_) shift(e.row);
}

void Listbox::Erase(std::int32_t first, std::int32_t count) {
  if (count <= 0) return;
  rows_.erase(rows_.begin() + first, rows_.begin() + first + count);
  auto shift = [first, count](std::int32_t& index) {
    if (index < first) return;
    index = index < first + count ? -1 : index - count;
  };
  shift(lastIndex_);
  shift(listIndex_);
  for (Expansion& e : expansions_) shift(e.row);
}

std::int32_t Listbox::SubtreeEnd(std::int32_t row) const {
  const std::int32_t depth = rows_[static_cast<std::size_t>(row)].depth;
  std::int32_t end = row + 1;
  while (end < ListCount() && rows_[static_cast<std::size_t>(end)].depth > depth) ++end;
  return end;
}

void Listbox::RemoveRow(std::int32_t row) {
  CheckRow(row);
  const std::int32_t selected = listIndex_;
  Erase(row, SubtreeEnd(row) - row);
  Changed();
  SelectionChanged(selected);
}

void Listbox::DeleteAllRows() {
  const std::int32_t selected = listIndex_;
  Erase(0, ListCount());
  Changed();
  SelectionChanged(selected);
}

std::int32_t Listbox::ExpandingRow() const {
  const std::thread::id self = std::this_thread::get_id();
  for (auto it = expansions_.rbegin(); it != expansions_.rend(); ++it) {
    if (it->thread == self) return it->row;
  }
  return -1;
}

std::int32_t Listbox::RowDepth(std::int32_t row) const {
  CheckRow(row);
  return rows_[static_cast<std::size_t>(row)].depth;
}

bool Listbox::RowIsFolder(std::int32_t row) const {
  CheckRow(row);
  return rows_[static_cast<std::size_t>(row)].folder;
}

bool Listbox::Expanded(std::int32_t row) const {
  CheckRow(row);
  const Row& r = rows_[static_cast<std::size_t>(row)];
  return r.folder && r.expanded;
}

void Listbox::Expanded(std::int32_t row, bool expanded) {
  CheckRow(row);
  Row& r = rows_[static_cast<std::size_t>(row)];
  if (!r.folder || r.expanded == expanded) return;
  if (!expanded) {
    r.expanded = false;
    const std::int32_t selected = listIndex_;
    Erase(row + 1, SubtreeEnd(row) - row - 1);
    Changed();
    SelectionChanged(selected);
    return;
  }
  r.expanded = true;
  Changed();
  const std::uint64_t id = nextExpansionId_++;
  expansions_.push_back(Expansion{id, std::this_thread::get_id(), row});
  // Handlers of other threads may start and end meanwhile (the handler
  // yields), so the entry is found by its id, not taken from the back.
  struct EndExpansion {
    std::vector<Expansion>& expansions;
    std::uint64_t id;
    ~EndExpansion() {
      std::erase_if(expansions, [this](const Expansion& e) { return e.id == id; });
    }
  } end{expansions_, id};
  Raise(ExpandRow, *this, row);
}

// --- selection ---

void Listbox::ListIndex(std::int32_t row) {
  if (row < 0 || row >= ListCount()) row = -1;
  if (row == listIndex_) return;
  const std::int32_t before = listIndex_;
  listIndex_ = row;
  Changed();
  SelectionChanged(before);
}

void Listbox::SelectionChanged(std::int32_t before) {
  if (listIndex_ != before) Raise(Change, *this);
}

// --- cells ---

void Listbox::CheckRow(std::int32_t row) const {
  if (row < 0 || row >= ListCount())
    throw std::out_of_range("Listbox " + Name().ToUTF8() + ": no row " + std::to_string(row));
}

void Listbox::CheckCell(std::int32_t row, std::int32_t column) const {
  CheckRow(row);
  if (column < 0 || column >= columnCount_)
    throw std::out_of_range("Listbox " + Name().ToUTF8() + ": no column " + std::to_string(column));
}

const Listbox::CellData* Listbox::FindCell(std::int32_t row, std::int32_t column) const {
  CheckCell(row, column);
  const Row& r = rows_[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(column) >= r.cells.size()) return nullptr;  // columns added later
  return &r.cells[static_cast<std::size_t>(column)];
}

Listbox::CellData& Listbox::CellAt(std::int32_t row, std::int32_t column) {
  CheckCell(row, column);
  Row& r = rows_[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(column) >= r.cells.size()) r.cells.resize(static_cast<std::size_t>(column) + 1);
  return r.cells[static_cast<std::size_t>(column)];
}

String Listbox::Cell(std::int32_t row, std::int32_t column) const {
  const CellData* cell = FindCell(row, column);
  return cell ? cell->text : String();
}

void Listbox::Cell(std::int32_t row, std::int32_t column, const String& text) {
  CellAt(row, column).text = text;
  Changed();
}

std::int32_t Listbox::CellType(std::int32_t row, std::int32_t column) const {
  const CellData* cell = FindCell(row, column);
  return cell ? cell->type : TypeDefault;
}

void Listbox::CellType(std::int32_t row, std::int32_t column, std::int32_t type) {
  CellAt(row, column).type = type;
  Changed();
}

bool Listbox::CellCheck(std::int32_t row, std::int32_t column) const {
  const CellData* cell = FindCell(row, column);
  return cell != nullptr && cell->checked;
}

void Listbox::CellCheck(std::int32_t row, std::int32_t column, bool checked) {
  CellAt(row, column).checked = checked;
  Changed();
}

}  // namespace framework
