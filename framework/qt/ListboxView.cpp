#include "framework/qt/ListboxView.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <utility>

#include "framework/core/threads/Baton.h"
#include "framework/qt/BatonApplication.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/UserInput.h"
#include "framework/ui/WindowObserver.h"

namespace framework {
namespace {

constexpr int kRowRole = Qt::UserRole + 1;

Qt::ScrollBarPolicy Policy(bool shown) { return shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff; }

// The application's style, except that an item's check box is drawn as
// disabled while `greyed` holds: the person sees that it takes no click,
// and the row's text keeps its colour.
class GreyedChecks : public QProxyStyle {
 public:
  explicit GreyedChecks(const bool& greyed) : QProxyStyle(QApplication::style()->name()), greyed_(greyed) {}

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option);
    if (element != PE_IndicatorItemViewItemCheck || !greyed_ || item == nullptr) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    QStyleOptionViewItem greyed(*item);
    greyed.state &= ~State_Enabled;
    // Styles take their colours from the palette's current group.
    greyed.palette.setCurrentColorGroup(QPalette::Disabled);
    QProxyStyle::drawPrimitive(element, &greyed, painter, widget);
  }

 private:
  const bool& greyed_;
};

}  // namespace

ListboxView::ListboxView(ModelLink link, WindowObserver& host, QWidget* parent)
    : QTreeWidget(parent), link_(std::move(link)), host_(host) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Only the triangle opens a folder row, as in the lists the program was
  // written for; a double click must not expand behind the person's back.
  setExpandsOnDoubleClick(false);
  setUniformRowHeights(true);
  setIndentation(16);
  header()->setStretchLastSection(false);
  style_ = std::make_unique<GreyedChecks>(checksLocked_);
  setStyle(style_.get());

  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    const int row = RowOf(item);
    if (row < 0 || item->data(column, Qt::CheckStateRole).isNull()) return;
    const bool checked = item->checkState(column) == Qt::Checked;
    Deliver([&](Listbox& list) {
      if (row < list.ListCount() && list.CellCheck(row, column) != checked)
        UserInput::SetCheck(list, row, column, checked);
    });
  });
  const auto toggled = [this](QTreeWidgetItem* item, bool expanded) {
    const int row = RowOf(item);
    if (row < 0) return;
    Deliver([&](Listbox& list) {
      if (row < list.ListCount() && list.Expanded(row) != expanded) UserInput::ToggleExpanded(list, row);
    });
  };
  connect(this, &QTreeWidget::itemExpanded, this, [toggled](QTreeWidgetItem* item) { toggled(item, true); });
  connect(this, &QTreeWidget::itemCollapsed, this, [toggled](QTreeWidgetItem* item) { toggled(item, false); });
  connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    const int row = selected.isEmpty() ? -1 : RowOf(selected.first());
    Deliver([&](Listbox& list) {
      if (list.ListIndex() != row) UserInput::SelectRow(list, row);
    });
  });
}

// The view goes back to the application's style before its own is deleted.
ListboxView::~ListboxView() { setStyle(nullptr); }

template <class Action>
void ListboxView::Deliver(Action&& action) {
  if (syncing_) return;
  BatonHolder programCode;
  const std::shared_ptr<Window> window = link_.Lock();
  if (!window) return;
  action(static_cast<Listbox&>(*link_.control));
  host_.ModelChanged(*window, link_.control);
}

int ListboxView::RowOf(const QTreeWidgetItem* item) const {
  if (item == nullptr) return -1;
  const QVariant row = item->data(0, kRowRole);
  return row.isValid() ? row.toInt() : -1;
}

QTreeWidgetItem* ListboxView::ItemOfRow(int row) const {
  if (row < 0 || row >= static_cast<int>(items_.size())) return nullptr;
  return items_[static_cast<std::size_t>(row)];
}

void ListboxView::Sync(const Listbox& list, bool rows) {
  syncing_ = true;
  const QSignalBlocker quiet(this);

  QFont face = QApplication::font();
  face.setPixelSize(list.TextSize() > 0 ? list.TextSize() : BatonApplication::kSystemFontPixels);
  face.setBold(list.Bold());
  face.setItalic(list.Italic());
  face.setUnderline(list.Underline());
  if (font() != face) setFont(face);
  setHeaderHidden(!list.HasHeading());
  setRootIsDecorated(list.Hierarchical());
  setVerticalScrollBarPolicy(Policy(list.ScrollBarVertical()));
  setHorizontalScrollBarPolicy(Policy(list.ScrollBarHorizontal()));
  header()->setSectionResizeMode(list.ColumnsResizable() ? QHeaderView::Interactive : QHeaderView::Fixed);

  if (columnCount() != list.ColumnCount()) setColumnCount(list.ColumnCount());
  widths_.clear();
  for (int c = 0; c < list.ColumnCount(); ++c) {
    widths_.push_back(list.ColumnWidthOf(c));
    setColumnHidden(c, list.ColumnHidden(c));
  }
  LayoutColumns();

  if (rows) {
    std::vector<RowShape> shapes;
    shapes.reserve(static_cast<std::size_t>(list.ListCount()));
    for (int row = 0; row < list.ListCount(); ++row) shapes.push_back({list.RowDepth(row), list.RowIsFolder(row)});
    LockChecks(list.ChecksLocked());
    if (shapes != shapes_) Rebuild(list, shapes);
    UpdateRows(list);
  }
  syncing_ = false;
  // The backgrounds come from the program and may depend on anything.
  viewport()->update();
}

void ListboxView::Rebuild(const Listbox& list, const std::vector<RowShape>& shapes) {
  const int scrolled = verticalScrollBar()->value();
  clear();
  items_.clear();
  // stack[d] is the last item placed at depth d: the parent of a row one
  // deeper. A row deeper than that (never made by the model) hangs under the
  // deepest item there is.
  std::vector<QTreeWidgetItem*> stack;
  for (int row = 0; row < list.ListCount(); ++row) {
    const RowShape& shape = shapes[static_cast<std::size_t>(row)];
    const std::size_t depth = std::min<std::size_t>(static_cast<std::size_t>(std::max(shape.depth, 0)), stack.size());
    QTreeWidgetItem* item = depth == 0 ? new QTreeWidgetItem(this) : new QTreeWidgetItem(stack[depth - 1]);
    stack.resize(depth);
    stack.push_back(item);
    item->setData(0, kRowRole, row);
    item->setFlags(ItemFlags());
    item->setChildIndicatorPolicy(shape.folder ? QTreeWidgetItem::ShowIndicator
                                               : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    items_.push_back(item);
  }
  shapes_ = shapes;
  verticalScrollBar()->setValue(scrolled);
}

void ListboxView::LockChecks(bool locked) {
  if (locked == checksLocked_) return;
  checksLocked_ = locked;
  for (QTreeWidgetItem* item : items_) item->setFlags(ItemFlags());
}

Qt::ItemFlags ListboxView::ItemFlags() const {
  const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return checksLocked_ ? flags : flags | Qt::ItemIsUserCheckable;
}

void ListboxView::UpdateRows(const Listbox& list) {
  const int count = std::min<int>(list.ListCount(), static_cast<int>(items_.size()));
  for (int row = 0; row < count; ++row) {
    QTreeWidgetItem* item = items_[static_cast<std::size_t>(row)];
    for (int c = 0; c < list.ColumnCount(); ++c) {
      const QString text = ToQString(list.Cell(row, c));
      if (item->text(c) != text) item->setText(c, text);
      if (list.CellType(row, c) == Listbox::TypeCheckBox) {
        const Qt::CheckState state = list.CellCheck(row, c) ? Qt::Checked : Qt::Unchecked;
        if (item->data(c, Qt::CheckStateRole).isNull() || item->checkState(c) != state) item->setCheckState(c, state);
      } else if (!item->data(c, Qt::CheckStateRole).isNull()) {
        item->setData(c, Qt::CheckStateRole, QVariant());
      }
    }
  }
  // Parents first, so a child's expansion shows once its parent is open.
  for (int row = 0; row < count; ++row) {
    if (!list.RowIsFolder(row)) continue;
    QTreeWidgetItem* item = items_[static_cast<std::size_t>(row)];
    if (item->isExpanded() != list.Expanded(row)) item->setExpanded(list.Expanded(row));
  }
  QTreeWidgetItem* wanted = ItemOfRow(list.ListIndex());
  const QList<QTreeWidgetItem*> selected = selectedItems();
  const bool same = wanted == nullptr ? selected.isEmpty() : selected.size() == 1 && selected.first() == wanted;
  if (!same) {
    clearSelection();
    if (wanted != nullptr) {
      setCurrentItem(wanted);
      wanted->setSelected(true);
    }
  }
}

void ListboxView::LayoutColumns() {
  const int total = viewport()->width();
  const int count = columnCount();
  std::vector<int> widths(static_cast<std::size_t>(count), 0);
  double shares = 0;
  int fixed = 0;
  for (int c = 0; c < count; ++c) {
    const Listbox::ColumnWidth w =
        c < static_cast<int>(widths_.size()) ? widths_[static_cast<std::size_t>(c)] : Listbox::ColumnWidth{};
    int& width = widths[static_cast<std::size_t>(c)];
    switch (w.unit) {
      case Listbox::ColumnWidth::Unit::Pixels:
        width = static_cast<int>(w.value);
        break;
      case Listbox::ColumnWidth::Unit::Percent:
        width = static_cast<int>(total * w.value / 100.0);
        break;
      case Listbox::ColumnWidth::Unit::Share:
        shares += w.value > 0 ? w.value : 0;
        break;
      case Listbox::ColumnWidth::Unit::Default:
        shares += 1;  // a column without an entry takes an equal share
        break;
    }
    fixed += width;
  }
  const int rest = std::max(total - fixed, 0);
  int handedOut = 0;
  int lastShare = -1;
  for (int c = 0; c < count; ++c) {
    const Listbox::ColumnWidth w =
        c < static_cast<int>(widths_.size()) ? widths_[static_cast<std::size_t>(c)] : Listbox::ColumnWidth{};
    double weight = 0;
    if (w.unit == Listbox::ColumnWidth::Unit::Share) weight = w.value > 0 ? w.value : 0;
    if (w.unit == Listbox::ColumnWidth::Unit::Default) weight = 1;
    if (weight <= 0 || shares <= 0) continue;
    const int width = static_cast<int>(rest * weight / shares);
    widths[static_cast<std::size_t>(c)] = width;
    handedOut += width;
    lastShare = c;
  }
  // Rounding leftovers go to the last share, so the columns end exactly at
  // the list's right edge.
  if (lastShare >= 0) widths[static_cast<std::size_t>(lastShare)] += rest - handedOut;
  for (int c = 0; c < count; ++c) {
    if (isColumnHidden(c)) continue;
    const int width = std::max(widths[static_cast<std::size_t>(c)], 0);
    if (columnWidth(c) != width) setColumnWidth(c, width);
  }
}

bool ListboxView::viewportEvent(QEvent* event) {
  // The inner width changes with the window and with the vertical scroll
  // bar coming and going; percentages follow it.
  if (event->type() == QEvent::Resize) LayoutColumns();
  return QTreeWidget::viewportEvent(event);
}

void ListboxView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  PaintCellBackgrounds(painter, option.rect, RowOf(itemFromIndex(index)));
  QTreeWidget::drawRow(painter, option, index);
}

void ListboxView::PaintCellBackgrounds(QPainter* painter, const QRect& rowRect, int row) const {
  if (row < 0) return;
  BatonHolder programCode;
  const std::shared_ptr<Window> window = link_.Lock();
  if (!window) return;
  auto& list = static_cast<Listbox&>(*link_.control);
  // The tree may lag behind a model that lost rows since the last refresh.
  if (row >= list.ListCount()) return;
  const int columns = std::min(columnCount(), list.ColumnCount());
  for (int c = 0; c < columns; ++c) {
    if (isColumnHidden(c) || columnWidth(c) <= 0) continue;
    // Column 0 includes the indentation and the triangle: the background
    // runs under them too.
    const QRect cell(columnViewportPosition(c), rowRect.y(), columnWidth(c), rowRect.height());
    Graphics g(cell.width(), cell.height());
    UserInput::PaintCellBackground(list, g, row, c);
    for (const Graphics::Operation& op : g.Operations()) {
      if (op.kind != Graphics::Operation::Kind::FillRect) continue;
      const QRect area = QRect(cell.x() + op.x, cell.y() + op.y, op.width, op.height) & cell;
      if (!area.isEmpty()) painter->fillRect(area, QColor(op.color.red, op.color.green, op.color.blue));
    }
  }
}

}  // namespace framework
