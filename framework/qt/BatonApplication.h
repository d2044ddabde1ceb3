// The Qt application object of the program: it runs every event the GUI
// thread delivers as program code, holding the baton.
//
// Baton discipline of the GUI thread: it holds the baton only inside notify(),
// around each event it delivers to an object of the GUI thread, and re-entrantly
// (an event sent from inside a handler goes straight through). Between events,
// while the event loop waits in the system, it holds nothing, so workers run
// freely when the person does nothing. This needs no hook into the event
// dispatcher: every piece of program code on the GUI thread is reached through
// an event (clicks, timers, paints, queued calls), and the one other entry,
// start-up and shut-down in main(), takes the baton itself.
//
// A nested event loop (a modal dialog) started from program code must give the
// baton up first (BatonReleaser), as the framework does before it asks the
// UserInterface to wait for the person; the nested loop's events then take the
// baton one by one like the outer loop's.
//
// Events for objects of Qt's own helper threads are delivered without the
// baton: no program code runs there, and waiting for the baton on such a
// thread could stall a GUI-thread call that waits for it.
//
// It also sets the program's font: a face that shows Japanese, at the
// system's 13 pixels (sizes are pixels, as the design's points are), and
// installs Qt's own Japanese translations, so that the standard dialogs and
// buttons speak the program's language.
//
// Qt's own dialogs remember their state (the file chooser's last folder, its
// view, its side bar) in the user's settings, by default a file in the
// person's home. The program keeps no settings of its own and writes nothing
// into the home of a machine it only reads, so it points those settings at the
// program's private runtime folder (RuntimeFolder.h); where there is none,
// the dialogs keep nothing beyond the run.
//
// Without a display it ends the process in its constructor, with one line of
// the program's own and status 1 (DisplayOpening).
#pragma once

#include <QApplication>

#include "framework/qt/DisplayOpening.h"

namespace framework {

class BatonApplication : private DisplayOpening, public QApplication {
 public:
  BatonApplication(int& argc, char** argv);
  ~BatonApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;

  // The face the controls use.
  static QString FontFamily();
  // The size in pixels of the system font (a control's TextSize 0).
  static constexpr int kSystemFontPixels = 13;
};

}  // namespace framework
