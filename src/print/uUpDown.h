#pragma once
#include <QWidget>

class QToolButton;

// An up-down control: a pair of arrow buttons over a position with a range and a step of 1. The
// position stops at the ends of the range (no wrap-around). Horizontal: left decreases, right
// increases; vertical: up increases, down decreases.
class TUpDown : public QWidget {
  Q_OBJECT
 public:
  TUpDown(Qt::Orientation orientation, QWidget* parent = nullptr);

  int Position() const { return position_; }
  void SetPosition(int position);  // clamped into the range
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  Qt::Orientation Orientation() const { return orientation_; }

  // The arrow that increases the position (right or up) and the one that decreases it.
  QToolButton* IncreaseButton() const { return increase_; }
  QToolButton* DecreaseButton() const { return decrease_; }

 Q_SIGNALS:
  // After every click on an arrow, also when the position is already at its end.
  void Clicked(bool increased);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Step(bool increase);
  Qt::Orientation orientation_;
  int position_ = 0;
  int min_ = 0;
  int max_ = 100;
  QToolButton* increase_;
  QToolButton* decrease_;
};
