// The application object: its Open and EnableMenuItems events, its menu bar,
// the menu handlers registered by item name, and Quit.
//
// The program derives its App from Application and creates exactly one; the
// object registers itself as the current application for its lifetime.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "framework/core/text/String.h"

namespace framework {

class MenuBar;
class MenuItem;

bool Quit();

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The application object; nullptr before it is created.
  static Application* Current();

  const std::shared_ptr<framework::MenuBar>& MenuBar() const { return menuBar_; }
  void MenuBar(std::shared_ptr<framework::MenuBar> bar) { menuBar_ = std::move(bar); }

  // The handler of the menu items of that name; it returns true when it
  // handled the choice. One handler per name; a second replaces the first.
  void AddMenuHandler(const String& itemName, std::function<bool()> handler);

  // Start-up delivers the Open event once, after the default window exists.
  void Open();

  // Sets every item's Enabled from its AutoEnable, then raises
  // EnableMenuItems, where the program enables what its state allows. The
  // front calls it each time the person opens a menu or presses a shortcut.
  void UpdateMenus();

  // Quits: first asks every open window's CancelClose(appQuitting = true),
  // the most recently built first; if any refuses, the quit is cancelled,
  // every window stays open and Quit returns false. Otherwise every window is
  // closed (without being asked again), the user interface is told to end
  // its event loop, and Quit returns true. Quit returns to its caller either
  // way; the program's code after it still runs.
  bool Quit();

 protected:
  virtual void Event_Open() {}
  virtual void Event_EnableMenuItems() {}

 private:
  friend class UserInput;
  friend bool framework::Quit();
  static bool CloseWindowsAndQuit();
  // The person chose the item: its handler, else the Quit item's quit.
  // True when something handled it.
  bool Choose(MenuItem& item);

  std::shared_ptr<framework::MenuBar> menuBar_;
  std::map<std::string, std::function<bool()>> handlers_;
};

// The framework's quit, callable from any program code: the current
// application's Quit, or, with no application object, the same closing of
// windows and end of the event loop.
bool Quit();

}  // namespace framework
