#include "framework/core/files/MarkFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "framework/core/files/FileHandle.h"
#include "framework/core/threads/Baton.h"

namespace framework {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool MarkSized(const struct stat& info, std::string_view content) {
  return S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) == content.size();
}

// Opens `name` in folderFd for reading when it is a mark with this content.
// Its type is looked at first, so a pipe or a device of that name is never
// opened; what is opened must be the file looked at. Otherwise an invalid
// handle, and `why` says whether it is no mark or the look failed.
FileHandle OpenMark(int folderFd, const std::string& name, std::string_view content, MarkFile::Taken& why) {
  why = MarkFile::Taken::NotAMark;
  struct stat seen {};
  if (fstatat(folderFd, name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno != ENOENT) why = MarkFile::Taken::Unsure;
    return FileHandle();
  }
  if (!MarkSized(seen, content)) return FileHandle();
  FileHandle fd(openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat opened {};
  if (!fd.valid() || fstat(fd.get(), &opened) != 0) {
    if (errno != ENOENT && errno != ELOOP) why = MarkFile::Taken::Unsure;
    return FileHandle();
  }
  if (!SameFile(seen, opened) || !MarkSized(opened, content)) return FileHandle();
  std::string bytes(content.size() + 1, '\0');
  const ssize_t got = read(fd.get(), bytes.data(), bytes.size());
  if (got < 0) {
    why = MarkFile::Taken::Unsure;
    return FileHandle();
  }
  if (static_cast<std::size_t>(got) != content.size() || std::string_view(bytes.data(), content.size()) != content) {
    return FileHandle();
  }
  return fd;
}

// True when the lock is on. False with errno EWOULDBLOCK while another
// holder has it; NoLocksHere(errno) when the disk cannot lock at all.
bool Lock(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool HeldByAnother(int error) { return error == EWOULDBLOCK || error == EAGAIN; }

bool NoLocksHere(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL || error == ENOSYS; }

// A flush the disk does not offer (some user-space disks) is no failure.
bool Flushed(int fd) { return fsync(fd) == 0 || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP; }

bool WriteAll(int fd, std::string_view content) {
  for (std::string_view left = content; !left.empty();) {
    const ssize_t n = write(fd, left.data(), left.size());
    if (n <= 0) return false;
    left.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

void MarkFile::Release() {
  fd_.Reset();
  locked_ = false;
}

bool MarkFile::Create(int folderFd, const std::string& name, std::string_view content) {
  Release();
  BatonReleaser outside;
  FileHandle fd(openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (!fd.valid()) {
    lastError_ = FileErrorOf(errno);
    return false;
  }
  // Locked while still empty, which is no mark: by the time it is one,
  // it is held.
  const bool locked = Lock(fd.get());
  const bool usable = locked || NoLocksHere(errno);
  if (!usable || !WriteAll(fd.get(), content) || !Flushed(fd.get())) {
    lastError_ = usable ? FileErrorOf(errno) : FileError::Other;
    unlinkat(folderFd, name.c_str(), 0);
    return false;
  }
  fd_ = std::move(fd);
  locked_ = locked;
  lastError_ = FileError::None;
  return true;
}

MarkFile::Taken MarkFile::Take(int folderFd, const std::string& name, std::string_view content) {
  Release();
  BatonReleaser outside;
  Taken why = Taken::NotAMark;
  FileHandle fd = OpenMark(folderFd, name, content, why);
  if (!fd.valid()) return why;
  const bool locked = Lock(fd.get());
  if (!locked && HeldByAnother(errno)) return Taken::HeldElsewhere;
  if (!locked && !NoLocksHere(errno)) return Taken::Unsure;
  locked_ = locked;
  fd_ = std::move(fd);
  return Taken::Yes;
}

bool MarkFile::Is(int folderFd, const std::string& name, std::string_view content) {
  BatonReleaser outside;
  Taken why = Taken::NotAMark;
  return OpenMark(folderFd, name, content, why).valid();
}

}  // namespace framework
