// The wizard window's 41 controls, built in a fixed order (parents before
// their children) with their design texts; InitCaption replaces the texts
// when the window opens.
#include "wizard/Window1.h"

#include <cstdint>
#include <string>

namespace {

using framework::Control;

struct Box {
  std::int32_t left, top, width, height;
};

struct Style {
  std::int32_t size = 0;  // 0: the control shows no text
  bool bold = false;
  bool centred = false;
  bool multiLine = false;
};

constexpr Style kNoText{};
constexpr Style kHeading{14, true, false, false};      // the first line of each page
constexpr Style kBody{12, false, false, true};         // explanations that wrap
constexpr Style kPlain{12, false, false, false};       // buttons, group boxes, radio buttons
constexpr Style kBoldLine{12, true, false, false};
constexpr Style kCentredLine{12, false, true, false};  // progress status lines
constexpr Style kStepHeader{12, false, true, true};    // "STEP n" over the step's name

void Shape(Control& control, Box box, Style style) {
  control.Bounds(box.left, box.top, box.width, box.height);
  if (style.size == 0) return;
  control.TextSize(style.size);
  control.Bold(style.bold);
  if (style.centred) control.TextAlign(framework::TextAlignment::Center);
  control.MultiLine(style.multiLine);
}

}  // namespace

void Window1::CreateControls() {
  _CreateControls0();
  _CreateControls1();
}

// Controls 1 to 30: the page panel and everything on its pages.
void Window1::_CreateControls0() {
  // A label's design text is its own name unless given.
  auto label = [this](const char* name, Control* parent, std::int32_t page, Box box, Style style,
                      const char* text = nullptr) -> Label& {
    Label& made = AddControl<Label>(name, parent, page);
    Shape(made, box, style);
    made.Text(text != nullptr ? text : name);
    return made;
  };
  auto button = [this](const char* name, Control* parent, std::int32_t page, Box box,
                       const char* caption) -> PushButton& {
    PushButton& made = AddControl<PushButton>(name, parent, page);
    Shape(made, box, kPlain);
    made.Caption(caption);
    return made;
  };
  auto radio = [this](const char* name, Control* parent, std::int32_t page, Box box, Style style) -> RadioButton& {
    RadioButton& made = AddControl<RadioButton>(name, parent, page);
    Shape(made, box, style);
    made.Caption(name);
    return made;
  };
  auto group = [this](const char* name, Control* parent, std::int32_t page, Box box) -> GroupBox& {
    GroupBox& made = AddControl<GroupBox>(name, parent, page);
    Shape(made, box, kPlain);
    return made;
  };
  auto progress = [this](const char* name, Control* parent, std::int32_t page, Box box) {
    Shape(AddControl<ProgressBar>(name, parent, page), box, kNoText);
  };

  PagePanel& panel = AddControl<PagePanel>("PagePanel1");
  panel.PageCount(4);
  Shape(panel, {0, 60, 600, 350}, kNoText);
  panel.Change = [this](PagePanel& p) { PagePanel1_Change(p); };

  label("StaticText5", &panel, 0, {50, 70, 510, 20}, kHeading);
  label("StaticText8", &panel, 0, {70, 130, 400, 50}, kBody);
  label("StaticText11", &panel, 1, {50, 70, 436, 20}, kHeading);
  label("StaticText12", &panel, 2, {50, 70, 354, 20}, kHeading);
  label("StaticText14", &panel, 3, {50, 70, 362, 20}, kHeading);
  label("StaticText17", &panel, 1, {60, 100, 480, 91}, kBody);
  label("StaticText20", &panel, 2, {60, 100, 480, 90}, kBody);
  button("PushButton5", &panel, 2, {260, 260, 80, 20}, "Cipy").Action = [this](PushButton& b) {
    PushButton5_Action(b);
  };
  button("PushButton6", &panel, 3, {260, 190, 80, 20}, "Paste").Action = [this](PushButton& b) {
    PushButton6_Action(b);
  };
  GroupBox& box1 = group("GroupBox1", &panel, 0, {80, 290, 440, 100});
  label("StaticText24", &box1, -1, {100, 306, 400, 34}, kBody);
  // Inside GroupBox1's frame, but a child of the page.
  button("PushButton1", &panel, 0, {260, 350, 80, 20}, "Quit").Action = [this](PushButton& b) {
    PushButton1_Action(b);
  };
  GroupBox& box2 = group("GroupBox2", &panel, 1, {80, 220, 440, 180});
  button("PushButton3", &box2, -1, {150, 360, 120, 20}, "Get Folder...").Action = [this](PushButton& b) {
    PushButton3_Action(b);
  };
  button("PushButton4", &box2, -1, {310, 360, 120, 20}, "Get File...").Action = [this](PushButton& b) {
    PushButton4_Action(b);
  };
  // These two lie inside GroupBox2's frame but belong to the page.
  label("StaticText18", &panel, 1, {100, 265, 400, 85}, kBody);
  label("StaticText16", &panel, 1, {90, 240, 110, 20}, kBoldLine);
  progress("ProgressBar1", &panel, 2, {200, 220, 200, 20});
  progress("ProgressBar2", &panel, 3, {200, 150, 200, 20});
  label("StaticText21", &panel, 2, {50, 200, 500, 20}, kCentredLine, "Untitled");
  label("StaticText25", &panel, 3, {50, 130, 500, 20}, kCentredLine, "Untitled");
  // The route choice: one group, because both sit on page 0 of the panel.
  radio("RadioButton1", &panel, 0, {50, 100, 150, 20}, kBoldLine).Action = [this](RadioButton& r) {
    RadioButton1_Action(r);
  };
  radio("RadioButton2", &panel, 0, {50, 190, 150, 20}, kBoldLine).Action = [this](RadioButton& r) {
    RadioButton2_Action(r);
  };
  label("StaticText26", &panel, 0, {70, 220, 400, 50}, kBody);
  // The replace choices of STEP 3 and STEP 4 are grouped by their boxes.
  GroupBox& box3 = group("GroupBox3", &panel, 2, {80, 305, 440, 85});
  radio("RadioButton3", &box3, -1, {100, 320, 330, 20}, kPlain);
  radio("RadioButton4", &box3, -1, {100, 350, 330, 20}, kPlain);
  GroupBox& box4 = group("GroupBox4", &panel, 3, {80, 305, 440, 85});
  radio("RadioButton5", &box4, -1, {100, 320, 330, 20}, kPlain);
  radio("RadioButton6", &box4, -1, {100, 350, 330, 20}, kPlain);
}

// Controls 31 to 41: the STEP 2 stop button, then what every page shares.
void Window1::_CreateControls1() {
  PagePanel& panel = PagePanel1();
  PushButton& stop = AddControl<PushButton>("PushButton8", &panel, 1);
  Shape(stop, {260, 190, 80, 20}, kPlain);
  stop.Caption("Stop");
  stop.Action = [this](PushButton& b) { PushButton8_Action(b); };

  // The step headers: four equal cells across the full width.
  for (std::int32_t step = 1; step <= 4; ++step) {
    Label& header = AddControl<Label>("StaticText" + std::to_string(step));
    Shape(header, {(step - 1) * 150, 10, 150, 40}, kStepHeader);
    header.Text("STEP " + std::to_string(step));
  }
  // The separators run one pixel past both window edges, so no end shows.
  Shape(AddControl<Separator>("Separator1"), {-1, 50, 602, 4}, kNoText);

  PushButton& next = AddControl<PushButton>("PushButton2");
  Shape(next, {480, 440, 80, 20}, kPlain);
  next.Caption("Next");
  next.Action = [this](PushButton& b) { PushButton2_Action(b); };

  Label& guidance = AddControl<Label>("StaticText10");
  Shape(guidance, {30, 422, 430, 44}, kBody);
  guidance.Text("StaticText10");

  Shape(AddControl<Separator>("Separator2"), {-1, 410, 602, 4}, kNoText);

  PushButton& back = AddControl<PushButton>("PushButton7");
  Shape(back, {390, 440, 80, 20}, kPlain);
  back.Caption("Back");
  back.Action = [this](PushButton& b) { PushButton7_Action(b); };
}
