// Classification: which of the maker's products an item is, or holds, by
// its type+creator code against the product table. Every loop yields once
// per pass, so a scan of a large folder keeps the window responsive.
#include <cstddef>

#include "discovery/Thread2.h"
#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/Baton.h"
#include "helpers/Globals.h"

namespace {

// An entry of a folder being classified: nothing for an entry that vanished
// after the folder was listed or a link whose target is gone.
framework::FolderItemPtr UsableEntry(const framework::FolderItemPtr& folder, std::int32_t i) {
  framework::FolderItemPtr entry = folder->Item(i);
  if (!entry || !entry->Exists()) return nullptr;
  return entry;
}

}  // namespace

std::int32_t Thread2::GetItem2FindCre(const FolderItemPtr& item, std::int32_t mode) {
  if (Globals::gExtractExtn(item->Name()) == "app" && item->MacType() == "fold")
    return GetItem2FindCreF(item);
  if (item->Directory()) {
    const std::int32_t product = GetItem2FindCreD(item);
    if (product == ProductIndexNone && mode == ModeSelect) return GetItem2FindDocD(item);
    return product;
  }
  return GetItem2FindDocF(item);
}

std::int32_t Thread2::GetItem2FindCreD(const FolderItemPtr& folder) {
  for (std::int32_t i = 1; i <= folder->Count(); ++i) {
    if (const FolderItemPtr entry = UsableEntry(folder, i)) {
      if (Globals::gAppPackage(entry) || entry->MacType() == "APPL") {
        // Another maker's application does not end the search: the first
        // of this maker's decides.
        const std::int32_t product = GetItem2FindCreF(entry);
        if (product != ProductIndexNone) return product;
      }
    }
    framework::Yield();
  }
  return ProductIndexNone;
}

std::int32_t Thread2::GetItem2FindCreF(const FolderItemPtr& item) {
  const String code = Globals::gGetTypeCre(item);
  // The table's size is read on every pass: it is module data, and the
  // worker yields between rows.
  for (std::size_t row = 0; row < Globals::gAppTypeCre.size(); ++row) {
    if (Globals::gAppTypeCre[row] == code) return static_cast<std::int32_t>(row);
    framework::Yield();
  }
  return ProductIndexNone;
}

std::int32_t Thread2::GetItem2FindDocD(const FolderItemPtr& folder) {
  for (std::int32_t i = 1; i <= folder->Count(); ++i) {
    if (const FolderItemPtr entry = UsableEntry(folder, i)) {
      if (GetItem2FindDocF(entry) == ProductIndexDocFile) return ProductIndexDocFolder;
    }
    framework::Yield();
  }
  return ProductIndexNone;
}

std::int32_t Thread2::GetItem2FindDocF(const FolderItemPtr& item) {
  const String code = Globals::gGetTypeCre(item);
  for (std::size_t row = 0; row < Globals::gDocTypeCre.size(); ++row) {
    if (Globals::gDocTypeCre[row] == code) return ProductIndexDocFile;
    framework::Yield();
  }
  return ProductIndexNone;
}

std::int32_t Thread2::GetItem2FindName(const FolderItemPtr& item) {
  const String name = item->Name();
  for (std::size_t row = 0; row < Globals::gAppName.size(); ++row) {
    if (framework::InStr(name, Globals::gAppName[row]) > 0) return static_cast<std::int32_t>(row);
    framework::Yield();
  }
  return ProductIndexNone;
}
