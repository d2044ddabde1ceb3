#include "framework/ui/Alerts.h"

#include "framework/core/threads/Baton.h"
#include "framework/ui/UserInterface.h"

namespace framework {

void Beep() { CurrentUserInterface().Beep(); }

void MsgBox(const String& text) {
  UserInterface& ui = CurrentUserInterface();
  BatonReleaser waitForThePerson;
  ui.ShowMessageBox(text);
}

}  // namespace framework
