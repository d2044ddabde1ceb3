// A push button: a caption and an Action raised when the person presses it.
#pragma once

#include "framework/ui/Control.h"
#include "framework/ui/Event.h"

namespace framework {

class PushButton : public Control {
 public:
  explicit PushButton(const ControlPlace& place) : Control(place) {}

  const String& Caption() const { return caption_; }
  void Caption(const String& v) { Update(caption_, v); }
  // The window's default button (Return presses it) and cancel button
  // (Escape presses it); both are drawn and keyed by the front.
  bool Default() const { return default_; }
  void Default(bool v) { Update(default_, v); }
  bool Cancel() const { return cancel_; }
  void Cancel(bool v) { Update(cancel_, v); }

  // Raised by UserInput::Press only: setting properties never presses.
  Event<void(PushButton&)> Action;

 private:
  String caption_;
  bool default_ = false;
  bool cancel_ = false;
};

}  // namespace framework
