#include "print/uUpDown.h"

#include <QKeyEvent>
#include <QToolButton>

TUpDown::TUpDown(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation), increase_(new QToolButton(this)), decrease_(new QToolButton(this)) {
  const bool horz = orientation == Qt::Horizontal;
  increase_->setArrowType(horz ? Qt::RightArrow : Qt::UpArrow);
  decrease_->setArrowType(horz ? Qt::LeftArrow : Qt::DownArrow);
  for (QToolButton* b : {increase_, decrease_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
  }
  increase_->setAccessibleName(horz ? QStringLiteral("Nach rechts") : QStringLiteral("Nach oben"));
  decrease_->setAccessibleName(horz ? QStringLiteral("Nach links") : QStringLiteral("Nach unten"));
  connect(increase_, &QToolButton::clicked, this, [this] { Step(true); });
  connect(decrease_, &QToolButton::clicked, this, [this] { Step(false); });
  setFocusPolicy(Qt::TabFocus);
}

void TUpDown::SetRange(int min, int max) {
  min_ = qMin(min, max);
  max_ = qMax(min, max);
  SetPosition(position_);
}

void TUpDown::SetPosition(int position) { position_ = qBound(min_, position, max_); }

void TUpDown::Step(bool increase) {
  SetPosition(position_ + (increase ? 1 : -1));
  Q_EMIT Clicked(increase);
}

void TUpDown::resizeEvent(QResizeEvent*) {
  const int w = width(), h = height();
  if (orientation_ == Qt::Horizontal) {
    decrease_->setGeometry(0, 0, w / 2, h);
    increase_->setGeometry(w / 2, 0, w - w / 2, h);
  } else {
    increase_->setGeometry(0, 0, w, h / 2);
    decrease_->setGeometry(0, h / 2, w, h - h / 2);
  }
}

void TUpDown::keyPressEvent(QKeyEvent* event) {
  const bool horz = orientation_ == Qt::Horizontal;
  switch (event->key()) {
    case Qt::Key_Right: if (horz) { Step(true); return; } break;
    case Qt::Key_Left: if (horz) { Step(false); return; } break;
    case Qt::Key_Up: if (!horz) { Step(true); return; } break;
    case Qt::Key_Down: if (!horz) { Step(false); return; } break;
    default: break;
  }
  QWidget::keyPressEvent(event);
}
