// The person's clicks on real widgets reach the program only through
// UserInput, and the widgets then show what the model decided.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "framework/core/threads/Baton.h"
#include "framework/ui/Label.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/RadioButton.h"
#include "qt/QtTestSupport.h"

namespace {

using framework::Label;
using framework::PushButton;
using framework::RadioButton;
using framework::WindowFrame;
using qttest::QtFrontTest;
using qttest::TestWindow;
using qttest::WaitUntil;

// Clicks as the person does: the event goes through the application's
// notify, which takes the baton the test body gave up.
void Click(QWidget* widget, QPoint at = QPoint()) {
  framework::BatonReleaser asTheEventLoopDoes;
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

using UserActions = QtFrontTest;

TEST_F(UserActions, ClickOnAPushButtonRaisesItsActionOnlyWhileItIsEnabled) {
  PushButton* next = nullptr;
  int pressed = 0;
  auto window = TestWindow::Make([&](TestWindow& w) {
    next = &w.AddControl<PushButton>("Next");
    next->Bounds(200, 160, 80, 20);
    next->Caption("次へ");
    next->Action = [&](PushButton&) { ++pressed; };
  });
  auto* button = WidgetOf<QPushButton>(*next);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QString("次へ"));

  Click(button);
  EXPECT_EQ(pressed, 1);

  next->Enabled(false);
  ASSERT_TRUE(WaitUntil([&] { return !button->isEnabled(); }));
  Click(button);
  EXPECT_EQ(pressed, 1);
}

TEST_F(UserActions, ReturnPressesTheDefaultButton) {
  PushButton* run = nullptr;
  int pressed = 0;
  auto window = TestWindow::Make([&](TestWindow& w) {
    run = &w.AddControl<PushButton>("Run");
    run->Bounds(200, 160, 80, 20);
    run->Caption("実行");
    run->Default(true);
    run->Action = [&](PushButton&) { ++pressed; };
  });
  QWidget* top = ShownWindow(*window);
  ASSERT_NE(top, nullptr);
  {
    framework::BatonReleaser asTheEventLoopDoes;
    QTest::keyClick(top, Qt::Key_Return);
  }
  EXPECT_EQ(pressed, 1);
}

TEST_F(UserActions, RadioClickChoosesInTheModelAndTheWidgetsFollowIt) {
  RadioButton* device = nullptr;
  RadioButton* network = nullptr;
  std::vector<std::pair<std::string, bool>> actions;
  auto window = TestWindow::Make([&](TestWindow& w) {
    device = &w.AddControl<RadioButton>("Device");
    device->Bounds(10, 10, 150, 20);
    device->Caption("外部デバイス経由");
    network = &w.AddControl<RadioButton>("Network");
    network->Bounds(10, 40, 150, 20);
    network->Caption("ネットワーク経由");
    device->Action = [&](RadioButton& b) { actions.emplace_back("device", b.Value()); };
    network->Action = [&](RadioButton& b) { actions.emplace_back("network", b.Value()); };
  });
  auto* deviceWidget = WidgetOf<QRadioButton>(*device);
  auto* networkWidget = WidgetOf<QRadioButton>(*network);
  ASSERT_TRUE(deviceWidget != nullptr && networkWidget != nullptr);
  EXPECT_FALSE(deviceWidget->autoExclusive()) << "the model owns the group";

  Click(deviceWidget);
  EXPECT_TRUE(device->Value());
  ASSERT_TRUE(WaitUntil([&] { return deviceWidget->isChecked(); }));

  Click(networkWidget);
  EXPECT_FALSE(device->Value());
  EXPECT_TRUE(network->Value());
  EXPECT_TRUE(WaitUntil([&] { return networkWidget->isChecked() && !deviceWidget->isChecked(); }));
  const std::vector<std::pair<std::string, bool>> expected = {{"device", true}, {"device", false}, {"network", true}};
  EXPECT_EQ(actions, expected);

  // A click on the button that is on changes nothing, on screen either.
  Click(networkWidget);
  EXPECT_TRUE(network->Value());
  EXPECT_TRUE(networkWidget->isChecked());
  EXPECT_EQ(actions.size(), 3u);
}

TEST_F(UserActions, CloseBoxAsksTheWindowAndClosesOnlyWhenItAgrees) {
  auto window = TestWindow::Make({});
  bool keepOpen = true;
  int asked = 0;
  window->cancelClose = [&](bool) {
    ++asked;
    return keepOpen;
  };
  QPointer<QWidget> top = ShownWindow(*window);
  ASSERT_FALSE(top.isNull());

  {
    framework::BatonReleaser asTheEventLoopDoes;
    top->close();
  }
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(window->Closed());
  // Once a later change has reached the screen, any removal would have too.
  window->Title("まだ開いている");
  ASSERT_TRUE(WaitUntil([&] { return top.isNull() || top->windowTitle() == QString("まだ開いている"); }));
  ASSERT_FALSE(top.isNull());
  EXPECT_TRUE(top->isVisible());

  keepOpen = false;
  {
    framework::BatonReleaser asTheEventLoopDoes;
    top->close();
  }
  EXPECT_TRUE(window->Closed());
  EXPECT_TRUE(WaitUntil([&] { return top.isNull(); })) << "a closed window's widgets go";
}

// The about window: a modeless dialog shown modally, made of labels, that
// hides itself on any click; ShowModal then returns.
TEST_F(UserActions, ClickAnywhereInTheAboutWindowEndsItsModalRun) {
  Label* name = nullptr;
  auto about = TestWindow::Make(
      [&](TestWindow& w) {
        name = &w.AddControl<Label>("StaticText3");
        name->Bounds(20, 25, 380, 50);
        name->TextSize(32);
        name->Italic(true);
        name->Text("OLVAN 移行アシスタント");
      },
      [](TestWindow& w) {
        w.Frame(WindowFrame::ModelessDialog);
        w.Title("");
        w.Width(420);
        w.Height(260);
        w.MinimizeBox(false);
        w.Placement(framework::WindowPlacement::MainScreenCenter);
      });
  std::vector<std::pair<int, int>> presses;
  about->mouseDown = [&](std::int32_t x, std::int32_t y) {
    presses.emplace_back(x, y);
    about->Hide();
    return false;
  };

  // While ShowModal waits, the person clicks on the name label.
  bool wasModal = false;
  QTimer person;
  person.callOnTimeout([&] {
    QWidget* content = front_.ContentWidget(*about);
    if (content == nullptr || !content->isVisible()) return;
    person.stop();
    wasModal = content->window()->isModal();
    QTest::mouseClick(content->childAt(100, 40), Qt::LeftButton, Qt::NoModifier, QPoint(80, 15));
  });
  person.start(5);
  about->ShowModal();

  EXPECT_TRUE(wasModal);
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0], std::make_pair(100, 40)) << "window coordinates, though the label took the click";
  EXPECT_FALSE(about->Visible());
  about->Close();
  EXPECT_TRUE(WaitUntil([&] { return front_.WindowWidget(*about) == nullptr; }));
}

}  // namespace
