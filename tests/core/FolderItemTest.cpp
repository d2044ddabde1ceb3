// FolderItem over real files in a fresh temporary folder: enumeration,
// children, links, Finder information, deletion, moving, volumes and the
// machine's own view.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FinderInfo.h"
#include "framework/core/files/FolderItem.h"
#include "framework/core/files/ResolveInRoot.h"
#include "framework/core/files/Streams.h"

namespace {

namespace fs = std::filesystem;
using framework::FolderItem;
using framework::FolderItemPtr;
using framework::String;
namespace finderinfo = framework::finderinfo;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "olvan-item-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void MakeFile(const fs::path& path, const std::string& content = "x") { std::ofstream(path) << content; }

std::vector<std::string> Names(FolderItem& folder) {
  std::vector<std::string> names;
  for (std::int32_t i = 1; i <= folder.Count(); ++i) names.push_back(folder.Item(i)->Name().ToUTF8());
  return names;
}

class FolderItemTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = temp_.path() / "disk";
    fs::create_directories(root_);
    framework::FileSystemSetup setup;
    setup.volumes = {{"Macintosh HD", root_}};
    setup.baseFolder = root_;
    setup.applications = root_ / "Applications";
    setup.preferences = root_ / "Users" / "taro" / "Library" / "Preferences";
    setup.applicationData = root_ / "Users" / "taro" / "Library" / "Application Support";
    setup.documents = root_ / "Users" / "taro" / "Documents";
    framework::SetFileSystemSetup(setup);
  }
  FolderItemPtr At(const fs::path& relative) const { return FolderItem::FromPosix(root_ / relative); }

  TempFolder temp_;
  fs::path root_;
};

TEST_F(FolderItemTest, ItemsAreSortedByNameBytesAndNothingIsFiltered) {
  fs::create_directories(root_ / "f" / "sub");
  for (const char* name : {"b", "B", "a", ".hidden", "書類", "Z.app", "a:b"}) MakeFile(root_ / "f" / name);
  fs::create_symlink("nowhere", root_ / "f" / "link");
  auto folder = At("f");
  EXPECT_EQ(Names(*folder), (std::vector<std::string>{".hidden", "B", "Z.app", "a", "a:b", "b", "link", "sub", "書類"}));
  EXPECT_EQ(folder->Item(0), nullptr);
  EXPECT_EQ(folder->Item(10), nullptr);
  EXPECT_EQ(folder->Item(-1), nullptr);
}

TEST_F(FolderItemTest, CountFollowsChangesOfTheFolder) {
  fs::create_directories(root_ / "f");
  MakeFile(root_ / "f" / "one");
  auto folder = At("f");
  ASSERT_EQ(folder->Count(), 1);

  MakeFile(root_ / "f" / "two");
  EXPECT_EQ(Names(*folder), (std::vector<std::string>{"one", "two"}));
  fs::remove(root_ / "f" / "one");
  EXPECT_EQ(Names(*folder), (std::vector<std::string>{"two"}));

  // The folder replaced by another of the same name.
  fs::rename(root_ / "f", root_ / "old");
  fs::create_directories(root_ / "f");
  MakeFile(root_ / "f" / "new");
  EXPECT_EQ(Names(*folder), (std::vector<std::string>{"new"}));

  // Turned into a file, or gone: nothing inside.
  fs::remove_all(root_ / "f");
  EXPECT_EQ(folder->Count(), 0);
  EXPECT_EQ(folder->Item(1), nullptr);
  MakeFile(root_ / "f");
  EXPECT_EQ(folder->Count(), 0);
}

TEST_F(FolderItemTest, ChangeHiddenByRestoredModificationTimeIsSeen) {
  fs::create_directories(root_ / "f");
  MakeFile(root_ / "f" / "one");
  auto folder = At("f");
  struct stat before {};
  ASSERT_EQ(stat((root_ / "f").c_str(), &before), 0);
  // Waits out the file system's coarse clock (not a thread), so that the
  // listing is trusted and kept: only then does the revalidation matter.
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  ASSERT_EQ(folder->Count(), 1);
  ASSERT_EQ(folder->Count(), 1);

  // A copy tool that adds a file and puts the folder's time back, as the
  // copy of a tree does.
  MakeFile(root_ / "f" / "two");
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, (root_ / "f").c_str(), times, 0), 0);
  EXPECT_EQ(Names(*folder), (std::vector<std::string>{"one", "two"}));
}

TEST_F(FolderItemTest, LinksAreListedButNeverFollowed) {
  fs::create_directories(root_ / "real" / "inside");
  MakeFile(root_ / "real" / "inside" / "file");
  ASSERT_TRUE(finderinfo::Write(root_ / "real" / "inside" / "file", finderinfo::Make("TEXT", "ttxt")));
  fs::create_directory_symlink("real", root_ / "folder-link");
  fs::create_symlink("real/inside/file", root_ / "file-link");
  fs::create_symlink("nowhere", root_ / "broken");

  auto folderLink = At("folder-link");
  EXPECT_TRUE(folderLink->Exists());
  EXPECT_FALSE(folderLink->Directory());
  EXPECT_EQ(folderLink->Count(), 0);
  EXPECT_EQ(folderLink->MacType().ToUTF8(), "");
  EXPECT_EQ(folderLink->AbsolutePath().ToUTF8(), "Macintosh HD:folder-link");

  auto fileLink = At("file-link");
  EXPECT_TRUE(fileLink->Exists());
  EXPECT_EQ(fileLink->MacType().ToUTF8(), "");  // the link's own information, not its target's

  auto broken = At("broken");
  EXPECT_FALSE(broken->Exists());
  EXPECT_FALSE(broken->Directory());
  EXPECT_EQ(Names(*At("")), (std::vector<std::string>{"broken", "file-link", "folder-link", "real"}));
}

// The old machine's disk ("old", a volume) holds links written for that
// machine. Their absolute targets name a path that this machine has too
// (this test's own folder), holding other data: every link must lead into
// the old disk, whichever way it is resolved, and the device route's plain
// following must stay as it was.
TEST_F(FolderItemTest, OnTheOldMachinesDiskLinksLeadWhereThatMachineLeads) {
  const fs::path old = root_ / "old";
  const std::string here = (root_ / "here").string();  // absolute, as the old machine wrote it
  for (const fs::path& data : {fs::path(here) / "data", old / fs::path(here).relative_path() / "data"}) {
    fs::create_directories(data);
    MakeFile(data / "file", data.string().starts_with(old.string()) ? "old" : "this machine");
  }
  MakeFile(fs::path(here) / "only-here");
  std::string climb;
  for (const auto& part : old) climb += part == old.root_path() ? "" : "../";
  fs::create_directory_symlink(here + "/data", old / "absolute");
  fs::create_directories(old / "Users/taro/Library");
  fs::create_directory_symlink(here + "/data", old / "Users/taro/Library/absolute");
  fs::create_directory_symlink(climb + climb + here.substr(1) + "/data", old / "climbing");
  fs::create_directory_symlink(here, old / "middle");
  fs::create_directory_symlink("/middle/data", old / "chain");
  fs::create_symlink(here + "/only-here", old / "nowhere");
  fs::create_symlink("loop", old / "loop");

  framework::FileSystemSetup view = framework::CurrentFileSystemSetup();
  view.volumes.push_back({"OldMac", old});
  framework::SetFileSystemSetup(view);
  framework::SetOldMachineDisk(FolderItem::FromPosix(old));
  const std::string onOld = "old" + here + "/data";
  // Where the kernel can resolve in a root, its own way is held to the walk's.
  open_how how{.flags = O_PATH | O_CLOEXEC, .mode = 0, .resolve = RESOLVE_IN_ROOT};
  const long probe = syscall(SYS_openat2, AT_FDCWD, ".", &how, sizeof how);
  const bool kernelResolves = probe >= 0 && close(static_cast<int>(probe)) == 0;
  const auto kernel = kernelResolves ? framework::inroot::Method::KernelOnly : framework::inroot::Method::Kernel;

  struct Row {
    const char* name;
    const char* link;
    std::string target;  // where LinkTarget lands, relative to the test's disk; "" for nowhere
  };
  const Row rows[] = {
      {"an absolute link starts from the old disk's root", "absolute", onOld},
      {"so does one in a folder below the root", "Users/taro/Library/absolute", onOld},
      {"\"..\" climbing above the root stops at it", "climbing", onOld},
      {"a chain of links, one of them on the way", "chain", onOld},
      {"a target the old disk lacks leads nowhere, though this machine has it", "nowhere", ""},
      {"a loop leads nowhere", "loop", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const FolderItemPtr link = At(fs::path("old") / row.link);
    const FolderItemPtr target = link->LinkTarget();
    EXPECT_EQ(target ? target->PosixPath().lexically_relative(root_).string() : "", row.target);
    EXPECT_EQ(link->Exists(), !row.target.empty());
    EXPECT_FALSE(link->Directory()) << "the link itself is no folder";
    const auto text = At(fs::path("old") / row.link / "file")->OpenAsTextFile();
    EXPECT_EQ(text ? text->ReadLine().ToUTF8() : "", row.target.empty() ? "" : "old");
    for (const bool followLast : {false, true}) {
      const framework::DiskRoot& disk = framework::CurrentFileSystemSetup().oldMachineDisk;
      const fs::path asked = link->PosixPath() / "file";
      EXPECT_EQ(framework::inroot::Resolve(disk, asked, followLast, kernel),
                framework::inroot::Resolve(disk, asked, followLast, framework::inroot::Method::Walk))
          << "the kernel and the walk agree";
    }
  }
  EXPECT_EQ(Names(*At("old/chain")), (std::vector<std::string>{}))
      << "a link is listed as itself, never as its target's entries";

  // The disk unmounted: nothing on it is found, not even a plain folder.
  view.volumes.pop_back();
  framework::SetFileSystemSetup(view);
  framework::SetOldMachineDisk(FolderItem::FromPosix(old));
  EXPECT_FALSE(At("old/middle")->Exists());
  EXPECT_EQ(At("old/absolute")->LinkTarget(), nullptr);

  // The device route: links are followed as this machine follows them.
  framework::SetOldMachineDisk(nullptr);
  const auto text = At("old/absolute/file")->OpenAsTextFile();
  EXPECT_EQ(text ? text->ReadLine().ToUTF8() : "", "this machine");
  if (!kernelResolves) GTEST_SKIP() << "this kernel cannot resolve inside a root: the walk alone was held to the rows";
}

// Child is the entry of exactly the name; FindChild, for finding what the
// Mac spelled without regard to case, may take one entry in another case.
TEST_F(FolderItemTest, ChildIsTheExactEntryAndFindChildTakesTheSingleOneInAnotherCase) {
  fs::create_directories(root_ / "Tool.app" / "Contents");
  MakeFile(root_ / "Tool.app" / "Contents" / "PkgInfo", "APPLabcd");
  fs::create_directories(root_ / "two");
  MakeFile(root_ / "two" / "README");
  MakeFile(root_ / "two" / "Readme");
  fs::create_directories(root_ / "nfd");
  MakeFile(root_ / "nfd" / "\xE3\x83\x86\xE3\x82\x99ータ");  // "データ" decomposed, as a Mac writes it
  fs::create_directories(root_ / "alike");
  MakeFile(root_ / "alike" / "Dornel Strasse");
  MakeFile(root_ / "alike" / "\x8F\x91\x97\xDE");  // "書類" in Shift_JIS: not UTF-8

  struct Row {
    const char* name;
    fs::path folder;
    const char* child;
    fs::path found;  // what FindChild gives; Child always gives folder/child
  };
  const Row rows[] = {
      {"exact name", "Tool.app", "Contents", "Tool.app/Contents"},
      {"one entry differs in case", "Tool.app", "contents", "Tool.app/Contents"},
      {"nested lookup through the matched folder", "Tool.app/Contents", "pkginfo", "Tool.app/Contents/PkgInfo"},
      {"exact name wins over case matches", "two", "Readme", "two/Readme"},
      {"two entries differ in case: neither", "two", "readme", "two/readme"},
      {"composed name finds the decomposed entry", "nfd", "データ", "nfd/\xE3\x83\x86\xE3\x82\x99ータ"},
      {"ß is no ss", "alike", "Dornel Straße", "alike/Dornel Straße"},
      {"other bytes that are not UTF-8 are another name", "alike", "\x8E\x91\x97\xBF", "alike/\x8E\x91\x97\xBF"},
      {"missing name gives the item that would be", "Tool.app", "Resources", "Tool.app/Resources"},
      {"child of a missing folder", "none", "x", "none/x"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const framework::String name = framework::String::FromBytes(row.child, framework::EncodingId::None);
    const auto found = At(row.folder)->FindChild(name);
    const auto child = At(row.folder)->Child(name);
    ASSERT_NE(found, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(found->PosixPath(), root_ / row.found);
    EXPECT_EQ(child->PosixPath(), root_ / row.folder / row.child);
  }
  for (const char* refused : {"", ".", "..", "a/b"}) {
    SCOPED_TRACE(refused);
    EXPECT_EQ(At("Tool.app")->Child(refused), nullptr);
    EXPECT_EQ(At("Tool.app")->FindChild(refused), nullptr);
  }
}

TEST_F(FolderItemTest, TypeAndCreatorComeFromTheFinderInformation) {
  fs::create_directories(root_ / "folder");
  MakeFile(root_ / "doc");
  MakeFile(root_ / "plain");
  MakeFile(root_ / "short");
  MakeFile(root_ / "zero");
  ASSERT_TRUE(finderinfo::Write(root_ / "doc", finderinfo::Make("TEXT", "ttxt")));
  ASSERT_TRUE(finderinfo::Write(root_ / "folder", finderinfo::Make("ABCD", "EFGH")));
  ASSERT_EQ(setxattr((root_ / "short").c_str(), finderinfo::kAttributeName, "TEXT", 4, 0), 0);
  ASSERT_TRUE(finderinfo::Write(root_ / "zero", finderinfo::Record{}));

  struct Row {
    const char* name;
    const char* type;
    const char* creator;
  };
  const Row rows[] = {
      {"doc", "TEXT", "ttxt"}, {"folder", "fold", ""}, {"plain", "", ""},
      {"short", "", ""},       {"zero", "", ""},       {"missing", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(At(row.name)->MacType(), String(row.type));
    EXPECT_EQ(At(row.name)->MacCreator(), String(row.creator));
  }
}

TEST_F(FolderItemTest, VisibleIsFalseForDotNamesAndTheInvisibleFlag) {
  fs::create_directories(root_ / "Hidden Folder");
  MakeFile(root_ / ".DS_Store");
  MakeFile(root_ / "Icon");
  MakeFile(root_ / "shown");
  MakeFile(root_ / "flagged otherwise");
  ASSERT_TRUE(finderinfo::Write(root_ / "Icon", finderinfo::Make("icon", "MACS", finderinfo::kIsInvisible)));
  ASSERT_TRUE(finderinfo::Write(root_ / "Hidden Folder", finderinfo::Make("\0\0\0\0", "\0\0\0\0", 0x4400)));
  ASSERT_TRUE(finderinfo::Write(root_ / "flagged otherwise", finderinfo::Make("TEXT", "ttxt", 0x0400)));

  EXPECT_FALSE(At(".DS_Store")->Visible());
  EXPECT_FALSE(At("Icon")->Visible());
  EXPECT_FALSE(At("Hidden Folder")->Visible());
  EXPECT_TRUE(At("shown")->Visible());
  EXPECT_TRUE(At("flagged otherwise")->Visible());
  EXPECT_TRUE(framework::Volume(0)->Visible());
}

TEST_F(FolderItemTest, DeleteRemovesFilesLinksAndEmptyFoldersOnly) {
  fs::create_directories(root_ / "full" / "inside");
  fs::create_directories(root_ / "empty");
  fs::create_directories(root_ / "target");
  MakeFile(root_ / "target" / "keep");
  MakeFile(root_ / "file");
  fs::create_directory_symlink("target", root_ / "link");

  EXPECT_TRUE(At("file")->Delete());
  EXPECT_TRUE(At("empty")->Delete());
  EXPECT_TRUE(At("link")->Delete());
  EXPECT_FALSE(At("full")->Delete());
  EXPECT_FALSE(At("missing")->Delete());

  EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / "file")));
  EXPECT_FALSE(fs::exists(root_ / "empty"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / "link")));
  EXPECT_TRUE(fs::exists(root_ / "target" / "keep"));  // a link goes, never its target
  EXPECT_TRUE(fs::exists(root_ / "full" / "inside"));
}

TEST_F(FolderItemTest, CreateAsFolderNeedsAParentAndAFreeName) {
  EXPECT_TRUE(At("new")->CreateAsFolder());
  EXPECT_TRUE(fs::is_directory(root_ / "new"));
  EXPECT_FALSE(At("new")->CreateAsFolder());
  EXPECT_FALSE(At("no/parent")->CreateAsFolder());
  EXPECT_FALSE(fs::exists(root_ / "no"));
}

TEST_F(FolderItemTest, MoveFileToNeverReplaces) {
  fs::create_directories(root_ / "from");
  fs::create_directories(root_ / "to");
  fs::create_directories(root_ / "folder" / "sub");
  MakeFile(root_ / "from" / "a", "moved");
  MakeFile(root_ / "from" / "b", "stays");
  MakeFile(root_ / "to" / "taken", "original");

  EXPECT_TRUE(At("from/a")->MoveFileTo(At("to"), "名前"));
  EXPECT_FALSE(At("from/b")->MoveFileTo(At("to"), "taken"));
  EXPECT_TRUE(At("folder")->MoveFileTo(At("to"), "folder"));
  EXPECT_FALSE(At("from/b")->MoveFileTo(At("to"), "x/y"));
  EXPECT_FALSE(At("from/b")->MoveFileTo(nullptr, "z"));
  // Nothing found: the item, or the folder it was to go into, told apart.
  const auto missing = At("from/missing");
  EXPECT_FALSE(missing->MoveFileTo(At("to"), "m"));
  EXPECT_EQ(missing->LastError(), framework::FileError::NotFound);
  const auto b = At("from/b");
  EXPECT_FALSE(b->MoveFileTo(At("gone"), "b"));
  EXPECT_EQ(b->LastError(), framework::FileError::DestinationGone);

  std::ifstream moved(root_ / "to" / "名前");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), "moved");
  std::ifstream taken(root_ / "to" / "taken");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(taken), {}), "original");
  EXPECT_FALSE(fs::exists(root_ / "from" / "a"));
  EXPECT_TRUE(fs::exists(root_ / "from" / "b"));
  EXPECT_TRUE(fs::is_directory(root_ / "to" / "folder" / "sub"));
  EXPECT_FALSE(fs::exists(root_ / "folder"));
}

TEST_F(FolderItemTest, VolumeRootIsNamedByTheVolumeAndHasNoParent) {
  fs::create_directories(root_ / "Users");
  auto volume = framework::Volume(0);
  ASSERT_NE(volume, nullptr);
  EXPECT_EQ(framework::VolumeCount(), 1);
  EXPECT_EQ(framework::Volume(1), nullptr);
  EXPECT_EQ(volume->Name().ToUTF8(), "Macintosh HD");
  EXPECT_EQ(volume->Parent(), nullptr);
  EXPECT_EQ(At("Users")->Parent()->PosixPath(), root_);
  EXPECT_EQ(At("Users")->Name().ToUTF8(), "Users");
}

TEST_F(FolderItemTest, SpecialFoldersComeFromTheView) {
  EXPECT_EQ(framework::SpecialFolder::Applications()->AbsolutePath().ToUTF8(), "Macintosh HD:Applications");
  EXPECT_EQ(framework::SpecialFolder::Preferences()->PosixPath(), root_ / "Users/taro/Library/Preferences");
  EXPECT_EQ(framework::SpecialFolder::ApplicationData()->PosixPath(),
            root_ / "Users/taro/Library/Application Support");
  EXPECT_EQ(framework::SpecialFolder::Documents()->PosixPath(), root_ / "Users/taro/Documents");
}

TEST_F(FolderItemTest, NameThatIsNotUTF8FindsItsItemAgain) {
  const std::string shiftJis = "\x83\x81\x83\x82";  // "メモ" in Shift_JIS
  MakeFile(root_ / shiftJis);
  auto item = At("")->Item(1);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Name().EncodingTag(), framework::EncodingId::None);
  EXPECT_EQ(item->Name().Bytes(), shiftJis);
  EXPECT_TRUE(At("")->Child(item->Name())->Exists());
  EXPECT_TRUE(framework::GetFolderItem(item->AbsolutePath())->Exists());
}

TEST(BaseFolderTest, BundleExecutableGivesTheFolderHoldingTheBundle) {
  struct Row {
    const char* executable;
    const char* base;
  };
  const Row rows[] = {
      {"/Volumes/USB/Tool.app/Contents/MacOS/Tool", "/Volumes/USB"},
      {"/build/OlvanMigrationAssistant.app/Contents/MacOS/OlvanMigrationAssistant", "/build"},
      {"/build/bin/tool", "/build/bin"},
      {"/x/Tool/Contents/MacOS/Tool", "/x/Tool/Contents/MacOS"},  // not a bundle: no ".app"
      {"/x/Tool.app/MacOS/Tool", "/x/Tool.app/MacOS"},
      {"/x/Tool.app/Contents/Resources/../MacOS/Tool", "/x"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.executable);
    EXPECT_EQ(framework::BaseFolderForExecutable(row.executable), fs::path(row.base));
  }
}

// Runs `body` in a child process with a mount namespace of its own; its
// exit code, or 77 when the namespace cannot be had.
int InPrivateMountNamespace(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(77);
    _exit(body());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(MachineFileSystemSetupTest, FindsMountedDisksAndTheUsersFolders) {
  const framework::FileSystemSetup machine = framework::MachineFileSystemSetup();
  ASSERT_FALSE(machine.volumes.empty());
  EXPECT_EQ(machine.volumes[0].mountPoint, fs::path("/"));
  EXPECT_FALSE(machine.volumes[0].name.empty());
  const char* home = getenv("HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(machine.documents, fs::path(home) / "Documents");
  EXPECT_EQ(machine.applicationData, fs::path(home) / "Library" / "Application Support");
  EXPECT_EQ(machine.baseFolder, fs::read_symlink("/proc/self/exe").parent_path());

  if (geteuid() != 0) GTEST_SKIP() << "mounting test disks needs root";
  if (!fs::is_directory("/media")) GTEST_SKIP() << "no /media folder to mount test disks in";
  // In a private namespace: a tmpfs over /media hides the machine's own
  // disks there, and the test's disks are mounted on it.
  const int result = InPrivateMountNamespace([] {
    if (mount("olvan", "/media", "tmpfs", 0, "size=1m") != 0) return 78;
    for (const char* folder : {"/media/My Disk", "/media/alice", "/media/alice/USB", "/media/USB",
                               "/media/alice/USB/deeper"}) {
      if (mkdir(folder, 0755) != 0) return 79;
    }
    for (const char* mountPoint : {"/media/My Disk", "/media/alice/USB", "/media/USB"}) {
      if (mount("olvan", mountPoint, "tmpfs", 0, "size=1m") != 0) return 80;
    }
    if (mkdir("/media/alice/USB/deeper", 0755) != 0 ||
        mount("olvan", "/media/alice/USB/deeper", "tmpfs", 0, "size=1m") != 0) {
      return 81;
    }
    const framework::FileSystemSetup setup = framework::MachineFileSystemSetup();
    std::vector<std::string> found;
    for (const auto& volume : setup.volumes) {
      if (volume.mountPoint.native().starts_with("/media")) found.push_back(volume.name + "=" + volume.mountPoint.native());
    }
    const std::vector<std::string> expected = {"My Disk=/media/My Disk", "USB=/media/alice/USB", "USB 1=/media/USB"};
    return found == expected ? 0 : 1;
  });
  if (result == 77) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(result, 0) << "78-81: setting up the test disks failed; 1: the volumes found differ";
}

// The old disk unmounted and another tmpfs mounted in its place, alike in
// device number (the lowest free one) and root inode: only the mount differs.
TEST_F(FolderItemTest, AnotherDiskMountedWhereTheOldDiskWasIsNotIt) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting test disks needs root";
  const int result = InPrivateMountNamespace([&] {
    const auto mountDisk = [&] {
      return mount("olvan", root_.c_str(), "tmpfs", 0, "size=1m") == 0 && fs::create_directory(root_ / "Users");
    };
    if (!mountDisk()) return 78;
    framework::SetOldMachineDisk(framework::Volume(0));
    if (!At("Users")->Exists()) return 1;
    if (umount(root_.c_str()) != 0 || !mountDisk()) return 78;
    return At("Users")->Exists() ? 2 : 0;
  });
  if (result == 77) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(result, 0) << "78: mounting failed; 1: the chosen disk's folder not found; 2: found on the other disk";
}

}  // namespace
