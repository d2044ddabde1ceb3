// A separator line; horizontal when it is wider than high.
#pragma once

#include "framework/ui/Control.h"

namespace framework {

class Separator : public Control {
 public:
  explicit Separator(const ControlPlace& place) : Control(place) {}
};

}  // namespace framework
