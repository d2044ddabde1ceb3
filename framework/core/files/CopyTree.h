// The copy behind FolderItem::CopyFileTo. Internal to the file layer.
#pragma once

#include <filesystem>

namespace framework::copytree {

// Copies the item at `source` (a file, a link as a link, or a folder with
// everything in it) into the folder `destinationFolder` under its own name.
// Never replaces an item of that name; refuses to copy a folder into itself
// (Kind::IntoItself).
// True only when everything was copied; on a failure whatever it created is
// removed again. Gives the baton up during its system calls and yields
// between items; ends early, as a failure with errno ECANCELED, when
// StopRequested() says so before an item or between pieces of a file.
//
// A file whose size or modification time changed while it was copied is
// copied once more; a second change fails it (Kind::Changed). Only the
// extents of a file that hold data are copied: holes stay holes. Where the
// source's file system cannot tell the holes of a file that holds fewer
// blocks than its size needs, its blocks of zeros become the copy's holes.
struct Failure {
  enum class Kind {
    Reading,  // the source could not be read
    Writing,  // the destination could not be written
    Changed,  // a source file changed while it was copied, twice
    Stopped,  // a stop was requested
    // The destination folder lies inside the item (a folder copied into
    // itself, through a link or a mount as well): the whole item fails.
    IntoItself,
    AdministratorOnly,  // a device, which only the administrator may make
  };
  Kind kind = Kind::Writing;
  int error = 0;  // errno of the failing call
  // The innermost source item that failed; empty when the whole item did
  // (IntoItself).
  std::filesystem::path item;
};
bool CopyInto(const std::filesystem::path& source, const std::filesystem::path& destinationFolder,
              Failure* failure = nullptr);

}  // namespace framework::copytree
