// A label drawn with the line spacing of the window's design.
//
// The window's multi-line labels are laid out for a system font whose lines
// are about a third taller than its size. The Japanese font here has much
// larger ascent and descent, so QLabel's own spacing would push the last
// line of a full label out of its box. This label keeps QLabel's interface
// (text, alignment, word wrap, palette) and only paints the lines itself,
// one every LineHeight() pixels, wrapping Japanese text anywhere and Latin
// text at word boundaries. A text with more lines than the box holds (the
// guidance line's longest messages) is drawn tighter rather than cut off.
// A button shown over the label's right part (Back over the guidance line)
// is kept clear: the text wraps before it while it shows.
#pragma once

#include <QLabel>

namespace framework {

class LabelView : public QLabel {
 public:
  using QLabel::QLabel;

  // Distance between two baselines for the label's font.
  int LineHeight() const;
  // The height its text takes at its present width with that spacing.
  int NeededHeight() const;
  // The height its text is drawn in: NeededHeight() when that fits the
  // label; else the lines are drawn closer together, down to the text's own
  // size, and then in a smaller size (not below 9 px), so that the last line
  // stays inside the box.
  int DrawnHeight() const;
  // The width the lines wrap at: the label's, or less while a button shown
  // beside it reaches into its box from the right.
  int LineWidth() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // A neighbouring button shown, hidden or moved changes where the lines wrap.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Fit {
    QFont font;
    int step;
  };
  Fit Fitted() const;
  // Lays the text out line by line in face, one every step pixels; draws
  // each paragraph when given a painter; returns the height used.
  int Lay(QPainter* painter, const QFont& face, int step) const;
};

}  // namespace framework
