#include "discovery/Window2.h"

#include <cmath>
#include <optional>
#include <utility>

#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/Baton.h"
#include "framework/ui/Color.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/ImplicitInstance.h"
#include "wizard/Window1.h"

using framework::Label;
using framework::Listbox;
using framework::ProgressWheel;
using framework::String;

namespace {

// The label a product's child row shows for its entry's kind code; kinds
// outside the table get none and leave the column as it is.
std::optional<String> KindLabel(const String& kind) {
  struct Pair {
    const char* kind;
    const char* label;
  };
  static const Pair pairs[] = {
      {"AD", "アプリ"}, {"A", "アプリ"}, {"P", "初期設定"}, {"AS", "App. Support"}, {"DD", "書類"}, {"D", "書類"},
  };
  for (const Pair& pair : pairs) {
    if (kind == pair.kind) return String(pair.label);
  }
  return std::nullopt;
}

}  // namespace

Window2& Window2::Instance() { return framework::ImplicitInstance<Window2>::Get(); }

Listbox& Window2::Listbox1() const { return ControlNamed<Listbox>("Listbox1"); }
Label& Window2::StaticText1() const { return ControlNamed<Label>("StaticText1"); }
Label& Window2::StaticText2() const { return ControlNamed<Label>("StaticText2"); }
ProgressWheel& Window2::ProgressWheel1() const { return ControlNamed<ProgressWheel>("ProgressWheel1"); }
Label& Window2::StaticText3() const { return ControlNamed<Label>("StaticText3"); }

void Window2::Layout() {
  Width(360);
  Height(446);
  Frame(framework::WindowFrame::Drawer);
  Placement(framework::WindowPlacement::Default);
  Title("Untitled");
  CloseBox(true);
  MinimizeBox(true);
  ZoomBox(false);
  Resizable(false);
}

void Window2::CreateControls() { _CreateControls0(); }

void Window2::_CreateControls0() {
  Listbox& list = AddControl<Listbox>("Listbox1");
  list.Bounds(10, 25, 346, 395);
  list.TextSize(12);
  list.ColumnCount(4);
  list.ColumnWidths("70%,0,0,*");
  list.Hierarchical(true);
  list.HasHeading(false);
  list.ScrollBarVertical(true);
  list.ScrollBarHorizontal(false);
  list.ColumnsResizable(true);
  list.ExpandRow = [this](Listbox& l, std::int32_t row) { Listbox1_ExpandRow(l, row); };
  list.CellAction = [this](Listbox& l, std::int32_t row, std::int32_t column) { Listbox1_CellAction(l, row, column); };
  list.CellBackgroundPaint = [this](Listbox& l, Graphics& g, std::int32_t row, std::int32_t column) {
    return Listbox1_CellBackgroundPaint(l, g, row, column);
  };

  Label& busy = AddControl<Label>("StaticText1");
  busy.Bounds(35, 426, 321, 20);
  busy.TextSize(11);
  busy.TextAlign(framework::TextAlignment::Left);
  busy.Text("StaticText1");

  Label& nameTitle = AddControl<Label>("StaticText2");
  nameTitle.Bounds(80, 8, 100, 20);
  nameTitle.TextSize(12);
  nameTitle.Underline(true);
  nameTitle.Text("StaticText2");

  AddControl<ProgressWheel>("ProgressWheel1").Bounds(12, 426, 16, 16);

  Label& kindTitle = AddControl<Label>("StaticText3");
  kindTitle.Bounds(270, 8, 50, 20);
  kindTitle.TextSize(12);
  kindTitle.Underline(true);
  kindTitle.Text("StaticText3");
}

void Window2::Event_Open() {
  StaticText1().Text("取得中...（取得には数分かかる場合があります。）");
  StaticText2().Text("アイテム名");
  StaticText3().Text("種別");
}

bool Window2::Event_CancelClose(bool appQuitting) {
  // The list stays until the program ends: a drawer is not closed on its
  // own, and a closed list would take the person's rows with it (the next
  // reference would build an empty one that a copy would then read).
  return !appQuitting;
}

void Window2::HoldChecks(std::set<std::size_t> moving) {
  heldFor_ = std::move(moving);
  Listbox1().ChecksLocked(true);
}

void Window2::ReleaseChecks() {
  heldFor_.reset();
  Listbox1().ChecksLocked(false);
}

void Window2::Listbox1_ExpandRow(Listbox& list, std::int32_t row) {
  (void)list;
  ExpRow(row);
}

void Window2::ExpRow(std::int32_t row) {
  Listbox& list = Listbox1();
  // Inside the list's ExpandRow the list keeps the expanding row's index
  // current while other threads add or remove rows during our yields; when
  // that row goes (collapsed, or every row deleted by a new scan), the rest
  // of its children have nowhere to go.
  const bool tracked = list.ExpandingRow() == row;
  std::int32_t at = row;
  const std::int32_t n = framework::CountFields(list.Cell(at, 2), ":") - 1;
  for (std::int32_t i = 1; i <= n; ++i) {
    if (tracked) {
      at = list.ExpandingRow();
      if (at < 0) return;
    } else if (at >= list.ListCount()) {
      return;
    }
    const double value = framework::Val(framework::NthField(list.Cell(at, 2), ":", i));
    // An index that names no entry (a damaged cell, a table that is not
    // this one) is passed over rather than read out of range.
    const bool inTable =
        pWin1 != nullptr && std::isfinite(value) && value >= 0 && value < static_cast<double>(pWin1->pFI.size());
    const FIEntry* entry = inTable ? &pWin1->pFI[static_cast<std::size_t>(value)] : nullptr;
    if (entry != nullptr && entry->item != nullptr) {
      const auto idx = static_cast<std::int32_t>(value);
      const String kind = entry->kind;
      list.AddRow(entry->item->Name());
      const std::int32_t child = list.LastIndex();
      list.CellType(child, 0, Listbox::TypeCheckBox);
      list.CellCheck(child, 0, !heldFor_ || heldFor_->contains(static_cast<std::size_t>(idx)));
      list.Cell(child, 1, kind);
      list.Cell(child, 2, framework::Str(idx));
      if (const std::optional<String> label = KindLabel(kind)) list.Cell(child, 3, *label);
    }
    framework::Yield();
  }
}

void Window2::Listbox1_CellAction(Listbox& list, std::int32_t row, std::int32_t column) {
  (void)column;
  if (row < 0 || row >= list.ListCount()) return;
  if (!list.Cell(row, 1).IsEmpty()) return;
  // The mark the person has just set; read once, as the row itself may move
  // or go while this loop yields.
  const bool mark = list.CellCheck(row, 0);
  for (std::int32_t i = row + 1; i < list.ListCount() && !list.Cell(i, 1).IsEmpty(); ++i) {
    list.CellCheck(i, 0, mark);
    framework::Yield();
  }
}

bool Window2::Listbox1_CellBackgroundPaint(Listbox& list, Graphics& g, std::int32_t row, std::int32_t column) {
  (void)column;
  if (row % 2 == 0) {
    g.ForeColor(framework::RGB(237, 243, 254));
    // As large as the whole list: the front clips it to the cell.
    g.FillRect(0, 0, list.Width(), list.Height());
  }
  return false;
}
