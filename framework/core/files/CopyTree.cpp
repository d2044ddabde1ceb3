#include "framework/core/files/CopyTree.h"

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

#include "framework/core/files/FileHandle.h"
#include "framework/core/files/RemoveTree.h"
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
// The plain copy passes over zero blocks of this size where it makes the
// holes itself: the smallest block the usual file systems allocate.
constexpr std::size_t kZeroBlock = 4096;

using Fd = FileHandle;

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

// Metadata that the destination's file system cannot hold at all is let go
// (owners on a disk without owners, attributes on one without attributes);
// every other failure fails the copy.
bool CannotHold(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == EINVAL; }
bool CannotHoldAttributes(int error) { return error == EOPNOTSUPP || error == ENOTSUP; }

#ifndef __APPLE__
// The destination takes no more: full, or the file too large for it, or
// read-only.
bool DestinationRefuses(int error) {
  return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EROFS;
}

// Writes all `length` bytes at data to the place `at` of out; false with
// errno telling why it could not.
bool WriteAt(int out, const char* data, std::size_t length, off_t at) {
  for (std::size_t written = 0; written < length;) {
    const ssize_t n = pwrite(out, data + written, length - written, at + static_cast<off_t>(written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// True when the `length` bytes at data are all zero: compared with
// themselves one byte on, which the library does fast.
bool AllZero(const char* data, std::size_t length) {
  return length == 0 || (data[0] == 0 && std::memcmp(data, data + 1, length - 1) == 0);
}
#endif

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

class TreeCopier {
 public:
  bool Run(const fs::path& source, const fs::path& destinationFolder);
  const Failure& failure() const { return failure_; }

 private:
  bool CopyItem(int sourceFolder, const std::string& name, int destinationFolder, const std::string& relative);
  bool CopyFolder(int sourceFolder, const std::string& name, const struct stat& info, int destinationFolder,
                  const std::string& relative, OutsideBaton& outside);
  bool CopyFile(int sourceFolder, const std::string& name, int destinationFolder, const std::string& relative,
                OutsideBaton& outside);
  bool LinkToFirstCopy(const std::string& first, int destinationFolder, const std::string& name);
  bool CopyLink(int sourceFolder, const std::string& name, const struct stat& info, int destinationFolder,
                const std::string& relative);
  bool CopySpecial(const std::string& name, const struct stat& info, int destinationFolder,
                   const std::string& relative);
  bool CopyData(int in, int out, const struct stat& info, OutsideBaton& outside);
  bool CopyRange(int in, int out, off_t from, off_t to, OutsideBaton& outside, bool overZeros = false);
  // Reads up to `want` bytes at `at` and writes them at the same place in
  // out; with overZeros, blocks of nothing but zeros are passed over (the
  // size is set afterwards). The bytes read: 0 at the end of the file, -1
  // when it failed (recorded).
  ssize_t ReadAndWrite(int in, int out, off_t at, std::size_t want, bool overZeros);
  bool Pause(OutsideBaton& outside);
  bool CopyAttributes(int in, int out);
  bool SetOwnerModeTimes(int fd, const struct stat& info);
  bool SetOwnerModeTimesAt(int folder, const std::string& name, const struct stat& info);
  // The copy's top item is ours once a creating call made it: a failure
  // then removes it, and never an item that stood there before.
  void Created(const std::string& relative) {
    if (relative == top_) createdTop_ = true;
  }
  // Each records why the item in hand failed, errno telling, and returns
  // false. Only the first failure is kept: the innermost item's.
  bool Failed(Failure::Kind kind) {
    if (!failed_) {
      failed_ = true;
      failure_.kind = kind;
      failure_.error = errno;
      failure_.item = sourceParent_ / current_;
    }
    errno = failure_.error;
    return false;
  }
  bool Reading() { return Failed(Failure::Kind::Reading); }
  bool Writing() { return Failed(Failure::Kind::Writing); }
  bool Changed() {
    errno = EAGAIN;
    return Failed(Failure::Kind::Changed);
  }
  bool Stopped() {
    errno = ECANCELED;
    return Failed(Failure::Kind::Stopped);
  }
  bool IntoItself() {
    errno = EINVAL;
    Failed(Failure::Kind::IntoItself);
    failure_.item.clear();
    return false;
  }

  int destinationRoot_ = -1;
  std::string top_;
  fs::path sourceParent_;
  std::string current_;  // the item in hand, below sourceParent_
  bool createdTop_ = false;
  bool failed_ = false;
  Failure failure_;
  const bool root_ = geteuid() == 0;
  // Items with more than one name: the first copy's path below the
  // destination folder, so that the other names become links to it.
  std::map<std::pair<dev_t, ino_t>, std::string> linked_;
  // The folder this copy made for the top item, once it is made.
  std::pair<dev_t, ino_t> topCopy_{0, 0};
  bool kernelCopy_ = true;
  // Pieces of file data: the present size, and how much of one and since
  // when was copied since the copy last took the baton back.
  std::size_t piece_ = kPieceSize;
  std::size_t sincePause_ = 0;
  std::chrono::steady_clock::time_point pieceStart_ = std::chrono::steady_clock::now();
  std::vector<char> buffer_;
  std::vector<char> attributeNames_;
  std::vector<char> attributeValue_;
};

bool TreeCopier::Run(const fs::path& source, const fs::path& destinationFolder) {
  top_ = source.filename().string();
  sourceParent_ = source.parent_path();
  current_ = top_;
  if (top_.empty() || top_ == "." || top_ == "..") {
    errno = EINVAL;
    return Reading();
  }

  Fd sourceParent;
  Fd destination;
  {
    OutsideBaton outside;
    struct stat info {};
    if (lstat(source.c_str(), &info) != 0) return Reading();
    if (S_ISDIR(info.st_mode)) {
      // A folder copied into itself would never end.
      std::error_code error;
      const fs::path from = fs::canonical(source, error);
      if (error) return Reading();
      const fs::path into = fs::canonical(destinationFolder, error);
      if (error) return Writing();
      if (std::mismatch(from.begin(), from.end(), into.begin(), into.end()).first == from.end()) return IntoItself();
    }
    sourceParent = Fd(open(sourceParent_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!sourceParent.valid()) return Reading();
    destination = Fd(open(destinationFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!destination.valid()) return Writing();
  }
  destinationRoot_ = destination.get();
  if (CopyItem(sourceParent.get(), top_, destination.get(), top_)) return true;
  if (createdTop_) RemoveAt(destination.get(), top_);
  errno = failure_.error;  // the reason, for the caller; the clean-up must not change it
  return false;
}

bool TreeCopier::CopyItem(int sourceFolder, const std::string& name, int destinationFolder,
                          const std::string& relative) {
  current_ = relative;
  // Asked with the baton held, before each item, the first one included.
  if (StopRequested()) return Stopped();
  OutsideBaton outside;
  struct stat info {};
  if (fstatat(sourceFolder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return Reading();
  if (S_ISDIR(info.st_mode)) return CopyFolder(sourceFolder, name, info, destinationFolder, relative, outside);

  const std::pair<dev_t, ino_t> identity{info.st_dev, info.st_ino};
  if (info.st_nlink > 1) {
    const auto first = linked_.find(identity);
    if (first != linked_.end()) {
      if (!LinkToFirstCopy(first->second, destinationFolder, name)) return Writing();
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
  if (!in.valid()) return Reading();
  std::vector<std::string> names;
  if (!ReadNames(in.get(), names)) return Reading();
  // The folder copied from is the copy being made: the destination lies
  // inside the item by a way the check of paths cannot see (a mount).
  if (std::pair{info.st_dev, info.st_ino} == topCopy_) return IntoItself();
  // Only the owner may enter while the contents arrive; the folder's own
  // mode follows when they are in.
  if (mkdirat(destinationFolder, name.c_str(), S_IRWXU) != 0) return Writing();
  Created(relative);
  Fd out(openat(destinationFolder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!out.valid()) return Writing();
  if (relative == top_) {
    struct stat made {};
    if (fstat(out.get(), &made) != 0) return Writing();
    topCopy_ = {made.st_dev, made.st_ino};
  }
  outside.Return();

  for (const std::string& child : names) {
    Yield();
    if (!CopyItem(in.get(), child, out.get(), relative + "/" + child)) return false;
  }

  current_ = relative;
  OutsideBaton finishing;
  // The times last: adding the contents changed the folder's.
  return CopyAttributes(in.get(), out.get()) && SetOwnerModeTimes(out.get(), info) && (out.Close() || Writing());
}

bool SameContentState(const struct stat& before, const struct stat& after) {
  const Times a = TimesOf(before);
  const Times b = TimesOf(after);
  return before.st_size == after.st_size && a.times[1].tv_sec == b.times[1].tv_sec &&
         a.times[1].tv_nsec == b.times[1].tv_nsec;
}

bool TreeCopier::CopyFile(int sourceFolder, const std::string& name, int destinationFolder,
                          const std::string& relative, OutsideBaton& outside) {
  // O_NOATIME: copying leaves the old machine's access times as they were.
  // O_NONBLOCK: should the item have turned into a pipe meanwhile, opening
  // it must not wait for a writer.
  const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  Fd in(openat(sourceFolder, name.c_str(), flags | O_NOATIME));
  if (!in.valid() && errno == EPERM) in = Fd(openat(sourceFolder, name.c_str(), flags));
  if (!in.valid()) return Reading();
  struct stat info {};
  if (fstat(in.get(), &info) != 0) return Reading();
  if (!S_ISREG(info.st_mode)) return Changed();

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
  if (!out.valid()) return Writing();
  Created(relative);
  // A file written to while it was copied (its size or modification time
  // moved) is copied once more as it then stands; a second change fails it,
  // rather than pass off a mixture of two versions as the file.
  for (int attempt = 1;; ++attempt) {
    if (!CopyData(in.get(), out.get(), info, outside)) return false;
    struct stat after {};
    if (fstat(in.get(), &after) != 0) return Reading();
    if (SameContentState(info, after)) break;
    if (attempt == 2) return Changed();
    info = after;
    if (ftruncate(out.get(), 0) != 0) return Writing();
  }
  // Attributes before the mode: a read-only mode would forbid writing them.
  return CopyAttributes(in.get(), out.get()) && SetOwnerModeTimes(out.get(), info) && (out.Close() || Writing());
}

bool TreeCopier::CopyData(int in, int out, const struct stat& info, OutsideBaton& outside) {
#ifdef __APPLE__
  (void)info;
  (void)outside;
  return fcopyfile(in, out, nullptr, COPYFILE_DATA) == 0 || Writing();
#else
  // Only the extents that hold data are copied: a hole stays a hole, so a
  // sparse file takes no more room in the copy than in the original (and no
  // more time). A file with as many blocks as its size needs has no holes
  // to look for.
  const off_t size = info.st_size;
  if (info.st_blocks * 512 >= size) return CopyRange(in, out, 0, size, outside);
  // A file system that cannot tell where the holes are (many a FUSE disk)
  // reports the whole file as data: the runs of zero blocks are then taken
  // for the holes, as the file is read.
  const off_t firstHole = lseek(in, 0, SEEK_HOLE);
  if (firstHole < 0 || firstHole >= size) {
    return CopyRange(in, out, 0, size, outside, /*overZeros=*/true) && (ftruncate(out, size) == 0 || Writing());
  }
  off_t at = 0;
  while (at < size) {
    off_t data = lseek(in, at, SEEK_DATA);
    if (data < 0 && errno == ENXIO) break;  // nothing but a hole up to the end
    if (data < 0) data = at;
    if (data >= size) break;
    off_t hole = lseek(in, data, SEEK_HOLE);
    if (hole < 0 || hole > size) hole = size;
    if (!CopyRange(in, out, data, hole, outside)) return false;
    at = hole;
  }
  // A hole at the end is made by the size alone.
  return at >= size || ftruncate(out, size) == 0 || Writing();
#endif
}

#ifndef __APPLE__
bool TreeCopier::CopyRange(int in, int out, off_t from, off_t to, OutsideBaton& outside, bool overZeros) {
  // The kernel copies within the file system itself (and shares blocks where
  // the file system can); between other pairs it refuses, and the plain
  // read/write loop copies instead. The plain loop also takes over for the
  // rest of the range where the kernel's copy fails without telling which
  // side failed, or finds nothing more before the end: a read tells both,
  // and only a read that finds nothing is the end. Zero blocks are passed
  // over by the plain loop alone.
  bool kernel = kernelCopy_ && !overZeros;
  off_t inAt = from;
  off_t outAt = from;
  while (inAt < to) {
    const std::size_t want = static_cast<std::size_t>(std::min<off_t>(to - inAt, static_cast<off_t>(piece_ - sincePause_)));
    ssize_t copied = 0;
    if (kernel) {
      copied = copy_file_range(in, &inAt, out, &outAt, want, 0);
      if (copied < 0 && errno == EINTR) continue;
      if (copied < 0 && DestinationRefuses(errno)) return Writing();
      if (copied <= 0) {
        // Refused for this pair of file systems: for every file after this one too.
        if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
          kernelCopy_ = false;
        }
        kernel = false;
        continue;
      }
    } else {
      copied = ReadAndWrite(in, out, inAt, want, overZeros);
      if (copied < 0) return false;
      if (copied == 0) return true;  // shorter than it was: the check after the copy sees it
      inAt += copied;
      outAt += copied;
    }
    sincePause_ += static_cast<std::size_t>(copied);
    if (sincePause_ >= piece_ && !Pause(outside)) return false;
  }
  return true;
}

ssize_t TreeCopier::ReadAndWrite(int in, int out, off_t at, std::size_t want, bool overZeros) {
  if (buffer_.empty()) buffer_.resize(kBufferSize);
  ssize_t got = 0;
  do {
    got = pread(in, buffer_.data(), std::min(want, buffer_.size()), at);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    Reading();
    return -1;
  }
  const char* data = buffer_.data();
  const std::size_t length = static_cast<std::size_t>(got);
  for (std::size_t done = 0; done < length;) {
    // A block of zeros is passed over (it stays a hole); a run of blocks
    // that hold data is written at once.
    std::size_t end = length;
    if (overZeros) {
      const auto blockEnd = [&](std::size_t from) { return std::min(from + kZeroBlock, length); };
      for (end = done; end < length && !AllZero(data + end, blockEnd(end) - end);) end = blockEnd(end);
      if (end == done) {
        done = blockEnd(done);
        continue;
      }
    }
    if (!WriteAt(out, data + done, end - done, at + static_cast<off_t>(done))) {
      Writing();
      return -1;
    }
    done = end;
  }
  return got;
}
#endif

bool TreeCopier::Pause(OutsideBaton& outside) {
  // The next piece sized to take about kPieceTime on this disk.
  const auto now = std::chrono::steady_clock::now();
  if (now - pieceStart_ > kPieceTime) {
    piece_ = std::max(kSmallestPiece, piece_ / 2);
  } else if (now - pieceStart_ < kPieceTime / 4) {
    piece_ = std::min(kPieceSize, piece_ * 2);
  }
  // Between pieces: waiting program code runs, and a stop is honoured.
  outside.Return();
  Yield();
  if (StopRequested()) return Stopped();
  outside.Leave();
  pieceStart_ = std::chrono::steady_clock::now();
  sincePause_ = 0;
  return true;
}

bool TreeCopier::LinkToFirstCopy(const std::string& first, int destinationFolder, const std::string& name) {
  // The way to the first copy is taken one folder at a time, by handles: in
  // a tree deeper than a path can name, its path is too long for any call.
  Fd folder;
  int at = destinationRoot_;
  std::size_t start = 0;
  for (std::size_t slash = first.find('/'); slash != std::string::npos; slash = first.find('/', start)) {
    folder = Fd(openat(at, first.substr(start, slash - start).c_str(), kFolderPlace | O_NOFOLLOW));
    if (!folder.valid()) return false;
    at = folder.get();
    start = slash + 1;
  }
  return linkat(at, first.c_str() + start, destinationFolder, name.c_str(), 0) == 0;
}

bool TreeCopier::CopyLink(int sourceFolder, const std::string& name, const struct stat& info,
                          int destinationFolder, const std::string& relative) {
  std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
  while (true) {
    const ssize_t length = readlinkat(sourceFolder, name.c_str(), target.data(), target.size());
    if (length < 0) return Reading();
    if (static_cast<std::size_t>(length) < target.size()) {
      target.resize(static_cast<std::size_t>(length));
      break;
    }
    target.resize(target.size() * 2);  // the link changed meanwhile
  }
  if (symlinkat(target.c_str(), destinationFolder, name.c_str()) != 0) return Writing();
  Created(relative);
  // A link has no mode of its own to keep, and Linux allows it no user
  // attributes.
  if (root_ && fchownat(destinationFolder, name.c_str(), info.st_uid, info.st_gid, AT_SYMLINK_NOFOLLOW) != 0 &&
      !CannotHold(errno)) {
    return Writing();
  }
  const Times times = TimesOf(info);
  return utimensat(destinationFolder, name.c_str(), times.times, AT_SYMLINK_NOFOLLOW) == 0 || CannotHold(errno) ||
         Writing();
}

bool TreeCopier::CopySpecial(const std::string& name, const struct stat& info, int destinationFolder,
                             const std::string& relative) {
#ifdef __APPLE__
  (void)name;
  (void)info;
  (void)destinationFolder;
  (void)relative;
  errno = ENOTSUP;
  return Reading();  // pipes and devices have no place in what is migrated
#else
  // Pipes and sockets are made anew as names; devices only where the
  // system allows it (it fails the copy elsewhere): only the administrator
  // may make one.
  if (mknodat(destinationFolder, name.c_str(), (info.st_mode & S_IFMT) | S_IRUSR | S_IWUSR, info.st_rdev) != 0) {
    const bool device = S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode);
    return errno == EPERM && device && !root_ ? Failed(Failure::Kind::AdministratorOnly) : Writing();
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
  if (length < 0) return CannotHoldAttributes(errno) || Reading();

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
    if (size < 0) return Reading();
    if (SetAttribute(out, name, attributeValue_.data(), static_cast<std::size_t>(size)) != 0) {
      return CannotHoldAttributes(errno) || Writing();
    }
  }
  return true;
}

bool TreeCopier::SetOwnerModeTimes(int fd, const struct stat& info) {
  // The owner first: changing it clears the set-id bits that the mode then
  // puts back.
  if (root_ && fchown(fd, info.st_uid, info.st_gid) != 0 && !CannotHold(errno)) return Writing();
  if (fchmod(fd, info.st_mode & 07777) != 0 && !CannotHold(errno)) return Writing();
  const Times times = TimesOf(info);
  return futimens(fd, times.times) == 0 || CannotHold(errno) || Writing();
}

bool TreeCopier::SetOwnerModeTimesAt(int folder, const std::string& name, const struct stat& info) {
  if (root_ && fchownat(folder, name.c_str(), info.st_uid, info.st_gid, AT_SYMLINK_NOFOLLOW) != 0 &&
      !CannotHold(errno)) {
    return Writing();
  }
  if (fchmodat(folder, name.c_str(), info.st_mode & 07777, 0) != 0 && !CannotHold(errno)) return Writing();
  const Times times = TimesOf(info);
  return utimensat(folder, name.c_str(), times.times, AT_SYMLINK_NOFOLLOW) == 0 || CannotHold(errno) || Writing();
}

}  // namespace

bool CopyInto(const fs::path& source, const fs::path& destinationFolder, Failure* failure) {
  TreeCopier copier;
  if (copier.Run(source, destinationFolder)) return true;
  if (failure) *failure = copier.failure();
  errno = copier.failure().error;
  return false;
}

}  // namespace framework::copytree
