// A menu bar: a menu item whose children are the menus.
#pragma once

#include "framework/ui/MenuItem.h"

namespace framework {

class MenuBar : public MenuItem {};

}  // namespace framework
