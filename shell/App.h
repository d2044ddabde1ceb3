// App: the application object. It fills the product table when the
// application opens, keeps the About item enabled and shows the about
// window. It registers no document types and keeps no settings.
#pragma once

#include "framework/ui/Application.h"
#include "framework/ui/MenuItem.h"

class App : public framework::Application {
 public:
  App() = default;

  // The application object that StartProgram made (the design's global
  // accessor App); throws std::logic_error before StartProgram.
  static App& Instance();

  // The About item of the application's menu bar (the design's global
  // accessor AppleAbout); nullptr without a menu bar.
  framework::MenuItem* AppleAbout() const;

  void Event_Open() override;
  void Event_EnableMenuItems() override;
  // The menu handler of "AppleAbout"; true: handled.
  bool _AppleAbout_Action();

 protected:
  // Sets gBeep and fills the product table. Runs once per process; it does
  // not clear the arrays first (ShutDownProgram does).
  void InitApp();
  // Shows a new about window modally and closes it afterwards.
  void ShowAboutPanel();
};
