// Open file descriptors for the walks that go by directory handles (the
// copy, the removal). Internal to the file layer.
#pragma once

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

// Appends the names in the folder open as folderFd, "." and ".." left out;
// false when the folder could not be read to its end.
bool ReadNames(int folderFd, std::vector<std::string>& names);

}  // namespace framework
