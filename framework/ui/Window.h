// The window model: attributes, controls, showing and closing, and the
// window's own events.
//
// Windows are created only through Window::Create<T>(...) (or an
// ImplicitInstance), which builds them in the framework's order:
//   1. Layout: the window's attributes (size, frame, title, Visible, ...).
//   2. CreateControls: the controls, parents before their children.
//   3. Event_Open.
//   4. Shown, when Visible is still true after Open. Until then Show and
//      Hide only set Visible; the UserInterface hears of the window once.
// A built window stays open (kept alive by the framework's list of open
// windows, as the program expects of its windows) until it is closed; hiding
// does not close it. Once closed, the framework forgets it (the next
// reference to an implicit instance builds a new window) but keeps the
// object alive until the person's current action has been handled
// (ReleaseClosed): program code often goes on in a window after closing it
// or quitting (the rest of a handler), and must not find it freed.
//
// Everything here runs on a thread that holds the baton. ShowModal gives the
// baton up while it waits, so workers and the person's other actions go on.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/core/text/String.h"
#include "framework/ui/Control.h"

namespace framework {

class MenuBar;
class WindowObserver;
template <class T>
class ImplicitInstance;

enum class WindowFrame : std::uint8_t {
  Document,
  Sheet,           // attached to a parent window; shown modally over it
  Drawer,          // slides out beside its parent window
  ModelessDialog,
  ModalDialog,
};

enum class WindowPlacement : std::uint8_t {
  Default,          // the platform's choice (Left/Top are ignored)
  MainScreenCenter,
  AsSet,            // Left and Top as given
};

class Window : public std::enable_shared_from_this<Window> {
 public:
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Builds a window of class T (see the order above) and returns it open.
  template <class T, class... Args>
  static std::shared_ptr<T> Create(Args&&... args) {
    static_assert(std::is_base_of_v<Window, T>, "Create builds windows");
    std::shared_ptr<T> window = std::make_shared<T>(std::forward<Args>(args)...);
    Build(window);
    return window;
  }

  // --- attributes ---
  const String& Title() const { return title_; }
  void Title(const String& title);
  std::int32_t Left() const { return left_; }
  void Left(std::int32_t v) { Set(left_, v); }
  std::int32_t Top() const { return top_; }
  void Top(std::int32_t v) { Set(top_, v); }
  std::int32_t Width() const { return width_; }
  void Width(std::int32_t v) { Set(width_, v); }
  std::int32_t Height() const { return height_; }
  void Height(std::int32_t v) { Set(height_, v); }
  WindowFrame Frame() const { return frame_; }
  void Frame(WindowFrame v) { Set(frame_, v); }
  WindowPlacement Placement() const { return placement_; }
  void Placement(WindowPlacement v) { Set(placement_, v); }
  bool CloseBox() const { return closeBox_; }
  void CloseBox(bool v) { Set(closeBox_, v); }
  bool MinimizeBox() const { return minimizeBox_; }
  void MinimizeBox(bool v) { Set(minimizeBox_, v); }
  bool ZoomBox() const { return zoomBox_; }
  void ZoomBox(bool v) { Set(zoomBox_, v); }
  bool Resizable() const { return resizable_; }
  void Resizable(bool v) { Set(resizable_, v); }
  const std::shared_ptr<framework::MenuBar>& MenuBar() const { return menuBar_; }
  void MenuBar(std::shared_ptr<framework::MenuBar> bar);

  // --- showing and closing ---
  bool Visible() const { return visible_; }
  void Visible(bool visible);
  void Show();
  // Shows the window and returns when it is hidden or closed (by its own
  // handlers, usually). The baton is given up while the person works in it.
  void ShowModal();
  void Hide();
  // Asks Event_CancelClose(false); true from it keeps the window open and
  // Close returns false. Otherwise the window closes and Close returns true.
  // Closing a closed window returns true and does nothing.
  bool Close();
  bool Closed() const { return closed_; }
  // Inside ShowModal.
  bool Modal() const { return modalDepth_ > 0; }

  // --- controls, in creation order ---
  std::int32_t ControlCount() const { return static_cast<std::int32_t>(controls_.size()); }
  Control& ControlAt(std::int32_t index) const { return *controls_.at(static_cast<std::size_t>(index)); }
  Control* FindControl(const String& name) const;
  // The control of that name as its kind; throws std::logic_error when there
  // is none or it is of another kind (a program error, never a run state).
  template <class T>
  T& ControlNamed(const String& name) const {
    auto* control = dynamic_cast<T*>(FindControl(name));
    if (control == nullptr) NoSuchControl(name);
    return *control;
  }

  // --- the front ---
  WindowObserver* Observer() const { return observer_; }
  void Observer(WindowObserver* observer) { observer_ = observer; }

  // Windows built and not closed, in the order they were built.
  static std::vector<std::shared_ptr<Window>> OpenWindows();
  // The window whose ShowModal runs innermost; nullptr when none.
  static Window* ModalWindow();
  // Frees the closed windows nobody else holds. UserInput calls it when the
  // outermost action it delivered has returned; a front that runs program
  // code by other ways calls it when back in its event loop.
  static void ReleaseClosed();
  // Forgets every open window without asking or telling anyone, and frees
  // the closed ones (end of a test, end of the program).
  static void DiscardAll();

 protected:
  Window() = default;

  virtual void Layout() {}
  virtual void CreateControls() {}
  virtual void Event_Open() {}
  // True keeps the window open (and so cancels a quit in progress).
  virtual bool Event_CancelClose(bool appQuitting) {
    (void)appQuitting;
    return false;
  }
  // A click in the window's content outside its controls; true: handled.
  virtual bool Event_MouseDown(std::int32_t x, std::int32_t y) {
    (void)x;
    (void)y;
    return false;
  }

  // Creates a control owned by this window. parent nullptr puts it on the
  // window; a PagePanel parent needs the page (from 0, below its PageCount,
  // so set PageCount first); a GroupBox parent puts it on the box's page.
  template <class T>
  T& AddControl(const String& name, Control* parent = nullptr, std::int32_t page = -1) {
    static_assert(std::is_base_of_v<Control, T>, "AddControl creates controls");
    auto control = std::make_unique<T>(ControlPlace{this, name, parent, page});
    T& created = *control;
    Adopt(std::move(control));
    return created;
  }

 private:
  friend class Control;
  friend class UserInput;
  friend class Application;
  template <class T>
  friend class ImplicitInstance;

  static void Build(const std::shared_ptr<Window>& window);
  [[noreturn]] static void NoSuchControl(const String& name);
  void Adopt(std::unique_ptr<Control> control);
  void NotifyChanged(Control* control);
  void FinishClose();

  template <typename T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged(nullptr);
  }

  String title_;
  std::int32_t left_ = 0;
  std::int32_t top_ = 0;
  std::int32_t width_ = 300;
  std::int32_t height_ = 300;
  WindowFrame frame_ = WindowFrame::Document;
  WindowPlacement placement_ = WindowPlacement::Default;
  bool closeBox_ = true;
  bool minimizeBox_ = true;
  bool zoomBox_ = false;
  bool resizable_ = false;
  std::shared_ptr<framework::MenuBar> menuBar_;

  bool visible_ = true;
  bool opening_ = false;  // inside Build, before the window is first shown
  bool built_ = false;
  bool closed_ = false;
  int modalDepth_ = 0;

  std::vector<std::unique_ptr<Control>> controls_;
  std::map<std::string, Control*> byName_;
  WindowObserver* observer_ = nullptr;
};

}  // namespace framework
