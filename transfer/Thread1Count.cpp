// The count that sets the progress bar's maximum before a copy walk (the
// paste's count is beside its walk, in Thread1Paste.cpp).
#include "transfer/Thread1.h"

#include <cstddef>

#include "discovery/Window2.h"
#include "framework/core/threads/Baton.h"
#include "wizard/Window1.h"

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
