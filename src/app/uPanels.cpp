#include "app/uPanels.h"

#include <QMouseEvent>

TPanel::TPanel(QWidget* parent) : QFrame(parent) {}

void TPanel::SetColor(const QColor& color) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, color);
  setPalette(pal);
  setAutoFillBackground(true);
}

void TPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  if (OnResize) OnResize(this);
}

TSplitterBar::TSplitterBar(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::SizeVerCursor);
  setFixedHeight(4);
}

void TSplitterBar::SetControl(QWidget* below, int minimumHeight) {
  below_ = below;
  minimum_ = minimumHeight;
}

void TSplitterBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !below_) return;
  dragging_ = true;
  pressY_ = int(event->globalPosition().y());
  pressHeight_ = below_->height();
}

void TSplitterBar::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !below_) return;
  int h = pressHeight_ - (int(event->globalPosition().y()) - pressY_);
  // Never below the minimum, and never so high that the form area above disappears.
  const QWidget* area = parentWidget();
  const int maxH = area ? qMax(minimum_, area->height() - 80) : h;
  h = qBound(minimum_, h, maxH);
  below_->setFixedHeight(h);
  if (OnMoved) OnMoved(h);
}

void TSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
}
