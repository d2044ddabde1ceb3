#include "framework/core/files/RemoveTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <utility>
#include <vector>

#include "framework/core/files/FileHandle.h"
#include "framework/core/threads/Baton.h"

namespace framework {
namespace {

using Identity = std::pair<dev_t, ino_t>;

Identity IdentityOf(const struct stat& info) { return {info.st_dev, info.st_ino}; }

bool Gone(int result) { return result == 0 || errno == ENOENT; }

// Opens the folder `name` in folderFd for emptying: its owner may then list,
// enter and change it, whatever its mode was.
FileHandle OpenForEmptying(int folderFd, const std::string& name, const struct stat& info) {
  if ((info.st_mode & S_IRWXU) != S_IRWXU) fchmodat(folderFd, name.c_str(), (info.st_mode | S_IRWXU) & 07777, 0);
  return FileHandle(openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
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
  // Another disk mounted inside the tree is not the tree's to empty.
  if (info.st_dev != device_ || stuck_.count(IdentityOf(info))) {
    Failed();
    return false;
  }
  // Entered; once it has been emptied this name is tried again.
  --level.next;
  if (EnterLevel(OpenForEmptying(here, name, info))) return true;
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
  if (!EnterLevel(OpenForEmptying(folderFd, name, info))) return false;

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
