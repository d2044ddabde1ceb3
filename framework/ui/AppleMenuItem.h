// An item the platform shows in the application menu (the About item),
// wherever the program appends it.
#pragma once

#include "framework/ui/MenuItem.h"

namespace framework {

class AppleMenuItem : public MenuItem {
 public:
  using MenuItem::MenuItem;
  MenuItemRole Role() const override { return MenuItemRole::About; }
};

}  // namespace framework
