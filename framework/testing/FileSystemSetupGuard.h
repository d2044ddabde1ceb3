// Puts a test's own view of the machine (volumes, special folders, base
// folder) in force for its scope and restores the previous one after.
#pragma once

#include "framework/core/files/FileSystemSetup.h"

namespace framework {

class FileSystemSetupGuard {
 public:
  explicit FileSystemSetupGuard(FileSystemSetup setup);
  ~FileSystemSetupGuard();
  FileSystemSetupGuard(const FileSystemSetupGuard&) = delete;
  FileSystemSetupGuard& operator=(const FileSystemSetupGuard&) = delete;

 private:
  FileSystemSetup previous_;
};

}  // namespace framework
