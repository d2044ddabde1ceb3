// An event of a control: one handler, set by the window that owns the
// control, raised only by the framework.
//
// The program wires its handlers when it creates its controls:
//
//   PushButton5().Action = [this](PushButton& b) { PushButton5_Action(b); };
//
// Nothing outside the framework can raise an event. The control raises its
// own events where its model says so (PagePanel::Value raises Change), and
// UserInput raises the ones that only a person causes (a press, a tick). So
// tests and the Qt front reach the program's handlers through the same
// user-level entry points, never by calling the handler directly.
#pragma once

#include <functional>
#include <utility>

namespace framework {

class Control;
class UserInput;

template <typename Signature>
class Event;

template <typename Result, typename... Args>
class Event<Result(Args...)> {
 public:
  using Handler = std::function<Result(Args...)>;

  Event() = default;
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  // Sets (or, with an empty function, removes) the handler.
  Event& operator=(Handler handler) {
    handler_ = std::move(handler);
    return *this;
  }
  bool IsHandled() const { return static_cast<bool>(handler_); }

 private:
  friend class Control;
  friend class UserInput;

  // Without a handler an event returns the result's default (false for the
  // Boolean events: "not handled").
  Result Raise(Args... args) const {
    if (!handler_) return Result();
    // A copy, so a handler that replaces itself does not destroy the function
    // that is running.
    Handler running = handler_;
    return running(std::forward<Args>(args)...);
  }

  Handler handler_;
};

}  // namespace framework
