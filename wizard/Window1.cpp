#include "wizard/Window1.h"

#include "framework/core/threads/Baton.h"
#include "framework/ui/Application.h"
#include "framework/ui/ImplicitInstance.h"
#include "shell/MenuBar1.h"

Window1& Window1::Instance() { return framework::ImplicitInstance<Window1>::Get(); }

void Window1::Layout() {
  MenuBar(MenuBar1::Shared());
  Width(600);
  Height(480);
  Frame(framework::WindowFrame::Document);
  Placement(framework::WindowPlacement::Default);
  // The design title; InitCaption puts the Japanese one in place on open.
  Title("OLVAN Migration Assistant");
  CloseBox(true);
  MinimizeBox(true);
  // Every page is laid out for exactly this size.
  ZoomBox(false);
  Resizable(false);
}

void Window1::Event_Open() { InitApp(); }

bool Window1::Event_CancelClose(bool appQuitting) {
  if (appQuitting) return CloseApp();
  // The close box. Closing the wizard alone would leave its item list
  // standing, and the program with no way on: it quits instead, and the
  // quit asks CloseApp, once, as the Quit item does. Whether the quit went
  // through, the window is closed already or stays open.
  return !framework::Quit();
}

// Several discovery workers may call this at once, switching only at the
// yield in the search. The bound is read afresh at every step, so an entry
// another worker appended during a yield is compared before this call
// reaches the end, and the append itself does not yield: the table never
// holds two entries with equal paths.
std::int32_t Window1::AddFIlist(const framework::FolderItemPtr& f, const String& kind) {
  // No item, no entry: -1 names nothing, and the item list passes it over.
  if (f == nullptr) return -1;
  // The same path as the disk knows it: names that only read alike (one
  // composed, one decomposed; bytes that are not UTF-8 shown the same) are
  // other items, each of which must be moved.
  for (std::size_t i = 0; i < pFI.size(); ++i) {
    const framework::FolderItemPtr& recorded = pFI[i].item;
    if (recorded != nullptr && recorded->PosixPath() == f->PosixPath()) return static_cast<std::int32_t>(i);
    framework::Yield();
  }
  pFI.push_back(FIEntry{f, kind, false});
  return static_cast<std::int32_t>(pFI.size()) - 1;
}

// --- control accessors ---

using framework::GroupBox;
using framework::Label;
using framework::PagePanel;
using framework::ProgressBar;
using framework::PushButton;
using framework::RadioButton;
using framework::Separator;

PagePanel& Window1::PagePanel1() const { return ControlNamed<PagePanel>("PagePanel1"); }
Label& Window1::StaticText5() const { return ControlNamed<Label>("StaticText5"); }
Label& Window1::StaticText8() const { return ControlNamed<Label>("StaticText8"); }
Label& Window1::StaticText11() const { return ControlNamed<Label>("StaticText11"); }
Label& Window1::StaticText12() const { return ControlNamed<Label>("StaticText12"); }
Label& Window1::StaticText14() const { return ControlNamed<Label>("StaticText14"); }
Label& Window1::StaticText17() const { return ControlNamed<Label>("StaticText17"); }
Label& Window1::StaticText20() const { return ControlNamed<Label>("StaticText20"); }
PushButton& Window1::PushButton5() const { return ControlNamed<PushButton>("PushButton5"); }
PushButton& Window1::PushButton6() const { return ControlNamed<PushButton>("PushButton6"); }
GroupBox& Window1::GroupBox1() const { return ControlNamed<GroupBox>("GroupBox1"); }
Label& Window1::StaticText24() const { return ControlNamed<Label>("StaticText24"); }
PushButton& Window1::PushButton1() const { return ControlNamed<PushButton>("PushButton1"); }
GroupBox& Window1::GroupBox2() const { return ControlNamed<GroupBox>("GroupBox2"); }
PushButton& Window1::PushButton3() const { return ControlNamed<PushButton>("PushButton3"); }
PushButton& Window1::PushButton4() const { return ControlNamed<PushButton>("PushButton4"); }
Label& Window1::StaticText18() const { return ControlNamed<Label>("StaticText18"); }
Label& Window1::StaticText16() const { return ControlNamed<Label>("StaticText16"); }
ProgressBar& Window1::ProgressBar1() const { return ControlNamed<ProgressBar>("ProgressBar1"); }
ProgressBar& Window1::ProgressBar2() const { return ControlNamed<ProgressBar>("ProgressBar2"); }
Label& Window1::StaticText21() const { return ControlNamed<Label>("StaticText21"); }
Label& Window1::StaticText25() const { return ControlNamed<Label>("StaticText25"); }
RadioButton& Window1::RadioButton1() const { return ControlNamed<RadioButton>("RadioButton1"); }
RadioButton& Window1::RadioButton2() const { return ControlNamed<RadioButton>("RadioButton2"); }
Label& Window1::StaticText26() const { return ControlNamed<Label>("StaticText26"); }
GroupBox& Window1::GroupBox3() const { return ControlNamed<GroupBox>("GroupBox3"); }
RadioButton& Window1::RadioButton3() const { return ControlNamed<RadioButton>("RadioButton3"); }
RadioButton& Window1::RadioButton4() const { return ControlNamed<RadioButton>("RadioButton4"); }
GroupBox& Window1::GroupBox4() const { return ControlNamed<GroupBox>("GroupBox4"); }
RadioButton& Window1::RadioButton5() const { return ControlNamed<RadioButton>("RadioButton5"); }
RadioButton& Window1::RadioButton6() const { return ControlNamed<RadioButton>("RadioButton6"); }
PushButton& Window1::PushButton8() const { return ControlNamed<PushButton>("PushButton8"); }
Label& Window1::StaticText1() const { return ControlNamed<Label>("StaticText1"); }
Label& Window1::StaticText2() const { return ControlNamed<Label>("StaticText2"); }
Label& Window1::StaticText3() const { return ControlNamed<Label>("StaticText3"); }
Label& Window1::StaticText4() const { return ControlNamed<Label>("StaticText4"); }
Separator& Window1::Separator1() const { return ControlNamed<Separator>("Separator1"); }
PushButton& Window1::PushButton2() const { return ControlNamed<PushButton>("PushButton2"); }
Label& Window1::StaticText10() const { return ControlNamed<Label>("StaticText10"); }
Separator& Window1::Separator2() const { return ControlNamed<Separator>("Separator2"); }
PushButton& Window1::PushButton7() const { return ControlNamed<PushButton>("PushButton7"); }
