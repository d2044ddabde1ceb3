// Qt opens the display while the application object is built. When it cannot,
// Qt prints lines of its own that advise reinstalling, and aborts: a core and
// status 134. The program ends instead with status 1 and tells the true
// reason:
//   - no display is named (neither DISPLAY nor WAYLAND_DISPLAY), or none that
//     is named takes a connection (NamedDisplays.h): one line of the program's
//     own, saying so and how to start it on a virtual screen;
//   - a display answers, but Qt's platform for it cannot start (a platform
//     named in QT_QPA_PLATFORM that Qt lacks, or a system library the X11
//     platform needs that is missing): what Qt reported, the platform and
//     what it could not load, then one line of the program's own.
// Qt says which library a plugin could not load only in its debug reports
// (the category "qt.core.library"); while the display opens they are turned
// on and held back, and shown only when the opening fails.
//
// BatonApplication derives from this before QApplication, so it is built
// just before Qt opens the display. Until Opened() it holds back what Qt
// reports; a fatal report meanwhile is the opening failing, which ends the
// process. Opened() passes what was held back on to the handler that was
// there before, in order, except the library reports that were turned on only
// for this.
#pragma once

namespace framework {

class DisplayOpening {
 protected:
  // program: how the person started it (argv[0]), for the line's advice.
  explicit DisplayOpening(const char* program);
  ~DisplayOpening() = default;
  DisplayOpening(const DisplayOpening&) = delete;
  DisplayOpening& operator=(const DisplayOpening&) = delete;

  // The application object stands: Qt's reports go their usual way again.
  void Opened();
};

}  // namespace framework
