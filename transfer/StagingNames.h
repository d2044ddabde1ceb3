// The hidden folders in which a transfer stages its copies (StagedCopy.h)
// are the program's own working space, never an item of the person's: a
// walk that takes entries for the person (the paste, the scan) passes over
// them, also when a stopped machine left one behind.
#pragma once

#include "framework/core/text/String.h"

namespace StagingNames {

// Every staging folder's name begins so.
inline constexpr const char* kPrefix = ".olvan-";

inline bool IsStagingName(const framework::String& name) { return name.Bytes().starts_with(kPrefix); }

}  // namespace StagingNames
