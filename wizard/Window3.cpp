#include "wizard/Window3.h"

#include "framework/core/files/FolderItem.h"
#include "framework/core/threads/Baton.h"
#include "framework/ui/ImplicitInstance.h"
#include "helpers/CautionDialogs.h"
#include "helpers/Globals.h"

using framework::FolderItemPtr;
using framework::Label;
using framework::Listbox;
using framework::PushButton;
using framework::String;

namespace {

// What the start-up disk's row says after the volume's name.
const char* const kStartupSuffix = "（起動ディスク・選択不可）";

// The disk list's text for volume i.
String DiskRowText(std::int32_t i, const FolderItemPtr& volume) {
  const String name = volume != nullptr ? volume->Name() : String();
  return i == 0 ? name + kStartupSuffix : name;
}

}  // namespace

Window3& Window3::Instance() { return framework::ImplicitInstance<Window3>::Get(); }

Listbox& Window3::Listbox1() const { return ControlNamed<Listbox>("Listbox1"); }
PushButton& Window3::PushButton1() const { return ControlNamed<PushButton>("PushButton1"); }
PushButton& Window3::PushButton2() const { return ControlNamed<PushButton>("PushButton2"); }
Label& Window3::StaticText1() const { return ControlNamed<Label>("StaticText1"); }
Listbox& Window3::Listbox2() const { return ControlNamed<Listbox>("Listbox2"); }
Label& Window3::StaticText2() const { return ControlNamed<Label>("StaticText2"); }

void Window3::Layout() {
  Width(300);
  Height(280);
  Frame(framework::WindowFrame::Sheet);
  Placement(framework::WindowPlacement::Default);
  Title("Untitled");
  CloseBox(false);
  MinimizeBox(false);
  ZoomBox(false);
  Resizable(false);
  // First seen through ShowModal, with its lists filled, never as a
  // modeless sheet before that.
  Visible(false);
}

void Window3::CreateControls() { _CreateControls0(); }

void Window3::_CreateControls0() {
  auto label = [this](const char* name, std::int32_t top) {
    Label& made = AddControl<Label>(name);
    made.Bounds(20, top, 260, 20);
    made.TextSize(12);
    made.TextAlign(framework::TextAlignment::Center);
    made.Text(name);
  };
  auto list = [this](const char* name, std::int32_t top, std::int32_t height) -> Listbox& {
    Listbox& made = AddControl<Listbox>(name);
    made.Bounds(16, top, 268, height);
    made.TextSize(12);
    made.ColumnCount(1);
    made.HasHeading(false);
    made.Hierarchical(false);
    made.ScrollBarVertical(true);
    made.ScrollBarHorizontal(false);
    return made;
  };
  auto button = [this](const char* name, std::int32_t left) -> PushButton& {
    PushButton& made = AddControl<PushButton>(name);
    made.Bounds(left, 240, 80, 20);
    made.TextSize(12);
    made.Caption(name);
    return made;
  };

  label("StaticText1", 20);
  list("Listbox1", 40, 93).Change = [this](Listbox& l) { Listbox1_Change(l); };
  label("StaticText2", 140);
  list("Listbox2", 160, 62);
  button("PushButton1", 100).Action = [this](PushButton& b) { PushButton1_Action(b); };
  PushButton& run = button("PushButton2", 200);
  run.Default(true);
  run.Action = [this](PushButton& b) { PushButton2_Action(b); };
}

void Window3::Event_Open() {
  StaticText1().Text("旧マシンのディスクを選択してください。");
  StaticText2().Text("ユーザを選択してください。");
  PushButton1().Caption("キャンセル");
  PushButton2().Caption("実行");
  Listbox& disks = Listbox1();
  disks.DeleteAllRows();
  const std::int32_t count = framework::VolumeCount();
  for (std::int32_t i = 0; i < count; ++i) {
    disks.AddRow(DiskRowText(i, framework::Volume(i)));
    framework::Yield();
  }
}

bool Window3::RowVolumeStands(std::int32_t row) const {
  if (row < 0 || row >= Listbox1().ListCount()) return false;
  const FolderItemPtr volume = framework::Volume(row);
  if (volume == nullptr || !volume->Exists()) return false;
  // The row number is the only link to the volume: when the table moved
  // under it, the row now names another disk than the one the person saw.
  return DiskRowText(row, volume) == Listbox1().Cell(row, 0);
}

void Window3::Listbox1_Change(Listbox& list) {
  Listbox& users = Listbox2();
  const std::int32_t row = list.ListIndex();
  if (row < 0 || !RowVolumeStands(row)) {
    users.DeleteAllRows();
    return;
  }
  // The disk looked at is read as the old machine on it sees it: a home
  // that is a link such as "/Homes/taro" is that folder on this disk. The
  // wizard fixes the disk chosen, or none, once the sheet is gone.
  framework::SetOldMachineDisk(framework::Volume(row));
  const FolderItemPtr usersFolder = framework::Volume(row)->FindChild("Users");
  users.DeleteAllRows();
  if (usersFolder == nullptr) return;
  for (std::int32_t i = 1; i <= usersFolder->Count(); ++i) {
    const FolderItemPtr entry = usersFolder->Item(i);
    if (entry != nullptr && entry->Exists()) {
      const String name = entry->Name();
      // Hidden entries and the folder every user shares are no one's home.
      if (!name.Bytes().starts_with('.') && name != "Shared") users.AddRow(name);
    }
    framework::Yield();
  }
}

void Window3::PushButton1_Action(PushButton& button) {
  (void)button;
  pVolNo = -1;
  Hide();
}

void Window3::PushButton2_Action(PushButton& button) {
  (void)button;
  const std::int32_t disk = Listbox1().ListIndex();
  const std::int32_t user = Listbox2().ListIndex();
  if (disk < 1 || user < 0 || !RowVolumeStands(disk)) {
    Globals::gCautionDlg1(this, Globals::gBeep, "ディスクまたはユーザが指定されていません。", "");
    return;
  }
  pVolNo = disk;
  pUser = Listbox2().Cell(user, 0);
  Hide();
}
