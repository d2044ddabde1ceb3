// CopyFileTo: a tree with every kind of item is copied and both sides are
// compared in full (type, mode, owner, size, times, link targets, extended
// attributes, contents, hard-link groups); failures leave nothing behind and
// the source as it was; the copy gives the baton up while it works.
#include <gtest/gtest.h>

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/files/FinderInfo.h"
#include "framework/core/files/FolderItem.h"
#include "framework/core/files/RemoveTree.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/StopRequest.h"
#include "framework/core/threads/Thread.h"

// Set by a test: the kernel's copy then gives a file's first KiB at the most
// and after it answers "nothing more" (0) before the end, as some file
// systems' copies do. The function below stands in for the library's.
static std::atomic<bool> gKernelCopyStopsShort{false};
static std::atomic<int> gKernelCopiesCutShort{0};
extern "C" ssize_t copy_file_range(int in, off64_t* inAt, int out, off64_t* outAt, size_t length,
                                   unsigned flags) noexcept {
  using Real = ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned);
  static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "copy_file_range"));
  if (gKernelCopyStopsShort && inAt != nullptr && *inAt >= 1024) {
    ++gKernelCopiesCutShort;
    return 0;
  }
  return real(in, inAt, out, outAt, gKernelCopyStopsShort ? std::min<size_t>(length, 1024) : length, flags);
}

namespace {

namespace fs = std::filesystem;
using framework::FolderItem;
using framework::FolderItemPtr;
namespace finderinfo = framework::finderinfo;

const bool kRoot = geteuid() == 0;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "olvan-copy-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    // Read-only folders of the fixture must open up to be removed.
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(path_, error); !error && it != fs::end(it); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error)) chmod(it->path().c_str(), 0700);
    }
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// ---- Listing: one line per item, everything a faithful copy keeps. ----

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string Fingerprint(const std::string& bytes) {
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string ContentHash(const fs::path& file) {
  // O_NOATIME: the listing must not change the times it compares.
  int fd = open(file.c_str(), O_RDONLY | O_NOATIME | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) fd = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return "unreadable";
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) {
    for (ssize_t i = 0; i < n; ++i) hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
  }
  close(fd);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string Attributes(const fs::path& item) {
  char names[65536];
  const ssize_t length = llistxattr(item.c_str(), names, sizeof names);
  std::vector<std::string> found;
  for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
    const std::string name = names + at;
    if (!name.starts_with("user.")) continue;
    std::string value(65536, '\0');
    const ssize_t size = lgetxattr(item.c_str(), name.c_str(), value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    found.push_back(name + "=" + (value.size() > 64 ? "#" + Fingerprint(value) : Hex(value)));
  }
  std::sort(found.begin(), found.end());
  std::string out;
  for (const auto& one : found) out += one + ";";
  return out;
}

struct Inode {
  dev_t device;
  ino_t inode;
  auto operator<=>(const Inode&) const = default;
};

void Walk(const fs::path& top, const fs::path& relative, std::map<std::string, std::string>& lines,
          std::map<Inode, std::vector<std::string>>& inodes) {
  const fs::path path = relative.empty() ? top : top / relative;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return;
  const std::string name = relative.empty() ? "." : relative.string();
  std::ostringstream line;
  line << std::oct << (info.st_mode & 07777) << std::dec << " " << info.st_uid << ":" << info.st_gid << " mtime "
       << info.st_mtim.tv_sec << "." << info.st_mtim.tv_nsec;
  // Reading a folder or a link stamps its access time (the listing itself
  // does), and a folder's size depends on its history: neither is the
  // copy's to keep.
  if (S_ISDIR(info.st_mode)) {
    line << " folder";
  } else {
    if (!S_ISLNK(info.st_mode)) line << " atime " << info.st_atim.tv_sec << "." << info.st_atim.tv_nsec;
    line << " size " << info.st_size;
    if (info.st_nlink > 1) inodes[{info.st_dev, info.st_ino}].push_back(name);
  }
  if (S_ISREG(info.st_mode)) line << " file " << ContentHash(path);
  if (S_ISLNK(info.st_mode)) line << " link -> " << fs::read_symlink(path).string();
  if (S_ISFIFO(info.st_mode)) line << " pipe";
  line << " xattr " << Attributes(path);
  lines[name] = line.str();
  if (!S_ISDIR(info.st_mode)) return;
  std::vector<std::string> children;
  if (DIR* folder = opendir(path.c_str())) {
    while (const dirent* entry = readdir(folder)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) children.push_back(entry->d_name);
    }
    closedir(folder);
  }
  for (const auto& child : children) Walk(top, relative / child, lines, inodes);
}

// The whole tree at `top` as text, one sorted line per item; items that
// share an inode are marked with the first of their names.
std::string Listing(const fs::path& top, std::set<Inode>* inodesOut = nullptr) {
  std::map<std::string, std::string> lines;
  std::map<Inode, std::vector<std::string>> inodes;
  Walk(top, {}, lines, inodes);
  for (auto& [inode, names] : inodes) {
    std::sort(names.begin(), names.end());
    for (const auto& name : names) lines[name] += " same-as " + names.front();
  }
  if (inodesOut) {
    for (const auto& [inode, names] : inodes) inodesOut->insert(inode);
  }
  std::string out;
  for (const auto& [name, line] : lines) out += name + ": " + line + "\n";
  return out;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  if (DIR* listing = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(listing)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.push_back(entry->d_name);
    }
    closedir(listing);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// ---- The tree with every kind of item. ----

void Write(const fs::path& path, const std::string& content, mode_t mode = 0644) {
  std::ofstream(path, std::ios::binary) << content;
  chmod(path.c_str(), mode);
}

std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  std::uint32_t x = 12345;
  for (auto& c : data) {
    x = x * 1664525u + 1013904223u;
    c = static_cast<char>(x >> 24);
  }
  return data;
}

void SetAttribute(const fs::path& path, const std::string& name, const std::string& value) {
  if (lsetxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) != 0) {
    throw std::runtime_error("setxattr " + path.string() + " " + name);
  }
}

// Old times, each item its own, to the nanosecond; deepest items first so
// that setting a folder's time comes after its contents were made.
void Age(const fs::path& top) {
  std::vector<fs::path> items;
  for (auto it = fs::recursive_directory_iterator(top); it != fs::end(it); ++it) items.push_back(it->path());
  items.push_back(top);
  std::sort(items.begin(), items.end(), [](const fs::path& a, const fs::path& b) {
    return std::distance(a.begin(), a.end()) > std::distance(b.begin(), b.end());
  });
  long second = 978307200;  // 2001-01-01
  for (const auto& item : items) {
    const timespec times[2] = {{second, 123456789}, {second - 86400, 987654321}};
    if (utimensat(AT_FDCWD, item.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) throw std::runtime_error("utimensat");
    second += 3607;
  }
}

fs::path BuildEverything(const fs::path& where) {
  const fs::path top = where / "Old Mac 書類";
  fs::create_directories(top);
  Write(top / "plain.txt", "hello\n");
  Write(top / "empty", "", 0600);
  Write(top / "script.sh", "#!/bin/sh\n", 0755);
  Write(top / "setuid", "s", 04755);
  Write(top / "setgid", "g", 02750);
  Write(top / "big.bin", Pattern(20u << 20));  // more than one piece of the copy
  Write(top / "a:b", "colon in the name");
  Write(top / "メモ.txt", "日本語の名前");
  Write(top / "tab\tand space", "odd name");
  Write(top / ".hidden", "dot");

  const fs::path bundle = top / "Tool.app" / "Contents";
  fs::create_directories(bundle / "MacOS");
  fs::create_directories(bundle / "Resources");
  fs::create_directories(bundle / "Frameworks" / "F.framework" / "Versions" / "A");
  Write(bundle / "PkgInfo", "APPLabcd");
  Write(bundle / "MacOS" / "Tool", "binary", 0755);
  Write(bundle / "Frameworks" / "F.framework" / "Versions" / "A" / "F", "library", 0755);
  fs::create_directory_symlink("A", bundle / "Frameworks" / "F.framework" / "Versions" / "Current");
  fs::create_symlink("Versions/Current/F", bundle / "Frameworks" / "F.framework" / "F");

  fs::create_directories(top / "empty folder");
  fs::create_directories(top / "private");
  chmod((top / "private").c_str(), 0700);
  Write(top / "private" / "secret", "s3cret", 0600);
  fs::create_directories(top / "sticky");
  chmod((top / "sticky").c_str(), 01777);

  fs::create_symlink("plain.txt", top / "link-to-file");
  fs::create_directory_symlink("Tool.app", top / "link-to-folder");
  fs::create_symlink("does/not/exist", top / "broken");
  fs::create_symlink("/etc/hostname", top / "absolute");
  fs::create_symlink(std::string(1000, 'x'), top / "long-link");

  Write(top / "hard1", "shared content");
  fs::create_hard_link(top / "hard1", top / "hard2");
  fs::create_hard_link(top / "hard1", top / "private" / "hard3");
  if (linkat(AT_FDCWD, (top / "link-to-file").c_str(), AT_FDCWD, (top / "link-hard").c_str(), 0) != 0) {
    throw std::runtime_error("hard link to a link");
  }
  if (mkfifo((top / "pipe").c_str(), 0640) != 0) throw std::runtime_error("mkfifo");

  SetAttribute(top / "plain.txt", "user.comment", "コメント");
  SetAttribute(top / "plain.txt", "user.binary", std::string("\0\1\2\0", 4));
  SetAttribute(top / "big.bin", "user.large", Pattern(3000));
  SetAttribute(top / "empty folder", "user.folder", "on a folder");
  if (!finderinfo::Write(top / "plain.txt", finderinfo::Make("TEXT", "ttxt", finderinfo::kIsInvisible)) ||
      !finderinfo::Write(top / "Tool.app", finderinfo::Make("\0\0\0\0", "\0\0\0\0", 0x2000))) {
    throw std::runtime_error("FinderInfo");
  }
  Write(top / "readonly", "read only", 0644);
  SetAttribute(top / "readonly", "user.kept", "before the mode");
  chmod((top / "readonly").c_str(), 0444);

  fs::create_directories(top / "locked folder");
  Write(top / "locked folder" / "inside", "in a read-only folder");
  chmod((top / "locked folder").c_str(), 0555);

  if (kRoot) {
    if (chown((top / "setgid").c_str(), 1234, 5678) != 0 || lchown((top / "broken").c_str(), 4321, 8765) != 0 ||
        chown((top / "empty folder").c_str(), 2222, 3333) != 0) {
      throw std::runtime_error("chown");
    }
    // Changing the owner cleared the set-group-id bit.
    chmod((top / "setgid").c_str(), 02750);
  }
  Age(top);
  return top;
}

// ---- Helpers for copies that must fail, run in a child process. ----

// Runs `body` in a child process; its exit code (77: the child could not
// set up what the test needs).
int InChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool PrivateMounts() {
  return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Root reads everything; without its effective capabilities it is bound by
// the modes like anyone.
bool DropEffectiveCapabilities() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  for (auto& one : data) one.effective = 0;
  return syscall(SYS_capset, &header, data) == 0;
}

class CopyWorker : public framework::Thread {
 public:
  CopyWorker(FolderItemPtr source, FolderItemPtr destination)
      : source_(std::move(source)), destination_(std::move(destination)) {}
  bool copied = false;

 protected:
  void Event_Run() override { copied = source_->CopyFileTo(destination_); }

 private:
  FolderItemPtr source_;
  FolderItemPtr destination_;
};

class CopyFileToTest : public testing::Test {
 protected:
  void SetUp() override {
    source_ = temp_.path() / "source";
    destination_ = temp_.path() / "destination";
    fs::create_directories(source_);
    fs::create_directories(destination_);
  }
  bool Copy(const fs::path& item) { return FolderItem::FromPosix(item)->CopyFileTo(FolderItem::FromPosix(destination_)); }

  TempFolder temp_;
  fs::path source_;
  fs::path destination_;
};

TEST_F(CopyFileToTest, WorkerCopiesEveryKindOfItemFaithfully) {
  const fs::path top = BuildEverything(source_);
  std::set<Inode> sourceInodes;
  const std::string before = Listing(top, &sourceInodes);

  auto worker = std::make_shared<CopyWorker>(FolderItem::FromPosix(top), FolderItem::FromPosix(destination_));
  worker->Run();
  worker->WaitUntilDone();
  ASSERT_TRUE(worker->copied);

  std::set<Inode> copyInodes;
  EXPECT_EQ(Listing(destination_ / top.filename(), &copyInodes), before);
  EXPECT_EQ(Listing(top), before) << "the source changed";
  EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{top.filename().string()});
  for (const Inode& inode : copyInodes) {
    EXPECT_EQ(sourceInodes.count(inode), 0u) << "a copy shares an inode with the source";
  }
}

TEST_F(CopyFileToTest, CopiesFaithfullyToAnotherFileSystem) {
  if (!kRoot) GTEST_SKIP() << "mounting a second file system needs root";
  const fs::path top = BuildEverything(source_);
  const std::string before = Listing(top);
  const fs::path result = temp_.path() / "listing";
  // The kernel does not copy between file systems, so this takes the plain
  // read/write path.
  const int status = InChild([&] {
    if (!PrivateMounts() || mount("olvan", destination_.c_str(), "tmpfs", 0, "size=64m") != 0) return 77;
    if (!Copy(top)) return 1;
    std::ofstream(result) << Listing(destination_ / top.filename());
    return 0;
  });
  if (status == 77) GTEST_SKIP() << "no private mount namespace here";
  ASSERT_EQ(status, 0) << "the copy failed";
  std::ifstream listing(result);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(listing), {}), before);
  EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{}) << "the copy went past the mounted disk";
}

TEST_F(CopyFileToTest, SingleItemsAreCopiedAsThemselves) {
  Write(source_ / "doc", "content", 0640);
  SetAttribute(source_ / "doc", "user.x", "y");
  fs::create_directories(source_ / "target");
  fs::create_directory_symlink("target", source_ / "folder-link");
  fs::create_symlink("gone", source_ / "broken-link");
  Age(source_);

  for (const char* name : {"doc", "folder-link", "broken-link"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Copy(source_ / name));
    EXPECT_EQ(Listing(destination_ / name), Listing(source_ / name));
  }
  EXPECT_EQ(NamesIn(destination_), (std::vector<std::string>{"broken-link", "doc", "folder-link"}));
}

TEST_F(CopyFileToTest, NeverReplacesAnItemOfTheSameName) {
  fs::create_directories(source_ / "top" / "sub");
  Write(source_ / "top" / "sub" / "file", "new");
  Write(source_ / "file", "new");
  Write(destination_ / "top", "old file in the way");
  fs::create_symlink("nowhere", destination_ / "file");
  const std::string destinationBefore = Listing(destination_);

  EXPECT_FALSE(Copy(source_ / "top"));
  EXPECT_FALSE(Copy(source_ / "file"));
  EXPECT_EQ(Listing(destination_), destinationBefore);
}

TEST_F(CopyFileToTest, RefusesToCopyAFolderIntoItself) {
  fs::create_directories(source_ / "top" / "sub");
  Write(source_ / "top" / "file", "x");
  const std::string before = Listing(source_);
  const auto top = FolderItem::FromPosix(source_ / "top");
  for (const FolderItemPtr& into : {FolderItem::FromPosix(source_ / "top" / "sub"), top}) {
    SCOPED_TRACE(into->PosixPath().string());
    EXPECT_FALSE(top->CopyFileTo(into));
    EXPECT_EQ(top->LastError(), framework::FileError::IntoItself);
    EXPECT_EQ(top->LastErrorItem(), nullptr) << "the item fails as a whole";
  }
  EXPECT_EQ(Listing(source_), before);
}

TEST_F(CopyFileToTest, MissingSourceOrDestinationFails) {
  Write(source_ / "file", "x");
  EXPECT_FALSE(Copy(source_ / "gone"));
  EXPECT_FALSE(FolderItem::FromPosix(source_ / "file")->CopyFileTo(FolderItem::FromPosix(temp_.path() / "nowhere")));
  EXPECT_FALSE(FolderItem::FromPosix(source_ / "file")->CopyFileTo(nullptr));
  EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{});
  EXPECT_FALSE(fs::exists(temp_.path() / "nowhere"));
}

// Becomes an ordinary user, who may read the source and write into
// `destination`.
bool BecomeOrdinaryUser(const fs::path& around, const fs::path& destination) {
  const uid_t nobody = 65534;
  return chmod(around.c_str(), 0755) == 0 && chmod(destination.c_str(), 0777) == 0 && setgroups(0, nullptr) == 0 &&
         setgid(nobody) == 0 && setuid(nobody) == 0;
}

// Makes the file `file` (3 MiB) on an ext2 disk of its own, mounted at
// `disk` from the image `image`, whose data then cannot be read: the image
// is cut short below the mounted disk (its folders and inodes, at the start,
// stay), and the file's cached pages are dropped.
bool MakeFileTheDiskFailsToRead(const fs::path& image, const fs::path& disk, const fs::path& file) {
  fs::create_directories(disk);
  std::ofstream(image).close();
  const std::string make = "mke2fs -q -F -t ext2 '" + image.string() + "' 8M >/dev/null 2>&1 && mount -o loop '" +
                           image.string() + "' '" + disk.string() + "' 2>/dev/null";
  if (!PrivateMounts() || std::system(make.c_str()) != 0) return false;
  fs::create_directories(file.parent_path());
  Write(file, Pattern(3u << 20));
  sync();
  if (mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0 || truncate(image.c_str(), 1 << 20) != 0) {
    return false;
  }
  const int fd = open(file.c_str(), O_RDONLY);
  const bool dropped = fd >= 0 && posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
  if (fd >= 0) close(fd);
  return dropped;
}

TEST_F(CopyFileToTest, AFailedCopyTellsWhyAndWhereAndLeavesNothing) {
  const fs::path everything = BuildEverything(source_);
  const fs::path unreadable = everything / "Tool.app" / "Contents" / "unreadable";
  Write(unreadable, "cannot be read", 0000);
  fs::create_directories(source_ / "devices");
  const fs::path device = source_ / "devices" / "null";
  const bool haveDevice = mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::create_directories(source_ / "nest" / "inner");
  Write(source_ / "nest" / "file", "x");
  const fs::path bound = temp_.path() / "bound";
  fs::create_directories(bound);
  const fs::path failing = temp_.path() / "disk" / "top" / "data";
  std::string before = Listing(source_);

  using Copying = std::pair<fs::path, fs::path>;  // the item, and the folder it is copied into
  struct Row {
    const char* name;
    // Run in the copying child: makes the trouble (rights, disks). What is
    // copied; nothing where this machine cannot make the trouble.
    std::function<std::optional<Copying>()> prepare;
    framework::FileError why;
    // Whether the copy named the item that failed (nullptr: the whole item).
    std::function<bool(const FolderItemPtr& named)> named;
    // The folder copied into lies inside the source, whose times therefore
    // change like any destination's.
    bool intoTheSource = false;
  };
  const Row rows[] = {
      {"a file this user may not read",
       [&]() -> std::optional<Copying> {
         // Without its capabilities root is bound by the modes like anyone.
         if (!DropEffectiveCapabilities() || open(unreadable.c_str(), O_RDONLY) >= 0) return {};
         return Copying{everything, destination_};
       },
       framework::FileError::NotReadable,
       // The first of the two files this user cannot read, by its own path.
       [&](const FolderItemPtr& named) {
         return named && named->PosixPath().string().starts_with((everything / "").string()) &&
                open(named->PosixPath().c_str(), O_RDONLY) < 0 && errno == EACCES;
       }},
      {"a device, copied by an ordinary user",
       [&]() -> std::optional<Copying> {
         if (!haveDevice || !BecomeOrdinaryUser(temp_.path(), destination_)) return {};
         return Copying{source_ / "devices", destination_};
       },
       framework::FileError::AdministratorOnly,
       [&](const FolderItemPtr& named) { return named && named->PosixPath() == device; }},
      {"a file the disk fails to read",
       [&]() -> std::optional<Copying> {
         if (!MakeFileTheDiskFailsToRead(temp_.path() / "disk.img", temp_.path() / "disk", failing)) return {};
         return Copying{failing.parent_path(), destination_};
       },
       framework::FileError::ReadFailed,
       [&](const FolderItemPtr& named) { return named && named->PosixPath() == failing; }},
      {"a folder into itself, through a mount",
       [&]() -> std::optional<Copying> {
         const fs::path inner = source_ / "nest" / "inner";
         if (!PrivateMounts() || mount(inner.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr) != 0) return {};
         return Copying{source_ / "nest", bound};
       },
       framework::FileError::IntoItself, [](const FolderItemPtr& named) { return named == nullptr; },
       /*intoTheSource=*/true},
  };
  std::string notRun;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int status = InChild([&] {
      const std::optional<Copying> copying = row.prepare();
      if (!copying) return 77;
      const auto item = FolderItem::FromPosix(copying->first);
      if (item->CopyFileTo(FolderItem::FromPosix(copying->second))) return 1;
      if (item->LastError() != row.why) return 2;
      if (!row.named(item->LastErrorItem())) return 3;
      return NamesIn(copying->second).empty() ? 0 : 4;
    });
    if (status == 77) {
      notRun += std::string(notRun.empty() ? "" : "; ") + row.name;
      continue;
    }
    EXPECT_EQ(status, 0) << "1: the copy reported success; 2: another cause; 3: not the item that failed; 4: it "
                            "left what it made";
    EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{});
    EXPECT_EQ(NamesIn(bound), std::vector<std::string>{});
    if (!row.intoTheSource) {
      EXPECT_EQ(Listing(source_), before);
    }
    before = Listing(source_);
  }
  if (!notRun.empty()) GTEST_SKIP() << "cannot make the trouble here (root, mounts, mke2fs): " << notRun;
}

TEST_F(CopyFileToTest, CopiesReadOnlyItemsWithoutPrivileges) {
  // What an ordinary user copies: a read-only folder must still receive its
  // contents, and a read-only file its attributes.
  const fs::path top = source_ / "top";
  fs::create_directories(top / "locked" / "deeper");
  Write(top / "locked" / "deeper" / "file", "in a read-only folder");
  Write(top / "readonly", "x");
  SetAttribute(top / "readonly", "user.comment", "set before the mode");
  chmod((top / "readonly").c_str(), 0444);
  chmod((top / "locked" / "deeper").c_str(), 0500);
  chmod((top / "locked").c_str(), 0555);
  Age(top);
  const std::string before = Listing(top);
  const fs::path result = temp_.path() / "listing";
  const int status = InChild([&] {
    if (!DropEffectiveCapabilities()) return 77;
    if (!Copy(top)) return 1;
    std::ofstream(result) << Listing(destination_ / "top");
    return 0;
  });
  if (status == 77) GTEST_SKIP() << "cannot give up privileges here";
  ASSERT_EQ(status, 0) << "the copy failed";
  std::ifstream listing(result);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(listing), {}), before);
}

TEST_F(CopyFileToTest, ReadOnlyDestinationFails) {
  if (!kRoot) GTEST_SKIP() << "a read-only mount needs root";
  const fs::path top = BuildEverything(source_);
  const std::string before = Listing(top);
  const int status = InChild([&] {
    if (!PrivateMounts() || mount(destination_.c_str(), destination_.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, destination_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      return 77;
    }
    return Copy(top) ? 1 : 0;
  });
  if (status == 77) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(status, 0) << "the copy reported success";
  EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{});
  EXPECT_EQ(Listing(top), before);
}

TEST_F(CopyFileToTest, FullDiskFailsTheCopyAndRemovesWhatItMade) {
  if (!kRoot) GTEST_SKIP() << "mounting a small disk needs root";
  const fs::path top = source_ / "top";
  fs::create_directories(top / "a" / "b");
  for (int i = 0; i < 20; ++i) Write(top / ("small" + std::to_string(i)), Pattern(10000));
  Write(top / "a" / "b" / "large", Pattern(3u << 20));
  fs::create_directories(top / "z");
  Write(top / "z" / "after", "x");
  chmod((top / "a").c_str(), 0555);  // a finished read-only folder must go as well
  const std::string before = Listing(top);
  const int status = InChild([&] {
    if (!PrivateMounts() || mount("olvan", destination_.c_str(), "tmpfs", 0, "size=1m") != 0) return 77;
    const auto item = FolderItem::FromPosix(top);
    if (item->CopyFileTo(FolderItem::FromPosix(destination_))) return 1;
    if (!NamesIn(destination_).empty()) return 2;
    const auto failed = item->LastErrorItem();
    if (item->LastError() != framework::FileError::NoRoom || !failed) return 3;
    return failed->PosixPath().string().starts_with((top / "").string()) ? 0 : 4;
  });
  if (status == 77) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(status, 0) << "1: the copy reported success; 2: it left items on the full disk; 3: not told as no "
                          "room; 4: not an item inside";
  EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{});
  EXPECT_EQ(Listing(top), before);
}

// The copy runs on this (the program's) thread; a second thread waits for
// the baton. Whenever it gets the baton, it keeps it until the copy waits
// for it in turn, so the copy stands still between two of its steps. A turn
// that begins while the copy is not waiting for the baton shows that the
// copy gave it up to work outside (yielding alone would leave it waiting).
class BatonWatcher {
 public:
  BatonWatcher() {
    thread_ = std::thread([this] {
      while (true) {
        framework::BatonHolder turn;
        if (done_) return;
        bool copyOutside = false;
        while (!done_ && framework::Baton::Waiters() == 0) {
          copyOutside = true;
          std::this_thread::yield();
        }
        if (copyOutside) ++turnsWhileCopyOutside_;
      }
    });
    while (framework::Baton::Waiters() == 0) std::this_thread::yield();
  }
  // Call on the program's thread, holding the baton.
  void Finish() {
    done_ = true;
    framework::BatonReleaser letGo;
    thread_.join();
  }
  int turnsWhileCopyOutside() const { return turnsWhileCopyOutside_; }

 private:
  std::atomic<bool> done_{false};
  std::atomic<int> turnsWhileCopyOutside_{0};
  std::thread thread_;
};

// Stops the copy (running on this, the program's, thread) after each of its
// steps: two threads wait for the baton by turns, and the one that has it
// keeps it until both the copy and the other thread wait; so the step the
// copy takes next ends by handing the baton to the other thread. No turn
// can be missed, however the threads are scheduled.
class CopyPauser {
 public:
  explicit CopyPauser(std::function<void()> onPause) : onPause_(std::move(onPause)) {
    for (auto& thread : threads_) thread = std::thread([this] { Run(); });
    while (framework::Baton::Waiters() < 2) std::this_thread::yield();
  }
  // Call on the program's thread, holding the baton.
  void Finish() {
    done_ = true;
    framework::BatonReleaser letGo;
    for (auto& thread : threads_) thread.join();
  }
  int pauses() const { return pauses_; }

 private:
  void Run() {
    while (true) {
      framework::BatonHolder turn;
      if (done_) return;
      while (!done_ && framework::Baton::Waiters() < 2) std::this_thread::yield();
      ++pauses_;
      onPause_();
    }
  }

  std::function<void()> onPause_;
  std::atomic<bool> done_{false};
  std::atomic<int> pauses_{0};
  std::thread threads_[2];
};

TEST_F(CopyFileToTest, CopyGivesTheBatonUpWhileItWorks) {
  ASSERT_TRUE(framework::Baton::HeldByThisThread());
  const fs::path top = source_ / "top";
  fs::create_directories(top);
  for (int i = 0; i < 10; ++i) Write(top / ("file" + std::to_string(i)), "x");
  Write(top / "large", Pattern(24u << 20));
  BatonWatcher watcher;
  const bool copied = Copy(top);
  watcher.Finish();
  EXPECT_TRUE(copied);
  EXPECT_GE(watcher.turnsWhileCopyOutside(), 1);
}

TEST_F(CopyFileToTest, SourceFileVanishingMidwayFailsTheCopy) {
  const fs::path top = source_ / "top";
  fs::create_directories(top / "s");
  for (int i = 0; i < 50; ++i) Write(top / "s" / ("file" + std::to_string(i)), "x");
  std::atomic<bool> removed{false};
  // At the first pause after some but not all files arrived, the rest of
  // the source goes away.
  CopyPauser pauser([&] {
    const auto arrived = NamesIn(destination_ / "top" / "s").size();
    if (removed || arrived == 0 || arrived == 50) return;
    for (const auto& name : NamesIn(top / "s")) fs::remove(top / "s" / name);
    removed = true;
  });
  const bool copied = Copy(top);
  pauser.Finish();
  ASSERT_TRUE(removed) << "the copy never paused midway (" << pauser.pauses() << " pauses)";
  EXPECT_FALSE(copied);
  EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{});
  EXPECT_TRUE(fs::is_directory(top / "s"));
}

TEST_F(CopyFileToTest, AStopEndsTheCopyMidwayAndRemovesWhatItMade) {
  const fs::path top = source_ / "top";
  fs::create_directories(top / "files");
  for (int i = 0; i < 20; ++i) Write(top / "files" / ("file" + std::to_string(i)), "x");
  Write(top / "large", Pattern(24u << 20));
  const std::string before = Listing(top);
  const fs::path copy = destination_ / "top";
  struct Row {
    const char* name;
    std::function<std::int64_t()> arrived;  // how much of the part has arrived
    std::int64_t whole;
  };
  const Row rows[] = {
      {"between items", [&] { return static_cast<std::int64_t>(NamesIn(copy / "files").size()); }, 20},
      {"between pieces of a large file",
       [&] {
         struct stat info {};
         return lstat((copy / "large").c_str(), &info) == 0 ? std::int64_t{info.st_size} : 0;
       },
       std::int64_t{24} << 20},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // The stop is asked for as soon as the copy, asking, has begun the part.
    std::int64_t arrivedAtStop = 0;
    framework::StopCheck check([&] {
      if (arrivedAtStop == 0) arrivedAtStop = row.arrived();
      return arrivedAtStop > 0;
    });
    const auto item = FolderItem::FromPosix(top);
    EXPECT_FALSE(item->CopyFileTo(FolderItem::FromPosix(destination_)));
    EXPECT_EQ(item->LastError(), framework::FileError::Stopped);
    EXPECT_GT(arrivedAtStop, 0);
    EXPECT_LT(arrivedAtStop, row.whole) << "the stop waited for the part to finish";
    EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{});
    EXPECT_EQ(Listing(top), before);
  }
}

// Opens the folder `depth` folders named `name` below `top` by handles (a
// path to it would be longer than PATH_MAX); -1 when one is missing.
int OpenDeep(const fs::path& top, int depth, const std::string& name) {
  int folder = open(top.c_str(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i < depth && folder >= 0; ++i) {
    const int inner = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(folder);
    folder = inner;
  }
  return folder;
}

// Makes a chain of `depth` folders named `name` under `top`, with a file in
// each and, deepest, a file of two names and a folder nobody may enter.
void MakeDeepChain(const fs::path& top, int depth, const std::string& name) {
  int folder = open(top.c_str(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i <= depth && folder >= 0; ++i) {
    const int file = openat(folder, "file", O_WRONLY | O_CREAT, 0644);
    if (file >= 0) close(file);
    if (i == depth) break;
    mkdirat(folder, name.c_str(), 0755);
    const int inner = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(folder);
    folder = inner;
  }
  if (folder < 0 || linkat(folder, "file", folder, "file again", 0) != 0) throw std::runtime_error("deep chain");
  mkdirat(folder, "locked", 0755);
  const int file = openat(folder, "locked/inside", O_WRONLY | O_CREAT, 0644);
  if (file >= 0) close(file);
  fchmodat(folder, "locked", 0, 0);
  close(folder);
}

TEST_F(CopyFileToTest, TreesDeeperThanAPathCanNameAreCopiedAndRemoved) {
  const fs::path top = source_ / "top";
  fs::create_directories(top);
  const int depth = 300;  // 300 names of 20 bytes: beyond PATH_MAX
  const std::string name(19, 'd');
  MakeDeepChain(top, depth, name);
  fs::create_symlink(temp_.path(), top / "link-out");  // removed as itself, never followed
  const auto item = FolderItem::FromPosix(top);
  ASSERT_TRUE(item->CopyFileTo(FolderItem::FromPosix(destination_)));
  EXPECT_EQ(NamesIn(destination_), std::vector<std::string>{"top"});
  {
    // The deepest file's two names stay one file.
    const int deepest = OpenDeep(destination_ / "top", depth, name);
    struct stat one {};
    struct stat other {};
    EXPECT_TRUE(deepest >= 0 && fstatat(deepest, "file", &one, AT_SYMLINK_NOFOLLOW) == 0 &&
                fstatat(deepest, "file again", &other, AT_SYMLINK_NOFOLLOW) == 0 && one.st_ino == other.st_ino &&
                one.st_nlink == 2);
    if (deepest >= 0) close(deepest);
  }

  for (const fs::path& tree : {destination_ / "top", top}) {
    SCOPED_TRACE(tree.string());
    // Without the administrator's rights, as the program runs: the folder
    // nobody may enter is opened up by its owner.
    EXPECT_EQ(InChild([&] { return DropEffectiveCapabilities() && framework::RemoveTree(tree) ? 0 : 1; }), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
  }
  EXPECT_TRUE(fs::is_directory(temp_.path()));
  EXPECT_EQ(NamesIn(source_), std::vector<std::string>{});
  EXPECT_TRUE(framework::RemoveTree(source_ / "never there"));
}

TEST_F(CopyFileToTest, RemovingATreeLeavesEveryMountInsideIt) {
  if (!kRoot) GTEST_SKIP() << "mounting needs root";
  const fs::path outside = temp_.path() / "outside";
  fs::create_directories(outside);
  struct Row {
    const char* name;
    std::function<bool(const fs::path& at)> mountAt;
  };
  const Row rows[] = {
      {"another disk", [](const fs::path& at) { return mount("olvan", at.c_str(), "tmpfs", 0, "size=1m") == 0; }},
      {"a folder of the same disk bound there",
       [&](const fs::path& at) { return mount(outside.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) == 0; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const fs::path top = source_ / "top";
    fs::create_directories(top / "mounted");
    std::ofstream(top / "own.txt") << "own";
    const int status = InChild([&] {
      if (!PrivateMounts() || !row.mountAt(top / "mounted")) return 77;
      std::ofstream(top / "mounted/theirs.txt") << "theirs";
      if (framework::RemoveTree(top)) return 1;
      if (!fs::exists(top / "mounted/theirs.txt")) return 2;
      return fs::exists(top / "own.txt") ? 3 : 0;
    });
    if (status == 77) GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0) << "1: reported removed, 2: the mounted disk emptied, 3: the tree's own file stayed";
    fs::remove_all(top);
  }
  EXPECT_TRUE(fs::exists(outside / "theirs.txt"));
}

TEST_F(CopyFileToTest, SparseFilesKeepTheirHoles) {
  // 64 MiB that hold 8 KiB: data at the start and in the middle, a hole at
  // the end.
  const fs::path sparse = source_ / "sparse";
  {
    const int fd = open(sparse.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const std::string data = Pattern(4096);
    ASSERT_EQ(pwrite(fd, data.data(), data.size(), 0), 4096);
    ASSERT_EQ(pwrite(fd, data.data(), data.size(), 32 << 20), 4096);
    ASSERT_EQ(ftruncate(fd, 64 << 20), 0);
    close(fd);
  }
  struct stat source {};
  ASSERT_EQ(stat(sparse.c_str(), &source), 0);
  if (source.st_blocks * 512 > (1 << 20)) GTEST_SKIP() << "this file system does not keep holes";
  const std::string before = Listing(sparse);
  const fs::path fuse = temp_.path() / "fuse";
  fs::create_directories(fuse);
  struct Row {
    const char* name;
    // Run in the copying child: makes the disks the row needs. The file to
    // copy; nothing where this machine cannot make them.
    std::function<std::optional<fs::path>()> source;
  };
  const Row rows[] = {
      {"on the same disk (the kernel copies)", [&] { return std::optional(sparse); }},
      {"the kernel's copy stopping short", [&] { gKernelCopyStopsShort = true; return std::optional(sparse); }},
      {"onto a tmpfs (the plain copy)",
       [&]() -> std::optional<fs::path> {
         if (!PrivateMounts() || mount("olvan", destination_.c_str(), "tmpfs", 0, "size=16m") != 0) return {};
         return sparse;
       }},
      {"from a FUSE disk, which reports no holes",
       [&]() -> std::optional<fs::path> {
         const std::string bind = "bindfs '" + source_.string() + "' '" + fuse.string() + "' 2>/dev/null";
         if (!PrivateMounts() || std::system(bind.c_str()) != 0) return {};
         return fuse / "sparse";
       }},
  };
  std::string notRun;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int status = InChild([&] {
      const std::optional<fs::path> from = row.source();
      if (!from) return 77;
      struct stat copy {};
      int result = 0;
      if (!Copy(*from) || stat((destination_ / "sparse").c_str(), &copy) != 0) {
        result = 1;
      } else if (Listing(destination_ / "sparse") != before) {
        result = 2;
      } else if (copy.st_blocks * 512 > (1 << 20)) {
        result = 3;
      } else if (gKernelCopyStopsShort && gKernelCopiesCutShort == 0) {
        result = 4;
      }
      // The FUSE disk's server ends with its mount.
      umount2(fuse.c_str(), MNT_DETACH);
      return result;
    });
    if (status == 77) {
      notRun += std::string(notRun.empty() ? "" : "; ") + row.name;
      continue;
    }
    EXPECT_EQ(status, 0) << "1: the copy failed; 2: not byte-identical; 3: the holes were filled; 4: not cut short";
    fs::remove(destination_ / "sparse");
  }
  if (!notRun.empty()) GTEST_SKIP() << "cannot make the disks (root, a private mount namespace, bindfs): " << notRun;
}

TEST_F(CopyFileToTest, AFileThatChangesWhileCopiedIsCopiedAgainOnceThenFails) {
  const fs::path top = source_ / "top";
  fs::create_directories(top);
  const fs::path large = top / "large";
  const fs::path copied = destination_ / "top" / "large";
  struct Row {
    const char* name;
    int changes;  // how many passes of the copy see the file change under it
    bool copies;
  };
  for (const Row row : {Row{"changed once: copied as it then stands", 1, true},
                        Row{"changed on both passes: fails", 2, false}}) {
    SCOPED_TRACE(row.name);
    Write(large, Pattern(24u << 20));
    // Asked between pieces: the file shrinks under the copy's hands, once
    // per pass, as long as the row says.
    int changed = 0;
    std::int64_t lastSeen = 0;
    framework::StopCheck between([&] {
      struct stat info {};
      const std::int64_t arrived = lstat(copied.c_str(), &info) == 0 ? info.st_size : 0;
      const bool newPass = arrived > 0 && (lastSeen == 0 || arrived < lastSeen);
      lastSeen = arrived;
      if (newPass && changed < row.changes) {
        ++changed;
        if (truncate(large.c_str(), (20 - 4 * changed) << 20) != 0) ADD_FAILURE() << "truncate";
      }
      return false;
    });
    const auto item = FolderItem::FromPosix(top);
    const bool result = item->CopyFileTo(FolderItem::FromPosix(destination_));
    EXPECT_EQ(changed, row.changes);
    EXPECT_EQ(result, row.copies);
    if (row.copies) {
      EXPECT_EQ(Listing(destination_ / "top"), Listing(top)) << "not the file as it stood after the change";
    } else {
      EXPECT_EQ(item->LastError(), framework::FileError::Changed);
      EXPECT_EQ(item->LastErrorItem() ? item->LastErrorItem()->PosixPath() : fs::path(), large);
    }
    EXPECT_TRUE(framework::RemoveTree(destination_ / "top"));
  }
}

}  // namespace
