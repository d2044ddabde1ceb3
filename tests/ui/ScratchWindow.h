// A window whose controls a test builds in place, through the framework's own
// build order (Create runs Layout, CreateControls, Open, then shows it).
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "framework/ui/Window.h"

namespace uitest {

class ScratchWindow : public framework::Window {
 public:
  using Builder = std::function<void(ScratchWindow&)>;
  explicit ScratchWindow(Builder build) : build_(std::move(build)) {}

  using framework::Window::AddControl;

  // Builds, opens and shows a scratch window with the given controls.
  static std::shared_ptr<ScratchWindow> Make(Builder build) {
    return framework::Window::Create<ScratchWindow>(std::move(build));
  }

 protected:
  void Layout() override { Title("Scratch"); }
  void CreateControls() override {
    if (build_) build_(*this);
  }

 private:
  Builder build_;
};

}  // namespace uitest
