// Thread2: the discovery worker of STEP 2.
//
// One worker object serves one run, in one of two modes:
//   - scan (pSelect false): walks the direct entries of an Applications
//     folder; every visible sub-folder holding one of the maker's
//     applications whose product has a pickup rule gets the product's items
//     recorded in the wizard's item table and one product row in the item
//     list. At the end every row is expanded and STEP 2 is handed back to
//     the person (Next, the two manual-add buttons, "再取得").
//   - selection (pSelect true): classifies the one folder or file the person
//     chose by hand; a product gives an expanded product row, a document or
//     a folder directly holding documents gives one top-level item row, and
//     anything else a caution dialog. The window's controls stay as they are.
//
// The window sets the properties between creating the worker and Run; the
// worker only reads them. The worker appends to the item table (through
// Window1::AddFIlist) and to the list of Window2, and writes the wizard's
// controls directly: it runs on a cooperative thread, so nothing else of the
// program runs between two of its yields.
//
// Unusable entries (a broken link, an entry that vanished after the folder
// was listed, a folder or bundle that cannot be read) are passed over like
// missing ones; the scan goes on with the next entry.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"
#include "framework/core/threads/Thread.h"

class Window1;

class Thread2 : public framework::Thread {
 public:
  using FolderItemPtr = framework::FolderItemPtr;
  using String = framework::String;

  // Classification results (ProductIndex) beside the product table's rows
  // 0 to 11.
  static constexpr std::int32_t ProductIndexNone = -1;
  static constexpr std::int32_t ProductIndexDocFolder = 998;  // a folder directly holding a document
  static constexpr std::int32_t ProductIndexDocFile = 999;    // a document of the maker's types

  // Classification modes: a scan looks for applications only; a selection
  // by hand also takes a folder of documents.
  static constexpr std::int32_t ModeScan = 1;
  static constexpr std::int32_t ModeSelect = 2;

  // The wizard window: item table, stop flag, the controls set at the end of
  // a scan, parent of the caution dialog. Held shared, so a window closed
  // while the worker waits at a yield (a quit during a scan) is never freed
  // under it.
  std::shared_ptr<Window1> pWin1;
  // True on the external-device route (this machine's Preferences and
  // Application Support), false on the network route (the old disk's).
  bool pExdrive = false;
  // Network route: the old machine's volume as the person chose it, and the
  // user folder under its "Users". The disk itself is the one the framework
  // fixed at that choice (framework::OldMachineDisk).
  std::int32_t pVolNo = 0;
  String pUser;
  // Scan: the Applications folder to walk; selection: the chosen item. Not
  // the item table. May be nothing (the folder could not be named); then
  // nothing is found.
  FolderItemPtr pFI;
  bool pSelect = false;

  void Event_Run() override;

 protected:
  // The scan of the folder's direct entries.
  void GetItem2(const FolderItemPtr& folder);

  // --- classification: a ProductIndex ---
  std::int32_t GetItem2FindCre(const FolderItemPtr& item, std::int32_t mode);
  // The first of the maker's applications directly inside the folder, in
  // enumeration order, decides; -1 when there is none.
  std::int32_t GetItem2FindCreD(const FolderItemPtr& folder);
  // The product table row of an application (package or file); -1 if none.
  std::int32_t GetItem2FindCreF(const FolderItemPtr& item);
  // 998 when the folder directly holds one of the maker's documents, else -1.
  std::int32_t GetItem2FindDocD(const FolderItemPtr& folder);
  // 999 for a document of the maker's types, else -1.
  std::int32_t GetItem2FindDocF(const FolderItemPtr& item);
  // The first product name that occurs in the item's name, else -1. Nothing
  // calls it: a product is known by its code, as the person may rename it.
  std::int32_t GetItem2FindName(const FolderItemPtr& item);

  // --- pickup: classification plus the product's rule ---
  // True when a rule applied (a row was added).
  bool GetItem2Pickup(const FolderItemPtr& item, std::int32_t mode);
  // Each recording operation takes the product's index list and returns it,
  // extended by "<index>:" for an item it recorded, else unchanged.
  String GetItem2PUApp(const String& list, const FolderItemPtr& item);
  String GetItem2PUPref(const String& list, const String& name);
  String GetItem2PUAS(const String& list, const String& name);
  // The documents folder a product records in its own preference file,
  // recorded with kind "DD"; item is the product's application item and
  // plays no part. The list comes back unchanged when no preferences folder,
  // no product preference folder, no usable file or no existing documents
  // folder is found.
  String GetItem2PUDocDTosk(const String& list, const FolderItemPtr& item);
  String GetItem2PUDocDKavre(const String& list, const FolderItemPtr& item);
  String GetItem2PUDocDVlq(const String& list, const FolderItemPtr& item);
  // The readers: the documents folder that the preference file in the
  // product's preference folder records (it need not exist), or nothing.
  // They resolve the stored locations (Tosk: entries 18 and 19; the others:
  // 17, 18 and 19), which may show a message and ask the person to choose a
  // missing item again. File formats: PrefFileReaders.h.
  FolderItemPtr GetItem2PUDocDTosk2(const FolderItemPtr& folder);
  FolderItemPtr GetItem2PUDocDKavre2(const FolderItemPtr& folder);
  FolderItemPtr GetItem2PUDocDVlq2(const FolderItemPtr& folder);
  // Appends the product row (collapsed, checked, the index list hidden in
  // column 2).
  void GetItem2PUItem(const String& list, const String& text);
  // Records the item and appends a checked top-level item row for it; list
  // plays no part.
  void GetItem2PUDoc(const String& list, const FolderItemPtr& item, const String& kind);

  // Selection mode.
  void GetItem2Select(const FolderItemPtr& item);

  // The Preferences and Application Support folders of the route; nothing on
  // the network route when the volume or the user's folder is gone.
  FolderItemPtr GetFolderPref();
  FolderItemPtr GetFolderAS();

 private:
  // The run's end in scan mode: every row expanded, the busy indicator
  // hidden, STEP 2 handed back to the person.
  void ExpandAllRows();
  void ShowScanDone();
  // The route's folder: this machine's special folder, or the old disk's
  // Users/<user>/Library/<libraryName>.
  FolderItemPtr RouteFolder(bool preferences);
  // A product's item in the route's folder, recorded with kind when it exists.
  String PickUpRouteItem(const String& list, bool preferences, const String& name, const String& kind);
  // The old machine's disk, which also stands for its start-up disk in its
  // preference files: the chosen old disk on the network route (also once
  // it has gone), none on the device route (the files are this machine's
  // own).
  FolderItemPtr OldStartupDisk() const;
  // A product's documents folder: its preference folder in the route's
  // Preferences, read by reader, recorded with kind "DD" when it exists.
  String PickUpDocumentsFolder(const String& list, const String& prefFolderName,
                               FolderItemPtr (Thread2::*reader)(const FolderItemPtr&));
  // A stop request, or the wizard went away (the program is quitting).
  bool StopRequested() const;
};
