// The spinning busy wheel: twelve spokes, the bright one going round. It
// turns only while it is on screen, so a hidden wheel costs nothing.
#pragma once

#include <QBasicTimer>
#include <QWidget>

namespace framework {

class ProgressWheelView : public QWidget {
 public:
  explicit ProgressWheelView(QWidget* parent);

  bool Spinning() const { return timer_.isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  static constexpr int kSpokes = 12;
  QBasicTimer timer_;
  int step_ = 0;
};

}  // namespace framework
