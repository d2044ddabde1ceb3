// Classic colon paths ("Volume:folder:sub:") and the POSIX paths beneath
// them. Internal to the file layer; the program sees them through
// FolderItem::AbsolutePath and GetFolderItem.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/text/String.h"

namespace framework::colonpath {

// A POSIX name as a colon-path component: ":" shows as "/" (the Mac's own
// swap, since ":" separates colon-path components), and back.
std::string ComponentFromPosixName(std::string_view posixName);
std::string PosixNameFromComponent(std::string_view component);

// The bytes a text stands for in a POSIX name: UTF-8, except that bytes of
// unknown encoding stay as they are (so a name read from the disk that is
// not UTF-8 finds its item again).
std::string PosixBytes(const String& text);
// Bytes read from the disk as a text: tagged UTF-8 when they are UTF-8,
// else of unknown encoding.
String TextFromPosixBytes(std::string bytes);
// Whether the bytes are well-formed UTF-8.
bool IsUTF8(std::string_view bytes);

// The volume whose mount point is the longest prefix of `path` (compared by
// whole components); nullptr when none is. `path` is absolute and
// lexically normal. `rest` receives the part below the mount point.
const VolumeEntry* VolumeFor(const std::filesystem::path& path, const FileSystemSetup& setup,
                             std::filesystem::path* rest);

// The colon path of an absolute, lexically normal POSIX path. A folder's
// path ends in ":", and so does a volume's root whatever it is. A path on
// no volume of the table starts from its first POSIX component instead.
std::string ColonPathOf(const std::filesystem::path& path, bool folder, const FileSystemSetup& setup);

// The POSIX path that a text of the program names:
//   ""                  the base folder;
//   a bare name         that item in the base folder ("/" in it is ":");
//   "Vol:a:b" or "Vol:a:b:"  that item on the volume named Vol.
// Nothing for an unknown volume, an empty component inside the path
// ("Vol:a::b", which the Mac reads as "go up" — refused so that a slip in
// joining paths cannot reach a folder above the intended one), and the
// components "." and "..", which name no item of a Mac disk here.
std::optional<std::filesystem::path> PosixPathOf(const String& text, const FileSystemSetup& setup);

// An absolute, lexically normal path without a trailing separator.
std::filesystem::path Normalized(const std::filesystem::path& path);

}  // namespace framework::colonpath
