// A label drawn with the line spacing of the window's design.
//
// The window's multi-line labels are laid out for a system font whose lines
// are about a third taller than its size. The Japanese font here has much
// larger ascent and descent, so QLabel's own spacing would push the last
// line of a full label out of its box. This label keeps QLabel's interface
// (text, alignment, word wrap, palette) and only paints the lines itself,
// one every LineHeight() pixels, wrapping Japanese text anywhere and Latin
// text at word boundaries.
#pragma once

#include <QLabel>

namespace framework {

class LabelView : public QLabel {
 public:
  using QLabel::QLabel;

  // Distance between two baselines for the label's font.
  int LineHeight() const;
  // The height its text takes at its present width.
  int NeededHeight() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Lays the text out line by line, one every LineHeight(); calls
  // draw(layout) after each paragraph when given; returns the height used.
  int Lay(QPainter* painter) const;
};

}  // namespace framework
