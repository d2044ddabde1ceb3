#include "framework/core/files/ResolveInRoot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#endif

#include <cerrno>
#include <climits>
#include <deque>
#include <string>
#include <vector>

#include "framework/core/files/FileHandle.h"

namespace framework::inroot {
namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows in one lookup before it gives ELOOP.
constexpr int kMostLinks = 40;

#if defined(__linux__) && !defined(STATX_MNT_ID_UNIQUE)
#define STATX_MNT_ID_UNIQUE 0x4000U  // Linux 6.8; older headers lack the name
#endif

// The folder open as fd, named `path`: which folder of which mount it is.
// Nothing when it cannot be told or is no folder.
std::optional<DiskRoot> FolderAt(const fs::path& path, int fd) {
#ifdef __linux__
  struct statx info {};
  // A kernel that does not know the unique id passes over the bit, and one
  // that does gives that id alone.
  if (statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_INO | STATX_MNT_ID | STATX_MNT_ID_UNIQUE, &info) != 0 ||
      !S_ISDIR(info.stx_mode)) {
    return std::nullopt;
  }
  DiskRoot folder{path, makedev(info.stx_dev_major, info.stx_dev_minor), info.stx_ino};
  for (const std::uint32_t kind : {STATX_MNT_ID_UNIQUE, STATX_MNT_ID}) {
    if ((info.stx_mask & kind) != 0) {
      folder.mount = info.stx_mnt_id;
      folder.mountKind = kind;
      break;
    }
  }
  return folder;
#else
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return DiskRoot{path, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
#endif
}

// The root, open, when it is still the folder and the mount that were
// fixed; else an invalid handle with errno ENOENT: the disk has gone, and
// nothing on it is found (never what now lies at its mount point, not even
// another disk mounted there whose root looks alike).
FileHandle OpenRoot(const DiskRoot& root) {
  FileHandle fd(open(root.path.c_str(), kFolderPlace));
  if (!fd.valid()) return fd;
  if (FolderAt(root.path, fd.get()) != root) {
    errno = ENOENT;
    return FileHandle();
  }
  return fd;
}

std::optional<std::string> LinkText(const fs::path& link) {
  std::string text(PATH_MAX, '\0');
  const ssize_t got = readlink(link.c_str(), text.data(), text.size());
  if (got < 0) return std::nullopt;
  if (static_cast<std::size_t>(got) >= text.size()) {
    errno = ENAMETOOLONG;
    return std::nullopt;
  }
  text.resize(static_cast<std::size_t>(got));
  return text;
}

void PushFront(std::deque<std::string>& todo, const fs::path& path) {
  std::vector<std::string> parts;
  for (const fs::path& part : path.relative_path()) parts.push_back(part.string());
  todo.insert(todo.begin(), parts.begin(), parts.end());
}

fs::path Joined(const fs::path& root, const std::vector<std::string>& components) {
  fs::path path = root;
  for (const std::string& name : components) path /= name;
  return path;
}

// Every link on the way followed, the last one too, by hand: the components
// reached so far are real folders of the disk, so a plain lstat of the next
// one follows nothing else.
std::optional<fs::path> WalkAll(const DiskRoot& root, const fs::path& relative) {
  std::vector<std::string> reached;
  std::deque<std::string> todo;
  PushFront(todo, relative);
  int links = 0;
  while (!todo.empty()) {
    const std::string name = todo.front();
    todo.pop_front();
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      // The folders reached are no links, so their parent is the real one;
      // at the root ".." stays there, as at "/".
      if (!reached.empty()) reached.pop_back();
      continue;
    }
    const fs::path here = Joined(root.path, reached) / name;
    struct stat info {};
    if (lstat(here.c_str(), &info) != 0) return std::nullopt;
    if (S_ISLNK(info.st_mode)) {
      if (++links > kMostLinks) {
        errno = ELOOP;
        return std::nullopt;
      }
      const std::optional<std::string> target = LinkText(here);
      if (!target) return std::nullopt;
      const fs::path targetPath(*target);
      if (targetPath.is_absolute()) reached.clear();
      PushFront(todo, targetPath);
      continue;
    }
    if (!todo.empty() && !S_ISDIR(info.st_mode)) {
      errno = ENOTDIR;
      return std::nullopt;
    }
    reached.push_back(name);
  }
  return Joined(root.path, reached);
}

#ifdef __linux__
// The kernel's resolution. ENOSYS (as errno) where it cannot be had here:
// a kernel before 5.6, a sandbox that forbids the call, no /proc, a race it
// declines to settle.
std::optional<fs::path> KernelAll(const DiskRoot& root, int rootFd, const fs::path& relative) {
  open_how how{};
  how.flags = O_PATH | O_CLOEXEC;
  how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
  const long opened = syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how);
  if (opened < 0) {
    // EPERM: a seccomp filter's answer. EAGAIN: a folder renamed meanwhile
    // kept the kernel from making sure that ".." stayed inside; the walk
    // takes what is there now.
    if (errno == EPERM || errno == EAGAIN) errno = ENOSYS;
    return std::nullopt;
  }
  const FileHandle item(static_cast<int>(opened));
  // Where it landed, named through the root as the kernel names both.
  const std::optional<std::string> at = LinkText("/proc/self/fd/" + std::to_string(item.get()));
  const std::optional<std::string> top = LinkText("/proc/self/fd/" + std::to_string(rootFd));
  if (!at || !top) {
    errno = ENOSYS;
    return std::nullopt;
  }
  if (*at == *top) return root.path;
  const std::string prefix = *top == "/" ? *top : *top + "/";
  if (!at->starts_with(prefix)) {
    // Named outside the root (the root moved meanwhile): the walk decides.
    errno = ENOSYS;
    return std::nullopt;
  }
  return root.path / at->substr(prefix.size());
}
#endif

std::optional<fs::path> ResolveAll(const DiskRoot& root, int rootFd, const fs::path& relative, Method method) {
  if (relative.empty()) return root.path;
#ifdef __linux__
  if (method != Method::Walk) {
    std::optional<fs::path> resolved = KernelAll(root, rootFd, relative);
    if (resolved || errno != ENOSYS || method == Method::KernelOnly) return resolved;
  }
#else
  (void)rootFd;
  if (method == Method::KernelOnly) {
    errno = ENOSYS;
    return std::nullopt;
  }
#endif
  return WalkAll(root, relative);
}

}  // namespace

std::optional<DiskRoot> RootAt(const fs::path& folder) {
  const FileHandle fd(open(folder.c_str(), kFolderPlace));
  if (!fd.valid()) return std::nullopt;
  return FolderAt(folder, fd.get());
}

bool Beneath(const DiskRoot& root, const fs::path& path) {
  if (root.path.empty()) return false;
  auto inRoot = root.path.begin();
  auto inPath = path.begin();
  for (; inRoot != root.path.end(); ++inRoot, ++inPath) {
    if (inPath == path.end() || *inRoot != *inPath) return false;
  }
  return true;
}

std::optional<fs::path> Resolve(const DiskRoot& root, const fs::path& path, bool followLast, Method method) {
  const FileHandle rootFd = OpenRoot(root);
  if (!rootFd.valid()) return std::nullopt;
  const fs::path relative = path.lexically_relative(root.path);
  if (relative.empty() || relative == ".") return root.path;
  // The folder that holds the last component: every link on its way
  // followed. The last component then stands as it is in that folder.
  const std::optional<fs::path> folder = ResolveAll(root, rootFd.get(), relative.parent_path(), method);
  if (!folder) return std::nullopt;
  const fs::path item = *folder / relative.filename();
  struct stat info {};
  if (!followLast || lstat(item.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return item;
  return ResolveAll(root, rootFd.get(), relative, method);
}

}  // namespace framework::inroot
