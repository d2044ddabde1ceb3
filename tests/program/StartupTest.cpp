// Start-up and shut-down: the product table, the default window, the menus
// and the about window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/MenuBar.h"
#include "framework/ui/UserInput.h"
#include "helpers/Globals.h"
#include "program/ProgramFixture.h"
#include "shell/AboutPanel.h"
#include "shell/MenuBar1.h"

namespace {

using framework::MenuItemRole;
using framework::UserInput;
using programtest::ProgramTest;

std::vector<std::string> Texts(const std::vector<framework::String>& rows) {
  std::vector<std::string> out;
  for (const auto& row : rows) out.push_back(row.ToUTF8());
  return out;
}

class Startup : public ProgramTest {};

TEST_F(Startup, FillsTheProductTableInRowOrder) {
  // Row numbers are product indexes: a row out of place names the wrong
  // product for every bundle discovery recognises.
  EXPECT_EQ(Texts(Globals::gAppName),
            (std::vector<std::string>{"Toskarine", "Quilbrant", "ToskCard", "Kavreline", "Dornel", "DornelDX",
                                      "Brelvane", "Gantrel", "Sovrine", "Pelquon", "Fenwold", "Hostrame"}));
  EXPECT_EQ(Texts(Globals::gAppTypeCre),
            (std::vector<std::string>{"APPLqZw1", "APPLqZw2", "APPLqZw3", "APPLqZw4", "APPLqZw5", "APPLqZw6",
                                      "APPLqZwf", "APPLqZwj", "APPLqZwk", "APPLqZwm", "APPLqZwq", "APPLqZwr"}));
  EXPECT_EQ(Texts(Globals::gDocTypeCre), (std::vector<std::string>{"Gml3qZw1", "Hqb3qZw1", "SuvoqZw4", "DornqZw5"}));
  EXPECT_TRUE(Globals::gBeep);
}

TEST_F(Startup, OpensTheWizardAsTheOnlyWindowWithTheSharedMenuBar) {
  const auto open = framework::Window::OpenWindows();
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].get(), &Wizard());
  const auto shown = user_.WindowsShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].window, &Wizard());
  EXPECT_EQ(shown[0].title.ToUTF8(), "OLVAN 移行アシスタント") << "shown after Open set its texts";
  EXPECT_FALSE(shown[0].modal);
  EXPECT_EQ(Wizard().MenuBar(), TheApp().MenuBar());
  EXPECT_EQ(TheApp().MenuBar().get(), &MenuBar1::Instance());
}

TEST_F(Startup, ShutDownReleasesEverythingSoAStartAfterItBeginsAfresh) {
  ShutDownProgram();
  EXPECT_TRUE(framework::Window::OpenWindows().empty());
  EXPECT_FALSE(framework::ImplicitInstance<MenuBar1>::Exists());
  EXPECT_FALSE(framework::ImplicitInstance<Window1>::Exists());
  EXPECT_THROW(App::Instance(), std::logic_error);
  EXPECT_TRUE(Globals::gAppName.empty());
  EXPECT_TRUE(Globals::gAppTypeCre.empty());
  EXPECT_TRUE(Globals::gDocTypeCre.empty());

  // The table is appended to, not refilled: only a clean shut-down keeps a
  // second start at twelve rows.
  StartProgram();
  EXPECT_EQ(Globals::gAppName.size(), 12u);
  EXPECT_EQ(Globals::gAppTypeCre.size(), 12u);
  EXPECT_EQ(Globals::gDocTypeCre.size(), 4u);
}

TEST_F(Startup, TheMenusHoldTheirItemsInOrder) {
  struct Row {
    const char* menu;
    const char* name;
    const char* text;
    const char* shortcut;
    MenuItemRole role;
  };
  const Row rows[] = {
      {"FileMenu", "FileQuit", "&Quit", "Cmd+Q", MenuItemRole::Quit},
      {"EditMenu", "EditUndo", "取り消す", "Cmd+Z", MenuItemRole::Plain},
      {"EditMenu", "編集やり直す", "やり直す", "Cmd+Shift+Z", MenuItemRole::Plain},
      {"EditMenu", "UntitledMenu1", "-", "", MenuItemRole::Plain},
      {"EditMenu", "EditCut", "カット", "Cmd+X", MenuItemRole::Plain},
      {"EditMenu", "EditCopy", "コピー", "Cmd+C", MenuItemRole::Plain},
      {"EditMenu", "EditPaste", "ペースト", "Cmd+V", MenuItemRole::Plain},
      {"EditMenu", "EditClear", "削除", "", MenuItemRole::Plain},
      {"EditMenu", "UntitledMenu0", "-", "", MenuItemRole::Plain},
      {"EditMenu", "EditSelectAll", "すべてを選択", "Cmd+A", MenuItemRole::Plain},
      {"EditMenu", "AppleAbout", "OLVAN 移行アシスタントについて", "", MenuItemRole::About},
  };
  const auto& bar = TheApp().MenuBar();
  ASSERT_TRUE(bar);
  ASSERT_EQ(bar->Count(), 2);
  EXPECT_EQ(bar->Item(0)->Name().ToUTF8(), "FileMenu");
  EXPECT_EQ(bar->Item(0)->Text().ToUTF8(), "ファイル");
  EXPECT_EQ(bar->Item(1)->Name().ToUTF8(), "EditMenu");
  EXPECT_EQ(bar->Item(1)->Text().ToUTF8(), "編集");
  ASSERT_EQ(bar->Item(0)->Count(), 1);
  ASSERT_EQ(bar->Item(1)->Count(), 10);

  std::int32_t index[2] = {0, 0};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int menu = std::string(row.menu) == "FileMenu" ? 0 : 1;
    const framework::MenuItemPtr item = bar->Item(menu)->Item(index[menu]++);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Name().ToUTF8(), row.name);
    EXPECT_EQ(item->Text().ToUTF8(), row.text);
    EXPECT_EQ(item->KeyboardShortcut().ToUTF8(), row.shortcut);
    EXPECT_EQ(item->Role(), row.role);
    EXPECT_TRUE(item->AutoEnable());
    EXPECT_EQ(item->Count(), 0);
  }
}

TEST_F(Startup, TheAboutItemIsEnabledWheneverTheMenusAreUpdated) {
  framework::MenuItem* about = TheApp().AppleAbout();
  ASSERT_NE(about, nullptr);
  // Not left to auto-enabling: the application enables it itself.
  about->AutoEnable(false);
  TheApp().UpdateMenus();
  EXPECT_TRUE(about->Enabled());
}

TEST_F(Startup, ChoosingAboutTwiceShowsTwoFreshWindowsClosedByAClick) {
  std::vector<std::shared_ptr<framework::Window>> panels;
  auto clickAway = [&panels](framework::Window& window) {
    panels.push_back(window.shared_from_this());
    auto* panel = dynamic_cast<AboutPanel*>(&window);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->StaticText1().Text().ToUTF8(), "Ver. 1.0b4");
    EXPECT_EQ(panel->StaticText3().Text().ToUTF8(), "OLVAN 移行アシスタント");
    EXPECT_FALSE(panel->StaticText2().Text().IsEmpty());
    // Anywhere in the window: it has no button.
    UserInput::MouseDown(window, 400, 250);
  };
  user_.WillDrive(clickAway);
  user_.WillDrive(clickAway);
  EXPECT_TRUE(UserInput::ChooseMenuItem(TheApp(), "AppleAbout"));
  EXPECT_TRUE(UserInput::ChooseMenuItem(TheApp(), "AppleAbout"));

  ASSERT_EQ(panels.size(), 2u);
  EXPECT_NE(panels[0], panels[1]);
  EXPECT_TRUE(panels[0]->Closed());
  EXPECT_TRUE(panels[1]->Closed());
  // Seen only modally: never shown as a plain window before its text was set.
  int modal = 0;
  for (const auto& shown : user_.WindowsShown())
    if (shown.window == panels[0].get() || shown.window == panels[1].get()) {
      EXPECT_TRUE(shown.modal);
      ++modal;
    }
  EXPECT_EQ(modal, 2);
  EXPECT_EQ(framework::Window::OpenWindows().size(), 1u) << "only the wizard remains";
}

TEST_F(Startup, TheQuitItemClosesTheWizardAndEndsTheLoop) {
  EXPECT_TRUE(UserInput::ChooseMenuItem(TheApp(), "FileQuit"));
  EXPECT_EQ(user_.Quits(), 1);
  EXPECT_FALSE(framework::ImplicitInstance<Window1>::Exists());
}

}  // namespace
