#pragma once
#include <QComboBox>
#include <functional>

class QPainter;

// A combo box that looks flat: at rest its frame melts into the window colour; while the mouse is
// over it or it has the focus, its inner border shows. The drop-down button is drawn flat too.
class TFlatComboBox : public QComboBox {
  Q_OBJECT
 public:
  enum TFlatComboState : unsigned { fcsHot = 1u << 0, fcsPressed = 1u << 1, fcsFocused = 1u << 2 };

  explicit TFlatComboBox(QWidget* parent = nullptr);

  unsigned States() const { return states_; }

  // The list is about to open (raised before it shows) / has closed. Unset: skipped.
  std::function<void(TFlatComboBox* sender)> OnDropDown;
  std::function<void(TFlatComboBox* sender)> OnCloseUp;

  // Height := the font's text height + 6 pixels.
  void AdjustHeight();
  // The drop-down button, in widget coordinates.
  QRect ButtonRect() const;
  bool ListOpen() const { return listOpen_; }

  // The 5-3-1 arrow in left, top, right, bottom (right and bottom exclusive).
  static void DrawArrow(QPainter& painter, int left, int top, int right, int bottom, const QColor& color);

  void showPopup() override;
  void hidePopup() override;

 protected:
  // The platform's drop-down notification; raises OnDropDown.
  virtual void DropDown();
  // The list has closed and the choice (if any) is applied; raises OnCloseUp.
  virtual void CloseUp();

  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void DrawFrame(QPainter& painter);
  void DrawButton(QPainter& painter);
  void PlaceLineEdit();
  void SelectionChanged();

  unsigned states_ = 0;
  bool listOpen_ = false;
};
