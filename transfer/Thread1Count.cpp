// The counts that set the progress bar's maximum before a walk.
#include "transfer/Thread1.h"

#include <cstddef>

#include "discovery/Window2.h"
#include "framework/core/threads/Baton.h"
#include "wizard/Window1.h"

namespace {

// The transfer folder's categories, in the order the paste walks them.
const char* const kCategories[] = {"App", "Pref", "AS", "Doc"};

}  // namespace

std::int32_t Thread1::CopyCount() {
  std::deque<FIEntry>& table = pWin1->pFI;
  // Cleared first as well as last: a stopped walk leaves its marks, and a
  // count that skipped them would fall short of what the next walk copies.
  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i].used = false;
    framework::Yield();
  }

  const std::shared_ptr<Window2> itemList = ItemList();
  const framework::Listbox& list = itemList->Listbox1();
  const std::int32_t rowCount = list.ListCount();
  std::int32_t count = 0;
  // The list may lose rows while this yields (the person collapses a
  // product): the bound is checked against the list as it stands.
  for (std::int32_t row = 0; row < rowCount && row < list.ListCount(); ++row) {
    if (FIEntry* entry = CheckedEntry(list, row); entry && !entry->used) {
      if (entry->item && entry->item->Exists()) ++count;
      entry->used = true;
    }
    framework::Yield();
  }

  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i].used = false;
    framework::Yield();
  }
  return count;
}

std::int32_t Thread1::PasteCount() {
  std::int32_t count = 0;
  const FolderItemPtr transferFolder = framework::GetFolderItem("temp");
  for (const char* name : kCategories) {
    const FolderItemPtr category = transferFolder ? transferFolder->Child(name) : nullptr;
    if (category && category->Exists()) {
      for (std::int32_t n = 1; n <= category->Count(); ++n) {
        if (Pastable(category->Item(n))) ++count;
        framework::Yield();
      }
    }
    framework::Yield();
  }
  return count;
}
