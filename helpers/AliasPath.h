// The module AliasPath: a stored location (a path text or an alias record, as
// the products' preference files hold them) turned into a colon path that
// the discovery worker can open.
#pragma once

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"

namespace AliasPath {

// s as an absolute colon path:
//   - the empty text stays empty;
//   - a path text (one the framework takes as a path) comes back unchanged;
//   - an alias record is resolved through the framework's volume table to
//     its target's full path in UTF-8, with ":" after a folder;
//   - a record that does not resolve makes the user look: a message names
//     the path the record carries, then a folder chooser (a file chooser with
//     wantFile) asks for the item again. Its choice's AbsolutePath, or the
//     empty text when the user cancels. The choice is not written back.
// startupDisk, when given, is the disk that here stands for the start-up
// disk of the machine that wrote s (the old machine's disk, mounted over the
// network): a location on "its" start-up disk, which this machine would
// take for its own, is looked for on that disk instead, before anything is
// asked, and is never taken from this machine's disks. What the person
// chooses by hand is taken as chosen.
// Runs on the calling worker's thread; the dialogs (the framework's MsgBox,
// then SelectFolder, or GetOpenFolderItem("anyFile") with wantFile) are
// modal and the worker waits inside this call until the person has answered.
// Nothing of the resolution throws; what the user interface itself raises
// (none installed, a test's script without an answer) passes through.
framework::String gAbsPath_dc(const framework::String& s, bool wantFile,
                              const framework::FolderItemPtr& startupDisk = nullptr);

}  // namespace AliasPath
