// The module DecrareEtc: the two steps of location resolution that faced the
// platform's memory and catalog calls.
//
// On this platform a memory handle is an owned byte buffer, released when it
// goes out of scope, and a folder's path comes from the framework's file
// items instead of a walk up the catalog by directory IDs (which this file
// system does not have).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"

namespace DecrareEtc {

// A copy of an alias record's bytes, exactly as long as the record.
using Handle = std::vector<std::uint8_t>;

// A new handle holding all LenB(s) bytes of s, zero bytes included, and no
// terminating zero; nothing when the memory cannot be had.
std::optional<Handle> TextToHandle(const framework::String& s);

// The colon path of a folder, from its volume name down, ending in ":". The
// empty text for no folder (the container of a volume), as the catalog walk
// gave nothing once it reached the top.
framework::String GetFullPath(const framework::FolderItemPtr& folder);

}  // namespace DecrareEtc
