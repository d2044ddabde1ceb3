// A fake machine in a temporary folder, in force for the object's lifetime:
// the start-up disk "Macintosh HD" (folder MacHD) holding this user's
// Applications, Preferences, Application Support and Documents, and the
// external device "USB" (folder USB) that holds the running program, which
// is the program's base folder. Build it before start-up (as a base class
// listed before ProgramTest) so the launch already sees it.
#pragma once

#include <filesystem>
#include <string>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FolderItem.h"
#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/testing/TempFolder.h"
#include "wizard/Window1.h"

namespace programtest {

class FakeMachine {
 public:
  FakeMachine() : view_(StandardSetup(root_)) {}

  const framework::TempFolder& Root() const { return root_; }
  framework::FolderItemPtr At(const std::string& relative) const {
    return framework::FolderItem::FromPosix(root_ / relative);
  }

  static framework::FileSystemSetup StandardSetup(const framework::TempFolder& root) {
    framework::FileSystemSetup setup;
    setup.volumes = {{"Macintosh HD", root.MakeFolder("MacHD")}, {"USB", root.MakeFolder("USB")}};
    setup.applications = root.MakeFolder("MacHD/Applications");
    setup.preferences = root.MakeFolder("MacHD/Users/me/Library/Preferences");
    setup.applicationData = root.MakeFolder("MacHD/Users/me/Library/Application Support");
    setup.documents = root.MakeFolder("MacHD/Users/me/Documents");
    setup.baseFolder = root.MakeFolder("USB/OLVAN");
    return setup;
  }

 private:
  framework::TempFolder root_;
  framework::FileSystemSetupGuard view_;
};

// The wizard's protected parts that no person's action reaches directly:
// the marker methods run only inside the window's opening and closing, and
// the chosen disk and user are read by the workers.
struct WizardAccess : Window1 {
  static bool MarkerExists(Window1& w) {
    auto method = &WizardAccess::ExistsCopyDone;
    return (w.*method)();
  }
  static void WriteMarker(Window1& w) {
    auto method = &WizardAccess::CreateCopyDone;
    (w.*method)();
  }
  static void RemoveMarker(Window1& w) {
    auto method = &WizardAccess::DeleteCopyDone;
    (w.*method)();
  }
  static std::int32_t ChosenVolume(const Window1& w) {
    auto member = &WizardAccess::pVolNo;
    return w.*member;
  }
  static framework::String ChosenUser(const Window1& w) {
    auto member = &WizardAccess::pUser;
    return w.*member;
  }
};

}  // namespace programtest
