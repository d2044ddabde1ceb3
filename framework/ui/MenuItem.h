// A menu item, or a menu: an item with children. Menus are built at run time
// from new items (Name, AutoEnable, Text, KeyboardShortcut, then Append to
// the parent) and found again by name.
//
// The text "-" makes a separator. KeyboardShortcut is the platform text
// ("Cmd+Q", "Cmd+Shift+Z"); the front maps "Cmd" to its command key.
// Enabled is set by Application::UpdateMenus and the program's
// EnableMenuItems handlers each time the person opens the menus; the front
// reads the states then, so items do not notify changes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/core/text/String.h"

namespace framework {

class MenuItem;
using MenuItemPtr = std::shared_ptr<MenuItem>;

// How the platform places and treats an item.
enum class MenuItemRole : std::uint8_t {
  Plain,
  About,  // shown in the application menu (AppleMenuItem)
  Quit,   // shown in the application menu; quits unless a handler takes it
};

class MenuItem {
 public:
  MenuItem() = default;
  explicit MenuItem(const String& text) : text_(text) {}
  virtual ~MenuItem() = default;
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const String& Name() const { return name_; }
  void Name(const String& v) { name_ = v; }
  const String& Text() const { return text_; }
  void Text(const String& v) { text_ = v; }
  const String& KeyboardShortcut() const { return shortcut_; }
  void KeyboardShortcut(const String& v) { shortcut_ = v; }
  bool AutoEnable() const { return autoEnable_; }
  void AutoEnable(bool v) { autoEnable_ = v; }
  bool Enabled() const { return enabled_; }
  void Enabled(bool v) { enabled_ = v; }
  bool IsSeparator() const { return text_ == "-"; }
  virtual MenuItemRole Role() const { return MenuItemRole::Plain; }

  // Children, in the order appended. An item that already has a parent is
  // moved, not shared.
  void Append(MenuItemPtr child);
  std::int32_t Count() const { return static_cast<std::int32_t>(children_.size()); }
  MenuItemPtr Item(std::int32_t index) const;  // from 0; nullptr out of range
  MenuItem* Parent() const { return parent_; }
  // The direct child of that name; nullptr when none.
  MenuItemPtr Child(const String& name) const;
  // This item or any item below it with that name, depth first; nullptr when
  // none.
  MenuItem* Find(const String& name);

 private:
  String name_;
  String text_;
  String shortcut_;
  bool autoEnable_ = true;
  bool enabled_ = true;
  MenuItem* parent_ = nullptr;
  std::vector<MenuItemPtr> children_;
};

}  // namespace framework
