// A MenuBar model as a QMenuBar: one QMenu per menu, one QAction per item.
//
// Choosing an item (by mouse or shortcut) goes to the program through
// UserInput::ChooseMenuItem, which updates the menus and decides whether the
// item may be chosen. Opening a menu updates the menus too (the program's
// EnableMenuItems runs) and greys out what is disabled; once the menu closes
// every action is enabled again, so a shortcut always reaches ChooseMenuItem,
// which applies the states of the moment rather than those of the last time
// the menu was open.
//
// The About and Quit items carry Qt's AboutRole and QuitRole: where the
// platform has an application menu, they move there.
#pragma once

#include <QMenuBar>
#include <memory>

namespace framework {

class MenuBar;
class MenuItem;

class MenuBarView : public QMenuBar {
 public:
  MenuBarView(std::shared_ptr<MenuBar> model, QWidget* parent);

  const std::shared_ptr<MenuBar>& Model() const { return model_; }

 private:
  void Fill(QMenu* menu, const std::shared_ptr<MenuItem>& item);
  void ShowStates(QMenu* menu);
  static void EnableAll(QMenu* menu);

  std::shared_ptr<MenuBar> model_;
};

}  // namespace framework
