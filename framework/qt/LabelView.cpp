#include "framework/qt/LabelView.h"

#include <QPainter>
#include <QTextLayout>

namespace framework {

int LabelView::LineHeight() const {
  const int size = font().pixelSize() > 0 ? font().pixelSize() : QFontMetrics(font()).height() * 3 / 4;
  return size + (size + 2) / 3;  // 12 px -> 16, 14 px -> 19, 10 px -> 14
}

int LabelView::NeededHeight() const { return Lay(nullptr); }

void LabelView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setFont(font());
  const QPalette::ColorGroup group = !isEnabled()       ? QPalette::Disabled
                                     : isActiveWindow() ? QPalette::Active
                                                        : QPalette::Inactive;
  painter.setPen(palette().color(group, QPalette::WindowText));
  Lay(&painter);
}

int LabelView::Lay(QPainter* painter) const {
  QTextOption option;
  option.setWrapMode(wordWrap() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  option.setAlignment(alignment() & Qt::AlignHorizontal_Mask);

  const int step = LineHeight();
  const QFontMetricsF metrics(font());
  // Centre the glyphs' own height in the tighter line.
  const qreal lift = (metrics.height() - step) / 2;
  int top = 0;
  for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, font());
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width());
      line.setPosition(QPointF(0, top - lift));
      top += step;
    }
    layout.endLayout();
    if (painter != nullptr) layout.draw(painter, QPointF(0, 0));
  }
  return top;
}

}  // namespace framework
