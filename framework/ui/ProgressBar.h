// A progress bar from 0 to Maximum.
#pragma once

#include <cstdint>

#include "framework/ui/Control.h"

namespace framework {

class ProgressBar : public Control {
 public:
  explicit ProgressBar(const ControlPlace& place) : Control(place) {}

  // Kept as set; the front draws values past Maximum as full and negative
  // ones as empty, and a Maximum of 0 as an indeterminate bar.
  std::int32_t Maximum() const { return maximum_; }
  void Maximum(std::int32_t v) { Update(maximum_, v); }
  std::int32_t Value() const { return value_; }
  void Value(std::int32_t v) { Update(value_, v); }

 private:
  std::int32_t maximum_ = 100;
  std::int32_t value_ = 0;
};

}  // namespace framework
