#include "framework/ui/MessageDialog.h"

#include "framework/core/threads/Baton.h"
#include "framework/ui/UserInterface.h"

namespace framework {

MessageDialogButton* MessageDialog::Button(DialogButton which) {
  switch (which) {
    case DialogButton::Action:
      return &action_;
    case DialogButton::Cancel:
      return &cancel_;
    case DialogButton::Alternate:
      return &alternate_;
    case DialogButton::None:
      break;
  }
  return nullptr;
}

MessageDialogButton* MessageDialog::ShowModal() { return ShowModalWithin(nullptr); }

MessageDialogButton* MessageDialog::ShowModalWithin(Window* parent) {
  UserInterface& ui = CurrentUserInterface();
  DialogButton pressed = DialogButton::None;
  {
    BatonReleaser waitForThePerson;
    pressed = ui.ShowMessageDialog(*this, parent);
  }
  MessageDialogButton* button = Button(pressed);
  // A hidden button cannot have been pressed; a front that says so is wrong,
  // and the program must not act on a choice the person never saw.
  return button != nullptr && button->Visible() ? button : nullptr;
}

}  // namespace framework
