#include "framework/core/files/FileHandle.h"

#include <dirent.h>

#include <cerrno>
#include <cstring>

namespace framework {

bool ReadNames(int folderFd, std::vector<std::string>& names) {
  // The listing gets a descriptor of its own: closedir closes it.
  const int listFd = dup(folderFd);
  if (listFd < 0) return false;
  DIR* folder = fdopendir(listFd);
  if (!folder) {
    close(listFd);
    return false;
  }
  // Read from the start, also when the folder was read through folderFd before.
  rewinddir(folder);
  errno = 0;
  while (const dirent* entry = readdir(folder)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  const bool complete = errno == 0;
  closedir(folder);
  return complete;
}

}  // namespace framework
