// The program's entry point: wires the Qt front to the program and runs the
// event loop.
//
// The baton: main holds it around start-up and shut-down, which are program
// code; while the event loop runs, the GUI thread holds it only while it
// delivers an event (BatonApplication::notify), so workers run whenever the
// person does nothing.
#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/threads/Baton.h"
#include "framework/qt/BatonApplication.h"
#include "framework/qt/QtUserInterface.h"
#include "framework/ui/UserInterface.h"
#include "shell/Startup.h"

int main(int argc, char** argv) {
  framework::BatonApplication application(argc, argv);
  framework::QtUserInterface front;
#ifndef Q_OS_MACOS
  // Here the menu bar lives in the window: with the last window gone the
  // person has no way left to quit.
  front.QuitWhenLastWindowCloses(true);
#endif
  framework::SetUserInterface(&front);
  {
    framework::BatonHolder programCode;
    framework::SetFileSystemSetup(framework::MachineFileSystemSetup());
    StartProgram();
  }
  const int status = application.exec();
  {
    framework::BatonHolder programCode;
    ShutDownProgram();
  }
  framework::SetUserInterface(nullptr);
  return status;
}
