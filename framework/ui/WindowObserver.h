// The one way a window model tells its view that something changed.
//
// The front attaches one observer per window. ModelChanged is called on the
// thread that made the change, under the baton, right after the change; the
// control is the one that changed, or nullptr for the window's own
// attributes, its visibility or its closing. An observer only marks itself
// dirty and arranges a redraw on its own thread later: it must not call back
// into the models or block.
#pragma once

namespace framework {

class Control;
class Window;

class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  virtual void ModelChanged(Window& window, Control* control) = 0;
};

}  // namespace framework
