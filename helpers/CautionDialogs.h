// The caution dialogs of the module Globals: every problem the person must
// act on, and the one question the program asks (quit after a stopped run),
// is a message dialog with the caution icon, shown as a sheet of the window
// that raised it.
#pragma once

#include <cstdint>

#include "framework/core/text/String.h"

namespace framework {
class Window;
}

namespace Globals {

using framework::String;

// What gCautionDlg returns: the button that closed the dialog. A dialog that
// went away without any of its buttons counts as CautionCancel, so a caller
// never acts on an answer the person did not give.
inline constexpr std::int32_t CautionAlternate = 0;
inline constexpr std::int32_t CautionCancel = 1;
inline constexpr std::int32_t CautionAction = 2;

// A caution dialog with one to three buttons: the action button always
// (actionCaption), the cancel button when buttons > 1, the alternate action
// button when buttons > 2; captions of buttons left hidden are ignored.
// beep sounds the system beep first. With a parent the dialog is a sheet of
// it; without, application-modal. Returns when the person has answered.
std::int32_t gCautionDlg(framework::Window* parent, bool beep, std::int32_t buttons, const String& altCaption,
                         const String& cancelCaption, const String& actionCaption, const String& message,
                         const String& explanation);

// The notice form: one button "OK".
void gCautionDlg1(framework::Window* parent, bool beep, const String& message, const String& explanation);

}  // namespace Globals
