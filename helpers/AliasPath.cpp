#include "helpers/AliasPath.h"

#include <optional>
#include <string>
#include <string_view>

#include "framework/core/alias/AliasRecord.h"
#include "framework/core/alias/AliasResolver.h"
#include "framework/ui/Alerts.h"
#include "framework/ui/OpenDialog.h"
#include "framework/ui/SelectFolderDialog.h"
#include "helpers/AliasPathEx.h"
#include "helpers/DecrareEtc.h"
#include "helpers/TextEnco.h"

namespace AliasPath {
namespace {

using framework::FolderItemPtr;
using framework::String;

// A text the framework takes as a path. No name on this file system can hold
// a zero byte while every alias record does (its header starts with four),
// so such a text is never taken as a path, even when the framework would
// read it as a bare name in the program's folder.
bool IsPathText(const String& s) {
  if (s.Bytes().find('\0') != std::string::npos) return false;
  return framework::GetFolderItem(s) != nullptr;
}

// Newer systems write a zero byte after every colon of the path field; a
// message cannot show them, and the path reads right without them.
String WithoutNuls(const String& s) {
  std::string bytes;
  for (char c : s.Bytes())
    if (c != '\0') bytes.push_back(c);
  return String::FromBytes(std::move(bytes), s.EncodingTag());
}

String Resolved(const framework::ResolvedAlias& target) {
  // A volume has no folder above it; its colon path is its name and ":".
  if (!target.parent) return target.path;
  // The path of the folder that holds the target, then the target's name.
  // The framework's names are UTF-8 already, so the conversion from Mac
  // Japanese that the platform's names needed would garble them here.
  String path = DecrareEtc::GetFullPath(target.parent) + target.name;
  const FolderItemPtr item = framework::GetFolderItem(path);
  // Without an item for the path the callers still take the text as it is.
  if (item && item->Directory()) path += ":";
  return path;
}

// The path the record carries, for the message. The byte scan of
// gAbsPath_ex stops early on most folder records: their version and kind
// read 00 02 00 01, which it takes for a one-byte path field. So the path
// field comes from the parsed record when there is one, and from the scan
// only for bytes the reader cannot place. A record without a path field
// shows its own bytes.
String CarriedPath(const String& s) {
  const std::optional<framework::AliasRecord> record = framework::ParseAliasRecord(s.Bytes());
  if (record && record->colonPath && !record->colonPath->empty())
    return String::FromBytes(*record->colonPath, s.EncodingTag());
  return WithoutNuls(Globals::gAbsPath_ex(s));
}

// Asks the person: the message, then a chooser. Their choice is not written
// back; the next run resolves the same record again.
String Reselect(const String& message, bool wantFile) {
  framework::MsgBox(message);
  const FolderItemPtr chosen = wantFile ? framework::GetOpenFolderItem("anyFile") : framework::SelectFolder();
  if (!chosen) return String();
  return chosen->AbsolutePath();
}

}  // namespace

String gAbsPath_dc(const String& s, bool wantFile, const FolderItemPtr& startupDisk) {
  String message;
  try {
    if (s.IsEmpty()) return s;
    if (IsPathText(s)) return framework::OnStartupDisk(s, startupDisk);

    const std::optional<DecrareEtc::Handle> h = DecrareEtc::TextToHandle(s);
    if (!h) return String();
    const std::string_view bytes(reinterpret_cast<const char*>(h->data()), h->size());
    if (const std::optional<framework::ResolvedAlias> target = framework::ResolveAlias(bytes, startupDisk))
      return Resolved(*target);
    const String p = TextEnco::gEncUTF8alt(CarriedPath(s), "Shift_JIS");
    message = "「" + p + "」が見つかりません。再指定して下さい。";
  } catch (...) {
    // The callers take the empty text as "not found"; nothing may escape.
    return String();
  }
  // Outside the guard: what the user interface itself raises (none
  // installed, a test's script without an answer) is for it to report.
  return Reselect(message, wantFile);
}

}  // namespace AliasPath
