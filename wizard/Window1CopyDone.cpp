// The copy-done marker: an empty file "CopyDone" in "contents"/"Resources"
// of the assistant's own bundle on the external device. The copy run writes
// it when the wizard closes, the next launch finds it and opens STEP 4, and
// the close after the paste removes it. The program may be copied more than
// once into one folder, so every qualifying bundle beside it takes part.
#include <functional>

#include "framework/core/files/Streams.h"
#include "framework/core/threads/Baton.h"
#include "framework/ui/Alerts.h"
#include "helpers/Globals.h"
#include "wizard/Window1.h"

namespace {

using framework::FolderItemPtr;
using framework::String;

// The assistant's own type+creator code, the first line of its PkgInfo.
const char* const kOwnTypeCre = "APPLqZws";

// Whether the entry of the base folder is a bundle of this assistant: an
// application package whose PkgInfo starts with our code as its own line.
// A PkgInfo that cannot be read counts as someone else's. The code is read
// as the scan reads every bundle's, a short prefix only: any folder beside
// the program may be named so.
bool IsOwnBundle(const FolderItemPtr& entry) {
  return Globals::gAppPackage(entry) && Globals::gGetTypeCre(entry) == kOwnTypeCre;
}

// The marker's place in a qualifying bundle; nullptr when the bundle's
// "contents" holds no "Resources" folder to put it in.
FolderItemPtr MarkerOf(const FolderItemPtr& bundle) {
  const FolderItemPtr contents = bundle->FindChild("contents");
  const FolderItemPtr resources = contents != nullptr ? contents->FindChild("Resources") : nullptr;
  if (resources == nullptr || !resources->Directory()) return nullptr;
  return resources->Child("CopyDone");
}

// Calls visit with the marker reference (possibly nullptr) of every
// qualifying bundle in the base folder, in enumeration order, until visit
// returns true. The count is read before every pass, and every pass ends
// with the cooperative yield, so a worker still running goes on meanwhile.
void ForEachOwnBundle(const std::function<bool(const FolderItemPtr& marker)>& visit) {
  const FolderItemPtr base = framework::GetFolderItem("");
  if (base == nullptr) return;
  for (std::int32_t i = 1; i <= base->Count(); ++i) {
    const FolderItemPtr entry = base->Item(i);
    if (entry != nullptr && IsOwnBundle(entry) && visit(MarkerOf(entry))) return;
    framework::Yield();
  }
}

}  // namespace

bool Window1::ExistsCopyDone() {
  bool found = false;
  ForEachOwnBundle([&found](const FolderItemPtr& marker) {
    found = marker != nullptr && marker->Exists();
    return found;
  });
  return found;
}

void Window1::CreateCopyDone() {
  ForEachOwnBundle([](const FolderItemPtr& marker) {
    if (marker == nullptr) {
      framework::MsgBox("失敗");
      return false;
    }
    // Created anew and left empty: only its presence carries the meaning.
    // A device that refuses the write is not reported; the window closes.
    if (const framework::TextOutputStreamPtr out = marker->CreateTextFile()) out->Close();
    return false;
  });
}

void Window1::DeleteCopyDone() {
  ForEachOwnBundle([](const FolderItemPtr& marker) {
    if (marker != nullptr && marker->Exists()) marker->Delete();
    return false;
  });
}
