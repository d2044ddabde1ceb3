// A message dialog: an icon, a message, a smaller explanation and up to three
// buttons. The action button is the default button and is shown unless the
// program hides it; the cancel and the alternate action buttons are hidden
// until the program shows them.
//
// ShowModalWithin(parent) shows it as a sheet of the parent window,
// ShowModal as an application-modal dialog; both wait for the person,
// giving the baton up meanwhile (so a worker may ask too), and return the
// button pressed, or nullptr when the dialog went away without one.
#pragma once

#include <cstdint>

#include "framework/core/text/String.h"
#include "framework/ui/MessageDialogButton.h"

namespace framework {

class Window;

class MessageDialog {
 public:
  static constexpr std::int32_t GraphicNote = 0;
  static constexpr std::int32_t GraphicCaution = 1;
  static constexpr std::int32_t GraphicStop = 2;
  static constexpr std::int32_t GraphicQuestion = 3;

  MessageDialog() = default;
  MessageDialog(const MessageDialog&) = delete;
  MessageDialog& operator=(const MessageDialog&) = delete;

  std::int32_t Icon() const { return icon_; }
  void Icon(std::int32_t v) { icon_ = v; }
  const String& Title() const { return title_; }
  void Title(const String& v) { title_ = v; }
  const String& Message() const { return message_; }
  void Message(const String& v) { message_ = v; }
  const String& Explanation() const { return explanation_; }
  void Explanation(const String& v) { explanation_ = v; }

  MessageDialogButton& ActionButton() { return action_; }
  const MessageDialogButton& ActionButton() const { return action_; }
  MessageDialogButton& CancelButton() { return cancel_; }
  const MessageDialogButton& CancelButton() const { return cancel_; }
  MessageDialogButton& AlternateActionButton() { return alternate_; }
  const MessageDialogButton& AlternateActionButton() const { return alternate_; }

  // The button of that role; nullptr for DialogButton::None.
  MessageDialogButton* Button(DialogButton which);

  MessageDialogButton* ShowModal();
  // A null parent shows the dialog application-modal, as ShowModal does.
  MessageDialogButton* ShowModalWithin(Window* parent);
  MessageDialogButton* ShowModalWithin(Window& parent) { return ShowModalWithin(&parent); }

 private:
  std::int32_t icon_ = GraphicNote;
  String title_;
  String message_;
  String explanation_;
  MessageDialogButton action_{"OK", true};
  MessageDialogButton cancel_{"キャンセル", false};
  MessageDialogButton alternate_{"", false};
};

}  // namespace framework
