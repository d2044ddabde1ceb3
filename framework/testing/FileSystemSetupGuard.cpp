#include "framework/testing/FileSystemSetupGuard.h"

#include <utility>

namespace framework {

FileSystemSetupGuard::FileSystemSetupGuard(FileSystemSetup setup) : previous_(CurrentFileSystemSetup()) {
  SetFileSystemSetup(std::move(setup));
}

FileSystemSetupGuard::~FileSystemSetupGuard() { SetFileSystemSetup(std::move(previous_)); }

}  // namespace framework
