// Alias records from files other programs wrote: the reader, the resolver,
// the path scan for the message and the whole location step must take any
// bytes without reading out of bounds, throwing or crashing.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "framework/core/alias/AliasRecord.h"
#include "framework/core/alias/AliasResolver.h"
#include "framework/core/files/FileSystemSetup.h"
#include "framework/ui/UserInterface.h"
#include "helpers/AliasPath.h"
#include "helpers/AliasPathEx.h"

namespace {

std::filesystem::path gRoot;

// Nobody at the screen: messages go unread and every chooser is cancelled.
class NobodyAnswers final : public framework::UserInterface {
 public:
  void ShowWindow(framework::Window&) override {}
  void HideWindow(framework::Window&) override {}
  void CloseWindow(framework::Window&) override {}
  void Beep() override {}
  void Quit() override {}
  void RunModal(framework::Window&) override {}
  framework::DialogButton ShowMessageDialog(const framework::MessageDialog&, framework::Window*) override {
    return framework::DialogButton::None;
  }
  void ShowMessageBox(const framework::String&) override {}
  framework::FolderItemPtr Choose(const framework::ChooserRequest&) override { return nullptr; }
};

NobodyAnswers gNobody;

void RemoveRoot() {
  std::error_code ignored;
  std::filesystem::remove_all(gRoot, ignored);
}

}  // namespace

// A small machine of its own, so records can resolve: a start-up volume
// with a user's folders and a second volume with a Japanese name.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string pattern = (std::filesystem::temp_directory_path() / "olvan-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 0;
  gRoot = pattern;
  atexit(RemoveRoot);
  std::filesystem::create_directories(gRoot / "startup/Users/me/Documents");
  std::filesystem::create_directories(gRoot / "data/書類");
  framework::FileSystemSetup setup;
  setup.volumes = {{"Macintosh HD", gRoot / "startup"}, {"データ", gRoot / "data"}};
  setup.baseFolder = gRoot / "startup";
  framework::SetFileSystemSetup(setup);
  framework::SetUserInterface(&gNobody);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (const auto record = framework::ParseAliasRecord(bytes)) {
    if (record->version != 2 && record->version != 3) __builtin_trap();
    if (const auto resolved = framework::ResolveAlias(*record)) {
      if (!resolved->target || !resolved->target->Exists()) __builtin_trap();
    }
  }
  const framework::String stored = framework::String::FromBytes(bytes, framework::EncodingId::UTF8);
  const framework::String path = Globals::gAbsPath_ex(stored);
  if (path.Bytes().size() > bytes.size()) __builtin_trap();
  AliasPath::gAbsPath_dc(stored, /*wantFile=*/(size % 2) == 1);
  return 0;
}
