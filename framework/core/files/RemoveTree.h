// The one removal of a whole tree, behind Globals::gDeleteFolder, the staged
// copy's clean-up and the copy's removal of what it made after a failure.
//
// It walks by directory handles (openat, unlinkat) and holds one open folder
// at a time, so neither PATH_MAX nor the limit of open files bounds the
// depth it reaches. Links are removed as themselves and never followed.
// Folders it cannot enter or empty (read-only ones, mode 000) are opened up
// for their owner first, as they are going anyway (through a handle on the
// folder itself, never through a link). Every mount inside the tree, of
// another disk or of a folder bound there, is left as it is: its mount point
// stays, and the tree counts as not removed. An item that cannot be
// removed stays, with the folders above it; everything else goes. Removing
// is never cut short by a stop (StopRequest.h): remains would stay behind.
// Gives the baton up during its system calls and yields between items.
#pragma once

#include <filesystem>
#include <string>

namespace framework {

// Removes the item at `item` (a file, a link, or a folder with everything
// in it). True when nothing of that name is left (also when there was
// none); otherwise false with errno telling why the first failure failed.
bool RemoveTree(const std::filesystem::path& item);
// The same for the item `name` in the folder open as folderFd.
bool RemoveAt(int folderFd, const std::string& name);

}  // namespace framework
