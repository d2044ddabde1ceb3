// The displays the environment names for the program's windows (DISPLAY for
// X11, WAYLAND_DISPLAY for Wayland), and whether each takes a connection now.
//
// It lets the program tell "there is no display to show the wizard on" from
// "the display is there but Qt cannot use it". An X11 display is opened as Qt's
// own X11 platform opens it (libxcb: every form of DISPLAY, and the person's
// X authority), and closed at once; a Wayland display is the compositor's
// socket in the runtime folder, connected to and closed. Nothing of Qt is
// used, so it may run while Qt itself cannot start.
#pragma once

#include <string>
#include <vector>

namespace framework {

struct NamedDisplay {
  std::string setting;  // as the person reads it: "DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0"
  bool answers = false;
};

// In that order, only those set to something.
std::vector<NamedDisplay> NamedDisplays();

}  // namespace framework
