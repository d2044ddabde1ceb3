// A visible edge of its own for a window that stands over or beside the
// document window: a sheet, a drawer, a dialog, an alert, a chooser.
//
// A drawer never gets a frame from the desktop, and without a window manager
// no window does: such a window would merge with the page behind it. The edge
// is a one-pixel line round the inside of the window, drawn above its
// children; under a window manager it lies just inside the manager's frame.
#pragma once

class QWidget;

namespace framework {

// Gives the top-level widget its edge, which then follows its size; it takes
// no clicks and no keyboard focus, and goes with the widget.
void GiveEdge(QWidget& window);

}  // namespace framework
