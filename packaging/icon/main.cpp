// Draws the program icon: one list of shapes, written once as SVG for the scalable icon and
// painted into PNGs for the fixed sizes, so both always show the same picture.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

namespace {
const char* const kName = "kalno-mahnbescheid";

// Outlines are SVG path data restricted to absolute M, L, H, V, Q and Z, in a 256 x 256 box.
struct TShape {
  const char* path;  // nullptr: a circle
  double cx, cy, r;
  const char* fill;    // nullptr: not filled
  const char* stroke;  // nullptr: no outline
  double width;
};

const TShape kShapes[] = {
    // the sheet with its folded corner
    {"M64 20 H160 L212 72 V228 Q212 236 204 236 H64 Q56 236 56 228 V28 Q56 20 64 20 Z", 0, 0, 0,
     "#FFFFFF", "#4A5560", 8},
    {"M160 20 V64 Q160 72 168 72 H212 Z", 0, 0, 0, "#D3D9DE", "#4A5560", 8},
    // the form's heading and its field boxes
    {"M80 44 H140 V60 H80 Z", 0, 0, 0, "#1F4E9A", nullptr, 0},
    {"M80 92 H188 V114 H80 Z", 0, 0, 0, "#FCECE9", "#C0392B", 5},
    {"M80 126 H188 V148 H80 Z", 0, 0, 0, "#FCECE9", "#C0392B", 5},
    {"M80 160 H136 V182 H80 Z", 0, 0, 0, "#FCECE9", "#C0392B", 5},
    {"M90 103 H160", 0, 0, 0, nullptr, "#1F2D3A", 6},
    {"M90 137 H144", 0, 0, 0, nullptr, "#1F2D3A", 6},
    // the court's seal: filled in and ready
    {nullptr, 176, 204, 30, "#1F4E9A", nullptr, 0},
    {"M161 204 L172 215 L192 192", 0, 0, 0, nullptr, "#FFFFFF", 9},
};

QPainterPath ParsePath(const char* data) {
  const QStringList tokens = QString::fromLatin1(data).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  QPainterPath path;
  QPointF at;
  QChar command;
  int i = 0;
  auto number = [&]() {
    QString t = tokens.value(i++);
    if (!t.isEmpty() && t[0].isLetter()) t.remove(0, 1);
    return t.toDouble();
  };
  while (i < tokens.size()) {
    if (tokens[i][0].isLetter()) command = tokens[i][0];
    if (command == QLatin1Char('Z')) {
      path.closeSubpath();
      ++i;
      continue;
    }
    if (command == QLatin1Char('M') || command == QLatin1Char('L')) {
      const double x = number();
      at = QPointF(x, number());
      if (command == QLatin1Char('M')) path.moveTo(at); else path.lineTo(at);
    } else if (command == QLatin1Char('H')) {
      at.setX(number());
      path.lineTo(at);
    } else if (command == QLatin1Char('V')) {
      at.setY(number());
      path.lineTo(at);
    } else if (command == QLatin1Char('Q')) {
      const double cx = number();
      const double cy = number();
      const double x = number();
      at = QPointF(x, number());
      path.quadTo(QPointF(cx, cy), at);
    } else {
      std::fprintf(stderr, "kalno_icon: unknown path command in \"%s\"\n", data);
      std::exit(1);
    }
  }
  return path;
}

QString Svg() {
  QString s;
  QTextStream out(&s);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
  for (const TShape& shape : kShapes) {
    if (shape.path)
      out << "  <path d=\"" << shape.path << '"';
    else
      out << "  <circle cx=\"" << shape.cx << "\" cy=\"" << shape.cy << "\" r=\"" << shape.r << '"';
    out << " fill=\"" << (shape.fill ? shape.fill : "none") << '"';
    if (shape.stroke)
      out << " stroke=\"" << shape.stroke << "\" stroke-width=\"" << shape.width
          << "\" stroke-linejoin=\"round\" stroke-linecap=\"round\"";
    out << "/>\n";
  }
  out << "</svg>\n";
  return s;
}

QImage Png(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);
  for (const TShape& shape : kShapes) {
    QPainterPath path;
    if (shape.path)
      path = ParsePath(shape.path);
    else
      path.addEllipse(QPointF(shape.cx, shape.cy), shape.r, shape.r);
    if (shape.fill) p.fillPath(path, QColor(QString::fromLatin1(shape.fill)));
    if (shape.stroke)
      p.strokePath(path, QPen(QColor(QString::fromLatin1(shape.stroke)), shape.width, Qt::SolidLine,
                              Qt::RoundCap, Qt::RoundJoin));
  }
  p.end();
  return image;
}

bool Fail(const QString& file) {
  std::fprintf(stderr, "kalno_icon: cannot write %s\n", qPrintable(file));
  return false;
}

bool WriteAll(const QString& outDir, const QList<int>& sizes) {
  const QString scalable = outDir + QStringLiteral("/scalable");
  if (!QDir().mkpath(scalable)) return Fail(scalable);
  const QString svgName = scalable + QLatin1Char('/') + QLatin1String(kName) + QStringLiteral(".svg");
  QFile svg(svgName);
  if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(Svg().toUtf8()) < 0 || !svg.flush())
    return Fail(svgName);
  for (int size : sizes) {
    const QString dir = outDir + QStringLiteral("/%1x%1").arg(size);
    const QString name = dir + QLatin1Char('/') + QLatin1String(kName) + QStringLiteral(".png");
    if (!QDir().mkpath(dir) || !Png(size).save(name, "PNG")) return Fail(name);
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  // The fixed sizes come from the build, which also names the files it expects.
  QList<int> sizes;
  bool usable = argc >= 2;
  for (int i = 2; i < argc; ++i) {
    bool ok = false;
    const int size = QString::fromLatin1(argv[i]).toInt(&ok);
    usable = usable && ok && size >= 1 && size <= 1024;
    sizes.append(size);
  }
  if (!usable) {
    std::fprintf(stderr, "usage: kalno_icon OUTPUT_FOLDER [SIZE...]\n");
    return 2;
  }
  return WriteAll(QString::fromLocal8Bit(argv[1]), sizes) ? 0 : 1;
}
