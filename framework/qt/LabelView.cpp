#include "framework/qt/LabelView.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace framework {
namespace {

// The smallest text a too-full label is shrunk to; smaller is not legible.
constexpr int kSmallestPixels = 9;
// Room left between the text and a button it wraps before.
constexpr int kButtonGap = 8;

int PixelsOf(const QFont& font) {
  return font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height() * 3 / 4;
}

int StepFor(int pixels) { return pixels + (pixels + 2) / 3; }  // 12 px -> 16, 14 px -> 19, 10 px -> 14

}  // namespace

int LabelView::LineWidth() const {
  int lineWidth = width();
  if (parentWidget() == nullptr) return lineWidth;
  const QRect box = geometry();
  for (const QObject* child : parentWidget()->children()) {
    const auto* button = qobject_cast<const QAbstractButton*>(child);
    if (button == nullptr || button->isHidden() || !button->geometry().intersects(box)) continue;
    // Only a button over the label's right end takes line room; one that
    // just touches the box elsewhere (再取得 under the scan text) leaves the
    // text its full width.
    if (button->geometry().right() + kButtonGap < box.right()) continue;
    if (button->x() > box.x()) lineWidth = std::min(lineWidth, button->x() - box.x() - kButtonGap);
  }
  return std::max(lineWidth, 1);
}

void LabelView::showEvent(QShowEvent* event) {
  QLabel::showEvent(event);
  if (parentWidget() == nullptr) return;
  // Installing again moves the filter, never doubles it.
  for (QObject* child : parentWidget()->children())
    if (qobject_cast<QAbstractButton*>(child) != nullptr) child->installEventFilter(this);
}

bool LabelView::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
      update();
      break;
    default:
      break;
  }
  return QLabel::eventFilter(watched, event);
}

int LabelView::LineHeight() const { return StepFor(PixelsOf(font())); }

int LabelView::NeededHeight() const { return Lay(nullptr, font(), LineHeight()); }

int LabelView::DrawnHeight() const {
  const Fit fit = Fitted();
  return Lay(nullptr, fit.font, fit.step);
}

LabelView::Fit LabelView::Fitted() const {
  // The design's spacing when the text fits; else the lines come closer,
  // down to the text's own size, and only then does the text get smaller:
  // the last line must never be cut off (the guidance line's longest
  // messages wrap to more lines than its box holds).
  Fit fit{font(), LineHeight()};
  if (height() <= 0) return fit;
  for (int pixels = PixelsOf(fit.font); pixels >= kSmallestPixels; --pixels) {
    fit.font.setPixelSize(pixels);
    const int lines = Lay(nullptr, fit.font, 1);
    if (lines <= 0) return fit;
    fit.step = std::min(StepFor(pixels), height() / lines);
    if (fit.step >= pixels) return fit;
  }
  fit.step = std::max(fit.step, 1);
  return fit;
}

void LabelView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const Fit fit = Fitted();
  painter.setFont(fit.font);
  const QPalette::ColorGroup group = !isEnabled()       ? QPalette::Disabled
                                     : isActiveWindow() ? QPalette::Active
                                                        : QPalette::Inactive;
  painter.setPen(palette().color(group, QPalette::WindowText));
  Lay(&painter, fit.font, fit.step);
}

int LabelView::Lay(QPainter* painter, const QFont& face, int step) const {
  QTextOption option;
  option.setWrapMode(wordWrap() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  option.setAlignment(alignment() & Qt::AlignHorizontal_Mask);

  const QFontMetricsF metrics(face);
  // Centre the glyphs' own height in the tighter line.
  const qreal lift = (metrics.height() - step) / 2;
  const int lineWidth = LineWidth();
  int top = 0;
  for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, face);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(lineWidth);
      line.setPosition(QPointF(0, top - lift));
      top += step;
    }
    layout.endLayout();
    if (painter != nullptr) layout.draw(painter, QPointF(0, 0));
  }
  return top;
}

}  // namespace framework
