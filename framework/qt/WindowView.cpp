#include "framework/qt/WindowView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>

#include "framework/core/threads/Baton.h"
#include "framework/qt/BatonApplication.h"
#include "framework/qt/LabelView.h"
#include "framework/qt/ListboxView.h"
#include "framework/qt/MenuBarView.h"
#include "framework/qt/ProgressWheelView.h"
#include "framework/qt/WindowEdge.h"
#include "framework/ui/Application.h"
#include "framework/ui/GroupBox.h"
#include "framework/ui/Label.h"
#include "framework/ui/Listbox.h"
#include "framework/ui/MenuBar.h"
#include "framework/ui/PagePanel.h"
#include "framework/ui/ProgressBar.h"
#include "framework/ui/ProgressWheel.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/RadioButton.h"
#include "framework/ui/Separator.h"
#include "framework/ui/UserInput.h"
#include "framework/ui/WindowObserver.h"

namespace framework {
namespace {

// Runs a person's action on the model under the baton, then asks the host to
// show the model again.
template <class Action>
void Deliver(const ModelLink& link, WindowObserver& host, Action&& action) {
  BatonHolder programCode;
  const std::shared_ptr<Window> window = link.Lock();
  if (!window) return;
  action(*window);
  host.ModelChanged(*window, link.control);
}

// The top-level widget: the close box and the Return and Escape keys.
class WindowWidget : public QWidget {
 public:
  WindowWidget(ModelLink link, WindowObserver& host, QWidget* parent, Qt::WindowFlags flags)
      : QWidget(parent, flags), link_(std::move(link)), host_(host) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    // The model decides (CancelClose); if it closes, the front removes this
    // widget.
    event->ignore();
    Deliver(link_, host_, [](Window& window) { UserInput::ClickCloseBox(window); });
  }

  void keyPressEvent(QKeyEvent* event) override {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    if (!enter && !escape) {
      QWidget::keyPressEvent(event);
      return;
    }
    bool pressed = false;
    Deliver(link_, host_, [&](Window& window) {
      for (std::int32_t i = 0; i < window.ControlCount() && !pressed; ++i) {
        auto* button = dynamic_cast<PushButton*>(&window.ControlAt(i));
        if (button == nullptr || !(enter ? button->Default() : button->Cancel())) continue;
        pressed = UserInput::Press(*button);
      }
    });
    if (!pressed) QWidget::keyPressEvent(event);
  }

 private:
  ModelLink link_;
  WindowObserver& host_;
};

// The content area: clicks that no control took are the window's MouseDown.
class ContentArea : public QWidget {
 public:
  ContentArea(ModelLink link, WindowObserver& host, QWidget* parent)
      : QWidget(parent), link_(std::move(link)), host_(host) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint at = event->position().toPoint();
    Deliver(link_, host_, [&](Window& window) { UserInput::MouseDown(window, at.x(), at.y()); });
    event->accept();
  }

 private:
  ModelLink link_;
  WindowObserver& host_;
};

// Radio buttons and their groups belong to the model (RadioButton clears the
// partners). The widget must not turn itself on or off on a click: it asks
// the model and shows what the model says.
class ModelRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override {}
};

// Calls back when the watched window moves or changes size (a drawer follows
// its window).
class MoveWatcher : public QObject {
 public:
  MoveWatcher(QObject* owner, std::function<void()> moved) : QObject(owner), moved_(std::move(moved)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) moved_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> moved_;
};

QFont FontFor(const Control& control) {
  QFont font = QApplication::font();
  font.setPixelSize(control.TextSize() > 0 ? control.TextSize() : BatonApplication::kSystemFontPixels);
  font.setBold(control.Bold());
  font.setItalic(control.Italic());
  font.setUnderline(control.Underline());
  return font;
}

void SetFont(QWidget& widget, const Control& control) {
  const QFont font = FontFor(control);
  if (widget.font() != font) widget.setFont(font);
}

Qt::Alignment AlignmentOf(const Control& control) {
  switch (control.TextAlign()) {
    case TextAlignment::Center:
      return Qt::AlignHCenter | Qt::AlignTop;
    case TextAlignment::Right:
      return Qt::AlignRight | Qt::AlignTop;
    case TextAlignment::Default:
    case TextAlignment::Left:
      break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* CreateControlWidget(Control& control, const ModelLink& window, WindowObserver& host, QWidget* content) {
  ModelLink link{window.window, &control};
  if (dynamic_cast<Listbox*>(&control) != nullptr) return new ListboxView(link, host, content);
  if (dynamic_cast<PushButton*>(&control) != nullptr) {
    auto* button = new QPushButton(content);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, button, [link, &host] {
      Deliver(link, host, [&](Window&) { UserInput::Press(static_cast<PushButton&>(*link.control)); });
    });
    return button;
  }
  if (dynamic_cast<RadioButton*>(&control) != nullptr) {
    auto* radio = new ModelRadioButton(content);
    radio->setAutoExclusive(false);
    QObject::connect(radio, &QRadioButton::clicked, radio, [link, &host] {
      Deliver(link, host, [&](Window&) { UserInput::Choose(static_cast<RadioButton&>(*link.control)); });
    });
    return radio;
  }
  if (dynamic_cast<Label*>(&control) != nullptr) {
    auto* label = new LabelView(content);
    label->setTextFormat(Qt::PlainText);
    // A click on a label is a click in the window (the about window closes
    // on any click).
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
  }
  if (dynamic_cast<GroupBox*>(&control) != nullptr) return new QGroupBox(content);
  if (dynamic_cast<ProgressBar*>(&control) != nullptr) {
    auto* bar = new QProgressBar(content);
    bar->setTextVisible(false);
    return bar;
  }
  if (dynamic_cast<ProgressWheel*>(&control) != nullptr) return new ProgressWheelView(content);
  if (dynamic_cast<Separator*>(&control) != nullptr) {
    auto* line = new QFrame(content);
    line->setFrameShadow(QFrame::Sunken);
    return line;
  }
  // A PagePanel, or a kind the front does not draw: an empty area that only
  // stands where the control is.
  return new QWidget(content);
}

void SyncLabel(QLabel& widget, const Label& label) {
  const QString text = ToQString(label.Text());
  if (widget.text() != text) widget.setText(text);
  SetFont(widget, label);
  const Qt::Alignment alignment = AlignmentOf(label);
  if (widget.alignment() != alignment) widget.setAlignment(alignment);
  if (widget.wordWrap() != label.MultiLine()) widget.setWordWrap(label.MultiLine());
  const Color c = label.TextColor();
  const QColor colour(c.red, c.green, c.blue);
  QPalette palette = widget.palette();
  if (palette.color(QPalette::Active, QPalette::WindowText) != colour ||
      palette.color(QPalette::Inactive, QPalette::WindowText) != colour) {
    // The disabled colour stays the style's: a disabled label looks dimmed.
    palette.setColor(QPalette::Active, QPalette::WindowText, colour);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    widget.setPalette(palette);
  }
}

void SyncProgressBar(QProgressBar& widget, const ProgressBar& bar) {
  if (bar.Maximum() <= 0) {
    widget.setRange(0, 0);  // indeterminate
    return;
  }
  widget.setRange(0, bar.Maximum());
  widget.setValue(std::clamp(bar.Value(), 0, bar.Maximum()));
}

void SyncControl(Control& control, QWidget& widget, bool rows) {
  const QRect bounds(control.Left(), control.Top(), control.Width(), control.Height());
  if (widget.geometry() != bounds) widget.setGeometry(bounds);
  widget.setEnabled(control.EffectivelyEnabled());

  if (auto* list = dynamic_cast<Listbox*>(&control)) {
    static_cast<ListboxView&>(widget).Sync(*list, rows);
  } else if (auto* button = dynamic_cast<PushButton*>(&control)) {
    auto& push = static_cast<QPushButton&>(widget);
    const QString caption = ToQString(button->Caption());
    if (push.text() != caption) push.setText(caption);
    SetFont(push, *button);
    push.setDefault(button->Default());
  } else if (auto* radio = dynamic_cast<RadioButton*>(&control)) {
    auto& choice = static_cast<QRadioButton&>(widget);
    const QString caption = ToQString(radio->Caption());
    if (choice.text() != caption) choice.setText(caption);
    SetFont(choice, *radio);
    choice.setChecked(radio->Value());
  } else if (auto* label = dynamic_cast<Label*>(&control)) {
    SyncLabel(static_cast<QLabel&>(widget), *label);
  } else if (auto* group = dynamic_cast<GroupBox*>(&control)) {
    auto& box = static_cast<QGroupBox&>(widget);
    const QString caption = ToQString(group->Caption());
    if (box.title() != caption) box.setTitle(caption);
    SetFont(box, *group);
  } else if (auto* bar = dynamic_cast<ProgressBar*>(&control)) {
    SyncProgressBar(static_cast<QProgressBar&>(widget), *bar);
  } else if (dynamic_cast<Separator*>(&control) != nullptr) {
    auto& line = static_cast<QFrame&>(widget);
    const QFrame::Shape shape = control.Width() >= control.Height() ? QFrame::HLine : QFrame::VLine;
    if (line.frameShape() != shape) line.setFrameShape(shape);
  }

  const bool shown = control.Shown();
  if (widget.isVisibleTo(widget.parentWidget()) != shown) widget.setVisible(shown);
}

Qt::WindowFlags FlagsOf(const Window& window) {
  Qt::WindowFlags flags;
  switch (window.Frame()) {
    case WindowFrame::Document:
      flags = Qt::Window;
      break;
    case WindowFrame::Sheet:
      flags = Qt::Sheet;
      break;
    case WindowFrame::Drawer:
      // A drawer slides out of its window's edge: no title bar, no close or
      // minimise box of its own, whatever the model asks; the desktop cannot
      // move it away from its window either.
      return Qt::Tool | Qt::FramelessWindowHint;
    case WindowFrame::ModelessDialog:
    case WindowFrame::ModalDialog:
      flags = Qt::Dialog;
      break;
  }
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (window.CloseBox()) flags |= Qt::WindowCloseButtonHint;
  if (window.MinimizeBox()) flags |= Qt::WindowMinimizeButtonHint;
  if (window.ZoomBox() && window.Resizable()) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

}  // namespace

WindowView::WindowView(const std::shared_ptr<Window>& window, WindowObserver& host)
    : link_{window, nullptr}, key_(window.get()), host_(host) {}

WindowView::~WindowView() {
  // The watcher calls back into this view; it must not outlive it.
  delete anchorWatcher_.data();
  if (!top_) return;
  top_->hide();
  top_->deleteLater();
}

QWidget* WindowView::WidgetFor(const Control& control) const {
  for (const ControlEntry& entry : controls_)
    if (entry.model == &control) return entry.widget;
  return nullptr;
}

void WindowView::Sync(Window& model, bool everything, const std::set<const Control*>& dirty,
                      const WindowView* anchor) {
  if (!top_) {
    Create(model, anchor);
    everything = true;
  }
  SyncWindow(model);
  for (auto i = static_cast<std::int32_t>(controls_.size()); i < model.ControlCount(); ++i) {
    Control& control = model.ControlAt(i);
    controls_.push_back({&control, CreateControlWidget(control, link_, host_, content_)});
  }
  for (const ControlEntry& entry : controls_) {
    if (entry.widget) SyncControl(*entry.model, *entry.widget, everything || dirty.count(entry.model) != 0);
  }

  const bool wanted = model.Visible() && !model.Closed();
  if (wanted && !top_->isVisible()) {
    if (!placed_) Place(model);
    top_->show();
  } else if (!wanted && top_->isVisible()) {
    top_->hide();
  }
  if (raise_ && wanted) {
    top_->raise();
    // A drawer comes out beside its window without taking the keyboard
    // from it.
    if (frame_ != WindowFrame::Drawer) top_->activateWindow();
  }
  raise_ = false;
}

void WindowView::LetGoOf(const QWidget* documentTop) {
  if (!top_ || documentTop == nullptr || anchor_ != documentTop) return;
  delete anchorWatcher_.data();
  anchor_ = nullptr;
  anchorContent_ = nullptr;
  const bool shown = top_->isVisible();
  top_->setParent(nullptr, top_->windowFlags());
  if (shown) top_->show();
}

void WindowView::Create(Window& model, const WindowView* anchor) {
  frame_ = model.Frame();
  controls_.clear();
  placed_ = false;
  const bool attached = frame_ == WindowFrame::Sheet || frame_ == WindowFrame::Drawer;
  anchor_ = attached && anchor != nullptr ? anchor->TopLevel() : nullptr;
  anchorContent_ = attached && anchor != nullptr ? anchor->Content() : nullptr;

  appliedFlags_ = FlagsOf(model);
  auto* top = new WindowWidget(link_, host_, anchor_, appliedFlags_);
  top_ = top;
  if (frame_ != WindowFrame::Document) GiveEdge(*top);
  content_ = new ContentArea(link_, host_, top);
  auto* layout = new QVBoxLayout(top);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(content_);

  if (frame_ == WindowFrame::Drawer && anchor_) {
    delete anchorWatcher_.data();
    auto* watcher = new MoveWatcher(top, [this] { PlaceBeside(/*movePair=*/false); });
    anchor_->installEventFilter(watcher);
    anchorWatcher_ = watcher;
  }
}

void WindowView::SyncWindow(Window& model) {
  // A sheet or a drawer shows no title of its own: where the desktop draws a
  // title bar for it anyway, Qt puts the program's name there.
  const bool attached = frame_ == WindowFrame::Sheet || frame_ == WindowFrame::Drawer;
  const QString title = attached ? QString() : ToQString(model.Title());
  if (top_->windowTitle() != title) top_->setWindowTitle(title);

  // Flags and modality take effect only on a hidden window; the visibility
  // step of Sync shows it again.
  // Compared with what was last asked for, not with windowFlags(): the
  // platform may add hints of its own.
  const Qt::WindowFlags flags = FlagsOf(model);
  if (flags != appliedFlags_) {
    top_->hide();
    top_->setWindowFlags(flags);
    appliedFlags_ = flags;
  }
  Qt::WindowModality modality = Qt::NonModal;
  if (model.Modal()) modality = frame_ == WindowFrame::Sheet && anchor_ ? Qt::WindowModal : Qt::ApplicationModal;
  if (top_->windowModality() != modality) {
    top_->hide();
    top_->setWindowModality(modality);
  }

  const QSize size(model.Width(), model.Height());
  if (model.Resizable()) {
    content_->setMinimumSize(size);
    content_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    top_->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
  } else {
    if (content_->minimumSize() != size || content_->maximumSize() != size) content_->setFixedSize(size);
    // The window is exactly the content plus the menu bar, and cannot be
    // resized (or zoomed) by the person.
    top_->layout()->setSizeConstraint(QLayout::SetFixedSize);
  }
  SyncMenuBar(model);
}

void WindowView::SyncMenuBar(Window& model) {
  std::shared_ptr<MenuBar> bar;
  if (frame_ == WindowFrame::Document) {
    bar = model.MenuBar();
    // A document window without a bar of its own shows the application's,
    // as the screen's menu bar would while it is in front.
    if (!bar)
      if (Application* app = Application::Current()) bar = app->MenuBar();
  }
  const std::shared_ptr<MenuBar> shown = menuBar_ ? menuBar_->Model() : nullptr;
  if (bar == shown) return;
  auto* layout = static_cast<QVBoxLayout*>(top_->layout());
  if (menuBar_) {
    layout->setMenuBar(nullptr);
    delete menuBar_;
  }
  if (!bar) return;
  menuBar_ = new MenuBarView(bar, top_);
  layout->setMenuBar(menuBar_);
}

void WindowView::Place(Window& model) {
  placed_ = true;
  top_->adjustSize();
  const QSize size = top_->size();
  switch (frame_) {
    case WindowFrame::Sheet:
      if (anchorContent_) {
        // Down from the top of the document's content, centred across it.
        const QPoint origin = anchorContent_->mapToGlobal(QPoint(0, 0));
        top_->move(origin.x() + (anchorContent_->width() - size.width()) / 2, origin.y());
        return;
      }
      break;
    case WindowFrame::Drawer:
      if (anchor_) {
        PlaceBeside(/*movePair=*/true);
        return;
      }
      break;
    case WindowFrame::Document:
    case WindowFrame::ModelessDialog:
    case WindowFrame::ModalDialog:
      break;
  }
  if (model.Placement() == WindowPlacement::AsSet) {
    top_->move(model.Left(), model.Top());
    return;
  }
  // Documents go where the platform puts them; dialogs and windows asked to
  // be centred go to the middle of the main screen.
  if (frame_ == WindowFrame::Document && model.Placement() == WindowPlacement::Default) return;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    top_->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
  }
}

void WindowView::PlaceBeside(bool movePair) {
  if (!top_ || !anchor_ || !anchorContent_) return;
  // Out of the document's right edge, centred on its content's height, as a
  // drawer slides out.
  QRect frame = anchor_->frameGeometry();
  if (movePair) {
    // Coming out where it would not fit on the screen, the drawer takes its
    // window along to the left, as far as the screen's left edge allows.
    if (const QScreen* screen = anchor_->screen()) {
      const QRect area = screen->availableGeometry();
      const int drawerRight = frame.right() + top_->width();  // frameless: its width is all of it
      const int shift = std::min(drawerRight - area.right(), frame.left() - area.left());
      if (shift > 0) {
        anchor_->move(anchor_->pos() - QPoint(shift, 0));
        frame.translate(-shift, 0);
      }
    }
  }
  // The content's place on the screen, from the frame as it stands now (the
  // desktop may not have carried out a move just asked for).
  const QPoint content = frame.topLeft() + (anchor_->geometry().topLeft() - anchor_->frameGeometry().topLeft()) +
                         anchorContent_->mapTo(anchor_, QPoint(0, 0));
  const int top = content.y() + std::max(0, (anchorContent_->height() - top_->height()) / 2);
  top_->move(frame.right() + 1, top);
}

}  // namespace framework
