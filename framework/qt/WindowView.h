// The widgets of one window model: a top-level widget of the window's frame
// kind holding a content area of exactly the model's size (pixels: the
// design's points), the menu bar above it where the window has one, and one
// widget per control at the control's position.
//
// Controls are all children of the content area, whatever their container in
// the model: positions in the model are window coordinates, and the model
// itself says which controls are shown (Control::Shown: its page, its
// containers). Later controls lie above earlier ones, as they were created.
//
// A view only copies the model into widgets (Sync, on the GUI thread under the
// baton) and turns the person's actions into UserInput calls; it never
// decides anything itself. After each action it tells the host
// (WindowObserver::ModelChanged), which refreshes the view, so a widget that
// moved on its own (a radio button clicked, a check box ticked) shows the
// model's answer.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <set>
#include <vector>

#include "framework/qt/ModelLink.h"
#include "framework/ui/Window.h"

namespace framework {

class MenuBarView;
class WindowObserver;

class WindowView {
 public:
  WindowView(const std::shared_ptr<Window>& window, WindowObserver& host);
  // Hides the widgets and deletes them once control is back in the event
  // loop that called for it (a handler further up the stack may still run in
  // one of them).
  ~WindowView();
  WindowView(const WindowView&) = delete;
  WindowView& operator=(const WindowView&) = delete;

  // The model's address, the key of the view while the window lives.
  const Window* Key() const { return key_; }
  std::shared_ptr<Window> Model() const { return link_.Lock(); }

  // Copies the model into the widgets, creating them on first use (and anew
  // if Qt deleted them with a parent window). Lists copy their rows only when
  // everything is true or the list is among dirty; everything else is cheap
  // and always copied. anchor: the document window a sheet or a drawer
  // attaches to, when there is one.
  void Sync(Window& model, bool everything, const std::set<const Control*>& dirty, const WindowView* anchor);
  // Raises and activates the window at the next Sync (Show on a shown window).
  void BringToFront() { raise_ = true; }
  // The document window this sheet or drawer hangs on is going away while
  // this window stays open: it becomes a window of its own rather than go
  // down with the document's widgets.
  void LetGoOf(const QWidget* documentTop);

  QWidget* TopLevel() const { return top_; }
  QWidget* Content() const { return content_; }
  QWidget* WidgetFor(const Control& control) const;

 private:
  struct ControlEntry {
    Control* model;
    QPointer<QWidget> widget;
  };

  void Create(Window& model, const WindowView* anchor);
  void SyncWindow(Window& model);
  void SyncMenuBar(Window& model);
  void Place(Window& model);
  // Beside the document window's right edge; movePair (when the drawer
  // comes out) first moves the document left as far as needed for the
  // drawer to fit on the screen.
  void PlaceBeside(bool movePair);

  ModelLink link_;
  const Window* key_;
  WindowObserver& host_;
  WindowFrame frame_ = WindowFrame::Document;
  Qt::WindowFlags appliedFlags_;
  QPointer<QWidget> top_;
  QPointer<QWidget> content_;
  QPointer<MenuBarView> menuBar_;
  QPointer<QWidget> anchor_;  // the document top-level a sheet or drawer attaches to
  QPointer<QWidget> anchorContent_;
  QPointer<QObject> anchorWatcher_;  // a drawer's eye on its document moving
  std::vector<ControlEntry> controls_;
  bool placed_ = false;
  bool raise_ = false;
};

}  // namespace framework
