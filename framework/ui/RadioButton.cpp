#include "framework/ui/RadioButton.h"

#include "framework/ui/Window.h"

namespace framework {

std::vector<RadioButton*> RadioButton::Partners() const {
  std::vector<RadioButton*> partners;
  Window& window = OwnerWindow();
  for (std::int32_t i = 0; i < window.ControlCount(); ++i) {
    auto* other = dynamic_cast<RadioButton*>(&window.ControlAt(i));
    if (other == nullptr || other == this) continue;
    if (other->Parent() == Parent() && other->Page() == Page()) partners.push_back(other);
  }
  return partners;
}

void RadioButton::Value(bool on) {
  if (value_ == on) return;
  std::vector<RadioButton*> wentOff;
  if (on) {
    for (RadioButton* partner : Partners()) {
      if (!partner->value_) continue;
      partner->value_ = false;
      partner->Changed();
      wentOff.push_back(partner);
    }
  }
  value_ = on;
  Changed();
  for (RadioButton* partner : wentOff) Raise(partner->Action, *partner);
  Raise(Action, *this);
}

}  // namespace framework
