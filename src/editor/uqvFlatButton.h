#pragma once
#include <QColor>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>

enum TQVFlatButtonStyle { fbButton = 0, fbDropDown = 1, fbCombo = 2 };

// Where a pop-up menu lies relative to the point it is opened at: its left edge, its right edge or
// its centre there. The alignment belongs to the menu; it is kept on the menu object.
enum class TMenuAlignment { Left, Right, Center };
void SetMenuAlignment(QMenu* menu, TMenuAlignment alignment);
TMenuAlignment MenuAlignment(const QMenu* menu);

// A self-painted push button: themed (when visual styles are active and UseTheme is set), a flat
// face with a soft vertical gradient, or classic raised/sunken edges. Plain, drop-down and split
// (combo) styles; the split style's right part opens ComboPopupMenu.
class TQVFlatButton : public QWidget {
  Q_OBJECT
 public:
  explicit TQVFlatButton(QWidget* parent = nullptr);
  ~TQVFlatButton() override;

  bool Flat() const { return flat_; }
  void SetFlat(bool flat);
  bool UseTheme() const { return useTheme_; }
  void SetUseTheme(bool use) { useTheme_ = use; }
  TQVFlatButtonStyle Style() const { return style_; }
  void SetStyle(TQVFlatButtonStyle style);
  int DropDownWidth() const { return dropDownWidth_; }
  void SetDropDownWidth(int width);
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  QColor BorderColor() const { return borderColor_; }
  void SetBorderColor(const QColor& color);
  QColor HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(const QColor& color) { highlightColor_ = color; }
  QColor HighlightColorText() const { return highlightColorText_; }
  void SetHighlightColorText(const QColor& color) { highlightColorText_ = color; }
  // The colour of the caption in its normal state.
  QColor FontColor() const { return fontColor_; }
  void SetFontColor(const QColor& color);
  QMenu* ComboPopupMenu() const { return menu_.data(); }
  void SetComboPopupMenu(QMenu* menu);  // not owned; cleared when the menu is destroyed
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  bool TabStop() const;
  void SetTabStop(bool tabStop);

  // Raised with the button as sender; unset: skipped.
  std::function<void(TQVFlatButton* sender)> OnClick;

  virtual void Click();
  // Opens ComboPopupMenu below the button at the menu's alignment; returns when the menu closes.
  virtual void DropDown();

  // State, for painting and for tests.
  bool IsMouseOver() const { return over_; }
  bool ButtonPressed() const { return buttonPressed_; }
  bool DropDownPressed() const { return dropDownPressed_; }
  bool HasFocusFlag() const { return focused_; }
  int PressedPart() const { return pressedPart_; }  // 0 none, 1 button part, 2 drop-down part
  bool Tracking() const { return tracking_; }
  QRect ButtonPartRect() const { return buttonRect_; }
  QRect DropDownPartRect() const { return dropDownRect_; }

  // Lightness changed by `percent` per cent in HSL space, rounded to the even neighbour.
  static QColor AdjustLightness(const QColor& color, double percent);
  // The 5-3-1 pixel arrow centred in the rectangle left, top, right, bottom (right and bottom
  // exclusive); nothing when narrower than 5 pixels.
  static void DrawArrow(QPainter& painter, int left, int top, int right, int bottom, const QColor& color);

  // How menus are popped up (blocking until closed). Tests install one that records the request.
  using TMenuPopper = std::function<void(QMenu* menu, const QPoint& globalPos)>;
  static void SetMenuPopper(TMenuPopper popper);  // empty: QMenu::exec

  QSize sizeHint() const override { return QSize(40, 20); }

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void LayoutParts();
  void PressAt(const QPoint& p);
  void MoveTo(const QPoint& p);
  void ReleaseAt(const QPoint& p);
  void PaintFace(QPainter& painter, const QRect& r, const QColor& face, const QColor& outline);
  void UpdateShortcut();

  bool flat_ = true;
  bool useTheme_ = true;
  TQVFlatButtonStyle style_ = fbButton;
  int dropDownWidth_ = 12;
  QColor color_;
  QColor borderColor_;
  QColor highlightColor_;
  QColor highlightColorText_;
  QColor fontColor_;
  QPointer<QMenu> menu_;
  QString caption_;
  int shortcutId_ = 0;

  bool over_ = false;
  bool buttonPressed_ = false;
  bool dropDownPressed_ = false;
  bool focused_ = false;
  int pressedPart_ = 0;
  bool tracking_ = false;
  QRect buttonRect_;
  QRect dropDownRect_;
};
