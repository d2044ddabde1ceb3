#include "framework/qt/MenuBarView.h"

#include <QAction>
#include <QKeySequence>
#include <utility>

#include "framework/core/threads/Baton.h"
#include "framework/qt/ModelLink.h"
#include "framework/ui/Application.h"
#include "framework/ui/MenuBar.h"
#include "framework/ui/UserInput.h"

namespace framework {
namespace {

constexpr const char* kItemProperty = "olvanMenuItem";

QAction::MenuRole RoleOf(const MenuItem& item) {
  switch (item.Role()) {
    case MenuItemRole::About:
      return QAction::AboutRole;
    case MenuItemRole::Quit:
      return QAction::QuitRole;
    case MenuItemRole::Plain:
      break;
  }
  // Not Qt's guess from the text: only the model's roles move items.
  return QAction::NoRole;
}

// "Cmd+Shift+Z" to Qt's portable "Ctrl+Shift+Z"; Qt shows Ctrl as the
// command key where there is one.
QKeySequence ShortcutOf(const MenuItem& item) {
  QString text = ToQString(item.KeyboardShortcut());
  text.replace(QStringLiteral("Cmd"), QStringLiteral("Ctrl"), Qt::CaseInsensitive);
  return QKeySequence(text, QKeySequence::PortableText);
}

}  // namespace

MenuBarView::MenuBarView(std::shared_ptr<MenuBar> model, QWidget* parent) : QMenuBar(parent), model_(std::move(model)) {
  for (std::int32_t i = 0; i < model_->Count(); ++i) {
    const std::shared_ptr<MenuItem> item = model_->Item(i);
    if (!item || item->IsSeparator()) continue;
    QMenu* menu = addMenu(ToQString(item->Text()));
    menu->setProperty(kItemProperty, ToQString(item->Name()));
    Fill(menu, item);
  }
}

void MenuBarView::Fill(QMenu* menu, const std::shared_ptr<MenuItem>& parent) {
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { ShowStates(menu); });
  connect(menu, &QMenu::aboutToHide, this, [menu] { EnableAll(menu); });
  for (std::int32_t i = 0; i < parent->Count(); ++i) {
    const std::shared_ptr<MenuItem> item = parent->Item(i);
    if (!item) continue;
    if (item->IsSeparator()) {
      menu->addSeparator();
      continue;
    }
    if (item->Count() > 0) {
      QMenu* sub = menu->addMenu(ToQString(item->Text()));
      sub->setProperty(kItemProperty, ToQString(item->Name()));
      Fill(sub, item);
      continue;
    }
    QAction* action = menu->addAction(ToQString(item->Text()));
    action->setProperty(kItemProperty, ToQString(item->Name()));
    action->setMenuRole(RoleOf(*item));
    if (!item->KeyboardShortcut().IsEmpty()) action->setShortcut(ShortcutOf(*item));
    const String name = item->Name();
    connect(action, &QAction::triggered, this, [name] {
      BatonHolder programCode;
      if (Application* app = Application::Current()) UserInput::ChooseMenuItem(*app, name);
    });
  }
}

void MenuBarView::ShowStates(QMenu* menu) {
  BatonHolder programCode;
  if (Application* app = Application::Current()) app->UpdateMenus();
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    const QVariant name = action->menu() != nullptr ? action->menu()->property(kItemProperty)
                                                    : action->property(kItemProperty);
    if (!name.isValid()) continue;
    const MenuItem* item = model_->Find(String(name.toString().toStdString()));
    action->setEnabled(item == nullptr || item->Enabled());
  }
}

void MenuBarView::EnableAll(QMenu* menu) {
  for (QAction* action : menu->actions()) action->setEnabled(true);
}

}  // namespace framework
