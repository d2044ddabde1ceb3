#include "framework/ui/PagePanel.h"

namespace framework {

void PagePanel::Value(std::int32_t page) {
  if (page < 0 || page >= pageCount_ || page == value_) return;
  value_ = page;
  Changed();
  Raise(Change, *this);
}

void PagePanel::PageCount(std::int32_t count) {
  if (count < 1) count = 1;
  if (value_ >= count) value_ = 0;
  Update(pageCount_, count);
}

}  // namespace framework
