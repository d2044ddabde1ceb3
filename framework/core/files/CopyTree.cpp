#include "framework/core/files/CopyTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#ifdef __APPLE__
#include <copyfile.h>
#include <sys/clonefile.h>
#endif

#include "framework/core/threads/Baton.h"
#include "framework/core/threads/StopRequest.h"

namespace framework::copytree {
namespace {

namespace fs = std::filesystem;

#ifndef O_NOATIME
#define O_NOATIME 0
#endif
#ifdef __APPLE__
constexpr int kNoAttribute = ENOATTR;
#else
constexpr int kNoAttribute = ENODATA;
#endif

// A large file is copied in pieces of at most this size; between two pieces
// the copy takes the baton back for a moment, so waiting program code gets
// its turn, and a stop is honoured, even in the middle of a file of many
// gigabytes.
constexpr std::size_t kPieceSize = 8u << 20;
// On a slow disk a piece is made smaller, down to this size, so that it
// takes about kPieceTime: a stop then waits for no more than that.
constexpr std::size_t kSmallestPiece = 1u << 20;
constexpr auto kPieceTime = std::chrono::milliseconds(100);
// Buffer of the plain read/write copy, used where the kernel cannot copy
// between the two file systems itself.
constexpr std::size_t kBufferSize = 1u << 20;

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
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

// The baton given up while the copy is inside system calls (nothing the
// copy touches meanwhile is program state). Between items the copy holds it
// and yields, like any loop of the program.
class OutsideBaton {
 public:
  OutsideBaton() { released_.emplace(); }
  // Takes the baton back for a moment so that program code waiting for it
  // runs, then gives it up again. False when a stop was requested.
  bool Checkpoint() {
    released_.reset();
    Yield();
    const bool stop = StopRequested();
    released_.emplace();
    return !stop;
  }
  // Takes the baton back for good.
  void Return() { released_.reset(); }

 private:
  std::optional<BatonReleaser> released_;
};

struct Times {
  timespec times[2];
};

Times TimesOf(const struct stat& info) {
#ifdef __APPLE__
  return {{info.st_atimespec, info.st_mtimespec}};
#else
  return {{info.st_atim, info.st_mtim}};
#endif
}

// A stop ends the copy like a failure, with a reason of its own
// (FolderItem tells it as FileError::Stopped).
bool Stopped() {
  errno = ECANCELED;
  return false;
}

// Metadata that the destination's file system cannot hold at all is let go
// (owners on a disk without owners, attributes on one without attributes);
// every other failure fails the copy.
bool CannotHold(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == EINVAL; }
bool CannotHoldAttributes(int error) { return error == EOPNOTSUPP || error == ENOTSUP; }

#ifdef __APPLE__
ssize_t ListAttributes(int fd, char* names, std::size_t size) { return flistxattr(fd, names, size, 0); }
ssize_t GetAttribute(int fd, const char* name, void* value, std::size_t size) {
  return fgetxattr(fd, name, value, size, 0, 0);
}
int SetAttribute(int fd, const char* name, const void* value, std::size_t size) {
  return fsetxattr(fd, name, value, size, 0, 0);
}
// macOS keeps the Finder's information and resource forks as attributes of
// its own; every one goes with the copy.
bool CopiedAttribute(const char*) { return true; }
#else
ssize_t ListAttributes(int fd, char* names, std::size_t size) { return flistxattr(fd, names, size); }
ssize_t GetAttribute(int fd, const char* name, void* value, std::size_t size) {
  return fgetxattr(fd, name, value, size);
}
int SetAttribute(int fd, const char* name, const void* value, std::size_t size) {
  return fsetxattr(fd, name, value, size, 0);
}
// The user's attributes, FinderInfo among them; security labels and access
// lists belong to the destination machine's policy.
bool CopiedAttribute(const char* name) { return std::strncmp(name, "user.", 5) == 0; }
#endif

// The names in a folder, "." and ".." left out.
bool ReadNames(int folderFd, std::vector<std::string>& names) {
  const int listFd = dup(folderFd);
  if (listFd < 0) return false;
  DIR* folder = fdopendir(listFd);
  if (!folder) {
    close(listFd);
    return false;
  }
  errno = 0;
  while (const dirent* entry = readdir(folder)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  const bool complete = errno == 0;
  closedir(folder);
  return complete;
}

// Removes what the copy created: `name` in `folderFd` and all inside it.
// Folders made read-only by the copy are opened up first.
void RemoveCreated(int folderFd, const std::string& name) {
  struct stat info {};
  if (fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (!S_ISDIR(info.st_mode)) {
    unlinkat(folderFd, name.c_str(), 0);
    return;
  }
  fchmodat(folderFd, name.c_str(), S_IRWXU, 0);
  Fd inner(openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (inner.valid()) {
    std::vector<std::string> names;
    ReadNames(inner.get(), names);
    for (const std::string& child : names) RemoveCreated(inner.get(), child);
  }
  unlinkat(folderFd, name.c_str(), AT_REMOVEDIR);
}

class TreeCopier {
 public:
  bool Run(const fs::path& source, const fs::path& destinationFolder);

 private:
  bool CopyItem(int sourceFolder, const std::string& name, int destinationFolder, const std::string& relative);
  bool CopyFolder(int sourceFolder, const std::string& name, const struct stat& info, int destinationFolder,
                  const std::string& relative, OutsideBaton& outside);
  bool CopyFile(int sourceFolder, const std::string& name, int destinationFolder, const std::string& relative,
                OutsideBaton& outside);
  bool CopyLink(int sourceFolder, const std::string& name, const struct stat& info, int destinationFolder,
                const std::string& relative);
  bool CopySpecial(const std::string& name, const struct stat& info, int destinationFolder,
                   const std::string& relative);
  bool CopyData(int in, int out, off_t size, OutsideBaton& outside);
  bool CopyAttributes(int in, int out);
  bool SetOwnerModeTimes(int fd, const struct stat& info);
  bool SetOwnerModeTimesAt(int folder, const std::string& name, const struct stat& info);
  // The copy's top item is ours once a creating call made it: a failure
  // then removes it, and never an item that stood there before.
  void Created(const std::string& relative) {
    if (relative == top_) createdTop_ = true;
  }

  int destinationRoot_ = -1;
  std::string top_;
  bool createdTop_ = false;
  const bool root_ = geteuid() == 0;
  // Items with more than one name: the first copy's path below the
  // destination folder, so that the other names become links to it.
  std::map<std::pair<dev_t, ino_t>, std::string> linked_;
  std::vector<char> buffer_;
  std::vector<char> attributeNames_;
  std::vector<char> attributeValue_;
};

bool TreeCopier::Run(const fs::path& source, const fs::path& destinationFolder) {
  top_ = source.filename().string();
  if (top_.empty() || top_ == "." || top_ == "..") return false;

  Fd sourceParent;
  Fd destination;
  {
    OutsideBaton outside;
    struct stat info {};
    if (lstat(source.c_str(), &info) != 0) return false;
    if (S_ISDIR(info.st_mode)) {
      // A folder copied into itself would never end.
      std::error_code error;
      const fs::path from = fs::canonical(source, error);
      if (error) return false;
      const fs::path into = fs::canonical(destinationFolder, error);
      if (error) return false;
      if (std::mismatch(from.begin(), from.end(), into.begin(), into.end()).first == from.end()) return false;
    }
    sourceParent = Fd(open(source.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    destination = Fd(open(destinationFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!sourceParent.valid() || !destination.valid()) return false;
  }
  destinationRoot_ = destination.get();
  if (CopyItem(sourceParent.get(), top_, destination.get(), top_)) return true;
  const int failure = errno;  // the reason, for the caller; the clean-up must not change it
  if (createdTop_) {
    OutsideBaton removing;
    RemoveCreated(destination.get(), top_);
  }
  errno = failure;
  return false;
}

bool TreeCopier::CopyItem(int sourceFolder, const std::string& name, int destinationFolder,
                          const std::string& relative) {
  // Asked with the baton held, before each item, the first one included.
  if (StopRequested()) return Stopped();
  OutsideBaton outside;
  struct stat info {};
  if (fstatat(sourceFolder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (S_ISDIR(info.st_mode)) return CopyFolder(sourceFolder, name, info, destinationFolder, relative, outside);

  const std::pair<dev_t, ino_t> identity{info.st_dev, info.st_ino};
  if (info.st_nlink > 1) {
    const auto first = linked_.find(identity);
    if (first != linked_.end()) {
      if (linkat(destinationRoot_, first->second.c_str(), destinationFolder, name.c_str(), 0) != 0) return false;
      Created(relative);
      return true;
    }
  }
  bool copied = false;
  if (S_ISREG(info.st_mode)) {
    copied = CopyFile(sourceFolder, name, destinationFolder, relative, outside);
  } else if (S_ISLNK(info.st_mode)) {
    copied = CopyLink(sourceFolder, name, info, destinationFolder, relative);
  } else {
    copied = CopySpecial(name, info, destinationFolder, relative);
  }
  if (copied && info.st_nlink > 1) linked_.emplace(identity, relative);
  return copied;
}

bool TreeCopier::CopyFolder(int sourceFolder, const std::string& name, const struct stat& info,
                            int destinationFolder, const std::string& relative, OutsideBaton& outside) {
  Fd in(openat(sourceFolder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!in.valid()) return false;
  std::vector<std::string> names;
  if (!ReadNames(in.get(), names)) return false;
  // Only the owner may enter while the contents arrive; the folder's own
  // mode follows when they are in.
  if (mkdirat(destinationFolder, name.c_str(), S_IRWXU) != 0) return false;
  Created(relative);
  Fd out(openat(destinationFolder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!out.valid()) return false;
  outside.Return();

  for (const std::string& child : names) {
    Yield();
    if (!CopyItem(in.get(), child, out.get(), relative + "/" + child)) return false;
  }

  OutsideBaton finishing;
  // The times last: adding the contents changed the folder's.
  return CopyAttributes(in.get(), out.get()) && SetOwnerModeTimes(out.get(), info) && out.Close();
}

bool TreeCopier::CopyFile(int sourceFolder, const std::string& name, int destinationFolder,
                          const std::string& relative, OutsideBaton& outside) {
  // O_NOATIME: copying leaves the old machine's access times as they were.
  // O_NONBLOCK: should the item have turned into a pipe meanwhile, opening
  // it must not wait for a writer.
  const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  Fd in(openat(sourceFolder, name.c_str(), flags | O_NOATIME));
  if (!in.valid() && errno == EPERM) in = Fd(openat(sourceFolder, name.c_str(), flags));
  if (!in.valid()) return false;
  struct stat info {};
  if (fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;

#ifdef __APPLE__
  // A clone shares the blocks and brings mode and attributes along; owner
  // and times are set as for any copy.
  if (clonefileat(sourceFolder, name.c_str(), destinationFolder, name.c_str(), CLONE_NOFOLLOW) == 0) {
    Created(relative);
    return SetOwnerModeTimesAt(destinationFolder, name, info);
  }
#endif
  Fd out(openat(destinationFolder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                S_IRUSR | S_IWUSR));
  if (!out.valid()) return false;
  Created(relative);
  // Attributes before the mode: a read-only mode would forbid writing them.
  return CopyData(in.get(), out.get(), info.st_size, outside) && CopyAttributes(in.get(), out.get()) &&
         SetOwnerModeTimes(out.get(), info) && out.Close();
}

bool TreeCopier::CopyData(int in, int out, off_t size, OutsideBaton& outside) {
#ifdef __APPLE__
  (void)size;
  (void)outside;
  return fcopyfile(in, out, nullptr, COPYFILE_DATA) == 0;
#else
  // The kernel copies within the file system itself (and shares blocks where
  // the file system can); between other pairs it refuses, and the plain
  // read/write loop copies instead.
  bool kernelCopy = true;
  off_t done = 0;
  std::size_t piece = kPieceSize;
  while (done < size) {
    const auto pieceStart = std::chrono::steady_clock::now();
    off_t pieceDone = 0;
    while (pieceDone < static_cast<off_t>(piece) && done < size) {
      const std::size_t want = static_cast<std::size_t>(std::min<off_t>(size - done, static_cast<off_t>(piece) - pieceDone));
      ssize_t copied = 0;
      if (kernelCopy) {
        copied = copy_file_range(in, nullptr, out, nullptr, want, 0);
        if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
          kernelCopy = false;
          continue;
        }
      } else {
        if (buffer_.empty()) buffer_.resize(kBufferSize);
        copied = read(in, buffer_.data(), std::min(want, buffer_.size()));
        for (ssize_t written = 0; copied > 0 && written < copied;) {
          const ssize_t n = write(out, buffer_.data() + written, static_cast<std::size_t>(copied - written));
          if (n < 0 && errno == EINTR) continue;
          if (n <= 0) return false;
          written += n;
        }
      }
      if (copied < 0 && errno == EINTR) continue;
      if (copied < 0) return false;
      if (copied == 0) return true;  // the file became shorter meanwhile: it is copied as it now stands
      done += copied;
      pieceDone += copied;
    }
    if (done >= size) break;
    // The next piece sized to take about kPieceTime on this disk.
    const auto took = std::chrono::steady_clock::now() - pieceStart;
    if (took > kPieceTime) piece = std::max(kSmallestPiece, piece / 2);
    else if (took < kPieceTime / 4) piece = std::min(kPieceSize, piece * 2);
    if (!outside.Checkpoint()) return Stopped();
  }
  return true;
#endif
}

bool TreeCopier::CopyLink(int sourceFolder, const std::string& name, const struct stat& info,
                          int destinationFolder, const std::string& relative) {
  std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
  while (true) {
    const ssize_t length = readlinkat(sourceFolder, name.c_str(), target.data(), target.size());
    if (length < 0) return false;
    if (static_cast<std::size_t>(length) < target.size()) {
      target.resize(static_cast<std::size_t>(length));
      break;
    }
    target.resize(target.size() * 2);  // the link changed meanwhile
  }
  if (symlinkat(target.c_str(), destinationFolder, name.c_str()) != 0) return false;
  Created(relative);
  // A link has no mode of its own to keep, and Linux allows it no user
  // attributes.
  if (root_ && fchownat(destinationFolder, name.c_str(), info.st_uid, info.st_gid, AT_SYMLINK_NOFOLLOW) != 0 &&
      !CannotHold(errno)) {
    return false;
  }
  const Times times = TimesOf(info);
  return utimensat(destinationFolder, name.c_str(), times.times, AT_SYMLINK_NOFOLLOW) == 0 || CannotHold(errno);
}

bool TreeCopier::CopySpecial(const std::string& name, const struct stat& info, int destinationFolder,
                             const std::string& relative) {
#ifdef __APPLE__
  (void)name;
  (void)info;
  (void)destinationFolder;
  (void)relative;
  return false;  // pipes and devices have no place in what is migrated
#else
  // Pipes and sockets are made anew as names; devices only where the
  // system allows it (it fails the copy elsewhere).
  if (mknodat(destinationFolder, name.c_str(), (info.st_mode & S_IFMT) | S_IRUSR | S_IWUSR, info.st_rdev) != 0) {
    return false;
  }
  Created(relative);
  return SetOwnerModeTimesAt(destinationFolder, name, info);
#endif
}

bool TreeCopier::CopyAttributes(int in, int out) {
  ssize_t length = ListAttributes(in, nullptr, 0);
  while (length > 0) {
    attributeNames_.resize(static_cast<std::size_t>(length));
    length = ListAttributes(in, attributeNames_.data(), attributeNames_.size());
    if (length >= 0 || errno != ERANGE) break;
    length = ListAttributes(in, nullptr, 0);  // one was added meanwhile
  }
  if (length < 0) return CannotHoldAttributes(errno);

  for (std::size_t at = 0; at < static_cast<std::size_t>(length);) {
    const char* name = attributeNames_.data() + at;
    at += std::strlen(name) + 1;
    if (!CopiedAttribute(name)) continue;
    ssize_t size = GetAttribute(in, name, nullptr, 0);
    while (size >= 0) {
      attributeValue_.resize(static_cast<std::size_t>(size) + 1);
      size = GetAttribute(in, name, attributeValue_.data(), attributeValue_.size());
      if (size >= 0 || errno != ERANGE) break;
      size = GetAttribute(in, name, nullptr, 0);
    }
    if (size < 0 && errno == kNoAttribute) continue;  // removed meanwhile
    if (size < 0) return false;
    if (SetAttribute(out, name, attributeValue_.data(), static_cast<std::size_t>(size)) != 0) {
      if (CannotHoldAttributes(errno)) return true;
      return false;
    }
  }
  return true;
}

bool TreeCopier::SetOwnerModeTimes(int fd, const struct stat& info) {
  // The owner first: changing it clears the set-id bits that the mode then
  // puts back.
  if (root_ && fchown(fd, info.st_uid, info.st_gid) != 0 && !CannotHold(errno)) return false;
  if (fchmod(fd, info.st_mode & 07777) != 0 && !CannotHold(errno)) return false;
  const Times times = TimesOf(info);
  return futimens(fd, times.times) == 0 || CannotHold(errno);
}

bool TreeCopier::SetOwnerModeTimesAt(int folder, const std::string& name, const struct stat& info) {
  if (root_ && fchownat(folder, name.c_str(), info.st_uid, info.st_gid, AT_SYMLINK_NOFOLLOW) != 0 &&
      !CannotHold(errno)) {
    return false;
  }
  if (fchmodat(folder, name.c_str(), info.st_mode & 07777, 0) != 0 && !CannotHold(errno)) return false;
  const Times times = TimesOf(info);
  return utimensat(folder, name.c_str(), times.times, AT_SYMLINK_NOFOLLOW) == 0 || CannotHold(errno);
}

}  // namespace

bool CopyInto(const fs::path& source, const fs::path& destinationFolder) {
  TreeCopier copier;
  return copier.Run(source, destinationFolder);
}

}  // namespace framework::copytree
