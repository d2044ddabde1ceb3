// A spinning busy indicator; it spins while it is shown.
#pragma once

#include "framework/ui/Control.h"

namespace framework {

class ProgressWheel : public Control {
 public:
  explicit ProgressWheel(const ControlPlace& place) : Control(place) {}
};

}  // namespace framework
