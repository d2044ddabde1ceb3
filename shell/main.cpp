// Start-up of the program. Until the window front exists this runs the
// headless part of start-up: the module data, and where the program stands.
#include <cstdio>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FolderItem.h"
#include "framework/core/threads/Baton.h"
#include "helpers/Globals.h"

int main() {
  framework::BatonHolder programCode;
  framework::SetFileSystemSetup(framework::MachineFileSystemSetup());
  framework::FolderItemPtr base = framework::GetFolderItem("");
  std::printf("OLVAN 移行アシスタント: base folder %s\n",
              base ? base->AbsolutePath().ToUTF8().c_str() : "(none)");
  return 0;
}
