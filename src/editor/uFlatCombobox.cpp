#include "editor/uFlatCombobox.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

#include "editor/uVisualStyles.h"

TFlatComboBox::TFlatComboBox(QWidget* parent) : QComboBox(parent) {
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setFrame(false);
  resize(width(), 25);
  connect(this, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int) { SelectionChanged(); });
  connect(this, &QComboBox::editTextChanged, this, [this](const QString&) { SelectionChanged(); });
}

void TFlatComboBox::SelectionChanged() {
  states_ &= ~fcsPressed;
  update();
}

void TFlatComboBox::AdjustHeight() { resize(width(), QFontMetrics(font()).height() + 6); }

QRect TFlatComboBox::ButtonRect() const {
  const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  return QRect(QPoint(width() - sb - 2, 2), QPoint(width() - 3, height() - 3));
}

void TFlatComboBox::DrawArrow(QPainter& painter, int left, int top, int right, int bottom, const QColor& color) {
  if (right - left < 5) return;
  int x0 = (left + right - 5) / 2 + 1;
  if ((right - left) % 2 != 0) x0 -= 1;
  const int y0 = (top + bottom) / 2 - 1;
  painter.fillRect(QRect(x0, y0, 5, 1), color);
  painter.fillRect(QRect(x0 + 1, y0 + 1, 3, 1), color);
  painter.fillRect(QRect(x0 + 2, y0 + 2, 1, 1), color);
}

void TFlatComboBox::showPopup() {
  DropDown();
  listOpen_ = true;
  QComboBox::showPopup();
}

void TFlatComboBox::hidePopup() {
  const bool wasOpen = listOpen_;
  QComboBox::hidePopup();
  listOpen_ = false;
  if (!wasOpen) return;
  // The list applies a choice only after it has hidden itself; the close-up handling runs once
  // that is done, so it sees the chosen item.
  QTimer::singleShot(0, this, [this] {
    states_ &= ~fcsPressed;
    update();
    CloseUp();
  });
}

void TFlatComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TFlatComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TFlatComboBox::enterEvent(QEnterEvent* e) {
  QComboBox::enterEvent(e);
  if (!(states_ & fcsFocused)) {
    states_ |= fcsHot;
    update();
  }
}

void TFlatComboBox::leaveEvent(QEvent* e) {
  QComboBox::leaveEvent(e);
  if (!(states_ & fcsFocused)) {
    states_ &= ~fcsHot;
    update();
  }
}

void TFlatComboBox::focusInEvent(QFocusEvent* e) {
  states_ |= fcsFocused;
  QComboBox::focusInEvent(e);
  update();
}

void TFlatComboBox::focusOutEvent(QFocusEvent* e) {
  // The open list takes the focus for a moment; the box still counts as focused then.
  if (e->reason() != Qt::PopupFocusReason) states_ &= ~fcsFocused;
  QComboBox::focusOutEvent(e);
  update();
}

void TFlatComboBox::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) states_ |= fcsPressed;
  QComboBox::mousePressEvent(e);
}

void TFlatComboBox::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) states_ &= ~fcsPressed;
  QComboBox::mouseReleaseEvent(e);
}

void TFlatComboBox::changeEvent(QEvent* e) {
  QComboBox::changeEvent(e);
  if (e->type() == QEvent::EnabledChange) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, isEnabled() ? SysWindowColor(this) : SysButtonFaceColor(this));
    pal.setColor(QPalette::Text, isEnabled() ? SysWindowTextColor(this) : SysButtonShadowColor(this));
    setPalette(pal);
  } else if (e->type() == QEvent::FontChange) {
    AdjustHeight();
  }
}

void TFlatComboBox::resizeEvent(QResizeEvent* e) {
  QComboBox::resizeEvent(e);
  PlaceLineEdit();
}

void TFlatComboBox::showEvent(QShowEvent* e) {
  QComboBox::showEvent(e);
  PlaceLineEdit();
}

void TFlatComboBox::PlaceLineEdit() {
  // The edit part lies inside the three frame rings and left of the button.
  if (QLineEdit* le = lineEdit()) {
    const QRect b = ButtonRect();
    le->setGeometry(3, 3, std::max(0, b.left() - 3), std::max(0, height() - 6));
  }
}

void TFlatComboBox::paintEvent(QPaintEvent*) {
  if (lineEdit() && lineEdit()->geometry().left() != 3) PlaceLineEdit();
  QPainter p(this);
  const QPalette pal = palette();
  p.fillRect(rect(), pal.color(QPalette::Base));
  if (!isEditable()) {
    const QRect b = ButtonRect();
    QRect textRect(QPoint(3, 3), QPoint(b.left() - 1, height() - 4));
    QColor textColor = pal.color(QPalette::Text);
    if ((states_ & fcsFocused) && !listOpen_ && hasFocus()) {
      p.fillRect(textRect, pal.color(QPalette::Highlight));
      textColor = pal.color(QPalette::HighlightedText);
    }
    p.setPen(textColor);
    p.setFont(font());
    p.drawText(textRect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, currentText());
  }
  DrawFrame(p);
}

void TFlatComboBox::DrawFrame(QPainter& p) {
  QRect r = rect();
  const QColor window = SysWindowColor(this);
  const int rings = (states_ & (fcsHot | fcsFocused)) ? 2 : 3;
  for (int i = 0; i < rings; ++i) {
    FrameRect1(p, r, window);
    r.adjust(1, 1, -1, -1);
  }
  if (rings == 2) {
    // The control's own inner border, which the two rings leave visible.
    FrameRect1(p, r, SysButtonShadowColor(this));
  }
  DrawButton(p);
}

void TFlatComboBox::DrawButton(QPainter& p) {
  QRect r = ButtonRect();
  if (r.width() <= 0 || r.height() <= 0) return;
  if (VisualStylesActive()) {
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.rect = r;
    opt.subControls = QStyle::SC_ComboBoxArrow;
    opt.frame = false;
    if (!isEnabled())
      opt.state &= ~QStyle::State_Enabled;
    else if (states_ & fcsPressed)
      opt.state |= QStyle::State_Sunken, opt.activeSubControls = QStyle::SC_ComboBoxArrow;
    else if (states_ & fcsHot)
      opt.state |= QStyle::State_MouseOver, opt.activeSubControls = QStyle::SC_ComboBoxArrow;
    style()->drawComplexControl(QStyle::CC_ComboBox, &opt, &p, this);
    return;
  }
  const bool anyState = states_ != 0;
  const QColor face = SysButtonFaceColor(this);
  p.fillRect(r, face);
  FrameRect1(p, r, anyState ? face : SysWindowColor(this));
  if (anyState) {
    r.adjust(1, 0, 0, 0);
    DrawEdge1(p, r, (states_ & fcsPressed) ? TEdgeKind::SunkenOuter : TEdgeKind::RaisedInner, this);
  }
  if (states_ & fcsPressed) r.translate(1, 1);
  DrawArrow(p, r.left(), r.top(), r.right() + 1, r.bottom() + 1,
            isEnabled() ? SysWindowTextColor(this) : SysButtonShadowColor(this));
}
