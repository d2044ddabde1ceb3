// The pickup rules: what is recorded for each product the worker finds, and
// the rows that show it. Five of the twelve products have a rule; the others
// are recognised and left out.
#include "discovery/Thread2.h"

#include "discovery/Window2.h"
#include "framework/core/text/StringFunctions.h"
#include "framework/ui/Listbox.h"
#include "helpers/Globals.h"
#include "wizard/Window1.h"

using framework::FolderItemPtr;
using framework::String;

namespace {

// An item-table index as an index-list field.
framework::String IndexField(std::int32_t index) { return framework::Str(index) + ":"; }

}  // namespace

bool Thread2::GetItem2Pickup(const FolderItemPtr& item, std::int32_t mode) {
  const std::int32_t product = GetItem2FindCre(item, mode);
  // Each rule records in the order application, preferences, Application
  // Support, documents: the order of the product's item rows.
  String list;
  switch (product) {
    case 0:  // Toskarine
      list = GetItem2PUApp(list, item);
      list = GetItem2PUPref(list, "Toskarine初期設定");
      list = GetItem2PUAS(list, "Toskarine II");
      list = GetItem2PUDocDTosk(list, item);
      GetItem2PUItem(list, "Toskarine II");
      return true;
    case 1:  // Quilbrant
      list = GetItem2PUApp(list, item);
      GetItem2PUItem(list, "Toskarine II Quilbrant");
      return true;
    case 3:  // Kavreline
      list = GetItem2PUApp(list, item);
      list = GetItem2PUPref(list, "Kavreline初期設定");
      list = GetItem2PUDocDKavre(list, item);
      GetItem2PUItem(list, "Kavreline");
      return true;
    case 4:  // Dornel
      list = GetItem2PUApp(list, item);
      list = GetItem2PUPref(list, "Dornel初期設定");
      list = GetItem2PUAS(list, "Dornel");
      list = GetItem2PUDocDVlq(list, item);
      GetItem2PUItem(list, "Dornel");
      return true;
    case 9:  // Pelquon
      list = GetItem2PUApp(list, item);
      list = GetItem2PUPref(list, "Pelquon初期設定");
      GetItem2PUItem(list, "Pelquon");
      return true;
    case ProductIndexDocFolder:
      GetItem2PUDoc("", item, "DD");
      return true;
    case ProductIndexDocFile:
      GetItem2PUDoc("", item, "D");
      return true;
    default:
      // No rule (or none of the maker's): nothing recorded, no row.
      return false;
  }
}

String Thread2::GetItem2PUApp(const String& list, const FolderItemPtr& item) {
  // A chosen package is moved as itself; a folder holding the application
  // is moved whole. No existence test: classification has just read it.
  const String kind = Globals::gExtractExtn(item->Name()) == "app" ? "A" : "AD";
  return list + IndexField(pWin1->AddFIlist(item, kind));
}

String Thread2::GetItem2PUPref(const String& list, const String& name) {
  return PickUpRouteItem(list, /*preferences=*/true, name, "P");
}

String Thread2::GetItem2PUAS(const String& list, const String& name) {
  return PickUpRouteItem(list, /*preferences=*/false, name, "AS");
}

String Thread2::PickUpRouteItem(const String& list, bool preferences, const String& name, const String& kind) {
  const FolderItemPtr folder = preferences ? GetFolderPref() : GetFolderAS();
  if (!folder) return list;
  const FolderItemPtr item = folder->FindChild(name);
  // A product that has never been started has no such item; its row still
  // lists what was found.
  if (!item || !item->Exists()) return list;
  return list + IndexField(pWin1->AddFIlist(item, kind));
}

void Thread2::GetItem2PUItem(const String& list, const String& text) {
  // A quit while the product's items were recorded closed the list with the
  // wizard; asking for the list now would build an empty new one.
  if (pWin1->Closed()) return;
  // Added and filled with no yield in between, so LastIndex still names the
  // new row when its cells are set.
  framework::Listbox& rows = Window2::Instance().Listbox1();
  rows.AddFolder(text);
  const std::int32_t row = rows.LastIndex();
  rows.CellType(row, 0, framework::Listbox::TypeCheckBox);
  rows.CellCheck(row, 0, true);
  // Column 1 stays empty: that marks a product row.
  rows.Cell(row, 2, list);
}

void Thread2::GetItem2PUDoc(const String& list, const FolderItemPtr& item, const String& kind) {
  (void)list;
  // Recorded first: the search of the item table yields, the row below is
  // added in one piece.
  const std::int32_t index = pWin1->AddFIlist(item, kind);
  if (pWin1->Closed()) return;  // as in GetItem2PUItem
  framework::Listbox& rows = Window2::Instance().Listbox1();
  rows.AddRow(item->Name());
  const std::int32_t row = rows.LastIndex();
  rows.CellType(row, 0, framework::Listbox::TypeCheckBox);
  rows.CellCheck(row, 0, true);
  rows.Cell(row, 1, kind);
  rows.Cell(row, 2, framework::Str(index));
}

FolderItemPtr Thread2::GetFolderPref() { return RouteFolder(/*preferences=*/true); }

FolderItemPtr Thread2::GetFolderAS() { return RouteFolder(/*preferences=*/false); }

FolderItemPtr Thread2::RouteFolder(bool preferences) {
  if (pExdrive) return preferences ? framework::SpecialFolder::Preferences() : framework::SpecialFolder::ApplicationData();
  // The old machine's disk may have been unmounted since it was chosen;
  // then nothing is found on it.
  const FolderItemPtr disk = OldStartupDisk();
  if (!disk) return nullptr;
  const FolderItemPtr users = disk->FindChild("Users");
  const FolderItemPtr user = users ? users->FindChild(pUser) : nullptr;
  if (!user || !user->Exists()) return nullptr;
  // The final folder is not tested here: the callers test the item in it.
  const FolderItemPtr library = user->FindChild("Library");
  if (!library) return nullptr;
  return library->FindChild(preferences ? "Preferences" : "Application Support");
}
