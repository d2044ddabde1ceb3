#include "framework/ui/Window.h"

#include <algorithm>

#include "framework/core/threads/Baton.h"
#include "framework/ui/GroupBox.h"
#include "framework/ui/MenuBar.h"
#include "framework/ui/PagePanel.h"
#include "framework/ui/UserInterface.h"
#include "framework/ui/WindowObserver.h"

namespace framework {
namespace {

// Both lists change only under the baton, so they need no lock of their own.
std::vector<std::shared_ptr<Window>>& OpenList() {
  static std::vector<std::shared_ptr<Window>> open;
  return open;
}

// Closed windows waiting for the end of the current action.
std::vector<std::shared_ptr<Window>>& ClosedList() {
  static std::vector<std::shared_ptr<Window>> closed;
  return closed;
}

std::vector<Window*>& ModalStack() {
  static std::vector<Window*> stack;
  return stack;
}

}  // namespace

Window::~Window() = default;

void Window::Build(const std::shared_ptr<Window>& window) {
  window->opening_ = true;
  window->Layout();
  window->CreateControls();
  window->built_ = true;
  OpenList().push_back(window);
  window->Event_Open();
  window->opening_ = false;
  if (window->visible_ && !window->closed_) CurrentUserInterface().ShowWindow(*window);
}

void Window::Title(const String& title) {
  if (title_.Bytes() == title.Bytes() && title_.EncodingTag() == title.EncodingTag()) return;
  title_ = title;
  NotifyChanged(nullptr);
}

void Window::MenuBar(std::shared_ptr<framework::MenuBar> bar) {
  menuBar_ = std::move(bar);
  NotifyChanged(nullptr);
}

void Window::Visible(bool visible) {
  if (visible) {
    Show();
  } else {
    Hide();
  }
}

void Window::Show() {
  if (closed_) return;
  const bool changed = !visible_;
  visible_ = true;
  if (changed) NotifyChanged(nullptr);
  // Shown again while visible: the front brings it to the front.
  if (built_ && !opening_) CurrentUserInterface().ShowWindow(*this);
}

void Window::Hide() {
  if (closed_ || !visible_) return;
  visible_ = false;
  NotifyChanged(nullptr);
  if (built_ && !opening_) CurrentUserInterface().HideWindow(*this);
}

void Window::ShowModal() {
  if (closed_) return;
  // The window may be closed by its own handlers while the person works in
  // it; the caller still returns into it.
  const std::shared_ptr<Window> keep = weak_from_this().lock();
  opening_ = false;
  visible_ = true;
  NotifyChanged(nullptr);
  ++modalDepth_;
  ModalStack().push_back(this);
  struct EndModal {
    Window& window;
    ~EndModal() {
      auto& stack = ModalStack();
      const auto it = std::find(stack.rbegin(), stack.rend(), &window);
      if (it != stack.rend()) stack.erase(std::next(it).base());
      --window.modalDepth_;
    }
  } end{*this};
  UserInterface& ui = CurrentUserInterface();
  ui.ShowWindow(*this);
  BatonReleaser waitForThePerson;
  ui.RunModal(*this);
}

bool Window::Close() {
  if (closed_) return true;
  const std::shared_ptr<Window> keep = weak_from_this().lock();
  if (Event_CancelClose(/*appQuitting=*/false)) return false;
  FinishClose();
  return true;
}

void Window::FinishClose() {
  if (closed_) return;
  const std::shared_ptr<Window> keep = weak_from_this().lock();
  closed_ = true;
  visible_ = false;
  auto& open = OpenList();
  const auto it = std::find_if(open.begin(), open.end(), [this](const auto& w) { return w.get() == this; });
  if (it != open.end()) {
    ClosedList().push_back(std::move(*it));
    open.erase(it);
  }
  NotifyChanged(nullptr);
  if (built_) CurrentUserInterface().CloseWindow(*this);
}

Control* Window::FindControl(const String& name) const {
  const auto it = byName_.find(name.ToUTF8());
  return it == byName_.end() ? nullptr : it->second;
}

void Window::NoSuchControl(const String& name) {
  throw std::logic_error("window has no control " + name.ToUTF8() + " of the kind asked for");
}

void Window::Adopt(std::unique_ptr<Control> control) {
  const std::string name = control->Name().ToUTF8();
  if (name.empty()) throw std::invalid_argument("a control needs a name");
  if (byName_.count(name) != 0) throw std::invalid_argument("two controls named " + name);
  if (Control* parent = control->Parent()) {
    if (&parent->OwnerWindow() != this) throw std::invalid_argument(name + ": parent of another window");
    const auto* panel = dynamic_cast<const PagePanel*>(parent);
    if (panel == nullptr && dynamic_cast<const GroupBox*>(parent) == nullptr)
      throw std::invalid_argument(name + ": a parent is a PagePanel or a GroupBox");
    if (panel != nullptr && (control->Page() < 0 || control->Page() >= panel->PageCount()))
      throw std::invalid_argument(name + ": no such page of " + parent->Name().ToUTF8());
  }
  byName_[name] = control.get();
  controls_.push_back(std::move(control));
  NotifyChanged(nullptr);
}

void Window::NotifyChanged(Control* control) {
  if (observer_ != nullptr) observer_->ModelChanged(*this, control);
}

std::vector<std::shared_ptr<Window>> Window::OpenWindows() { return OpenList(); }

Window* Window::ModalWindow() {
  const auto& stack = ModalStack();
  return stack.empty() ? nullptr : stack.back();
}

void Window::ReleaseClosed() {
  // Moved out first: a window's destructor may close or drop other windows.
  std::vector<std::shared_ptr<Window>> closed;
  closed.swap(ClosedList());
}

void Window::DiscardAll() {
  std::vector<std::shared_ptr<Window>> open;
  open.swap(OpenList());
  for (const auto& window : open) {
    window->closed_ = true;
    window->visible_ = false;
  }
  ModalStack().clear();
  open.clear();
  ReleaseClosed();
}

}  // namespace framework
