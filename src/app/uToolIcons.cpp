#include "app/uToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
const char* ThemeName(TToolIcon which) {
  switch (which) {
    case TToolIcon::Save: return "document-save";
    case TToolIcon::Open: return "document-open";
    case TToolIcon::GeneralHelp: return "help-contents";
    case TToolIcon::PrintPosition: return "document-page-setup";
    case TToolIcon::New: return "document-new";
    case TToolIcon::Manual: return "help-browser";
    case TToolIcon::Print: return "document-print";
    case TToolIcon::HomePage: return "go-home";
    case TToolIcon::PrintPreview: return "document-print-preview";
    case TToolIcon::Review: return "";  // no theme has a picture that says "check the form"
  }
  return "";
}

void Sheet(QPainter& p) {
  QPainterPath path;
  path.moveTo(3, 1);
  path.lineTo(10, 1);
  path.lineTo(13, 4);
  path.lineTo(13, 15);
  path.lineTo(3, 15);
  path.closeSubpath();
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::white);
  p.drawPath(path);
  p.drawLine(10, 1, 10, 4);
  p.drawLine(10, 4, 13, 4);
}
}  // namespace

QIcon OwnToolIcon(TToolIcon which) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor green(0, 128, 0), blue(30, 80, 170), dark(60, 60, 60);
  switch (which) {
    case TToolIcon::New:
      Sheet(p);
      p.setPen(QPen(QColor(230, 170, 0), 2));
      p.drawLine(11, 9, 11, 15);
      p.drawLine(8, 12, 14, 12);
      break;
    case TToolIcon::Open:
      p.setPen(QPen(QColor(150, 110, 20), 1));
      p.setBrush(QColor(240, 200, 90));
      p.drawRect(1, 4, 13, 10);
      p.setBrush(QColor(250, 225, 140));
      p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 14), QPoint(1, 14)}));
      break;
    case TToolIcon::Save:
      p.setPen(QPen(dark, 1));
      p.setBrush(blue);
      p.drawRect(1, 1, 13, 13);
      p.setBrush(Qt::white);
      p.drawRect(4, 2, 7, 5);
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(4, 10, 7, 4);
      break;
    case TToolIcon::Print:
      p.setPen(QPen(dark, 1));
      p.setBrush(Qt::white);
      p.drawRect(4, 1, 7, 6);
      p.setBrush(QColor(170, 170, 170));
      p.drawRect(1, 6, 13, 6);
      p.setBrush(Qt::white);
      p.drawRect(4, 10, 7, 5);
      break;
    case TToolIcon::PrintPosition:
      Sheet(p);
      p.setPen(QPen(QColor(200, 0, 0), 1));
      p.drawLine(8, 5, 8, 13);
      p.drawLine(4, 9, 12, 9);
      p.drawEllipse(QPoint(8, 9), 2, 2);
      break;
    case TToolIcon::GeneralHelp:
    case TToolIcon::Manual: {
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(Qt::NoPen);
      p.setBrush(which == TToolIcon::GeneralHelp ? blue : green);
      p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
      p.setPen(Qt::white);
      QFont f(QStringLiteral("Arial"));
      f.setPixelSize(12);
      f.setBold(true);
      p.setFont(f);
      p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, which == TToolIcon::GeneralHelp ? QStringLiteral("?") : QStringLiteral("i"));
      break;
    }
    case TToolIcon::HomePage:
      p.setPen(QPen(dark, 1));
      p.setBrush(QColor(200, 60, 40));
      p.drawPolygon(QPolygon({QPoint(1, 8), QPoint(8, 1), QPoint(15, 8)}));
      p.setBrush(QColor(245, 235, 210));
      p.drawRect(3, 8, 10, 7);
      p.setBrush(green);
      p.drawRect(7, 10, 3, 5);
      break;
    case TToolIcon::PrintPreview:
      // A sheet under a magnifying glass.
      Sheet(p);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(dark, 1.5));
      p.setBrush(QColor(200, 225, 250));
      p.drawEllipse(QPointF(7.5, 8.5), 3.5, 3.5);
      p.setPen(QPen(dark, 2.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(10.5, 11.5), QPointF(14, 15));
      break;
    case TToolIcon::Review:
      // A sheet with a tick.
      Sheet(p);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(green, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(QPolygonF({QPointF(5, 9), QPointF(7.5, 12), QPointF(12.5, 5.5)}));
      break;
  }
  return QIcon(pm);
}

QIcon ToolIcon(TToolIcon which) { return QIcon::fromTheme(QString::fromLatin1(ThemeName(which)), OwnToolIcon(which)); }
