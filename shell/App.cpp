#include "shell/App.h"

#include <memory>
#include <stdexcept>

#include "framework/ui/MenuBar.h"
#include "helpers/Globals.h"
#include "shell/AboutPanel.h"

App& App::Instance() {
  auto* app = dynamic_cast<App*>(framework::Application::Current());
  if (app == nullptr) throw std::logic_error("App::Instance before StartProgram");
  return *app;
}

framework::MenuItem* App::AppleAbout() const { return MenuBar() ? MenuBar()->Find("AppleAbout") : nullptr; }

void App::Event_Open() { InitApp(); }

void App::Event_EnableMenuItems() {
  if (framework::MenuItem* about = AppleAbout()) about->Enabled(true);
}

bool App::_AppleAbout_Action() {
  ShowAboutPanel();
  return true;
}

void App::InitApp() {
  Globals::gBeep = true;
  // Row k of gAppName and gAppTypeCre is product k (the discovery worker's
  // ProductIndex), so the order of these rows is part of their meaning.
  for (const char* name : {"Toskarine", "Quilbrant", "ToskCard", "Kavreline", "Dornel", "DornelDX", "Brelvane",
                           "Gantrel", "Sovrine", "Pelquon", "Fenwold", "Hostrame"})
    Globals::gAppName.emplace_back(name);
  for (const char* code : {"APPLqZw1", "APPLqZw2", "APPLqZw3", "APPLqZw4", "APPLqZw5", "APPLqZw6", "APPLqZwf",
                           "APPLqZwj", "APPLqZwk", "APPLqZwm", "APPLqZwq", "APPLqZwr"})
    Globals::gAppTypeCre.emplace_back(code);
  for (const char* code : {"Gml3qZw1", "Hqb3qZw1", "SuvoqZw4", "DornqZw5"}) Globals::gDocTypeCre.emplace_back(code);
}

void App::ShowAboutPanel() {
  const std::shared_ptr<AboutPanel> panel = framework::Window::Create<AboutPanel>();
  panel->StaticText1().Text("Ver. 1.0b4");
  panel->ShowModal();
  panel->Close();
}
