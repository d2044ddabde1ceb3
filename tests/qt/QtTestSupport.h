// What the tests of the Qt front share: the application object (offscreen,
// with HOME and XDG_RUNTIME_DIR set to empty folders of the run's own), a
// fixture that installs the front, a window the test builds in place, and
// waiting for the event loop with the baton given up.
//
// The test body holds the baton (tests/support/TestMain.cpp), as program code
// on the GUI thread does. Events are delivered only while a test waits with
// WaitUntil, which gives the baton up so that notify, refreshes and workers
// can take it.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "framework/qt/QtUserInterface.h"
#include "framework/ui/Window.h"

class QTreeWidgetItem;
class QWidget;

namespace framework {
class ListboxView;
}

namespace qttest {

// Runs the event loop until the condition (checked under the baton) holds or
// the deadline passes; the result of the last check.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = std::chrono::seconds(10));

// A window whose attributes and controls the test gives.
class TestWindow : public framework::Window {
 public:
  using Builder = std::function<void(TestWindow&)>;

  explicit TestWindow(Builder controls, Builder attributes = {})
      : controls_(std::move(controls)), attributes_(std::move(attributes)) {}

  static std::shared_ptr<TestWindow> Make(Builder controls, Builder attributes = {}) {
    return Create<TestWindow>(std::move(controls), std::move(attributes));
  }

  using framework::Window::AddControl;

  std::function<bool(bool)> cancelClose;                      // CancelClose(appQuitting)
  std::function<bool(std::int32_t, std::int32_t)> mouseDown;  // MouseDown(x, y)

 protected:
  void Layout() override {
    Title("テスト");
    Width(300);
    Height(200);
    if (attributes_) attributes_(*this);
  }
  void CreateControls() override {
    if (controls_) controls_(*this);
  }
  bool Event_CancelClose(bool appQuitting) override { return cancelClose ? cancelClose(appQuitting) : false; }
  bool Event_MouseDown(std::int32_t x, std::int32_t y) override { return mouseDown ? mouseDown(x, y) : false; }

 private:
  Builder controls_;
  Builder attributes_;
};

// Installs a fresh Qt front for each test and forgets every window after it.
class QtFrontTest : public ::testing::Test {
 protected:
  QtFrontTest();
  ~QtFrontTest() override;

  // The window's top-level widget once the front shows it (fails the test
  // and returns nullptr if it never does).
  QWidget* ShownWindow(const framework::Window& window);
  // The control's widget as the kind T, once its window is shown.
  template <class T>
  T* WidgetOf(const framework::Control& control) {
    if (ShownWindow(control.OwnerWindow()) == nullptr) return nullptr;
    return dynamic_cast<T*>(front_.ControlWidget(control));
  }

  framework::QtUserInterface front_;

 private:
  framework::UserInterface* previous_;
};

// Where to click in a list: the check box of a cell, the disclosure
// triangle of a row (viewport coordinates).
QPoint CheckBoxCentre(framework::ListboxView& view, QTreeWidgetItem* item, int column);
QPoint TriangleCentre(framework::ListboxView& view, QTreeWidgetItem* item);

}  // namespace qttest
