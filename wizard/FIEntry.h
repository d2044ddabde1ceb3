// One entry of the wizard's item table (Window1::pFI): a file item that
// discovery found, its kind code, and whether the transfer worker has
// handled it in the current run. An entry's index in the table is its
// identity; entries are only ever appended.
#pragma once

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"

struct FIEntry {
  framework::FolderItemPtr item;
  // "A", "AD", "P", "AS", "DD" or "D".
  framework::String kind;
  bool used = false;
};
