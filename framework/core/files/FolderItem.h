// A reference to a file or folder by path; the item need not exist.
//
// The program speaks of items by classic colon paths ("Volume:dir:sub:", a
// folder's path ending in ":"); underneath, an item is a POSIX path. A ":"
// inside a POSIX name shows as "/" in the colon path and back, as on the Mac
// (where ":" separates the components of a colon path, and "/" those of a
// POSIX path). The volume of an item is the volume table's entry with the
// longest mount point above it (FileSystemSetup.h); paths are taken as they
// are written, links on the way are not resolved.
//
// Decisions of this framework (the program relies on none of them beyond
// what is written here):
//   - Enumeration (Count, Item) lists the entries directly inside a folder,
//     sorted by name bytes, "." and ".." left out, nothing else filtered. A
//     symbolic link is listed as itself and never followed: Directory() is
//     false for it, so a recursive walk never leaves its tree. Count() re-reads
//     the folder only when it changed (its inode, modification or change
//     time), so loops that read the count before every pass stay cheap. A
//     folder changed within the last moment is re-read every time: the
//     file system's clock is coarse, and a second change in the same tick
//     would leave the times as they were.
//   - Child(name) is the entry of exactly that name, as the disk itself
//     finds it: another entry is another item, however alike the names
//     (only a disk that ignores letter case, such as vfat, finds a name in
//     another case, by its own lookup). Every decision about an item
//     already there (replace it, keep it, refuse, delete) goes by Child.
//   - FindChild(name) is for finding what the Mac spelled without regard to
//     case (real bundles spell "Contents" where the program asks for
//     "contents"; a recorded name on the old disk): the exact entry, else
//     the single entry whose name differs only in letter case (simple case
//     folding, so "ß" never matches "ss") or Unicode composition (names
//     copied from a Mac arrive decomposed), both names well-formed UTF-8.
//     Names of other bytes match only exactly.
//   - MacType is "fold" for a folder; for a file the first four bytes of its
//     FinderInfo extended attribute, MacCreator the next four; "" without one.
//   - Long operations (CopyFileTo, listing a folder, MoveFileTo) give the
//     baton up during their system calls, so the window and other workers go
//     on; CopyFileTo yields between items and between pieces of a large file.
//   - A name as a text: the POSIX name's bytes, tagged UTF-8 when they are
//     UTF-8, else of unknown encoding (so such a name finds its item again).
//   - A volume's root is named by the volume (Name) and has no Parent.
//   - The old machine's disk, on the network route: the program names it
//     once, with SetOldMachineDisk, when the person chooses it, and the view
//     in force (FileSystemSetup.h) holds its root. Every system call made
//     for an item beneath that root (whether it exists or is a folder, its
//     listing and Finder information, opening, copying, moving, deleting
//     it, LinkTarget) takes the item's path as the old machine would: the
//     links on the way, and the last one where the call follows it,
//     resolved inside the root, an absolute link from the root, ".." never
//     above it (ResolveInRoot.h). A link written there as
//     "/home/taro/Data" so means that folder on the old disk, never this
//     machine's folder of that path. Items keep the paths they were named
//     by; only the system calls see where the links lead. Once the disk is
//     no volume of the view any more, or its mount point holds another
//     folder or another mount than when it was fixed (unmounted, or
//     another disk mounted there, however alike), nothing beneath the root
//     is found. Everywhere else, and on the device route, where the old
//     machine is this machine, links are followed as this machine follows
//     them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/text/String.h"

namespace framework {

class FolderItem;
using FolderItemPtr = std::shared_ptr<FolderItem>;
class TextInputStream;
class TextOutputStream;
class BinaryStream;
using TextInputStreamPtr = std::shared_ptr<TextInputStream>;
using TextOutputStreamPtr = std::shared_ptr<TextOutputStream>;
using BinaryStreamPtr = std::shared_ptr<BinaryStream>;

// Why the last CreateAsFolder, CopyFileTo, MoveFileTo or Delete of an item
// failed, in words the person can act on.
enum class FileError : std::uint8_t {
  None,
  NoRoom,        // the disk is full
  NotPermitted,  // the disk or folder cannot be written
  NotFound,      // the item (or a part of its tree) is not there
  NameTaken,     // an item of that name is there already
  Stopped,       // a stop was requested midway (StopRequest.h)
  Other,
  NotReadable,   // the item (or a part of its tree) cannot be read
  Changed,       // a file changed while it was copied, and again on the second try
  ReadOnly,      // the disk is read-only (mounted so, or a locked device)
  IntoItself,    // the destination lies inside the item copied (a folder into itself)
  // Only the administrator may make such an item (a device).
  AdministratorOnly,
  ReadFailed,       // the disk failed while the item was read
  WriteFailed,      // the disk failed while it was written
  DestinationGone,  // the destination folder is no longer there (its disk went away)
};

// The reason a system call that failed with errno `error` gives the person,
// as the operations of FolderItem report it.
FileError FileErrorOf(int error);

class FolderItem : public std::enable_shared_from_this<FolderItem> {
 public:
  explicit FolderItem(std::filesystem::path posixPath);
  static FolderItemPtr FromPosix(std::filesystem::path posixPath);

  const std::filesystem::path& PosixPath() const { return path_; }

  bool Exists() const;     // the item (a link: its target) exists
  bool Directory() const;  // a real folder, not a link to one
  bool Visible() const;    // false for names beginning "." and the FinderInfo invisible flag
  String Name() const;     // the POSIX name (a ":" in it stays ":"); a volume's root: the volume's name
  String AbsolutePath() const;  // colon path from the volume name; folders end in ":"
  String MacType() const;
  String MacCreator() const;

  std::int32_t Count();                   // entries directly inside; 0 for a file or a missing item
  FolderItemPtr Item(std::int32_t index);  // 1-based; nullptr out of range
  // Existing or not; nullptr for "", ".", ".." or a name with "/".
  FolderItemPtr Child(const String& name) const;
  // For finding only (see above); the same refusals.
  FolderItemPtr FindChild(const String& name) const;
  FolderItemPtr Parent() const;  // nullptr for a volume's root

  bool CreateAsFolder();  // in an existing parent; false when it fails or exists
  // Copies this file or folder tree into the existing folder `destination`
  // under its own name. Keeps symbolic links as links (never followed, also
  // when this item is one), hard links inside the tree as hard links, modes
  // (set-id bits included), owners when run as root, access and
  // modification times of files, folders and links, and extended attributes
  // (on Linux those of the "user." namespace, FinderInfo among them). On
  // Linux pipes and sockets are made anew, devices only where the system
  // allows it; on macOS such an item fails the copy.
  // Never replaces an existing item of that name, and never copies a folder
  // into itself. On failure (an unreadable item, a full or read-only disk, a
  // source item that vanished meanwhile) removes what it created and returns
  // false; true only when everything was copied. While a StopCheck on this
  // thread asks for a stop (StopRequest.h), asked before each item and
  // between pieces of a large file, it ends early the same way and fails
  // with FileError::Stopped. Metadata the destination's
  // file system cannot hold at all (owners, modes or attributes on a disk
  // without them) is let go without failing the copy.
  bool CopyFileTo(const FolderItemPtr& destination);
  // Moves this item within its file system to `destination` under `newName`
  // (rename). Never replaces an existing item. True on success; a
  // destination folder that is no longer there fails as DestinationGone.
  bool MoveFileTo(const FolderItemPtr& destination, const String& newName);
  // Swaps this item and `other` (both existing, on one file system) in one
  // atomic step: each then stands under the other's name, and neither name
  // is empty at any moment. False, changing nothing, where the file system
  // cannot (LastError Other) or either item is missing.
  bool ExchangeWith(const FolderItemPtr& other);
  // Removes a file, a link (never its target) or an empty folder.
  bool Delete();
  // For an item that is a symbolic link: the item it leads to, followed to
  // its end as Exists follows it (beneath the old machine's disk, as that
  // machine sees it), or nullptr when it leads nowhere. Any other item:
  // this item itself, unless the way to it leads nowhere on the old
  // machine's disk (a folder on it missing, the disk gone): nullptr.
  FolderItemPtr LinkTarget();
  // The reason the last of those operations on this item failed; None after
  // one that succeeded.
  FileError LastError() const { return lastError_; }
  // The innermost item of this one's tree that the last failed CopyFileTo
  // could not copy (this item itself, or a file deep inside it); nullptr
  // where the item failed as a whole (IntoItself), after any other failure
  // or a success.
  FolderItemPtr LastErrorItem() const { return lastErrorItem_; }

  TextInputStreamPtr OpenAsTextFile() const;         // nullptr when it cannot be read or is a folder
  TextOutputStreamPtr CreateTextFile() const;        // created empty (truncated); nullptr on failure
  // An existing file, for reading, or for reading and writing; nullptr on
  // failure and for a folder.
  BinaryStreamPtr OpenAsBinaryFile(bool write = false) const;

 private:
  void RefreshListing();
  bool Note(bool succeeded);  // records errno's reason when it failed
  bool MoveTo(const FolderItemPtr& destination, const String& newName) const;

  FileError lastError_ = FileError::None;
  FolderItemPtr lastErrorItem_;

  std::filesystem::path path_;  // absolute and lexically normal
  // Cached listing for Count/Item; revalidated by the folder's inode,
  // modification and change times.
  std::vector<std::string> entries_;
  std::int64_t listedMtimeNs_ = -1;
  std::int64_t listedCtimeNs_ = -1;
  std::int64_t listedAtNs_ = 0;  // wall clock when the listing was taken
  std::uint64_t listedInode_ = 0;
  bool listed_ = false;
};

// The empty text: the folder that holds the running program (the folder that
// holds its bundle when it runs inside "X.app/Contents/MacOS/"). A bare name:
// that item in the same folder. An absolute colon path ("Vol:a:b", a
// trailing ":" allowed): that item. nullptr when the path names no volume,
// holds an empty component ("Vol:a::b", which the Mac reads as "go up";
// refused so that a slip in joining paths cannot reach a folder above the
// intended one) or the component "." or "..".
FolderItemPtr GetFolderItem(const String& path);

// Mounted volumes of the view in force (FileSystemSetup.h); volume 0 is the
// start-up disk. nullptr out of range.
FolderItemPtr Volume(std::int32_t index);
std::int32_t VolumeCount();

// The old machine's disk on the network route, fixed from now on for every
// item beneath it (see the head of this file); nullptr for the device route
// (nothing fixed). Fixing a disk that cannot be read fixes one that is gone.
void SetOldMachineDisk(const FolderItemPtr& disk);
// The disk fixed, also once it has gone (then nothing is found on it);
// nullptr when none is.
FolderItemPtr OldMachineDisk();

// The current user's folders of the view in force; nullptr where the view
// has none.
namespace SpecialFolder {
FolderItemPtr Applications();
FolderItemPtr Preferences();
FolderItemPtr ApplicationData();
FolderItemPtr Documents();
}  // namespace SpecialFolder

}  // namespace framework
