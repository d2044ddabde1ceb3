#include "framework/ui/UserInput.h"

#include "framework/ui/Application.h"
#include "framework/ui/Listbox.h"
#include "framework/ui/MenuBar.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/RadioButton.h"
#include "framework/ui/Window.h"

namespace framework {
namespace {

// The window can take the person's input: open, shown, and not behind a
// modal window.
bool Reachable(const Window& window) {
  if (window.Closed() || !window.Visible()) return false;
  const Window* modal = Window::ModalWindow();
  return modal == nullptr || modal == &window;
}

bool Usable(const Control& control) {
  return Reachable(control.OwnerWindow()) && control.Shown() && control.EffectivelyEnabled();
}

// One delivered action. Windows the handlers close stay alive until the
// outermost action is over (nested ones come from modal runs).
int gDispatchDepth = 0;  // changed under the baton only

class Dispatch {
 public:
  Dispatch() { ++gDispatchDepth; }
  ~Dispatch() {
    if (--gDispatchDepth == 0) Window::ReleaseClosed();
  }
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
};

bool IsCheckBoxCell(const Listbox& list, std::int32_t row, std::int32_t column) {
  return row >= 0 && row < list.ListCount() && column >= 0 && column < list.ColumnCount() &&
         list.CellType(row, column) == Listbox::TypeCheckBox;
}

}  // namespace

bool UserInput::Press(PushButton& button) {
  if (!Usable(button)) return false;
  const Dispatch dispatch;
  button.Action.Raise(button);
  return true;
}

bool UserInput::Choose(RadioButton& button) {
  if (!Usable(button)) return false;
  const Dispatch dispatch;
  button.Value(true);
  return true;
}

bool UserInput::SetCheck(Listbox& list, std::int32_t row, std::int32_t column, bool checked) {
  if (!Usable(list) || list.ChecksLocked() || !IsCheckBoxCell(list, row, column)) return false;
  const Dispatch dispatch;
  list.CellCheck(row, column, checked);
  list.CellAction.Raise(list, row, column);
  return true;
}

bool UserInput::ToggleCheck(Listbox& list, std::int32_t row, std::int32_t column) {
  if (!IsCheckBoxCell(list, row, column)) return false;
  return SetCheck(list, row, column, !list.CellCheck(row, column));
}

bool UserInput::SelectRow(Listbox& list, std::int32_t row) {
  if (!Usable(list)) return false;
  const Dispatch dispatch;
  list.ListIndex(row);
  return true;
}

bool UserInput::ToggleExpanded(Listbox& list, std::int32_t row) {
  if (!Usable(list) || row < 0 || row >= list.ListCount() || !list.RowIsFolder(row)) return false;
  const Dispatch dispatch;
  list.Expanded(row, !list.Expanded(row));
  return true;
}

bool UserInput::ClickCloseBox(Window& window) {
  if (!Reachable(window) || !window.CloseBox()) return false;
  const Dispatch dispatch;
  return window.Close();
}

bool UserInput::MouseDown(Window& window, std::int32_t x, std::int32_t y) {
  if (!Reachable(window)) return false;
  const Dispatch dispatch;
  return window.Event_MouseDown(x, y);
}

bool UserInput::ChooseMenuItem(Application& app, const String& itemName) {
  if (Window::ModalWindow() != nullptr) return false;  // menus are off while a modal window is up
  app.UpdateMenus();
  if (!app.MenuBar()) return false;
  MenuItem* item = app.MenuBar()->Find(itemName);
  if (item == nullptr || !item->Enabled() || item->IsSeparator()) return false;
  // Every menu above the item must be enabled too.
  for (MenuItem* menu = item->Parent(); menu != nullptr; menu = menu->Parent())
    if (!menu->Enabled()) return false;
  const Dispatch dispatch;
  return app.Choose(*item);
}

bool UserInput::PaintCellBackground(Listbox& list, Graphics& g, std::int32_t row, std::int32_t column) {
  return list.CellBackgroundPaint.Raise(list, g, row, column);
}

}  // namespace framework
