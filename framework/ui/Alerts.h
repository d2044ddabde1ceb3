// The simplest things the program says to the person.
#pragma once

#include "framework/core/text/String.h"

namespace framework {

// The system beep.
void Beep();
// A message box with the text and an OK button; returns when it is closed,
// giving the baton up while it waits.
void MsgBox(const String& text);

}  // namespace framework
