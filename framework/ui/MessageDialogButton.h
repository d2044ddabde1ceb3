// One of the three buttons of a MessageDialog.
#pragma once

#include <cstdint>

#include "framework/core/text/String.h"

namespace framework {

// Which button the person pressed; None when the dialog went away without
// one of them.
enum class DialogButton : std::uint8_t { None, Action, Cancel, Alternate };

class MessageDialogButton {
 public:
  MessageDialogButton(const String& caption, bool visible) : caption_(caption), visible_(visible) {}
  MessageDialogButton(const MessageDialogButton&) = delete;
  MessageDialogButton& operator=(const MessageDialogButton&) = delete;

  const String& Caption() const { return caption_; }
  void Caption(const String& v) { caption_ = v; }
  bool Visible() const { return visible_; }
  void Visible(bool v) { visible_ = v; }

 private:
  String caption_;
  bool visible_;
};

}  // namespace framework
