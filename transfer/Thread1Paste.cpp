// The paste on the new machine: the folders in the transfer folder's
// categories go into this machine's folder for each category.
#include "transfer/Thread1.h"

#include "framework/core/threads/Baton.h"
#include "helpers/Globals.h"
#include "helpers/TextEnco.h"
#include "wizard/Window1.h"

namespace {

using framework::FolderItemPtr;

struct Category {
  const char* name;
  FolderItemPtr (*destination)();
};

const Category kCategories[] = {
    {"App", &framework::SpecialFolder::Applications},
    {"Pref", &framework::SpecialFolder::Preferences},
    {"AS", &framework::SpecialFolder::ApplicationData},
    {"Doc", &framework::SpecialFolder::Documents},
};

}  // namespace

bool Thread1::PasteFolderItem() {
  std::int32_t pasted = 0;
  for (const Category& row : kCategories) {
    const FolderItemPtr transferFolder = framework::GetFolderItem("temp");
    const FolderItemPtr source = transferFolder ? transferFolder->Child(row.name) : nullptr;
    const FolderItemPtr destination = row.destination();
    if (source && source->Exists()) {
      const bool destinationThere = destination && destination->Exists();
      for (std::int32_t n = 1; n <= source->Count(); ++n) {
        if (Abandoned()) return true;
        const FolderItemPtr item = source->Item(n);
        if (Pastable(item)) {
          if (!destinationThere) {
            // Items that would have been pasted are not, and the person
            // must hear of it.
            Fail(item, "ペースト先のフォルダがありません。");
          } else {
            pWin1->StaticText25().Text(destination->AbsolutePath() +
                                       TextEnco::gEncText(" にペースト中...", "UTF-8", "Shift-JIS"));
            Globals::gWait(100);
            Transfer(item, destination, "ペースト");
            ++pasted;
            pWin1->ProgressBar2().Value(pasted);
            if (pWin1->pStopThread1) return true;
          }
        }
        framework::Yield();
      }
    }
    framework::Yield();
  }
  return false;
}
