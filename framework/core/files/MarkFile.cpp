#include "framework/core/files/MarkFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "framework/core/threads/Baton.h"

namespace framework {
namespace {

// Opens path for reading when it is a mark with this content; -1 otherwise.
// Not blocking: a pipe of that name must not hold the caller.
int OpenMark(const std::filesystem::path& path, std::string_view content) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info {};
  std::string bytes(content.size() + 1, '\0');
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                       static_cast<std::size_t>(info.st_size) == content.size();
  if (!regular || read(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(content.size()) ||
      std::string_view(bytes.data(), content.size()) != content) {
    close(fd);
    return -1;
  }
  return fd;
}

// True when the lock is on; false with errno EWOULDBLOCK while another
// holder has it, else the disk cannot lock.
bool Lock(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool HeldByAnother(int error) { return error == EWOULDBLOCK || error == EAGAIN; }

// A flush the disk does not offer (some user-space disks) is no failure.
bool Flushed(int fd) { return fsync(fd) == 0 || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP; }

}  // namespace

MarkFile::MarkFile(MarkFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), locked_(std::exchange(other.locked_, false)), lastError_(other.lastError_) {}

MarkFile& MarkFile::operator=(MarkFile&& other) noexcept {
  Release();
  fd_ = std::exchange(other.fd_, -1);
  locked_ = std::exchange(other.locked_, false);
  lastError_ = other.lastError_;
  return *this;
}

void MarkFile::Release() {
  if (fd_ >= 0) close(std::exchange(fd_, -1));
  locked_ = false;
}

bool MarkFile::Create(const std::filesystem::path& path, std::string_view content) {
  Release();
  BatonReleaser outside;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    lastError_ = FileErrorOf(errno);
    return false;
  }
  bool written = true;
  for (std::string_view left = content; written && !left.empty();) {
    const ssize_t n = write(fd, left.data(), left.size());
    written = n > 0;
    if (written) left.remove_prefix(static_cast<std::size_t>(n));
  }
  if (!written || !Flushed(fd)) {
    lastError_ = FileErrorOf(errno);
    close(fd);
    unlink(path.c_str());
    return false;
  }
  fd_ = fd;
  locked_ = Lock(fd);
  lastError_ = FileError::None;
  return true;
}

MarkFile::Taken MarkFile::Take(const std::filesystem::path& path, std::string_view content) {
  Release();
  BatonReleaser outside;
  const int fd = OpenMark(path, content);
  if (fd < 0) return Taken::NotAMark;
  if (Lock(fd)) {
    locked_ = true;
  } else if (HeldByAnother(errno)) {
    close(fd);
    return Taken::HeldElsewhere;
  }
  fd_ = fd;
  return Taken::Yes;
}

bool MarkFile::Is(const std::filesystem::path& path, std::string_view content) {
  BatonReleaser outside;
  const int fd = OpenMark(path, content);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace framework
