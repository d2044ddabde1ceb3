// The one rename that never replaces: behind FolderItem::MoveFileTo, and for
// callers that hold folders open (recovery moves out of a working folder
// through its handle, so a link swapped in is never followed).
#pragma once

#include <string>

namespace framework {

// Moves the entry `name` of the folder open as fromFolder (AT_FDCWD: name is
// a path) to `newName` in the folder open as toFolder, on one file system.
// Never replaces an existing entry (EEXIST). Where the file system has no
// no-replace rename, a file gets its new name as a second link before the
// old one goes, and a folder, which cannot have a second name, is renamed
// once nothing stands under the new name (a race there could replace an
// empty folder). False with errno telling why.
bool MoveEntry(int fromFolder, const std::string& name, int toFolder, const std::string& newName);

}  // namespace framework
