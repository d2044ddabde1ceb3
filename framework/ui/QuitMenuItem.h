// The Quit item: shown in the application menu; choosing it quits the
// application (Application::Quit) unless a menu handler of its name handles
// it first.
#pragma once

#include "framework/ui/MenuItem.h"

namespace framework {

class QuitMenuItem : public MenuItem {
 public:
  using MenuItem::MenuItem;
  MenuItemRole Role() const override { return MenuItemRole::Quit; }
};

}  // namespace framework
