#include "framework/qt/ProgressWheelView.h"

#include <QPainter>
#include <QTimerEvent>
#include <algorithm>

namespace framework {

ProgressWheelView::ProgressWheelView(QWidget* parent) : QWidget(parent) {}

void ProgressWheelView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  timer_.start(80, this);
}

void ProgressWheelView::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

void ProgressWheelView::timerEvent(QTimerEvent* event) {
  if (event->timerId() != timer_.timerId()) {
    QWidget::timerEvent(event);
    return;
  }
  step_ = (step_ + 1) % kSpokes;
  update();
}

void ProgressWheelView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = std::min(width(), height());
  painter.translate(width() / 2.0, height() / 2.0);
  const QColor ink = palette().color(QPalette::WindowText);
  QPen pen;
  pen.setWidthF(std::max<qreal>(side / 10.0, 1.0));
  pen.setCapStyle(Qt::RoundCap);
  for (int i = 0; i < kSpokes; ++i) {
    // The spoke at step_ is darkest; the ones behind it fade out.
    const int age = (step_ - i + kSpokes) % kSpokes;
    QColor colour = ink;
    colour.setAlphaF(1.0 - 0.75 * age / kSpokes);
    pen.setColor(colour);
    painter.setPen(pen);
    painter.save();
    painter.rotate(360.0 * i / kSpokes);
    painter.drawLine(QPointF(0, -side * 0.22), QPointF(0, -side * 0.45));
    painter.restore();
  }
}

}  // namespace framework
