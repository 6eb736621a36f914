#include "editor/uVisualStyles.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>

namespace {
int g_forced = -1;  // -1: ask the style
}

bool VisualStylesActive() {
  if (g_forced >= 0) return g_forced == 1;
  if (!qApp) return false;
  const QString name = QApplication::style() ? QApplication::style()->name().toLower() : QString();
  return name == QLatin1String("windowsvista") || name == QLatin1String("windows11");
}

void SetVisualStylesActive(bool active) { g_forced = active ? 1 : 0; }
void ResetVisualStyles() { g_forced = -1; }

#include <QPainter>
#include <QPalette>

namespace {
QColor Classic(const QWidget* control, QPalette::ColorRole role) {
  const QWidget* parent = control ? control->parentWidget() : nullptr;
  return (parent ? parent->palette() : QApplication::palette()).color(QPalette::Active, role);
}
}  // namespace

QColor SysWindowColor(const QWidget* control) { return Classic(control, QPalette::Base); }
QColor SysWindowTextColor(const QWidget* control) { return Classic(control, QPalette::Text); }
QColor SysButtonFaceColor(const QWidget* control) { return Classic(control, QPalette::Button); }
QColor SysButtonShadowColor(const QWidget* control) { return Classic(control, QPalette::Dark); }
QColor SysButtonHighlightColor(const QWidget* control) { return Classic(control, QPalette::Light); }
QColor SysButtonLightColor(const QWidget* control) { return Classic(control, QPalette::Midlight); }
QColor SysButtonDarkShadowColor(const QWidget* control) { return Classic(control, QPalette::Shadow); }

QPalette FormPalette() {
  // The classic desktop's colours.
  const QColor face(0xF0, 0xF0, 0xF0), text(Qt::black), grey(0x6D, 0x6D, 0x6D);
  QPalette p(text, face, Qt::white, QColor(0xA0, 0xA0, 0xA0), QColor(0xA0, 0xA0, 0xA0), text, Qt::white,
             Qt::white, face);
  p.setColor(QPalette::Midlight, QColor(0xE3, 0xE3, 0xE3));
  p.setColor(QPalette::Shadow, QColor(0x69, 0x69, 0x69));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::AlternateBase, QColor(0xF7, 0xF7, 0xF7));
  p.setColor(QPalette::Highlight, QColor(0x00, 0x78, 0xD7));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, grey);
  p.setColor(QPalette::Link, QColor(0x00, 0x00, 0xFF));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, grey);
  return p;
}

void FrameRect1(QPainter& painter, const QRect& r, const QColor& color) {
  if (r.width() <= 0 || r.height() <= 0) return;
  painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
  painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
  painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
}

void DrawEdge1(QPainter& painter, const QRect& r, TEdgeKind kind, const QWidget* control) {
  if (r.width() <= 0 || r.height() <= 0) return;
  QColor tl, br;
  switch (kind) {
    case TEdgeKind::RaisedInner: tl = SysButtonHighlightColor(control); br = SysButtonShadowColor(control); break;
    case TEdgeKind::SunkenInner: tl = SysButtonDarkShadowColor(control); br = SysButtonLightColor(control); break;
    case TEdgeKind::RaisedOuter: tl = SysButtonLightColor(control); br = SysButtonDarkShadowColor(control); break;
    case TEdgeKind::SunkenOuter: tl = SysButtonShadowColor(control); br = SysButtonHighlightColor(control); break;
  }
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
  painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
  painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), tl);
  painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), tl);
}
