#include "shell/AboutPanel.h"

#include "framework/core/text/String.h"
#include "framework/ui/Color.h"

using framework::Label;
using framework::RGB;
using framework::String;

Label& AboutPanel::StaticText2() const { return ControlNamed<Label>("StaticText2"); }
Label& AboutPanel::StaticText3() const { return ControlNamed<Label>("StaticText3"); }
Label& AboutPanel::StaticText4() const { return ControlNamed<Label>("StaticText4"); }
Label& AboutPanel::StaticText1() const { return ControlNamed<Label>("StaticText1"); }

void AboutPanel::Layout() {
  Width(420);
  Height(260);
  Frame(framework::WindowFrame::ModelessDialog);
  Placement(framework::WindowPlacement::MainScreenCenter);
  Title("");
  CloseBox(true);
  MinimizeBox(false);
  ZoomBox(false);
  Resizable(false);
  // Built hidden: the window is first seen through ShowModal, after the
  // version line is in place, never as a modeless flash before it.
  Visible(false);
}

void AboutPanel::CreateControls() { _CreateControls0(); }

void AboutPanel::_CreateControls0() {
  struct Row {
    const char* name;
    std::int32_t left, top, width, height, size;
    bool italic, multiLine;
    framework::Color color;
    const char* text;
  };
  const String information = String("Copyright © OLVAN Software. All rights reserved.") + framework::EndOfLine +
                             framework::EndOfLine + "OLVAN Software製のアプリケーションと、その初期設定・" +
                             "書類フォルダを新しいマシンへ移行します。" + framework::EndOfLine +
                             "ウインドウをクリックすると閉じます。";
  const Row rows[] = {
      {"StaticText2", 40, 142, 340, 110, 10, false, true, RGB(51, 0, 0), ""},
      {"StaticText3", 20, 25, 380, 50, 32, true, false, RGB(0, 0, 255), ""},
      {"StaticText4", 140, 65, 140, 20, 10, false, false, RGB(0, 51, 102), "Universal Application"},
      {"StaticText1", 160, 102, 100, 15, 12, false, true, RGB(0, 51, 102), "Ver. 1.0.0"},
  };
  for (const Row& row : rows) {
    Label& label = AddControl<Label>(row.name);
    label.Bounds(row.left, row.top, row.width, row.height);
    label.TextSize(row.size);
    label.Italic(row.italic);
    label.MultiLine(row.multiLine);
    label.TextAlign(framework::TextAlignment::Center);
    label.TextColor(row.color);
    label.Text(row.text);
  }
  StaticText2().Text(information);
}

void AboutPanel::Event_Open() { StaticText3().Text("OLVAN 移行アシスタント"); }

bool AboutPanel::Event_MouseDown(std::int32_t x, std::int32_t y) {
  (void)x;
  (void)y;
  Hide();
  return false;
}
