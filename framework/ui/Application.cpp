#include "framework/ui/Application.h"

#include <atomic>
#include <vector>

#include "framework/ui/MenuBar.h"
#include "framework/ui/UserInterface.h"
#include "framework/ui/Window.h"

namespace framework {
namespace {

std::atomic<Application*> gCurrent{nullptr};

void UpdateItem(MenuItem& item) {
  item.Enabled(item.AutoEnable());
  for (std::int32_t i = 0; i < item.Count(); ++i) UpdateItem(*item.Item(i));
}

}  // namespace

Application::Application() { gCurrent = this; }

Application::~Application() {
  Application* self = this;
  gCurrent.compare_exchange_strong(self, nullptr);
}

Application* Application::Current() { return gCurrent.load(); }

void Application::AddMenuHandler(const String& itemName, std::function<bool()> handler) {
  handlers_[itemName.ToUTF8()] = std::move(handler);
}

void Application::Open() { Event_Open(); }

void Application::UpdateMenus() {
  if (menuBar_) UpdateItem(*menuBar_);
  Event_EnableMenuItems();
}

bool Application::Choose(MenuItem& item) {
  const auto it = handlers_.find(item.Name().ToUTF8());
  if (it != handlers_.end() && it->second) {
    // A copy: the handler may register handlers itself.
    const std::function<bool()> handler = it->second;
    if (handler()) return true;
  }
  if (item.Role() == MenuItemRole::Quit) {
    Quit();
    return true;
  }
  return false;
}

bool Application::Quit() { return CloseWindowsAndQuit(); }

bool Application::CloseWindowsAndQuit() {
  std::vector<std::shared_ptr<Window>> windows = Window::OpenWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    Window& window = **it;
    if (window.Closed()) continue;  // closed by another window's CancelClose
    if (window.Event_CancelClose(/*appQuitting=*/true)) return false;
  }
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) (*it)->FinishClose();
  CurrentUserInterface().Quit();
  return true;
}

bool Quit() {
  if (Application* app = Application::Current()) return app->Quit();
  return Application::CloseWindowsAndQuit();
}

}  // namespace framework
