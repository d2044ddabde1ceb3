// A static text.
#pragma once

#include "framework/ui/Color.h"
#include "framework/ui/Control.h"

namespace framework {

class Label : public Control {
 public:
  explicit Label(const ControlPlace& place) : Control(place) {}

  const String& Text() const { return text_; }
  void Text(const String& v) { Update(text_, v); }
  Color TextColor() const { return textColor_; }
  void TextColor(Color v) { Update(textColor_, v); }

 private:
  String text_;
  Color textColor_;  // black
};

}  // namespace framework
