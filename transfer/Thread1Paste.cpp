// The paste on the new machine: everything the copy put into the transfer
// folder's categories goes into this machine's folder for each category.
// The count before the walk records what it saw, so that an item that was
// there and is not pasted (the device pulled, an item removed from it) is
// reported rather than missed.
#include "transfer/Thread1.h"

#include <cstddef>
#include <iterator>
#include <string>

#include "framework/core/threads/Baton.h"
#include "helpers/Globals.h"
#include "helpers/TextEnco.h"
#include "transfer/StagedCopy.h"
#include "wizard/Window1.h"

namespace {

using framework::FolderItemPtr;
using framework::String;

struct Category {
  const char* name;
  FolderItemPtr (*destination)();
};

// In the order the paste walks them.
const Category kCategories[] = {
    {"App", &framework::SpecialFolder::Applications},
    {"Pref", &framework::SpecialFolder::Preferences},
    {"AS", &framework::SpecialFolder::ApplicationData},
    {"Doc", &framework::SpecialFolder::Documents},
};

// What an operating system leaves in a folder on its own, having shown or
// written it: never an item the person chose. The one list of such names.
bool LeftByTheSystem(const String& name) {
  const std::string& bytes = name.Bytes();
  // The Finder's view settings of the folder, and the AppleDouble
  // companions in which a Mac keeps an item's extended attributes on a disk
  // that has none (a stick formatted FAT).
  if (bytes == ".DS_Store" || bytes.starts_with("._")) return true;
  // Windows Explorer's thumbnail cache.
  return bytes == "Thumbs.db";
}

FolderItemPtr CategoryFolder(const char* name) {
  const FolderItemPtr transferFolder = framework::GetFolderItem("temp");
  return transferFolder ? transferFolder->Child(name) : nullptr;
}

}  // namespace

bool Thread1::Pastable(const FolderItemPtr& item) {
  // Folders, files, packages and links alike, hidden or not, whatever their
  // names: the copy put them there because they were chosen. Only a marked
  // working folder is the program's own.
  if (!item) return false;
  return !LeftByTheSystem(item->Name()) && !StagedCopy::IsWorkingFolder(item);
}

std::int32_t Thread1::PasteCount() {
  std::int32_t count = 0;
  pasteExpected_.clear();
  for (const Category& row : kCategories) {
    ExpectedCategory expected{CategoryFolder(row.name), {}};
    if (expected.folder && expected.folder->Exists()) {
      for (std::int32_t n = 1; n <= expected.folder->Count(); ++n) {
        if (FolderItemPtr item = expected.folder->Item(n); Pastable(item)) expected.items.push_back(std::move(item));
        framework::Yield();
      }
    }
    count += static_cast<std::int32_t>(expected.items.size());
    pasteExpected_.push_back(std::move(expected));
    framework::Yield();
  }
  return count;
}

bool Thread1::PasteFolderItem() {
  std::int32_t pasted = 0;
  for (std::size_t c = 0; c < std::size(kCategories); ++c) {
    const Category& row = kCategories[c];
    std::vector<FolderItemPtr> unmet;
    if (c < pasteExpected_.size()) unmet = pasteExpected_[c].items;
    const FolderItemPtr source = CategoryFolder(row.name);
    const FolderItemPtr destination = row.destination();
    if (source && source->Exists()) {
      for (std::int32_t n = 1; n <= source->Count(); ++n) {
        if (Abandoned()) return true;
        const FolderItemPtr item = source->Item(n);
        if (Pastable(item)) {
          std::erase_if(unmet, [&](const FolderItemPtr& seen) { return seen->PosixPath() == item->PosixPath(); });
          // The destination is made only now that something goes into it.
          if (!MakeFolder(destination)) {
            Fail(destination ? destination->Child(item->Name()) : item, "ペースト先のフォルダを作成できませんでした。");
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
    // Counted at the start and not met by the walk: the device was pulled
    // or the items were taken off it meanwhile. They did not arrive.
    if (!unmet.empty()) {
      if (source && source->Exists()) {
        for (const FolderItemPtr& item : unmet) Fail(item, "ペースト元のアイテムが見つかりません。");
      } else {
        Fail(pasteExpected_[c].folder, "ペースト元のフォルダが見つかりません。");
      }
    }
    framework::Yield();
  }
  return false;
}
