// Where the framework finds the machine's volumes, the current user's special
// folders and the program's base folder. The program reads the machine's;
// tests inject their own (a fake old machine in a temporary folder).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace framework {

struct VolumeEntry {
  std::string name;                  // shown as the first component of colon paths
  std::filesystem::path mountPoint;  // "/" for the start-up disk
};

// The old machine's disk on the network route: its root folder (the mount
// point of its volume), and which folder of which mount that was when it was
// fixed, so that a disk unmounted since (its mount point left empty, or
// another disk mounted there) counts as gone. Device and inode alone cannot
// tell: a disk mounted where another was unmounted may get the same
// anonymous device number (tmpfs, network disks) and the same root inode.
// An empty path: no such disk.
struct DiskRoot {
  std::filesystem::path path;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  // The kernel's id of the mount (Linux), and the statx bit it came with:
  // STATX_MNT_ID_UNIQUE (Linux 6.8 on), never given to another mount; else
  // STATX_MNT_ID, which the kernel gives the next mount once this one has
  // gone (the lowest free number), so it tells apart only mounts that stand
  // at the same time. Both 0 where the system has none: device and inode
  // then decide alone.
  std::uint64_t mount = 0;
  std::uint32_t mountKind = 0;

  bool operator==(const DiskRoot&) const = default;
};

struct FileSystemSetup {
  std::vector<VolumeEntry> volumes;  // [0] is the start-up disk
  std::filesystem::path applications;
  std::filesystem::path preferences;
  std::filesystem::path applicationData;
  std::filesystem::path documents;
  std::filesystem::path baseFolder;  // what GetFolderItem("") gives
  // Fixed when the network route is chosen (SetOldMachineDisk, FolderItem.h);
  // kept when the volumes are followed. Paths beneath it are taken as the
  // old machine sees them (ResolveInRoot.h) while it is one of the volumes.
  DiskRoot oldMachineDisk;
};

// The machine's view, read when called:
//   - volume 0 is "/", named by its file system's label where udev publishes
//     one (macOS: the /Volumes entry that links to "/"), else "Macintosh HD";
//   - then, in mount order, the mount points directly inside /Volumes,
//     /media and /mnt, or inside any user's folder in /media and /run/media
//     (a disk the desktop's user mounted counts also when the program runs
//     as another user), each named by its folder's name;
//   - ~/Applications (/Applications on macOS), ~/Library/Preferences,
//     ~/Library/Application Support, ~/Documents, from $HOME (else the
//     password database);
//   - the base folder from the running executable's path.
FileSystemSetup MachineFileSystemSetup();

// The volume list after the mounts changed: the volumes still mounted keep
// their order and names (so a volume number the program holds stays valid
// where it can), newly mounted ones are added at the end. Volume 0 stays.
std::vector<VolumeEntry> FollowMounts(const std::vector<VolumeEntry>& known,
                                      const std::vector<VolumeEntry>& mounted);

// The program (not a test) asks for this at start-up: from then on
// VolumeCount() takes the machine's present mounts in (FollowMounts), so a
// disk mounted after start-up, such as the old machine's on the network
// route, shows in the chooser.
void FollowMachineMounts(bool follow);
// Takes the machine's present mounts in when following them; else nothing.
void RefreshMachineVolumes();

// Replaces the view (tests: one per test; the program: once at start-up).
// Volume names are made usable as colon-path components: a ":" shows as
// "/", an empty name becomes "Macintosh HD" for volume 0 and "Untitled"
// elsewhere, and a name already taken gets " 1", " 2", ... as the Mac
// numbers duplicate volume names. Mount points are made absolute and
// lexically normal.
void SetFileSystemSetup(FileSystemSetup setup);
// The view in force (the machine's, read on first use, until one is set).
// The reference stays valid for the whole run, also after another view was
// set, so a thread that holds it while a test replaces the view is safe.
const FileSystemSetup& CurrentFileSystemSetup();

// The base folder for an executable path: the folder that holds "X.app" when
// the executable lies in "X.app/Contents/MacOS/", else the executable's folder.
std::filesystem::path BaseFolderForExecutable(const std::filesystem::path& executable);

}  // namespace framework
