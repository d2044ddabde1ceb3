// A framed group of controls; it is also the container that groups its radio
// buttons.
#pragma once

#include "framework/ui/Control.h"

namespace framework {

class GroupBox : public Control {
 public:
  explicit GroupBox(const ControlPlace& place) : Control(place) {}

  const String& Caption() const { return caption_; }
  void Caption(const String& v) { Update(caption_, v); }

 private:
  String caption_;
};

}  // namespace framework
