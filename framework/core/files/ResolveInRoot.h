// Paths on the old machine's disk, resolved as that machine sees them.
// Internal to the file layer; the program fixes the disk with
// SetOldMachineDisk (FolderItem.h).
//
// On the network route the old machine's disk is mounted here beneath some
// folder, its root. Its links were written for that machine: an absolute
// link "/home/taro/Data" means that folder on the old disk, and ".." never
// climbs above the disk's root. So every system call the framework makes
// for a path beneath the root takes the path where the old machine would
// land: links resolved inside the root, absolute ones from the root, ".."
// stopping at it. Linux does exactly this itself (openat2 with
// RESOLVE_IN_ROOT); where the kernel lacks it, and on macOS, a walk
// component by component does the same.
#pragma once

#include <filesystem>
#include <optional>

#include "framework/core/files/FileSystemSetup.h"

namespace framework::inroot {

// The root as it stands now: its path and which folder of which mount it
// is; nothing when it cannot be read.
std::optional<DiskRoot> RootAt(const std::filesystem::path& folder);

// True when `path` is the root or lies beneath it (both absolute and
// lexically normal).
bool Beneath(const DiskRoot& root, const std::filesystem::path& path);

// How the links are resolved: by the kernel where it can (the walk where it
// cannot), or by the walk. Tests hold both to the same results, the kernel
// by KernelOnly: its way alone, nothing (errno ENOSYS) where it cannot, so
// that a kernel way that never works cannot hide behind the walk.
enum class Method { Kernel, Walk, KernelOnly };

// Where `path`, the root or a path beneath it, leads when the root is taken
// for "/": the root's path followed by the components reached, none of them
// a link except the last when followLast is false. With followLast the
// last component is followed too (as stat and open follow it), else it is
// taken as itself (as lstat takes it). A last component that does not exist
// is given as it stands: the item need not exist. Nothing, with errno
// telling why, where the way leads nowhere: a folder on it missing, a final
// link that leads nowhere (followLast), a loop of links, or a root that is
// no longer the folder and the mount that were fixed (the disk unmounted
// since, or another mounted in its place).
std::optional<std::filesystem::path> Resolve(const DiskRoot& root, const std::filesystem::path& path,
                                             bool followLast, Method method = Method::Kernel);

}  // namespace framework::inroot
