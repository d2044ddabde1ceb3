#include "framework/qt/WindowEdge.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace framework {
namespace {

class Edge : public QWidget {
 public:
  explicit Edge(QWidget& window) : QWidget(&window) {
    setObjectName(QStringLiteral("WindowEdge"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    window.installEventFilter(this);
    Cover(window);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::ChildAdded:  // a widget added later must not cover the edge
        Cover(*static_cast<QWidget*>(watched));
        break;
      default:
        break;
    }
    return QWidget::eventFilter(watched, event);
  }

  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }

 private:
  void Cover(QWidget& window) {
    if (geometry() != window.rect()) setGeometry(window.rect());
    raise();
  }
};

}  // namespace

void GiveEdge(QWidget& window) {
  if (window.findChild<QWidget*>(QStringLiteral("WindowEdge"), Qt::FindDirectChildrenOnly) != nullptr) return;
  (new Edge(window))->show();
}

}  // namespace framework
