// The documents folder that three of the maker's products record in their
// own preference files: the wrappers find the product's preference folder
// and record what its reader gives; the readers parse the file
// (PrefFileReaders.h), label the entries, resolve the stored locations and
// name the folder of entry 19.
//
// A file that cannot be used (missing, unreadable, damaged, too short) gives
// no documents folder and shows nothing; the product's other items are
// found all the same.
#include "discovery/Thread2.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "discovery/PrefFileReaders.h"
#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/Baton.h"
#include "framework/ui/Alerts.h"
#include "helpers/AliasPath.h"
#include "helpers/TextEnco.h"
#include "wizard/Window1.h"

using framework::FolderItemPtr;
using framework::String;

namespace {

constexpr const char* kLocationUnknown = "必要なファイルの所在が不明なので、処理を続行できません。";

bool IsLocationEntry(std::size_t entry) {
  return entry >= PrefFile::kFirstLocationEntry && entry <= PrefFile::kDocumentsEntry;
}

// How one product's file is read.
struct ReaderRule {
  const char* fileName;
  std::optional<PrefFile::Entries> (*parse)(std::string_view bytes);
  // The entry's bytes given the encoding the product writes them in (a
  // label only; nothing is converted).
  String (*label)(std::size_t entry, const String& bytes);
  // The stored locations resolved, in rising order; only entry 19 is used,
  // but an earlier one that cannot be found is still reported.
  std::span<const std::size_t> resolved;
  // The message ends with the entry's number.
  bool numberedMessage;
};

constexpr std::array<std::size_t, 2> kToskResolved = {18, 19};
constexpr std::array<std::size_t, 3> kAllLocationsResolved = {17, 18, 19};

const ReaderRule kToskRule{
    "pref2",
    PrefFile::ParsePref2,
    [](std::size_t, const String& bytes) { return TextEnco::gEncDefUTF8(bytes); },
    kToskResolved,
    /*numberedMessage=*/true,
};

// Kavreline's locations keep the decoder's unlabelled bytes: the framework
// takes a path text of unknown encoding byte for byte as the disk's names,
// and an alias record stays plain bytes.
const ReaderRule kKavreRule{
    "pref2",
    PrefFile::ParsePref2,
    [](std::size_t entry, const String& bytes) {
      return IsLocationEntry(entry) ? bytes : TextEnco::gEncDefUTF8(bytes);
    },
    kAllLocationsResolved,
    /*numberedMessage=*/false,
};

const ReaderRule kVlqRule{
    "pref",
    PrefFile::ParsePref,
    [](std::size_t, const String& bytes) {
      return framework::DefineEncoding(bytes, framework::Encodings::ShiftJIS);
    },
    kAllLocationsResolved,
    /*numberedMessage=*/false,
};

String LocationUnknownMessage(const ReaderRule& rule, std::size_t entry) {
  if (!rule.numberedMessage) return kLocationUnknown;
  return String(kLocationUnknown) + ":" + framework::Str(static_cast<std::int32_t>(entry));
}

// startupDisk: the disk that stands for the start-up disk of the machine
// whose preference file this is (nullptr: this machine's own).
FolderItemPtr ReadDocumentsFolder(const FolderItemPtr& folder, const ReaderRule& rule,
                                  const FolderItemPtr& startupDisk) {
  if (!folder) return nullptr;
  const FolderItemPtr file = folder->FindChild(rule.fileName);
  if (!file || !file->Exists()) return nullptr;
  const std::optional<std::string> bytes = PrefFile::ReadWhole(file);
  if (!bytes) return nullptr;
  std::optional<PrefFile::Entries> entries = rule.parse(*bytes);
  if (!entries) return nullptr;
  for (std::size_t i = 0; i < entries->size(); ++i) (*entries)[i] = rule.label(i, (*entries)[i]);

  for (std::size_t number : rule.resolved) {
    String& entry = (*entries)[number];
    if (!entry.IsEmpty()) {
      // May ask the person to choose the item again; the empty text means
      // it stays unknown.
      entry = AliasPath::gAbsPath_dc(entry, /*wantFile=*/false, startupDisk);
      if (entry.IsEmpty()) framework::MsgBox(LocationUnknownMessage(rule, number));
    }
    framework::Yield();
  }

  const String& documents = (*entries)[PrefFile::kDocumentsEntry];
  if (documents.IsEmpty()) return nullptr;
  return framework::GetFolderItem(documents);
}

}  // namespace

String Thread2::GetItem2PUDocDTosk(const String& list, const FolderItemPtr& item) {
  (void)item;
  return PickUpDocumentsFolder(list, "Toskarine初期設定", &Thread2::GetItem2PUDocDTosk2);
}

String Thread2::GetItem2PUDocDKavre(const String& list, const FolderItemPtr& item) {
  (void)item;
  return PickUpDocumentsFolder(list, "Kavreline初期設定", &Thread2::GetItem2PUDocDKavre2);
}

String Thread2::GetItem2PUDocDVlq(const String& list, const FolderItemPtr& item) {
  (void)item;
  return PickUpDocumentsFolder(list, "Dornel初期設定", &Thread2::GetItem2PUDocDVlq2);
}

FolderItemPtr Thread2::GetItem2PUDocDTosk2(const FolderItemPtr& folder) {
  return ReadDocumentsFolder(folder, kToskRule, OldStartupDisk());
}

FolderItemPtr Thread2::GetItem2PUDocDKavre2(const FolderItemPtr& folder) {
  return ReadDocumentsFolder(folder, kKavreRule, OldStartupDisk());
}

FolderItemPtr Thread2::GetItem2PUDocDVlq2(const FolderItemPtr& folder) {
  return ReadDocumentsFolder(folder, kVlqRule, OldStartupDisk());
}

String Thread2::PickUpDocumentsFolder(const String& list, const String& prefFolderName,
                                      FolderItemPtr (Thread2::*reader)(const FolderItemPtr&)) {
  // On the network route the chosen user may have no folder on the old disk.
  const FolderItemPtr preferences = GetFolderPref();
  if (!preferences) return list;
  const FolderItemPtr prefFolder = preferences->FindChild(prefFolderName);
  if (!prefFolder || !prefFolder->Exists()) return list;
  const FolderItemPtr documents = (this->*reader)(prefFolder);
  // The recorded folder may have been removed since the product last ran.
  if (!documents || !documents->Exists()) return list;
  return list + framework::Str(pWin1->AddFIlist(documents, "DD")) + ":";
}

// On the network route a preference file speaks of the old machine's own
// disks: what it records on "its" start-up disk lies on the old disk the
// person chose here, not on this machine's start-up disk, which may well
// bear the same name. Taken as recorded, the old documents folder would go
// unfound (and the person be asked for it), or this machine's folder of
// that name would be listed (and copied onto itself) in its place. The disk
// is the one the framework fixed when the person chose it: it stays the
// old machine's start-up disk also once it has gone, so what is recorded
// on it is then not found, rather than looked for on this machine.
FolderItemPtr Thread2::OldStartupDisk() const { return pExdrive ? nullptr : framework::OldMachineDisk(); }
