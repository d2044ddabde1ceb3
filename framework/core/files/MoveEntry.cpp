#include "framework/core/files/MoveEntry.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "framework/core/threads/Baton.h"

namespace framework {

bool MoveEntry(int fromFolder, const std::string& name, int toFolder, const std::string& newName) {
  BatonReleaser outside;
  const char* from = name.c_str();
  const char* to = newName.c_str();
#ifdef __APPLE__
  return renameatx_np(fromFolder, from, toFolder, to, RENAME_EXCL) == 0;
#else
  if (renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
  struct stat info {};
  if (fstatat(fromFolder, from, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (!S_ISDIR(info.st_mode)) {
    if (linkat(fromFolder, from, toFolder, to, 0) == 0) {
      if (unlinkat(fromFolder, from, 0) == 0) return true;
      const int error = errno;
      unlinkat(toFolder, to, 0);
      errno = error;
      return false;
    }
    if (errno == EEXIST) return false;
  }
  struct stat existing {};
  if (fstatat(toFolder, to, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return false;
  }
  return renameat(fromFolder, from, toFolder, to) == 0;
#endif
}

}  // namespace framework
