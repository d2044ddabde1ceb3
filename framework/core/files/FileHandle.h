// Open file descriptors for the walks that go by directory handles (the
// copy, the removal). Internal to the file layer.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace framework {

// A file descriptor that closes itself.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() { Reset(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    Reset();
    fd_ = std::exchange(other.fd_, -1);
    return *this;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closing can report a failed write-back (network file systems do).
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }
  void Reset() {
    if (fd_ >= 0) close(std::exchange(fd_, -1));
  }

 private:
  int fd_ = -1;
};

// How a folder is opened only to stand for its place: to reach what is in
// it by name, to check what it is, to link into it. On Linux without reading
// it, so that a folder closed to its owner (mode 000) still opens; where the
// system has no such handle, for reading.
#ifdef O_PATH
inline constexpr int kFolderPlace = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
inline constexpr int kFolderPlace = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Appends the names in the folder open as folderFd, "." and ".." left out;
// false when the folder could not be read to its end.
bool ReadNames(int folderFd, std::vector<std::string>& names);

}  // namespace framework
