#include "editor/uqvFlatButton.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

#include "editor/uVisualStyles.h"

namespace {

const char* const kAlignmentProperty = "kalnoMenuAlignment";

TQVFlatButton::TMenuPopper& MenuPopper() {
  static TQVFlatButton::TMenuPopper popper;
  return popper;
}

int RoundEven(double v) { return int(std::nearbyint(v)); }

double HueToChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (6 * t < 1) return p + (q - p) * 6 * t;
  if (2 * t < 1) return q;
  if (3 * t < 2) return p + (q - p) * (2.0 / 3.0 - t) * 6;
  return p;
}

}  // namespace

void SetMenuAlignment(QMenu* menu, TMenuAlignment alignment) {
  if (menu) menu->setProperty(kAlignmentProperty, int(alignment));
}

TMenuAlignment MenuAlignment(const QMenu* menu) {
  if (!menu) return TMenuAlignment::Left;
  const QVariant v = menu->property(kAlignmentProperty);
  return v.isValid() ? TMenuAlignment(v.toInt()) : TMenuAlignment::Left;
}

TQVFlatButton::TQVFlatButton(QWidget* parent)
    : QWidget(parent),
      color_(QApplication::palette().color(QPalette::Active, QPalette::Window)),
      borderColor_(Qt::black),
      highlightColor_(QColor(0x80, 0x80, 0x80)),
      highlightColorText_(Qt::white),
      fontColor_(QApplication::palette().color(QPalette::Active, QPalette::ButtonText)) {
  setAttribute(Qt::WA_Hover, false);
  setMouseTracking(false);
  setFocusPolicy(Qt::StrongFocus);
  resize(40, 20);
  LayoutParts();
}

TQVFlatButton::~TQVFlatButton() = default;

void TQVFlatButton::SetMenuPopper(TMenuPopper popper) { MenuPopper() = std::move(popper); }

void TQVFlatButton::SetFlat(bool flat) {
  if (flat_ == flat) return;
  flat_ = flat;
  update();
}

void TQVFlatButton::SetStyle(TQVFlatButtonStyle style) {
  style_ = style;
  LayoutParts();
  update();
}

void TQVFlatButton::SetDropDownWidth(int width) {
  // Takes effect on the parts at the next size or style change.
  dropDownWidth_ = width;
  update();
}

void TQVFlatButton::SetColor(const QColor& color) {
  color_ = color;
  update();
}

void TQVFlatButton::SetBorderColor(const QColor& color) {
  borderColor_ = color;
  update();
}

void TQVFlatButton::SetFontColor(const QColor& color) {
  fontColor_ = color;
  update();
}

void TQVFlatButton::SetComboPopupMenu(QMenu* menu) { menu_ = menu; }

void TQVFlatButton::SetCaption(const QString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  UpdateShortcut();
  update();
}

bool TQVFlatButton::TabStop() const { return focusPolicy() & Qt::TabFocus; }

// Without a tab stop the button never takes the focus, not even on a click: a click on "Hilfe ?"
// must not check and leave the field being typed in, nor make Return and Space act on the button.
void TQVFlatButton::SetTabStop(bool tabStop) { setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus); }

void TQVFlatButton::UpdateShortcut() {
  if (shortcutId_) releaseShortcut(shortcutId_);
  shortcutId_ = 0;
  const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
  if (!mnemonic.isEmpty()) shortcutId_ = grabShortcut(mnemonic);
}

void TQVFlatButton::LayoutParts() {
  const QRect client = rect();
  if (style_ == fbCombo) {
    buttonRect_ = QRect(QPoint(client.left(), client.top()), QPoint(client.right() - dropDownWidth_, client.bottom()));
    // The parts share one pixel column.
    dropDownRect_ = QRect(QPoint(buttonRect_.right(), client.top()), client.bottomRight());
  } else {
    buttonRect_ = client;
    dropDownRect_ = QRect();
  }
}

void TQVFlatButton::Click() {
  if (OnClick) OnClick(this);
}

void TQVFlatButton::DropDown() {
  QMenu* menu = menu_.data();
  if (!menu) return;
  QPoint anchor(0, height());
  const TMenuAlignment alignment = MenuAlignment(menu);
  if (alignment == TMenuAlignment::Right) anchor.setX(width());
  if (alignment == TMenuAlignment::Center) anchor.setX(width() / 2);
  QPoint global = mapToGlobal(anchor);
  // The menu's own edge goes to the anchor: left edge, right edge or centre.
  const int menuWidth = menu->sizeHint().width();
  if (alignment == TMenuAlignment::Right) global.rx() -= menuWidth;
  if (alignment == TMenuAlignment::Center) global.rx() -= menuWidth / 2;
  QPointer<TQVFlatButton> self(this);
  if (MenuPopper())
    MenuPopper()(menu, global);
  else
    menu->exec(global);
  if (!self) return;
  if (!rect().contains(mapFromGlobal(QCursor::pos()))) {
    over_ = false;
    update();
  }
}

bool TQVFlatButton::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    auto* se = static_cast<QShortcutEvent*>(e);
    if (se->shortcutId() == shortcutId_ && isEnabled() && isVisible()) {
      if (style_ == fbDropDown)
        DropDown();
      else
        Click();
      return true;
    }
  }
  return QWidget::event(e);
}

void TQVFlatButton::PressAt(const QPoint& p) {
  tracking_ = true;
  if (buttonRect_.contains(p)) {
    buttonPressed_ = true;
    pressedPart_ = 1;
  }
  if (dropDownRect_.contains(p)) {
    dropDownPressed_ = true;
    pressedPart_ = 2;
  }
  update();
}

void TQVFlatButton::MoveTo(const QPoint& p) {
  if (!tracking_) return;
  buttonPressed_ = pressedPart_ == 1 && buttonRect_.contains(p);
  dropDownPressed_ = pressedPart_ == 2 && dropDownRect_.contains(p);
}

void TQVFlatButton::ReleaseAt(const QPoint& p) {
  if (!tracking_) return;
  buttonPressed_ = false;
  dropDownPressed_ = false;
  tracking_ = false;
  update();
  const int part = pressedPart_;
  pressedPart_ = 0;
  QPointer<TQVFlatButton> self(this);
  if (part == 1 && buttonRect_.contains(p)) {
    if (style_ == fbDropDown) {
      if (menu_)
        DropDown();
      else
        Click();
      if (!self) return;
      over_ = false;
      update();
    } else {
      Click();
    }
  } else if (part == 2 && dropDownRect_.contains(p)) {
    DropDown();
  }
}

void TQVFlatButton::mousePressEvent(QMouseEvent* e) {
  QWidget::mousePressEvent(e);
  if (TabStop()) setFocus(Qt::MouseFocusReason);
  if (e->button() == Qt::LeftButton) PressAt(e->position().toPoint());
}

void TQVFlatButton::mouseMoveEvent(QMouseEvent* e) {
  QWidget::mouseMoveEvent(e);
  MoveTo(e->position().toPoint());
}

void TQVFlatButton::mouseReleaseEvent(QMouseEvent* e) {
  QWidget::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton) ReleaseAt(e->position().toPoint());
}

void TQVFlatButton::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
    if (!tracking_) PressAt(QPoint(1, 1));
    e->accept();
    return;
  }
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && isEnabled() && hasFocus()) {
    if (style_ == fbDropDown || (e->modifiers() & Qt::ControlModifier))
      DropDown();
    else
      Click();
    e->accept();
    return;
  }
  QWidget::keyPressEvent(e);
}

void TQVFlatButton::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space) {
    if (!e->isAutoRepeat()) ReleaseAt(QPoint(1, 1));
    e->accept();
    return;
  }
  QWidget::keyReleaseEvent(e);
}

void TQVFlatButton::enterEvent(QEnterEvent* e) {
  QWidget::enterEvent(e);
  over_ = true;
  update();
}

void TQVFlatButton::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  over_ = false;
  update();
}

void TQVFlatButton::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  focused_ = true;
  update();
}

void TQVFlatButton::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  focused_ = false;
  update();
}

void TQVFlatButton::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  LayoutParts();
  update();
}

void TQVFlatButton::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::EnabledChange) update();
}

QColor TQVFlatButton::AdjustLightness(const QColor& color, double percent) {
  const QColor rgb = color.toRgb();
  const double r = rgb.red() / 255.0, g = rgb.green() / 255.0, b = rgb.blue() / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double l = (mx + mn) / 2;
  double h = 0, s = 0;
  if (mx != mn) {
    const double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (mx == r)
      h = (g - b) / d;
    else if (mx == g)
      h = 2 + (b - r) / d;
    else
      h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
  }
  l = std::clamp(l * (1 + percent / 100), 0.0, 1.0);
  if (s == 0) {
    const int v = RoundEven(l * 255);
    return QColor(v, v, v);
  }
  const double q = l <= 0.5 ? l * (1 + s) : l + s - l * s;
  const double p = 2 * l - q;
  auto channel = [&](double t) { return std::clamp(RoundEven(HueToChannel(p, q, t) * 255), 0, 255); };
  return QColor(channel(h + 1.0 / 3.0), channel(h), channel(h - 1.0 / 3.0));
}

void TQVFlatButton::DrawArrow(QPainter& painter, int left, int top, int right, int bottom, const QColor& color) {
  const int w = right - left;
  if (w < 5) return;
  int x = (left + right - 5) / 2 + 1;
  if (w % 2 != 0) x -= 1;
  const int y = (top + bottom - 3) / 2 + 1;
  painter.fillRect(QRect(x, y, 5, 1), color);
  painter.fillRect(QRect(x + 1, y + 1, 3, 1), color);
  painter.fillRect(QRect(x + 2, y + 2, 1, 1), color);
}

void TQVFlatButton::PaintFace(QPainter& painter, const QRect& r, const QColor& face, const QColor& outline) {
  if (r.isEmpty()) return;
  const QColor base = AdjustLightness(face, 10);
  QImage bmp(256, 256, QImage::Format_RGB32);
  bmp.fill(base);
  {
    QPainter g(&bmp);
    QLinearGradient top(0, 0, 0, 64);
    top.setColorAt(0, AdjustLightness(base, 20));
    top.setColorAt(1, base);
    g.fillRect(QRect(0, 0, 256, 64), top);
    QLinearGradient bottom(0, 193, 0, 256);
    bottom.setColorAt(0, base);
    bottom.setColorAt(1, AdjustLightness(base, -20));
    g.fillRect(QRect(0, 193, 256, 63), bottom);
  }
  painter.drawImage(r, bmp);
  FrameRect1(painter, r, outline);
}

void TQVFlatButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font());
  const bool enabled = isEnabled();
  QColor textColor = fontColor_;
  QRect buttonText = buttonRect_;
  QRect dropText = dropDownRect_;

  if (useTheme_ && VisualStylesActive()) {
    QStyle* st = style();
    QStyle::State state = QStyle::State_None;
    if (!enabled)
      state = QStyle::State_None;
    else if (buttonPressed_)
      state = QStyle::State_Enabled | QStyle::State_Sunken;
    else if (over_)
      state = QStyle::State_Enabled | QStyle::State_MouseOver | QStyle::State_Raised;
    else
      state = QStyle::State_Enabled | QStyle::State_Raised;
    auto drawElement = [&](const QRect& r) -> QRect {
      if (flat_) {
        QStyleOptionToolButton opt;
        opt.initFrom(this);
        opt.rect = r;
        opt.state = state | QStyle::State_AutoRaise;
        st->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &p, this);
        return r.adjusted(3, 3, -3, -3);
      }
      QStyleOptionButton opt;
      opt.initFrom(this);
      opt.rect = r;
      opt.state = state;
      if (focused_ && enabled) opt.features |= QStyleOptionButton::DefaultButton;
      st->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
      return st->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
    };
    buttonText = drawElement(buttonRect_);
    if (style_ == fbCombo) dropText = drawElement(dropDownRect_.adjusted(-1, 0, 0, 0));
    if (focused_) {
      QStyleOptionFocusRect fr;
      fr.initFrom(this);
      fr.rect = buttonText.adjusted(2, 2, -2, -2);
      st->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, &p, this);
    }
    if (!enabled) textColor = highlightColor_;
  } else {
    if (flat_) {
      const QColor outline = enabled ? borderColor_ : highlightColor_;
      QColor face = color_;
      if (buttonPressed_) face = highlightColor_;
      PaintFace(p, buttonRect_, face, outline);
      if (dropDownPressed_) face = highlightColor_;
      if (style_ == fbCombo) PaintFace(p, dropDownRect_, face, outline);
    } else {
      p.fillRect(rect(), color_);
      DrawEdge1(p, buttonRect_, buttonPressed_ ? TEdgeKind::SunkenInner : TEdgeKind::RaisedInner);
      if (style_ == fbCombo)
        DrawEdge1(p, dropDownRect_.adjusted(1, 0, 0, 0),
                  dropDownPressed_ ? TEdgeKind::SunkenInner : TEdgeKind::RaisedInner);
    }
    if (focused_) {
      QStyleOptionFocusRect fr;
      fr.initFrom(this);
      fr.rect = buttonRect_.adjusted(2, 2, -2, -2);
      fr.backgroundColor = color_;
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, &p, this);
    }
    if (over_ || tracking_) textColor = highlightColorText_;
    if (!enabled) textColor = highlightColor_;
  }

  p.setPen(textColor);
  p.setBackgroundMode(Qt::TransparentMode);
  const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
  if (style_ == fbDropDown) {
    QString shown = caption_;
    shown.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    const int tw = p.fontMetrics().horizontalAdvance(shown);
    const int x = (width() - tw - 12) / 2;
    p.drawText(QRect(x, 0, tw, height()), flags | Qt::AlignLeft, caption_);
    DrawArrow(p, x + tw, 0, x + tw + dropDownWidth_, height(), textColor);
  } else {
    p.drawText(buttonText, flags | Qt::AlignHCenter, caption_);
    if (style_ == fbCombo)
      DrawArrow(p, dropText.left(), dropText.top(), dropText.right() + 1, dropText.bottom() + 1, textColor);
  }
}
