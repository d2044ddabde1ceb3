// How windows come and go: the implicit instance, closing with CancelClose,
// modal runs, and what reaches the front.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/threads/Thread.h"
#include "framework/testing/ScriptedUser.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/Label.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/UserInput.h"
#include "framework/ui/Window.h"
#include "framework/ui/WindowObserver.h"
#include "ui/ScratchWindow.h"

namespace {

using framework::ImplicitInstance;
using framework::Label;
using framework::PushButton;
using framework::ScriptedUser;
using framework::UserInput;
using framework::Window;

std::vector<std::string> gSteps;
int gBuilt = 0;

// A window in the program's style: controls reached by name, handlers wired
// at creation, CancelClose deciding by a property.
class Window9 : public Window {
 public:
  Window9() { ++gBuilt; }

  Label& StaticText1() { return ControlNamed<Label>("StaticText1"); }
  PushButton& PushButton1() { return ControlNamed<PushButton>("PushButton1"); }

  bool pKeepOpen = false;
  bool pLastQuitting = true;
  Window9* pSelfSeenAtOpen = nullptr;

 protected:
  void Layout() override {
    gSteps.push_back("Layout");
    Title("Window9");
    Width(300);
    Height(280);
  }
  void CreateControls() override {
    gSteps.push_back("CreateControls");
    AddControl<Label>("StaticText1").Text("StaticText1");
    AddControl<PushButton>("PushButton1").Action = [this](PushButton& b) { PushButton1_Action(b); };
  }
  void Event_Open() override {
    gSteps.push_back("Open");
    StaticText1().Text("opened");
    pSelfSeenAtOpen = &ImplicitInstance<Window9>::Get();
  }
  bool Event_CancelClose(bool appQuitting) override {
    pLastQuitting = appQuitting;
    return pKeepOpen;
  }

 private:
  void PushButton1_Action(PushButton&) { Hide(); }
};

Window9& TheWindow9() { return ImplicitInstance<Window9>::Get(); }

class WindowLifecycle : public ::testing::Test {
 protected:
  void SetUp() override {
    gSteps.clear();
    gBuilt = 0;
  }
  ScriptedUser user_;
};

TEST_F(WindowLifecycle, TheFirstReferenceBuildsOpensAndThenShows) {
  EXPECT_FALSE(ImplicitInstance<Window9>::Exists());
  Window9& w = TheWindow9();
  EXPECT_EQ(gSteps, (std::vector<std::string>{"Layout", "CreateControls", "Open"}));
  EXPECT_EQ(w.StaticText1().Text().ToUTF8(), "opened");
  EXPECT_EQ(w.pSelfSeenAtOpen, &w) << "Open must not build a second instance";
  EXPECT_EQ(&TheWindow9(), &w);
  EXPECT_EQ(gBuilt, 1);
  EXPECT_EQ(user_.Transcript(), (std::vector<std::string>{"show Window9"}));
  EXPECT_TRUE(w.Visible());
}

TEST_F(WindowLifecycle, AClosedImplicitInstanceIsBuiltAnewOnTheNextReference) {
  Window9& first = TheWindow9();
  first.StaticText1().Text("changed");
  EXPECT_TRUE(first.Close());
  EXPECT_FALSE(ImplicitInstance<Window9>::Exists());
  Window9& second = TheWindow9();
  EXPECT_EQ(gBuilt, 2);
  EXPECT_EQ(second.StaticText1().Text().ToUTF8(), "opened");
  EXPECT_EQ(user_.Transcript(), (std::vector<std::string>{"show Window9", "close Window9", "show Window9"}));
}

TEST_F(WindowLifecycle, CancelCloseTrueKeepsTheWindowOpen) {
  Window9& w = TheWindow9();
  w.pKeepOpen = true;
  EXPECT_FALSE(UserInput::ClickCloseBox(w));
  EXPECT_FALSE(w.pLastQuitting);
  EXPECT_TRUE(ImplicitInstance<Window9>::Exists());
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(gBuilt, 1);

  w.pKeepOpen = false;
  EXPECT_TRUE(UserInput::ClickCloseBox(w));
  EXPECT_FALSE(ImplicitInstance<Window9>::Exists());
}

TEST_F(WindowLifecycle, ShowModalReturnsWhenTheWindowHidesItself) {
  Window9& w = TheWindow9();
  user_.WillDrive([](Window& shown) { UserInput::Press(static_cast<Window9&>(shown).PushButton1()); });
  w.ShowModal();
  EXPECT_FALSE(w.Visible());
  EXPECT_TRUE(ImplicitInstance<Window9>::Exists()) << "hidden is not closed";
  EXPECT_EQ(user_.Report(), "");
  EXPECT_EQ(user_.Transcript(), (std::vector<std::string>{"show Window9", "modal Window9", "hide Window9"}));
}

TEST_F(WindowLifecycle, AModalStepThatLeavesTheWindowShownIsReportedAndDoesNotHang) {
  Window9& w = TheWindow9();
  user_.WillDrive([](Window&) {});
  w.ShowModal();
  ASSERT_EQ(user_.Problems().size(), 1u);
  EXPECT_NE(user_.Problems()[0].find("still shown"), std::string::npos);
}

TEST_F(WindowLifecycle, WindowsBehindAModalWindowTakeNoInput) {
  bool pressed = false;
  auto behind = uitest::ScratchWindow::Make([&](uitest::ScratchWindow& s) {
    s.AddControl<PushButton>("PushButton2").Action = [&](PushButton&) { pressed = true; };
  });
  PushButton& next = behind->ControlNamed<PushButton>("PushButton2");
  bool reachedBehind = true;
  user_.WillDrive([&](Window& shown) {
    reachedBehind = UserInput::Press(next);
    UserInput::Press(static_cast<Window9&>(shown).PushButton1());
  });
  TheWindow9().ShowModal();
  EXPECT_FALSE(reachedBehind);
  EXPECT_FALSE(pressed);
  EXPECT_TRUE(UserInput::Press(next));
  EXPECT_TRUE(pressed);
}

TEST_F(WindowLifecycle, AWindowClosedByItsOwnHandlerLivesUntilTheActionIsOver) {
  std::weak_ptr<Window> watch;
  std::string textAfterClose;
  auto w = uitest::ScratchWindow::Make([&](uitest::ScratchWindow& s) {
    Label& status = s.AddControl<Label>("StaticText1");
    s.AddControl<PushButton>("PushButton1").Action = [&s, &status, &textAfterClose](PushButton&) {
      s.Close();
      status.Text("written after the close");  // the rest of the handler
      textAfterClose = status.Text().ToUTF8();
    };
  });
  watch = w;
  PushButton& button = w->ControlNamed<PushButton>("PushButton1");
  w.reset();
  EXPECT_TRUE(UserInput::Press(button));
  EXPECT_EQ(textAfterClose, "written after the close");
  EXPECT_TRUE(watch.expired()) << "freed once the press was handled";
}

// The about window's pattern: a new window per showing, hidden by a click
// anywhere, closed by its caller.
class AboutPanel : public Window {
 protected:
  bool Event_MouseDown(std::int32_t, std::int32_t) override {
    Hide();
    return false;
  }
};

TEST_F(WindowLifecycle, AClickHidesAWindowThatHidesOnMouseDown) {
  for (int showing = 0; showing < 2; ++showing) {
    std::shared_ptr<AboutPanel> about = Window::Create<AboutPanel>();
    user_.WillDrive([](Window& shown) { UserInput::MouseDown(shown, 10, 10); });
    about->ShowModal();
    EXPECT_FALSE(about->Visible());
    about->Close();
    EXPECT_TRUE(about->Closed());
  }
  EXPECT_EQ(user_.Report(), "");
  EXPECT_TRUE(Window::OpenWindows().empty());
}

TEST_F(WindowLifecycle, ControlNamesAreUniqueAndTypedAndParentsMustBeContainers) {
  Window9& w = TheWindow9();
  EXPECT_THROW(w.ControlNamed<Label>("PushButton1"), std::logic_error);
  EXPECT_THROW(w.ControlNamed<Label>("NoSuchControl"), std::logic_error);
  EXPECT_THROW(uitest::ScratchWindow::Make([](uitest::ScratchWindow& s) {
                 s.AddControl<Label>("Same");
                 s.AddControl<Label>("Same");
               }),
               std::invalid_argument);
  EXPECT_THROW(uitest::ScratchWindow::Make([](uitest::ScratchWindow& s) {
                 Label& notAContainer = s.AddControl<Label>("Label1");
                 s.AddControl<Label>("Label2", &notAContainer);
               }),
               std::invalid_argument);
}

class CountingObserver : public framework::WindowObserver {
 public:
  void ModelChanged(Window&, framework::Control* control) override {
    if (control != nullptr) controls.push_back(control->Name().ToUTF8());
  }
  std::vector<std::string> controls;
};

TEST_F(WindowLifecycle, TheObserverHearsOfChangesMadeByAWorker) {
  Window9& w = TheWindow9();
  CountingObserver observer;
  w.Observer(&observer);
  struct SetStatus : framework::Thread {
    explicit SetStatus(Window9& w) : window(w) {}
    void Event_Run() override { window.StaticText1().Text("コピー中"); }
    Window9& window;
  };
  auto worker = std::make_shared<SetStatus>(w);
  worker->Run();
  worker->WaitUntilDone();
  w.StaticText1().Text("コピー中");  // the same text again: nothing to redraw
  EXPECT_EQ(observer.controls, (std::vector<std::string>{"StaticText1"}));
  w.Observer(nullptr);
}

}  // namespace
