#include "helpers/CautionDialogs.h"

#include "framework/ui/Alerts.h"
#include "framework/ui/MessageDialog.h"

namespace Globals {

std::int32_t gCautionDlg(framework::Window* parent, bool beep, std::int32_t buttons, const String& altCaption,
                         const String& cancelCaption, const String& actionCaption, const String& message,
                         const String& explanation) {
  framework::MessageDialog d;
  // The beep comes before anything is shown, so the person hears it as the
  // dialog appears and not after.
  if (beep) framework::Beep();
  d.Icon(framework::MessageDialog::GraphicCaution);
  // Visibility is set both ways: the dialog must show exactly the buttons
  // asked for, whatever the framework's defaults are.
  d.AlternateActionButton().Visible(buttons > 2);
  if (buttons > 2) d.AlternateActionButton().Caption(altCaption);
  d.CancelButton().Visible(buttons > 1);
  if (buttons > 1) d.CancelButton().Caption(cancelCaption);
  d.ActionButton().Visible(true);
  d.ActionButton().Caption(actionCaption);
  d.Message(message);
  d.Explanation(explanation);

  const framework::MessageDialogButton* pressed = parent != nullptr ? d.ShowModalWithin(parent) : d.ShowModal();
  if (pressed == &d.AlternateActionButton()) return CautionAlternate;
  if (pressed == &d.CancelButton()) return CautionCancel;
  if (pressed == &d.ActionButton()) return CautionAction;
  return CautionCancel;
}

void gCautionDlg1(framework::Window* parent, bool beep, const String& message, const String& explanation) {
  gCautionDlg(parent, beep, /*buttons=*/1, "", "", "OK", message, explanation);
}

}  // namespace Globals
