#include "editor/uVisualStyles.h"

#include <QApplication>
#include <QStyle>

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

QColor SysWindowColor() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }
QColor SysWindowTextColor() { return QApplication::palette().color(QPalette::Active, QPalette::Text); }
QColor SysButtonFaceColor() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }
QColor SysButtonShadowColor() { return QApplication::palette().color(QPalette::Active, QPalette::Dark); }
QColor SysButtonHighlightColor() { return QApplication::palette().color(QPalette::Active, QPalette::Light); }
QColor SysButtonLightColor() { return QApplication::palette().color(QPalette::Active, QPalette::Midlight); }
QColor SysButtonDarkShadowColor() { return QApplication::palette().color(QPalette::Active, QPalette::Shadow); }

void FrameRect1(QPainter& painter, const QRect& r, const QColor& color) {
  if (r.width() <= 0 || r.height() <= 0) return;
  painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
  painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
  painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
}

void DrawEdge1(QPainter& painter, const QRect& r, TEdgeKind kind) {
  if (r.width() <= 0 || r.height() <= 0) return;
  QColor tl, br;
  switch (kind) {
    case TEdgeKind::RaisedInner: tl = SysButtonHighlightColor(); br = SysButtonShadowColor(); break;
    case TEdgeKind::SunkenInner: tl = SysButtonDarkShadowColor(); br = SysButtonLightColor(); break;
    case TEdgeKind::RaisedOuter: tl = SysButtonLightColor(); br = SysButtonDarkShadowColor(); break;
    case TEdgeKind::SunkenOuter: tl = SysButtonShadowColor(); br = SysButtonHighlightColor(); break;
  }
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
  painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
  painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), tl);
  painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), tl);
}
