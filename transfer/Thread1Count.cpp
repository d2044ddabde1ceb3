// What a copy run moves, taken from the item list as the run starts, and the
// count that sets the progress bar's maximum before the walk (the paste's
// count is beside its walk, in Thread1Paste.cpp).
#include "transfer/Thread1.h"

#include <cstddef>
#include <memory>
#include <set>
#include <utility>

#include "discovery/Window2.h"
#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/Baton.h"
#include "framework/ui/ImplicitInstance.h"
#include "wizard/Window1.h"

std::shared_ptr<Window2> Thread1::TakeChosenItems() {
  chosen_.clear();
  // In one go, with no yield, up to the hold: no click can come between two
  // rows or before the boxes are held, so the run's choice is the list as it
  // stood at one moment, and the boxes go on showing it.
  const std::shared_ptr<Window2> itemList = framework::ImplicitInstance<Window2>::Shared();
  const framework::Listbox& list = itemList->Listbox1();
  std::set<std::size_t> moving;
  for (std::int32_t row = 0; row < list.ListCount(); ++row) {
    if (!list.CellCheck(row, 0) || list.Cell(row, 1).IsEmpty()) continue;
    const double index = framework::Val(list.Cell(row, 2));
    if (!(index >= 0) || index >= static_cast<double>(pWin1->pFI.size())) continue;
    chosen_.push_back(ChosenItem{static_cast<std::size_t>(index), list.Cell(row, 1)});
    moving.insert(chosen_.back().entry);
  }
  itemList->HoldChecks(std::move(moving));
  return itemList;
}

// The item table only grows, so an index taken at the start stays valid.
FIEntry& Thread1::EntryOf(const ChosenItem& chosen) const { return pWin1->pFI[chosen.entry]; }

std::int32_t Thread1::CopyCount() {
  std::deque<FIEntry>& table = pWin1->pFI;
  // Cleared first as well as last: a stopped walk leaves its marks, and a
  // count that skipped them would fall short of what the next walk copies.
  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i].used = false;
    framework::Yield();
  }

  std::int32_t count = 0;
  for (const ChosenItem& chosen : chosen_) {
    if (FIEntry& entry = EntryOf(chosen); !entry.used) {
      if (entry.item && entry.item->Exists()) ++count;
      entry.used = true;
    }
    framework::Yield();
  }

  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i].used = false;
    framework::Yield();
  }
  return count;
}
