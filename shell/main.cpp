// The program's entry point: wires the Qt front to the program and runs the
// event loop.
//
// The baton: main holds it around start-up and shut-down, which are program
// code; while the event loop runs, the GUI thread holds it only while it
// delivers an event (BatonApplication::notify), so workers run whenever the
// person does nothing.
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "framework/qt/BatonApplication.h"
#include "framework/qt/QtUserInterface.h"
#include "framework/qt/SingleInstance.h"
#include "framework/ui/UserInterface.h"
#include "shell/Startup.h"

int main(int argc, char** argv) {
  framework::BatonApplication application(argc, argv);
  // The program's name where the desktop draws a title bar: the wizard's own
  // title, and that of every window without a title of its own.
  QApplication::setApplicationDisplayName(QStringLiteral("OLVAN 移行アシスタント"));
  framework::QtUserInterface front;
  // A later start of this bundle brings its wizard to the front and ends.
  framework::SingleInstance thisBundle(QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath(),
                                             [&front] { front.BringToFront(); });
  switch (thisBundle.Outcome()) {
    case framework::SingleInstance::Start::kRuns:
      break;
    case framework::SingleInstance::Start::kHandedOver:
      return 0;
    case framework::SingleInstance::Start::kRunningOneIsSilent:
      std::fprintf(stderr,
                   "OLVAN: a wizard of this bundle is already running but does not answer; end it (or wait until it "
                   "answers) and start again\n");
      return 1;
  }
#ifndef Q_OS_MACOS
  // Here the menu bar lives in the window: with the last window gone the
  // person has no way left to quit.
  front.QuitWhenLastWindowCloses(true);
#endif
  framework::SetUserInterface(&front);
  {
    framework::BatonHolder programCode;
    framework::SetFileSystemSetup(framework::MachineFileSystemSetup());
    framework::FollowMachineMounts(true);
    StartProgram();
  }
  const int status = application.exec();
  thisBundle.StopListening();
  // The quit closed the wizard, and a worker still running ends at its next
  // check. Until it has, events are still served: whatever it might yet ask
  // of the front is answered, not left waiting on a loop that has ended.
  while (framework::Thread::RunningCount() > 0) {
    QEventLoop drain;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &drain, [&drain] {
      if (framework::Thread::RunningCount() == 0) drain.quit();
    });
    poll.start(5);
    drain.exec();
  }
  {
    framework::BatonHolder programCode;
    ShutDownProgram();
  }
  framework::SetUserInterface(nullptr);
  return status;
}
