#include "shell/MenuBar1.h"

#include <memory>

#include "framework/ui/AppleMenuItem.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/QuitMenuItem.h"

namespace {

using framework::MenuItem;
using framework::String;

// A new item with its name, auto-enabling, text and shortcut set in that
// order, ready to be appended. Every item enables itself when the menus are
// updated; the About item is enabled by the application besides.
template <class Item = MenuItem>
std::shared_ptr<Item> NewItem(const String& name, const String& text, const String& shortcut = "") {
  auto item = std::make_shared<Item>();
  item->Name(name);
  item->AutoEnable(true);
  item->Text(text);
  if (!shortcut.IsEmpty()) item->KeyboardShortcut(shortcut);
  return item;
}

}  // namespace

MenuBar1::MenuBar1() {
  AutoEnable(true);
  Untitled0();
  Untitled1();
}

MenuBar1& MenuBar1::Instance() { return framework::ImplicitInstance<MenuBar1>::Get(); }

std::shared_ptr<MenuBar1> MenuBar1::Shared() { return framework::ImplicitInstance<MenuBar1>::Shared(); }

void MenuBar1::Untitled0() {
  Append(NewItem("FileMenu", "ファイル"));
  Child("FileMenu")->Append(NewItem<framework::QuitMenuItem>("FileQuit", "&Quit", "Cmd+Q"));
}

void MenuBar1::Untitled1() {
  Append(NewItem("EditMenu", "編集"));
  const framework::MenuItemPtr edit = Child("EditMenu");
  edit->Append(NewItem("EditUndo", "取り消す", "Cmd+Z"));
  edit->Append(NewItem("編集やり直す", "やり直す", "Cmd+Shift+Z"));
  edit->Append(NewItem("UntitledMenu1", "-"));
  edit->Append(NewItem("EditCut", "カット", "Cmd+X"));
  edit->Append(NewItem("EditCopy", "コピー", "Cmd+C"));
  edit->Append(NewItem("EditPaste", "ペースト", "Cmd+V"));
  edit->Append(NewItem("EditClear", "削除"));
  edit->Append(NewItem("UntitledMenu0", "-"));
  edit->Append(NewItem("EditSelectAll", "すべてを選択", "Cmd+A"));
  // Appended to Edit, but its class puts it in the application menu.
  edit->Append(NewItem<framework::AppleMenuItem>("AppleAbout", "OLVAN 移行アシスタントについて"));
}
