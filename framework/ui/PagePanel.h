// A panel of pages, one shown at a time; the program turns its pages by code.
#pragma once

#include <cstdint>

#include "framework/ui/Control.h"
#include "framework/ui/Event.h"

namespace framework {

class PagePanel : public Control {
 public:
  explicit PagePanel(const ControlPlace& place) : Control(place) {}

  // The page shown, from 0. Setting another page raises Change before the
  // setter returns (the program relies on it: its handler runs with the new
  // page in place). Setting the page already shown raises nothing, and a
  // page outside 0..PageCount-1 is ignored.
  std::int32_t Value() const { return value_; }
  void Value(std::int32_t page);

  std::int32_t PageCount() const { return pageCount_; }
  // Layout: the number of pages (at least 1). Shrinking below the page shown
  // shows page 0 without raising Change; layout runs before any handler.
  void PageCount(std::int32_t count);

  Event<void(PagePanel&)> Change;

 private:
  std::int32_t value_ = 0;
  std::int32_t pageCount_ = 1;
};

}  // namespace framework
