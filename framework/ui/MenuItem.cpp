#include "framework/ui/MenuItem.h"

#include <algorithm>

namespace framework {

void MenuItem::Append(MenuItemPtr child) {
  if (!child) return;
  if (MenuItem* old = child->parent_) {
    std::erase_if(old->children_, [&](const MenuItemPtr& c) { return c == child; });
  }
  child->parent_ = this;
  children_.push_back(std::move(child));
}

MenuItemPtr MenuItem::Item(std::int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return children_[static_cast<std::size_t>(index)];
}

MenuItemPtr MenuItem::Child(const String& name) const {
  for (const MenuItemPtr& child : children_)
    if (child->Name() == name) return child;
  return nullptr;
}

MenuItem* MenuItem::Find(const String& name) {
  if (name_ == name) return this;
  for (const MenuItemPtr& child : children_)
    if (MenuItem* found = child->Find(name)) return found;
  return nullptr;
}

}  // namespace framework
