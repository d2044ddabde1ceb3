// The Qt front: the UserInterface of the running program and the observer of
// every window model it shows.
//
// Threads. Models change on whatever thread holds the baton; widgets are
// touched only by the GUI thread. ShowWindow, HideWindow, CloseWindow and
// ModelChanged (any thread, under the baton) only note what happened and post
// one refresh to the GUI thread, however many changes come before it runs.
// The refresh runs inside BatonApplication::notify, under the baton, and
// copies the models of the windows that changed into their widgets.
//
// The calls that wait for the person (RunModal, ShowMessageDialog,
// ShowMessageBox, Choose) come without the baton. On the GUI thread they run
// a nested event loop; from a worker they hand the request to the GUI thread
// with a blocking queued call and return its answer. Either way the baton
// stays free while the person thinks, so workers and the person's other
// actions go on. A worker that asks while the GUI thread's own program code
// waits for that worker (yielding, never returning to the event loop) would
// wait forever; the program does not do that.
//
// Windows: a document window is a top-level widget with the menu bar above
// its content; a sheet is modal to the frontmost document window and shown
// over its top; a drawer is a tool window without a title bar or boxes at the
// right edge of the frontmost document window, which it follows (coming out
// where it would not fit on the screen, it first takes that window along to
// the left); modeless and modal dialogs are dialog windows, centred unless
// placed. A window shown with ShowModal is modal in Qt too. Sheets and alerts
// carry no title of their own (the desktop's title bar, where there is one,
// shows the program's name), and they, drawers, dialogs and choosers draw an
// edge of their own (WindowEdge).
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "framework/ui/UserInterface.h"
#include "framework/ui/WindowObserver.h"

class QEventLoop;
class QWidget;

namespace framework {

class Control;
class WindowView;

class QtUserInterface final : public QObject, public UserInterface, public WindowObserver {
 public:
  // Needs the QApplication (a BatonApplication) to exist; lives on the GUI
  // thread.
  QtUserInterface();
  ~QtUserInterface() override;
  QtUserInterface(const QtUserInterface&) = delete;
  QtUserInterface& operator=(const QtUserInterface&) = delete;

  // Ends the event loop when the last open window has closed. Where the menu
  // bar lives in the windows (everywhere but macOS), no window means nothing
  // left to quit with, so the program's main turns this on there.
  void QuitWhenLastWindowCloses(bool on) { quitWhenLastWindowCloses_ = on; }

  // Raises every shown window, the one that waits for an answer (or else the
  // document window in front) last and with the keyboard (GUI thread): a
  // second start of the program hands over to this one.
  void BringToFront();

  // --- the widgets, for tests and tools (GUI thread) ---
  QWidget* WindowWidget(const Window& window) const;
  QWidget* ContentWidget(const Window& window) const;
  QWidget* ControlWidget(const Control& control) const;

  // --- UserInterface ---
  void ShowWindow(Window& window) override;
  void HideWindow(Window& window) override;
  void CloseWindow(Window& window) override;
  void Beep() override;
  void Quit() override;
  void RunModal(Window& window) override;
  DialogButton ShowMessageDialog(const MessageDialog& dialog, Window* parent) override;
  void ShowMessageBox(const String& text) override;
  FolderItemPtr Choose(const ChooserRequest& request) override;

  // --- WindowObserver ---
  void ModelChanged(Window& window, Control* control) override;

 private:
  // What the model side noted since the last refresh (guarded by mutex_).
  struct Pending {
    std::vector<std::weak_ptr<Window>> shown;
    // Windows that changed, with the controls that did (none: only the
    // window's own attributes, its visibility or its closing).
    std::map<const Window*, std::set<const Control*>> dirty;
  };

  void PostRefresh();
  // GUI thread, under the baton.
  void Refresh();
  WindowView* ViewOf(const Window* window) const;
  const WindowView* FrontmostDocument() const;
  QWidget* DialogParent(const Window* window) const;
  bool OnGuiThread() const;
  // Runs f on the GUI thread and returns its result: directly when called
  // there, else through a blocking queued call.
  template <class F>
  auto OnGui(F&& f);

  std::mutex mutex_;
  Pending pending_;
  std::atomic<bool> refreshPosted_{false};

  // GUI thread only.
  std::vector<std::unique_ptr<WindowView>> views_;  // in the order first shown
  std::vector<std::pair<const Window*, QEventLoop*>> modalLoops_;  // innermost last
  std::vector<QPointer<QWidget>> doomed_;  // closed windows' widgets awaiting deletion
  bool quitWhenLastWindowCloses_ = false;
};

}  // namespace framework
