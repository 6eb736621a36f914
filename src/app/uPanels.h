#pragma once
#include <QFrame>
#include <functional>

// A panel that paints its own colour and lets its owner place the children on resize.
class TPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TPanel(QWidget* parent = nullptr);
  void SetColor(const QColor& color);
  std::function<void(TPanel*)> OnResize;

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

// A horizontal bar that the user drags to change the height of the widget below it.
class TSplitterBar : public QWidget {
  Q_OBJECT
 public:
  explicit TSplitterBar(QWidget* parent = nullptr);
  // The widget whose height follows the drag, and the smallest height it may get.
  void SetControl(QWidget* below, int minimumHeight);
  // Called after the user changed the height.
  std::function<void(int height)> OnMoved;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QWidget* below_ = nullptr;
  int minimum_ = 30;
  int pressY_ = 0;
  int pressHeight_ = 0;
  bool dragging_ = false;
};
