// The front draws the models as they stand: window sizes and frames, texts in
// pixel fonts, colours, pages, and changes made later, also by workers.
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <thread>

#include "framework/core/threads/Baton.h"
#include "framework/ui/GroupBox.h"
#include "framework/ui/Label.h"
#include "framework/ui/MenuBar.h"
#include "framework/ui/PagePanel.h"
#include "framework/ui/ProgressBar.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/QuitMenuItem.h"
#include "qt/QtTestSupport.h"

namespace {

using framework::Color;
using framework::GroupBox;
using framework::Label;
using framework::PagePanel;
using framework::ProgressBar;
using framework::PushButton;
using framework::TextAlignment;
using framework::WindowFrame;
using qttest::QtFrontTest;
using qttest::TestWindow;
using qttest::WaitUntil;

std::shared_ptr<framework::MenuBar> FileMenuBar() {
  auto bar = std::make_shared<framework::MenuBar>();
  auto file = std::make_shared<framework::MenuItem>("ファイル");
  file->Name("FileMenu");
  auto quit = std::make_shared<framework::QuitMenuItem>("&Quit");
  quit->Name("FileQuit");
  quit->KeyboardShortcut("Cmd+Q");
  file->Append(quit);
  bar->Append(file);
  auto edit = std::make_shared<framework::MenuItem>("編集");
  edit->Name("EditMenu");
  bar->Append(edit);
  return bar;
}

using WindowPresentation = QtFrontTest;

TEST_F(WindowPresentation, DocumentWindowHasTheExactFixedContentSizeBelowItsMenuBar) {
  auto window = TestWindow::Make({}, [](TestWindow& w) {
    w.Title("OLVAN 移行アシスタント");
    w.Width(600);
    w.Height(480);
    w.ZoomBox(false);
    w.MenuBar(FileMenuBar());
  });
  QWidget* top = ShownWindow(*window);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->windowTitle(), QString("OLVAN 移行アシスタント"));
  EXPECT_EQ(front_.ContentWidget(*window)->size(), QSize(600, 480));
  EXPECT_EQ(top->minimumSize(), top->maximumSize()) << "the window must not be resizable";
  EXPECT_FALSE(top->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(top->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

  auto* bar = top->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 2);
  EXPECT_EQ(bar->actions()[0]->text(), QString("ファイル"));
  EXPECT_EQ(bar->actions()[1]->text(), QString("編集"));
  QAction* quit = bar->actions()[0]->menu()->actions().value(0);
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(quit->menuRole(), QAction::QuitRole);
  EXPECT_EQ(quit->shortcut(), QKeySequence(QKeySequence::fromString("Ctrl+Q")));
  EXPECT_EQ(top->height(), 480 + bar->height()) << "the menu bar comes on top of the content, not out of it";
}

TEST_F(WindowPresentation, LabelsShowTheirTextInPixelFontsColoursAndAlignment) {
  Label* heading = nullptr;
  Label* step = nullptr;
  auto window = TestWindow::Make([&](TestWindow& w) {
    heading = &w.AddControl<Label>("Heading");
    heading->Bounds(50, 70, 510, 20);
    heading->TextSize(14);
    heading->Bold(true);
    heading->Text("まず始めに、方式を指定します。");
    step = &w.AddControl<Label>("Step");
    step->Bounds(0, 10, 150, 40);
    step->TextSize(12);
    step->TextAlign(TextAlignment::Center);
    step->MultiLine(true);
    step->Text(framework::String("STEP 1") + framework::EndOfLine + "はじめに");
    step->TextColor(framework::RGB(0, 0, 255));
  });

  auto* headingWidget = WidgetOf<QLabel>(*heading);
  ASSERT_NE(headingWidget, nullptr);
  EXPECT_EQ(headingWidget->text(), QString("まず始めに、方式を指定します。"));
  EXPECT_EQ(headingWidget->font().pixelSize(), 14);
  EXPECT_TRUE(headingWidget->font().bold());
  EXPECT_EQ(headingWidget->font().family(), QString("Noto Sans CJK JP"));
  EXPECT_EQ(headingWidget->geometry(), QRect(50, 70, 510, 20));
  EXPECT_FALSE(headingWidget->wordWrap());

  auto* stepWidget = WidgetOf<QLabel>(*step);
  ASSERT_NE(stepWidget, nullptr);
  EXPECT_EQ(stepWidget->text(), QString("STEP 1\nはじめに"));
  EXPECT_EQ(stepWidget->font().pixelSize(), 12);
  EXPECT_FALSE(stepWidget->font().bold());
  EXPECT_TRUE(stepWidget->alignment().testFlag(Qt::AlignHCenter));
  EXPECT_TRUE(stepWidget->wordWrap());
  EXPECT_EQ(stepWidget->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 255));

  // A colour change made later reaches the widget (the current step turns
  // grey when the wizard moves on).
  step->TextColor(framework::RGB(128, 128, 128));
  EXPECT_TRUE(WaitUntil(
      [&] { return stepWidget->palette().color(QPalette::Active, QPalette::WindowText) == QColor(128, 128, 128); }));
}

TEST_F(WindowPresentation, PagePanelShowsTheControlsOfTheShownPageOnly) {
  PagePanel* panel = nullptr;
  PushButton* first = nullptr;
  GroupBox* box = nullptr;
  PushButton* inBox = nullptr;
  PushButton* everywhere = nullptr;
  auto window = TestWindow::Make([&](TestWindow& w) {
    panel = &w.AddControl<PagePanel>("Panel");
    panel->PageCount(2);
    panel->Bounds(0, 0, 300, 150);
    first = &w.AddControl<PushButton>("First", panel, 0);
    first->Bounds(10, 10, 80, 20);
    box = &w.AddControl<GroupBox>("Box", panel, 1);
    box->Bounds(10, 40, 200, 80);
    inBox = &w.AddControl<PushButton>("InBox", box);
    inBox->Bounds(20, 60, 80, 20);
    everywhere = &w.AddControl<PushButton>("Everywhere");
    everywhere->Bounds(10, 170, 80, 20);
  });
  ASSERT_NE(ShownWindow(*window), nullptr);
  QWidget* firstWidget = front_.ControlWidget(*first);
  QWidget* boxWidget = front_.ControlWidget(*box);
  QWidget* inBoxWidget = front_.ControlWidget(*inBox);
  QWidget* everywhereWidget = front_.ControlWidget(*everywhere);
  EXPECT_TRUE(firstWidget->isVisible());
  EXPECT_FALSE(boxWidget->isVisible());
  EXPECT_FALSE(inBoxWidget->isVisible());

  panel->Value(1);
  EXPECT_TRUE(WaitUntil([&] { return inBoxWidget->isVisible(); }));
  EXPECT_FALSE(firstWidget->isVisible());
  EXPECT_TRUE(boxWidget->isVisible());
  EXPECT_TRUE(everywhereWidget->isVisible());
  // Positions are window coordinates whatever the container.
  EXPECT_EQ(inBoxWidget->geometry(), QRect(20, 60, 80, 20));
}

TEST_F(WindowPresentation, ChangesAWorkerMakesReachTheWidgets) {
  Label* status = nullptr;
  ProgressBar* progress = nullptr;
  PushButton* next = nullptr;
  auto window = TestWindow::Make([&](TestWindow& w) {
    status = &w.AddControl<Label>("Status");
    status->Bounds(10, 10, 280, 20);
    progress = &w.AddControl<ProgressBar>("Progress");
    progress->Bounds(10, 40, 200, 20);
    next = &w.AddControl<PushButton>("Next");
    next->Bounds(10, 70, 80, 20);
    next->Caption("次へ");
  });
  auto* label = WidgetOf<QLabel>(*status);
  auto* bar = WidgetOf<QProgressBar>(*progress);
  auto* button = WidgetOf<QPushButton>(*next);
  ASSERT_TRUE(label != nullptr && bar != nullptr && button != nullptr);

  std::thread worker([&] {
    framework::BatonHolder programCode;
    for (int i = 1; i <= 50; ++i) {
      status->Text("コピー中 " + std::to_string(i));
      progress->Value(i * 2);
      framework::Yield();
    }
    progress->Maximum(0);  // unknown length: an indeterminate bar
    next->Caption("中止");
    next->Visible(false);
  });
  const bool arrived = WaitUntil([&] { return button->isHidden(); });
  {
    framework::BatonReleaser letItFinish;
    worker.join();
  }
  ASSERT_TRUE(arrived);
  EXPECT_EQ(label->text(), QString("コピー中 50"));
  EXPECT_EQ(button->text(), QString("中止"));
  EXPECT_EQ(bar->maximum(), 0);
}

}  // namespace
