// The person's actions, delivered to the models: the only way into the
// program's handlers from outside the framework. The Qt front calls these
// when a widget is clicked; tests call them to act as the person.
//
// Each entry point does what the person can do and nothing more: a control
// that is not shown (its own Visible, a hidden container, another page) or
// not enabled, a window that is hidden or closed, or a window behind the
// modal window cannot be used. The entry point then does nothing and returns
// false; it returns true when the action was delivered.
//
// Windows that the handlers close stay alive until the outermost action has
// returned (then Window::ReleaseClosed frees them). Call these under the
// baton, as the front's event dispatch does.
#pragma once

#include <cstdint>

#include "framework/core/text/String.h"

namespace framework {

class Application;
class Graphics;
class Listbox;
class PushButton;
class RadioButton;
class Window;

class UserInput {
 public:
  UserInput() = delete;

  // Raises the button's Action.
  static bool Press(PushButton& button);
  // Turns the radio button on (its partners go off; see RadioButton).
  static bool Choose(RadioButton& button);
  // Sets the check mark of a check-box cell, then raises CellAction. Not
  // while the list's ChecksLocked holds the marks.
  static bool SetCheck(Listbox& list, std::int32_t row, std::int32_t column, bool checked);
  // Turns a check-box cell's mark over, then raises CellAction.
  static bool ToggleCheck(Listbox& list, std::int32_t row, std::int32_t column);
  // Selects the row (-1: clicks where no row is); raises Change if it changed.
  static bool SelectRow(Listbox& list, std::int32_t row);
  // Clicks the disclosure triangle of a folder row: expands (ExpandRow) or
  // collapses it.
  static bool ToggleExpanded(Listbox& list, std::int32_t row);
  // Clicks the close box: Close, with the window's CancelClose. True when the
  // window closed.
  static bool ClickCloseBox(Window& window);
  // A mouse press in the window's content at x, y; the window's MouseDown
  // result (true: handled).
  static bool MouseDown(Window& window, std::int32_t x, std::int32_t y);
  // Chooses the enabled menu item of that name in the application's menu
  // bar, after updating the menus as opening the menu does. True when it was
  // handled.
  static bool ChooseMenuItem(Application& app, const String& itemName);

  // Not the person's action but the front's paint request: the list's
  // CellBackgroundPaint for one cell. True when the handler painted it.
  static bool PaintCellBackground(Listbox& list, Graphics& g, std::int32_t row, std::int32_t column);
};

}  // namespace framework
