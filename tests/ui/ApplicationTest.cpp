// Quitting and menus: a refused close cancels the whole quit; menu choices
// reach their handlers by item name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/testing/ScriptedUser.h"
#include "framework/ui/AppleMenuItem.h"
#include "framework/ui/Application.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/MenuBar.h"
#include "framework/ui/QuitMenuItem.h"
#include "framework/ui/UserInput.h"
#include "framework/ui/Window.h"

namespace {

using framework::Application;
using framework::MenuItem;
using framework::MenuItemPtr;
using framework::ScriptedUser;
using framework::UserInput;
using framework::Window;

std::vector<std::string> gAsked;

// A window that records being asked and refuses when told to.
class Asking : public Window {
 public:
  explicit Asking(std::string name) : name_(std::move(name)) {}
  bool refuse = false;
  bool quittingSeen = false;

 protected:
  void Layout() override { Title(name_); }
  bool Event_CancelClose(bool appQuitting) override {
    gAsked.push_back(name_);
    quittingSeen = appQuitting;
    return refuse;
  }

 private:
  std::string name_;
};

class MainWindow : public Asking {
 public:
  MainWindow() : Asking("Window1") {}
};

class App : public Application {
 public:
  App() {
    auto bar = std::make_shared<framework::MenuBar>();
    auto file = Item<MenuItem>("FileMenu", "ファイル");
    file->Append(Item<framework::QuitMenuItem>("FileQuit", "&Quit", "Cmd+Q"));
    bar->Append(file);
    auto edit = Item<MenuItem>("EditMenu", "編集");
    edit->Append(Item<MenuItem>("UntitledMenu1", "-"));
    auto about = Item<framework::AppleMenuItem>("AppleAbout", "OLVAN 移行アシスタントについて");
    about->AutoEnable(false);
    edit->Append(about);
    bar->Append(edit);
    MenuBar(bar);
    AddMenuHandler("AppleAbout", [this] {
      ++aboutShown;
      return true;
    });
  }
  int aboutShown = 0;
  bool enableAbout = true;

 protected:
  void Event_EnableMenuItems() override {
    if (enableAbout) MenuBar()->Find("AppleAbout")->Enabled(true);
  }

 private:
  template <class T>
  static MenuItemPtr Item(const char* name, const char* text, const char* shortcut = "") {
    auto item = std::make_shared<T>();
    item->Name(name);
    item->Text(text);
    item->KeyboardShortcut(shortcut);
    return item;
  }
};

class Quitting : public ::testing::Test {
 protected:
  void SetUp() override { gAsked.clear(); }
  ScriptedUser user_;
  App app_;
};

TEST_F(Quitting, ARefusedCloseCancelsTheQuitAndClosesNothing) {
  MainWindow& main = framework::ImplicitInstance<MainWindow>::Get();
  main.refuse = true;
  auto drawer = Window::Create<Asking>("Window2");
  EXPECT_FALSE(app_.Quit());
  // The newer window agreed first, but it must not be closed by a quit that
  // did not happen.
  EXPECT_EQ(gAsked, (std::vector<std::string>{"Window2", "Window1"}));
  EXPECT_FALSE(drawer->Closed());
  EXPECT_FALSE(main.Closed());
  EXPECT_EQ(Window::OpenWindows().size(), 2u);
  EXPECT_EQ(user_.Quits(), 0);
  EXPECT_TRUE(main.quittingSeen);
}

TEST_F(Quitting, AnAcceptedQuitClosesEveryWindowOnceAndEndsTheLoop) {
  MainWindow& main = framework::ImplicitInstance<MainWindow>::Get();
  auto drawer = Window::Create<Asking>("Window2");
  EXPECT_TRUE(framework::Quit());
  EXPECT_EQ(gAsked, (std::vector<std::string>{"Window2", "Window1"})) << "each asked once";
  EXPECT_TRUE(main.Closed());
  EXPECT_TRUE(drawer->Closed());
  EXPECT_FALSE(framework::ImplicitInstance<MainWindow>::Exists());
  EXPECT_EQ(user_.Quits(), 1);
  const auto transcript = user_.Transcript();
  EXPECT_EQ(transcript.back(), "quit");
}

TEST_F(Quitting, TheQuitMenuItemQuitsWithoutAHandler) {
  framework::ImplicitInstance<MainWindow>::Get();
  EXPECT_TRUE(UserInput::ChooseMenuItem(app_, "FileQuit"));
  EXPECT_EQ(user_.Quits(), 1);
}

TEST_F(Quitting, MenuHandlersRunByNameWhenTheItemIsEnabled) {
  EXPECT_TRUE(UserInput::ChooseMenuItem(app_, "AppleAbout"));
  EXPECT_TRUE(UserInput::ChooseMenuItem(app_, "AppleAbout"));
  EXPECT_EQ(app_.aboutShown, 2);

  // Not auto-enabled and not enabled by EnableMenuItems: out of reach.
  app_.enableAbout = false;
  EXPECT_FALSE(UserInput::ChooseMenuItem(app_, "AppleAbout"));
  EXPECT_FALSE(app_.MenuBar()->Find("AppleAbout")->Enabled());
  EXPECT_EQ(app_.aboutShown, 2);

  EXPECT_FALSE(UserInput::ChooseMenuItem(app_, "UntitledMenu1")) << "a separator is not a choice";
  EXPECT_FALSE(UserInput::ChooseMenuItem(app_, "NoSuchItem"));
  EXPECT_EQ(user_.Quits(), 0);
}

TEST_F(Quitting, TheMenuBarHoldsItsMenusInOrder) {
  const auto& bar = app_.MenuBar();
  ASSERT_EQ(bar->Count(), 2);
  EXPECT_EQ(bar->Item(0)->Text().ToUTF8(), "ファイル");
  EXPECT_EQ(bar->Item(1)->Text().ToUTF8(), "編集");
  EXPECT_EQ(bar->Child("EditMenu")->Child("AppleAbout")->Role(), framework::MenuItemRole::About);
  EXPECT_EQ(bar->Child("FileMenu")->Child("FileQuit")->Role(), framework::MenuItemRole::Quit);
  EXPECT_EQ(bar->Child("AppleAbout"), nullptr) << "Child looks one level down only";
  EXPECT_TRUE(bar->Child("EditMenu")->Child("UntitledMenu1")->IsSeparator());
}

}  // namespace
