// The implicit instance of a class: the one object that the class's name
// stands for in the program (Window1, Window2, Window3, MenuBar1).
//
// The program reaches it through one accessor, e.g.
//
//   Window1& Window1Instance() { return framework::ImplicitInstance<Window1>::Get(); }
//
// For a window, the first reference builds it (Layout, CreateControls,
// Event_Open, then shown when Visible) and returns it; references while it
// is open return the same window; once it is closed, the next reference
// builds a new one. The instance is known to the accessor before it is
// built, so a window whose Open event refers to its own implicit instance
// gets itself, not a second window.
//
// For anything else (a menu bar), the first reference constructs it and it
// lives until Reset (the end of the program, or of a test).
//
// Used under the baton, like all program code.
#pragma once

#include <memory>
#include <type_traits>

#include "framework/ui/Window.h"

namespace framework {

template <class T>
class ImplicitInstance {
 public:
  static T& Get() {
    if constexpr (std::is_base_of_v<Window, T>) {
      std::shared_ptr<T> window = WindowSlot().lock();
      if (window && !window->Closed()) return *window;
      window = std::make_shared<T>();
      WindowSlot() = window;
      Window::Build(window);  // the framework's list of open windows keeps it
      return *window;
    } else {
      auto& slot = ObjectSlot();
      if (!slot) slot = std::make_shared<T>();
      return *slot;
    }
  }

  // The same instance as a shared pointer (to hand to a window or the
  // application as its menu bar).
  static std::shared_ptr<T> Shared() {
    T& instance = Get();
    if constexpr (std::is_base_of_v<Window, T>) {
      return WindowSlot().lock();
    } else {
      (void)instance;
      return ObjectSlot();
    }
  }

  // Whether an instance stands now (without building one).
  static bool Exists() {
    if constexpr (std::is_base_of_v<Window, T>) {
      std::shared_ptr<T> window = WindowSlot().lock();
      return window && !window->Closed();
    } else {
      return static_cast<bool>(ObjectSlot());
    }
  }

  // Drops a non-window instance; the next reference makes a new one.
  // (Windows end by closing.)
  static void Reset() {
    if constexpr (std::is_base_of_v<Window, T>) {
      WindowSlot().reset();
    } else {
      ObjectSlot().reset();
    }
  }

 private:
  static std::weak_ptr<T>& WindowSlot() {
    static std::weak_ptr<T> slot;
    return slot;
  }
  static std::shared_ptr<T>& ObjectSlot() {
    static std::shared_ptr<T> slot;
    return slot;
  }
};

}  // namespace framework
