// The program's own folder for what belongs to this user's session alone: the
// local socket a later start of the program looks for, and the state Qt's own
// dialogs remember. Nothing of the person's lives there, and no other account
// can put anything there.
//
// It is "olvan" inside Qt's runtime folder for this user: the desktop's
// XDG_RUNTIME_DIR, else "runtime-<user name>" in the temporary folder, which
// Qt makes with mode 0700 and gives only when it is a real folder (not a
// link), owned by this user and closed to everyone else. A name in the shared
// temporary folder that another account took first is never used: then there
// is no such folder, and callers go without.
#pragma once

#include <QString>

namespace framework {

// The folder's path, or an empty string when none can be had.
QString ProgramRuntimeFolder();

}  // namespace framework
