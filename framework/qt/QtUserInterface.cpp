#include "framework/qt/QtUserInterface.h"

#include <QPushButton>
#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>
#include <algorithm>
#include <type_traits>

#include "framework/core/threads/Baton.h"
#include "framework/qt/ModelLink.h"
#include "framework/qt/WindowEdge.h"
#include "framework/qt/WindowView.h"
#include "framework/ui/MessageDialog.h"
#include "framework/ui/Window.h"

namespace framework {
namespace {

QMessageBox::Icon IconOf(std::int32_t graphic) {
  switch (graphic) {
    case MessageDialog::GraphicCaution:
      return QMessageBox::Warning;
    case MessageDialog::GraphicStop:
      return QMessageBox::Critical;
    case MessageDialog::GraphicQuestion:
      return QMessageBox::Question;
    default:
      return QMessageBox::Information;
  }
}

}  // namespace

QtUserInterface::QtUserInterface() = default;

QtUserInterface::~QtUserInterface() {
  BatonHolder programState;
  auto detach = [this](const std::shared_ptr<Window>& window) {
    if (window && window->Observer() == this) window->Observer(nullptr);
  };
  for (const auto& view : views_) detach(view->Model());
  {
    std::lock_guard lock(mutex_);
    for (const auto& weak : pending_.shown) detach(weak.lock());
  }
  for (const auto& view : views_)
    if (QWidget* top = view->TopLevel()) doomed_.push_back(top);
  views_.clear();
  for (const QPointer<QWidget>& widget : doomed_) delete widget.data();
}

bool QtUserInterface::OnGuiThread() const { return QThread::currentThread() == thread(); }

template <class F>
auto QtUserInterface::OnGui(F&& f) {
  using Result = std::invoke_result_t<F&>;
  if (OnGuiThread()) return f();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(this, [&] { f(); }, Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(this, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

// --- the model side: any thread, under the baton ---

void QtUserInterface::ModelChanged(Window& window, Control* control) {
  {
    std::lock_guard lock(mutex_);
    std::set<const Control*>& controls = pending_.dirty[&window];
    if (control != nullptr) controls.insert(control);
  }
  PostRefresh();
}

void QtUserInterface::ShowWindow(Window& window) {
  window.Observer(this);
  {
    std::lock_guard lock(mutex_);
    pending_.shown.push_back(window.weak_from_this());
  }
  ModelChanged(window, nullptr);
}

void QtUserInterface::HideWindow(Window& window) { ModelChanged(window, nullptr); }

void QtUserInterface::CloseWindow(Window& window) {
  // Nothing more to hear from this window; the refresh finds it closed (or
  // already gone) and removes its widgets.
  if (window.Observer() == this) window.Observer(nullptr);
  ModelChanged(window, nullptr);
}

void QtUserInterface::Beep() {
  QMetaObject::invokeMethod(this, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

void QtUserInterface::Quit() {
  // Queued behind the refresh that removes the windows the quit closed. exit
  // rather than quit: Qt's quit asks every window to close, and these
  // windows answer through the program, which has already decided.
  QMetaObject::invokeMethod(this, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void QtUserInterface::PostRefresh() {
  if (refreshPosted_.exchange(true)) return;
  QMetaObject::invokeMethod(this, [this] { Refresh(); }, Qt::QueuedConnection);
}

// --- the GUI side ---

void QtUserInterface::Refresh() {
  // Inside notify this only deepens the hold; the refresh reads models and
  // must never run without the baton.
  BatonHolder programState;
  Pending pending;
  {
    std::lock_guard lock(mutex_);
    pending = std::move(pending_);
    pending_ = Pending{};
    refreshPosted_ = false;
  }

  // Windows closed or freed since: their widgets go.
  bool removed = false;
  for (auto it = views_.begin(); it != views_.end();) {
    const std::shared_ptr<Window> model = (*it)->Model();
    if (model && !model->Closed()) {
      ++it;
      continue;
    }
    if (QWidget* top = (*it)->TopLevel()) {
      for (const auto& other : views_) other->LetGoOf(top);
      doomed_.push_back(top);
    }
    it = views_.erase(it);
    removed = true;
  }
  doomed_.erase(std::remove_if(doomed_.begin(), doomed_.end(), [](const auto& w) { return w.isNull(); }),
                doomed_.end());

  // Windows shown (again): a view each, the most recently shown last.
  std::set<const WindowView*> fresh;
  for (const std::weak_ptr<Window>& weak : pending.shown) {
    const std::shared_ptr<Window> model = weak.lock();
    if (!model || model->Closed()) continue;
    auto it = std::find_if(views_.begin(), views_.end(), [&](const auto& v) { return v->Model() == model; });
    std::unique_ptr<WindowView> view;
    if (it == views_.end()) {
      view = std::make_unique<WindowView>(model, *this);
      fresh.insert(view.get());
    } else {
      view = std::move(*it);
      views_.erase(it);
    }
    view->BringToFront();
    views_.push_back(std::move(view));
  }

  static const std::set<const Control*> kNone;
  for (const auto& view : views_) {
    const std::shared_ptr<Window> model = view->Model();
    if (!model) continue;  // gone since the pass above; the next refresh removes it
    const auto dirty = pending.dirty.find(view->Key());
    // A view whose widgets Qt deleted with a parent window is built anew.
    const bool everything = fresh.count(view.get()) != 0 || view->TopLevel() == nullptr;
    // After a removal every window is looked at again: a sheet or drawer let
    // go of by its document needs its modality and place redone.
    if (!everything && dirty == pending.dirty.end() && !removed) continue;
    const WindowView* anchor = FrontmostDocument();
    view->Sync(*model, everything, dirty == pending.dirty.end() ? kNone : dirty->second,
               anchor == view.get() ? nullptr : anchor);
  }

  // Modal runs end when their window is hidden or closed.
  for (const auto& [window, loop] : modalLoops_)
    if (window->Closed() || !window->Visible()) loop->quit();

  if (removed && quitWhenLastWindowCloses_ && Window::OpenWindows().empty()) QCoreApplication::exit(0);
}

void QtUserInterface::BringToFront() {
  BatonHolder programState;
  for (const auto& view : views_) {
    QWidget* top = view->TopLevel();
    if (top == nullptr || !top->isVisible()) continue;
    if (top->isMinimized()) top->showNormal();
    top->raise();
  }
  // The keyboard goes where the person would be asked first: a modal
  // dialog, else the document window in front.
  QWidget* focus = QApplication::activeModalWidget();
  if (focus == nullptr)
    if (const WindowView* front = FrontmostDocument()) focus = front->TopLevel();
  if (focus == nullptr) return;
  focus->raise();
  focus->activateWindow();
}

WindowView* QtUserInterface::ViewOf(const Window* window) const {
  if (window == nullptr) return nullptr;
  for (const auto& view : views_)
    if (view->Key() == window && view->Model().get() == window) return view.get();
  return nullptr;
}

const WindowView* QtUserInterface::FrontmostDocument() const {
  for (auto it = views_.rbegin(); it != views_.rend(); ++it) {
    const std::shared_ptr<Window> model = (*it)->Model();
    if (model && !model->Closed() && model->Visible() && model->Frame() == WindowFrame::Document) return it->get();
  }
  return nullptr;
}

QWidget* QtUserInterface::DialogParent(const Window* window) const {
  if (const WindowView* view = ViewOf(window)) return view->TopLevel();
  return nullptr;
}

QWidget* QtUserInterface::WindowWidget(const Window& window) const {
  const WindowView* view = ViewOf(&window);
  return view != nullptr ? view->TopLevel() : nullptr;
}

QWidget* QtUserInterface::ContentWidget(const Window& window) const {
  const WindowView* view = ViewOf(&window);
  return view != nullptr ? view->Content() : nullptr;
}

QWidget* QtUserInterface::ControlWidget(const Control& control) const {
  const WindowView* view = ViewOf(&control.OwnerWindow());
  return view != nullptr ? view->WidgetFor(control) : nullptr;
}

// --- waiting for the person: without the baton ---

void QtUserInterface::RunModal(Window& window) {
  OnGui([this, &window] {
    // A request handed over from a worker arrives inside notify, holding
    // the baton; the person's events in the nested loop must be free to
    // take it.
    BatonReleaser waitForThePerson;
    QEventLoop loop;
    {
      BatonHolder programState;
      if (window.Closed() || !window.Visible()) return;
      modalLoops_.emplace_back(&window, &loop);
    }
    loop.exec(QEventLoop::DialogExec);
    const auto it = std::find(modalLoops_.begin(), modalLoops_.end(), std::make_pair<const Window*>(&window, &loop));
    if (it != modalLoops_.end()) modalLoops_.erase(it);
  });
}

DialogButton QtUserInterface::ShowMessageDialog(const MessageDialog& dialog, Window* parent) {
  return OnGui([this, &dialog, parent] {
    BatonReleaser waitForThePerson;
    QWidget* owner = nullptr;
    {
      BatonHolder programState;
      owner = DialogParent(parent);
    }
    QMessageBox box(owner);
    // An alert has no title of its own; where the desktop draws a title bar
    // for it, Qt puts the program's name there.
    box.setWindowTitle(QString());
    GiveEdge(box);
    box.setIcon(IconOf(dialog.Icon()));
    box.setText(ToQString(dialog.Message()));
    box.setInformativeText(ToQString(dialog.Explanation()));
    box.setTextFormat(Qt::PlainText);
    // Within a parent: modal to that window only, as a sheet is.
    if (owner != nullptr) box.setWindowModality(Qt::WindowModal);

    const auto add = [&box](const MessageDialogButton& button, QMessageBox::ButtonRole role) -> QPushButton* {
      return button.Visible() ? box.addButton(ToQString(button.Caption()), role) : nullptr;
    };
    QPushButton* alternate = add(dialog.AlternateActionButton(), QMessageBox::DestructiveRole);
    QPushButton* cancel = add(dialog.CancelButton(), QMessageBox::RejectRole);
    QPushButton* action = add(dialog.ActionButton(), QMessageBox::AcceptRole);
    if (action != nullptr) box.setDefaultButton(action);
    if (cancel != nullptr) box.setEscapeButton(cancel);
    box.exec();

    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr) return DialogButton::None;
    if (clicked == action) return DialogButton::Action;
    if (clicked == cancel) return DialogButton::Cancel;
    if (clicked == alternate) return DialogButton::Alternate;
    return DialogButton::None;
  });
}

void QtUserInterface::ShowMessageBox(const String& text) {
  OnGui([this, &text] {
    BatonReleaser waitForThePerson;
    QWidget* owner = nullptr;
    {
      BatonHolder programState;
      const WindowView* front = FrontmostDocument();
      owner = front != nullptr ? front->TopLevel() : nullptr;
    }
    QMessageBox box(QMessageBox::NoIcon, QString(), ToQString(text), QMessageBox::Ok, owner);
    GiveEdge(box);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  });
}

FolderItemPtr QtUserInterface::Choose(const ChooserRequest& request) {
  return OnGui([this, &request]() -> FolderItemPtr {
    BatonReleaser waitForThePerson;
    QWidget* owner = nullptr;
    QString start;
    {
      BatonHolder programState;
      const WindowView* front = FrontmostDocument();
      owner = front != nullptr ? front->TopLevel() : nullptr;
      if (request.initialDirectory) start = QString::fromStdString(request.initialDirectory->PosixPath().string());
    }
    const String& title = request.title.IsEmpty() ? request.promptText : request.title;
    QFileDialog chooser(owner, ToQString(title), start);
    // Qt's own chooser, which speaks the program's language (Qt's Japanese
    // translations), not the desktop's, which speaks the person's locale.
    chooser.setOption(QFileDialog::DontUseNativeDialog, true);
    GiveEdge(chooser);
    if (request.kind == ChooserRequest::Kind::Folder) {
      chooser.setFileMode(QFileDialog::Directory);
      chooser.setOption(QFileDialog::ShowDirsOnly, true);
    } else {
      // The program's filters name Mac file types, which no file here
      // carries in its name: every file is offered.
      chooser.setFileMode(QFileDialog::ExistingFile);
    }
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return nullptr;
    const std::string chosen = chooser.selectedFiles().first().toStdString();
    BatonHolder programState;
    return FolderItem::FromPosix(chosen);
  });
}

}  // namespace framework
