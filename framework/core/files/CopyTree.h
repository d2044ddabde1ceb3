// The copy behind FolderItem::CopyFileTo. Internal to the file layer.
#pragma once

#include <filesystem>

namespace framework::copytree {

// Copies the item at `source` (a file, a link as a link, or a folder with
// everything in it) into the folder `destinationFolder` under its own name.
// Never replaces an item of that name; refuses to copy a folder into itself.
// True only when everything was copied; on a failure whatever it created is
// removed again. Gives the baton up during its system calls and yields
// between items; ends early, as a failure with errno ECANCELED, when
// StopRequested() says so before an item or between pieces of a file.
bool CopyInto(const std::filesystem::path& source, const std::filesystem::path& destinationFolder);

}  // namespace framework::copytree
