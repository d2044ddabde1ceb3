#include "framework/core/files/RemoveTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

#include <cerrno>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/files/FileHandle.h"
#include "framework/core/threads/Baton.h"

namespace framework {
namespace {

using Identity = std::pair<dev_t, ino_t>;

Identity IdentityOf(const struct stat& info) { return {info.st_dev, info.st_ino}; }

bool Gone(int result) { return result == 0 || errno == ENOENT; }

// A handle on the folder `name` in folderFd itself, never on a link's
// target: what the removal then does to the folder it does through it.
// Where such a handle reads the folder (no O_PATH), a folder closed to its
// owner (mode 000) opens only once its mode has changed, which then goes by
// name and can reach nothing else: only a real folder of the tree's disk,
// as seen without following links, is changed, by a call that follows no
// link put in its place meanwhile (where the system cannot change a mode
// so, the folder stays closed, and the removal tells it), and the folder
// then opened must be the one seen.
FileHandle OpenPlace(int folderFd, const std::string& name, dev_t treeDevice) {
  FileHandle place(openat(folderFd, name.c_str(), kFolderPlace | O_NOFOLLOW));
#ifdef O_PATH
  (void)treeDevice;
#else
  struct stat seen {};
  if (place.valid() || errno != EACCES || fstatat(folderFd, name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0) {
    return place;
  }
  if (!S_ISDIR(seen.st_mode) || seen.st_dev != treeDevice) {
    errno = EACCES;
    return place;
  }
  if (fchmodat(folderFd, name.c_str(), (seen.st_mode | S_IRWXU) & 07777, AT_SYMLINK_NOFOLLOW) != 0) return place;
  place = FileHandle(openat(folderFd, name.c_str(), kFolderPlace | O_NOFOLLOW));
  struct stat opened {};
  if (place.valid() && (fstat(place.get(), &opened) != 0 || IdentityOf(opened) != IdentityOf(seen))) {
    place.Reset();
    errno = ENOENT;  // another item took the name meanwhile
  }
#endif
  return place;
}

// True when a mount stands on the folder held as place: another disk, or a
// folder of the same disk (or of the tree itself) bound there. Its contents
// are not the tree's to remove. The kernel marks a mount's root; where it
// cannot, only another disk is seen, by its device number.
bool MountStandsOn(int place, dev_t treeDevice) {
#ifndef __linux__
  struct stat own {};
  return fstat(place, &own) != 0 || own.st_dev != treeDevice;
#else
  struct statx info {};
  if (statx(place, "", AT_EMPTY_PATH, STATX_TYPE, &info) != 0) return true;  // unknown: left alone
  if ((info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
    return (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  }
  return makedev(info.stx_dev_major, info.stx_dev_minor) != treeDevice;
#endif
}

// Opens the folder held as place for emptying: its owner may then list,
// enter and change it, whatever its mode was. A handle held only for its
// place cannot change the mode itself (fchmod refuses it), but its entry in
// /proc names that very folder, so no link can turn the change elsewhere.
// Where the handle is an open folder (no such handles there), it changes
// the mode itself.
FileHandle OpenForEmptying(const FileHandle& place) {
  struct stat info {};
  if (!place.valid() || fstat(place.get(), &info) != 0) return FileHandle();
  if ((info.st_mode & S_IRWXU) != S_IRWXU) {
    const mode_t mode = (info.st_mode | S_IRWXU) & 07777;
#ifdef O_PATH
    chmod(("/proc/self/fd/" + std::to_string(place.get())).c_str(), mode);  // should it fail, the open tells
#else
    fchmod(place.get(), mode);
#endif
  }
  return FileHandle(openat(place.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// One folder on the way down: its names, how far they were handled, and who
// it is (so that the way back up through ".." is checked).
struct Level {
  std::vector<std::string> names;
  std::size_t next = 0;
  Identity identity;
};

class TreeRemover {
 public:
  bool Run(int folderFd, const std::string& name);

 private:
  void Failed() {
    if (firstError_ == 0) firstError_ = errno;
  }
  // Handles the next name of the folder in hand: removed, left (failed), or
  // entered. True when it entered a folder.
  bool Step(Level& level);
  bool EnterLevel(FileHandle folder);

  OutsideBaton outside_;
  FileHandle current_;
  std::vector<Level> levels_;
  std::set<Identity> stuck_;  // folders that could not be emptied
  int firstError_ = 0;
  dev_t device_ = 0;  // the tree's own disk
};

bool TreeRemover::EnterLevel(FileHandle folder) {
  struct stat info {};
  if (!folder.valid() || fstat(folder.get(), &info) != 0) return false;
  Level level;
  level.identity = IdentityOf(info);
  if (!ReadNames(folder.get(), level.names)) Failed();
  current_ = std::move(folder);
  levels_.push_back(std::move(level));
  return true;
}

bool TreeRemover::Step(Level& level) {
  const std::string& name = level.names[level.next++];
  const int here = current_.get();
  struct stat info {};
  if (fstatat(here, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno != ENOENT) Failed();
    return false;
  }
  if (!S_ISDIR(info.st_mode)) {
    if (!Gone(unlinkat(here, name.c_str(), 0))) Failed();
    return false;
  }
  if (Gone(unlinkat(here, name.c_str(), AT_REMOVEDIR))) return false;
  if (stuck_.count(IdentityOf(info))) {
    Failed();
    return false;
  }
  const FileHandle place = OpenPlace(here, name, device_);
  if (place.valid() && MountStandsOn(place.get(), device_)) {
    errno = EBUSY;
    Failed();
    return false;
  }
  // Entered; once it has been emptied this name is tried again.
  --level.next;
  if (EnterLevel(OpenForEmptying(place))) return true;
  Failed();
  stuck_.insert(IdentityOf(info));
  ++level.next;
  return false;
}

bool TreeRemover::Run(int folderFd, const std::string& name) {
  struct stat info {};
  if (fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(info.st_mode)) return Gone(unlinkat(folderFd, name.c_str(), 0));
  if (Gone(unlinkat(folderFd, name.c_str(), AT_REMOVEDIR))) return true;
  device_ = info.st_dev;
  if (!EnterLevel(OpenForEmptying(OpenPlace(folderFd, name, device_)))) return false;

  while (!levels_.empty()) {
    Level& level = levels_.back();
    if (level.next < level.names.size()) {
      outside_.Checkpoint();
      Step(level);
      continue;
    }
    // This folder is as empty as it gets; back up to its parent, which then
    // tries to remove it once more (a folder that still cannot go, such as
    // an immutable one, is not entered again).
    stuck_.insert(level.identity);
    levels_.pop_back();
    if (levels_.empty()) break;
    FileHandle parent(openat(current_.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat parentInfo {};
    if (!parent.valid() || fstat(parent.get(), &parentInfo) != 0 ||
        IdentityOf(parentInfo) != levels_.back().identity) {
      // The tree was moved meanwhile: never wander outside it.
      if (firstError_ == 0) firstError_ = ENOENT;
      break;
    }
    current_ = std::move(parent);
  }
  current_.Reset();
  if (Gone(unlinkat(folderFd, name.c_str(), AT_REMOVEDIR))) return true;
  if (firstError_ != 0) errno = firstError_;
  return false;
}

}  // namespace

bool RemoveAt(int folderFd, const std::string& name) {
  TreeRemover remover;
  return remover.Run(folderFd, name);
}

bool RemoveTree(const std::filesystem::path& item) {
  const std::filesystem::path parent = item.has_parent_path() ? item.parent_path() : ".";
  const std::string name = item.filename().string();
  if (name.empty() || name == "." || name == "..") {
    errno = EINVAL;
    return false;
  }
  FileHandle folder;
  {
    OutsideBaton outside;
    folder = FileHandle(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }
  if (!folder.valid()) return errno == ENOENT;
  return RemoveAt(folder.get(), name);
}

}  // namespace framework
