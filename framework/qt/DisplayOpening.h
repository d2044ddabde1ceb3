// Qt opens the display while the application object is built. When it cannot
// (no DISPLAY or WAYLAND_DISPLAY, or a display that does not answer), Qt
// prints lines of its own that advise reinstalling, and aborts: a core and
// status 134 for a person who only started the bundle outside a desktop. The
// program says instead, in one line, that there is no display and how to start
// it on a virtual one, and ends with status 1.
//
// BatonApplication derives from this before QApplication, so it is built
// just before Qt opens the display. Until Opened() it holds back what Qt
// reports; a fatal report meanwhile is the display failing to open, which ends
// the process with the program's line instead. Opened() passes what was held
// back on to the handler that was there before, in order.
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
