// Resolution of alias records through the framework's volume table.
//
// The platform's Alias Manager follows catalog IDs; this framework has none,
// so it rebuilds the target's colon path from what the record carries and
// looks for an existing item there. The sources, best first:
//   1. tag 2, the full colon path: NUL bytes dropped, decoded as Mac
//      Japanese, a leading "/" component (the start-up disk of the writing
//      machine) replaced by the name of this machine's start-up volume;
//   2. the volume (by the name of tag 15 or of the fixed part, else by the
//      mount point of tag 19) joined with the POSIX path of tag 18, "/"
//      becoming ":" and a ":" inside a name becoming "/";
//   3. the volume, the parent folder's name (tag 0) and the file name (tag 14
//      or the fixed part): exact only for an item one level below the root,
//      or in the root itself (parent ID 2), or the volume itself (parent ID 1).
// Each path is looked up in Unicode NFC (HFS+ writes names decomposed), then
// as written when that differs; the first that names an existing item wins.
// The record's kind does not decide between a file and a folder: the item
// found does, so a folder's path always ends in ":".
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "framework/core/alias/AliasRecord.h"
#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"

namespace framework {

struct ResolvedAlias {
  FolderItemPtr target;  // exists
  // The target's colon path as the framework gives it (UTF-8), ending in ":"
  // for a folder or a volume.
  String path;
  // The folder that holds the target, nullptr when the target is a volume;
  // with `name` it stands where the platform gave a folder ID and a name.
  FolderItemPtr parent;
  String name;  // the target's name as it stands in the colon path
};

// The colon paths (UTF-8, not yet normalised) that resolution tries, best
// first, without duplicates. Empty when the record carries nothing usable.
std::vector<String> AliasCandidatePaths(const AliasRecord& record);

// A colon path on this machine's start-up volume moved onto startupDisk,
// the disk that here stands for the start-up disk of the machine that wrote
// the path (an old machine's disk mounted over the network). Any other path,
// and every path without such a disk, comes back as it is.
String OnStartupDisk(const String& path, const FolderItemPtr& startupDisk);

// The first candidate that names an existing item; nothing when none does.
// With startupDisk, every candidate is first moved by OnStartupDisk: the
// writing machine's start-up disk is looked for there, never on this
// machine's own. Never throws.
std::optional<ResolvedAlias> ResolveAlias(const AliasRecord& record, const FolderItemPtr& startupDisk = nullptr);
// Parses and resolves; nothing when the bytes are no alias record.
std::optional<ResolvedAlias> ResolveAlias(std::string_view recordBytes, const FolderItemPtr& startupDisk = nullptr);

}  // namespace framework
