// MenuBar1: the program's one menu bar, both the application's and the
// wizard window's. It holds the standard File and Edit menus and the About
// item; only the About item has behaviour of the program's own
// (App::_AppleAbout_Action), the Quit item quits through the framework.
//
// Implicit instance: MenuBar1::Instance() (see Window1.h for the convention).
// The first reference builds it with all its items; it lives until
// ShutDownProgram resets it.
#pragma once

#include <memory>

#include "framework/ui/MenuBar.h"

class MenuBar1 : public framework::MenuBar {
 public:
  MenuBar1();

  static MenuBar1& Instance();
  // The same instance, for handing to a window or the application object.
  static std::shared_ptr<MenuBar1> Shared();

 private:
  // The File menu, then the Edit menu (with the About item appended last).
  void Untitled0();
  void Untitled1();
};
