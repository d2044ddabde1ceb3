// AboutPanel: the small about window. It has no implicit instance: every
// showing builds a new one (App::ShowAboutPanel), which a click anywhere in
// it hides, ending the modal run; the caller then closes it.
#pragma once

#include <cstdint>

#include "framework/ui/Label.h"
#include "framework/ui/Window.h"

class AboutPanel : public framework::Window {
 public:
  AboutPanel() = default;

  framework::Label& StaticText2() const;  // the information text
  framework::Label& StaticText3() const;  // the program's name
  framework::Label& StaticText4() const;
  framework::Label& StaticText1() const;  // the version line

  bool Event_MouseDown(std::int32_t x, std::int32_t y) override;
  void Event_Open() override;

 protected:
  void Layout() override;
  void CreateControls() override;

 private:
  void _CreateControls0();
};
