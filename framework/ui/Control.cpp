#include "framework/ui/Control.h"

#include "framework/ui/PagePanel.h"
#include "framework/ui/Window.h"

namespace framework {

Control::Control(const ControlPlace& place)
    : window_(place.window), name_(place.name), parent_(place.parent), page_(place.page) {}

std::int32_t Control::Page() const {
  if (parent_ == nullptr) return -1;
  if (dynamic_cast<const PagePanel*>(parent_) != nullptr) return page_;
  return parent_->Page();
}

void Control::Bounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  Left(left);
  Top(top);
  Width(width);
  Height(height);
}

bool Control::Shown() const {
  if (!visible_) return false;
  if (parent_ == nullptr) return true;
  if (!parent_->Shown()) return false;
  if (const auto* panel = dynamic_cast<const PagePanel*>(parent_)) return panel->Value() == page_;
  return true;
}

bool Control::EffectivelyEnabled() const {
  if (!enabled_) return false;
  return parent_ == nullptr || parent_->EffectivelyEnabled();
}

void Control::Changed() { window_->NotifyChanged(this); }

void Control::Update(String& field, const String& value) {
  if (field.Bytes() == value.Bytes() && field.EncodingTag() == value.EncodingTag()) return;
  field = value;
  Changed();
}

}  // namespace framework
