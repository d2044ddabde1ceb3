// A radio button. The buttons with the same container (the window, one page
// of a PagePanel, or one GroupBox) form a group with at most one on.
//
// Action is raised whenever the value changes, by the person or by code, and
// also for the partner that goes off. The program's Action handlers have
// "off" branches (disable Next when no route remains; a handler that turns
// its own button off runs its off branch) that only run this way. When a
// button goes on, the model first sets every partner off and itself on, then
// raises the partners' Actions (off) and last its own (on): so the final
// decision belongs to the button that was chosen, and every handler already
// sees the group's final state. Setting the value it already has raises
// nothing.
#pragma once

#include <vector>

#include "framework/ui/Control.h"
#include "framework/ui/Event.h"

namespace framework {

class RadioButton : public Control {
 public:
  explicit RadioButton(const ControlPlace& place) : Control(place) {}

  const String& Caption() const { return caption_; }
  void Caption(const String& v) { Update(caption_, v); }

  bool Value() const { return value_; }
  void Value(bool on);

  // The other buttons of this button's group, in creation order.
  std::vector<RadioButton*> Partners() const;

  Event<void(RadioButton&)> Action;

 private:
  String caption_;
  bool value_ = false;
};

}  // namespace framework
