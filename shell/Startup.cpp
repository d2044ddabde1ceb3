#include "shell/Startup.h"

#include <memory>

#include "framework/core/threads/Thread.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/Window.h"
#include "helpers/Globals.h"
#include "shell/App.h"
#include "shell/MenuBar1.h"
#include "wizard/Window1.h"

namespace {

// The application object lives from start-up to shut-down; the framework
// knows it as Application::Current() meanwhile.
std::unique_ptr<App>& TheApp() {
  static std::unique_ptr<App> app;
  return app;
}

}  // namespace

void StartProgram() {
  // The program declares no file types, so there is nothing to register.
  auto& app = TheApp();
  app = std::make_unique<App>();
  app->MenuBar(MenuBar1::Shared());
  App* self = app.get();
  app->AddMenuHandler("AppleAbout", [self] { return self->_AppleAbout_Action(); });
  // The default window: the first reference builds, opens and shows it.
  Window1::Instance();
  app->Open();
}

void ShutDownProgram() {
  // A worker may still be running: the quit that ended the event loop closed
  // the wizard, which the workers take as a stop at their next check. They
  // hold the wizard and read the product table, so both stay until they
  // have ended.
  framework::Thread::WaitForAll();
  framework::Window::DiscardAll();
  TheApp().reset();
  framework::ImplicitInstance<MenuBar1>::Reset();
  Globals::gAppName.clear();
  Globals::gAppTypeCre.clear();
  Globals::gDocTypeCre.clear();
}
