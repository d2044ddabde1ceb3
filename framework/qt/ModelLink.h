// How a widget of the front reaches the model it shows.
//
// Widgets outlive their models by a little: a window may be closed and freed
// (Window::ReleaseClosed) while its widgets still wait for their deferred
// deletion, and a paint or a late click may reach them meanwhile. So a widget
// never keeps a bare pointer that it follows unchecked: it locks the window
// first, and the control pointer is good exactly while the window lives.
#pragma once

#include <QString>
#include <memory>

#include "framework/core/text/String.h"
#include "framework/ui/Control.h"
#include "framework/ui/Window.h"

namespace framework {

struct ModelLink {
  std::weak_ptr<Window> window;
  Control* control = nullptr;  // nullptr: the window itself

  // The window, kept alive by the result; nullptr once it is gone.
  std::shared_ptr<Window> Lock() const { return window.lock(); }
};

inline QString ToQString(const String& text) { return QString::fromStdString(text.ToUTF8()); }

}  // namespace framework
