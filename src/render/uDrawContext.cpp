#include "render/uDrawContext.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "render/uFontcache.h"

namespace {
constexpr int kFarAway = 32000;
constexpr double kPi = 3.14159265358979323846;

TTextRunRecorder& Recorder() {
  static TTextRunRecorder recorder;
  return recorder;
}

bool IsLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }
}  // namespace

void SetTextRunRecorder(TTextRunRecorder recorder) { Recorder() = std::move(recorder); }

float AngleOf(float x, float y) {
  double a;
  if (x != 0.0f)
    a = std::atan2(double(y), double(x)) * 180.0 / kPi;
  else
    a = y > 0.0f ? 90.0 : 270.0;
  while (a < 0.0) a += 360.0;
  while (a >= 360.0) a -= 360.0;
  float r = float(a);
  if (r >= 360.0f) r = 0.0f;  // a value just below 360 that rounds up as a float
  return r;
}

TBitmapData TBitmapData::FromImage(const QImage& image) {
  TBitmapData d;
  if (image.isNull() || image.depth() != 32) return d;
  d.Width = quint32(image.width());
  d.Height = quint32(image.height());
  d.Stride = qint32(image.bytesPerLine());
  d.PixelFormat = image.format();
  d.Scan0 = image.constBits();
  return d;
}

TDrawContext::TDrawContext(QPainter* canvas)
    : font_(QStringLiteral("Arial")),
      deviceRect_(-kFarAway, -kFarAway, kFarAway, kFarAway),
      clipRect_(-kFarAway, -kFarAway, kFarAway, kFarAway),
      canvas_(canvas) {
  font_.setPointSize(8);
  if (canvas_ && canvas_->device()) resolutionY_ = canvas_->device()->logicalDpiY();
  if (resolutionY_ <= 0) resolutionY_ = 96;
}

TDrawContext::~TDrawContext() = default;

float TDrawContext::FontPoints() const { return PrintPoints(font_); }

QPoint TDrawContext::ToDevice(float x, float y) {
  float dx, dy;
  transformation_.TransformPoint(x, y, dx, dy);
  // Four decimals first, so that float noise just below a half does not decide the pixel.
  auto snap = [](float v) {
    const double scaled = std::trunc(double(v) * 10000.0 + 0.5);
    if (!(std::fabs(scaled) < 9e15)) return RoundHalfEven(double(v));
    const long long q = (long long)scaled;
    long long whole = q / 10000, rest = q % 10000;
    if (rest < 0) {
      rest += 10000;
      whole -= 1;
    }
    if (rest > 5000 || (rest == 5000 && (whole & 1) != 0)) whole += 1;
    return RoundHalfEven(double(whole));
  };
  return QPoint(snap(dx), snap(dy));
}

QPoint TDrawContext::ToDeviceVector(float x, float y) {
  float dx, dy;
  transformation_.TransformVector(x, y, dx, dy);
  return QPoint(RoundHalfEven(dx), RoundHalfEven(dy));
}

void TDrawContext::SetLineWidth(float width) {
  lineWidth_ = width;
  if (width == 0.0f) {
    penWidth_ = 1;
  } else {
    const QPoint v = ToDeviceVector(width, 0.0f);
    penWidth_ = RoundHalfEven(std::hypot(double(v.x()), double(v.y())));
  }
  if (canvas_) {
    QPen pen = canvas_->pen();
    pen.setWidth(penWidth_);
    // A solid pen wider than one pixel has round ends and joins, as on the original devices.
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    canvas_->setPen(pen);
  }
}

void TDrawContext::Line(float x1, float y1, float x2, float y2) {
  const QPoint a = ToDevice(x1, y1);
  const QPoint b = ToDevice(x2, y2);
  if (canvas_) canvas_->drawLine(a, b);
}

int TDrawContext::FontHeightForSize(int size) {
  const float len = float(size) / 72.0f * 25.4f;
  float vx, vy;
  transformation_.TransformVector(0.0f, len, vx, vy);
  const int h = RoundHalfEven(std::hypot(double(vx), double(vy)));
  return h == 0 ? -1 : -h;
}

void TDrawContext::ApplyFont() {
  const float len = FontPoints() / 72.0f * 25.4f;
  float vx, vy;
  transformation_.TransformVector(0.0f, len, vx, vy);
  fontHeight_ = float(std::hypot(double(vx), double(vy)));
  int h = RoundHalfEven(fontHeight_);
  if (h == 0) h = 1;
  canvasFontHeight_ = -h;
  // The mapped down-vector measured from the device's y axis: 0 without rotation.
  int esc = RoundHalfEven(double(AngleOf(vy, vx)) * 10.0) % 3600;
  if (esc < 0) esc += 3600;
  escapement_ = esc;

  canvasFont_ = font_;
  canvasFont_.setPixelSize(h);
  canvasFont_.setHintingPreference(QFont::PreferNoHinting);
  canvasFont_.setKerning(false);
}

const QRawFont& TDrawContext::DeviceRawFont(const TFontInfo& info, int pixelSize) {
  if (rawFor_ != &info || rawSize_ != pixelSize) {
    raw_ = info.RawFont();
    if (raw_.isValid()) raw_.setPixelSize(pixelSize);
    rawFor_ = &info;
    rawSize_ = pixelSize;
  }
  return raw_;
}

void TDrawContext::DrawTextAt(const QString& text, float x, float y) {
  const TTextRunRecorder& recorder = Recorder();
  if (!canvas_ && !recorder) return;
  ApplyFont();
  const QPoint p = ToDevice(x, y);
  const TFontInfo& info = FontCache().GetFontInfo(canvasFont_);
  const float h = std::fabs(fontHeight_);

  // Differences of rounded cumulative positions: rounding errors do not add up along the line.
  // The buffers are kept between calls, so a line of any length needs no per-call allocation.
  const int n = int(text.size());
  glyphBuffer_.resize(size_t(n));
  positionBuffer_.resize(size_t(n));
  float acc = 0.0f;
  int prev = 0;
  for (int i = 0; i < n; ++i) {
    const unsigned char code = PrintedCode(text.at(i));
    glyphBuffer_[size_t(i)] = info.Glyph(code);
    positionBuffer_[size_t(i)] = QPointF(prev, 0.0);
    acc += info.CharWidth(code, h);
    prev = int(std::trunc(acc + 0.5f));
  }

  if (recorder) {
    TTextRun run;
    run.Text = text;
    run.Origin = p;
    run.Offsets.reserve(size_t(n));
    for (int i = 0; i < n; ++i) run.Offsets.push_back(int(positionBuffer_[size_t(i)].x()));
    run.Advance = prev;
    run.PixelHeight = -canvasFontHeight_;
    run.FontHeight = fontHeight_;
    run.Escapement = escapement_;
    run.Font = canvasFont_;
    run.Color = fontColor_;
    recorder(run);
  }
  if (!canvas_ || n == 0) return;

  const int pixelSize = -canvasFontHeight_;
  const QRawFont& raw = DeviceRawFont(info, pixelSize);
  const QPen oldPen = canvas_->pen();
  canvas_->setPen(QPen(fontColor_));
  const bool turned = escapement_ != 0;
  if (turned) {
    canvas_->save();
    canvas_->translate(p);
    // Escapement counts counter-clockwise on the page; the device's y axis points down.
    canvas_->rotate(-escapement_ / 10.0);
  }
  const QPointF origin = turned ? QPointF(0, 0) : QPointF(p);
  if (raw.isValid()) {
    QGlyphRun run;
    run.setRawFont(raw);
    run.setRawData(glyphBuffer_.data(), positionBuffer_.data(), n);
    run.setUnderline(canvasFont_.underline());
    run.setStrikeOut(canvasFont_.strikeOut());
    canvas_->drawGlyphRun(origin + QPointF(0, raw.ascent()), run);
  } else {
    // A font without outlines: each character at its own position.
    canvas_->setFont(canvasFont_);
    const QFontMetricsF fm(canvasFont_, canvas_->device());
    for (int i = 0; i < n; ++i)
      canvas_->drawText(origin + positionBuffer_[size_t(i)] + QPointF(0, fm.ascent()), QString(text.at(i)));
  }
  if (turned) canvas_->restore();
  canvas_->setPen(oldPen);
}

double TDrawContext::Extent720(const TFontInfo& info, const QString& text, int from, int to) const {
  return ::Extent720(info, FontPoints(), text, from, to);
}

float TDrawContext::TextWidth(const QString& text) {
  const TFontInfo& info = FontCache().GetFontInfo(font_);
  return float(Extent720(info, text, 0, int(text.size())) / 720.0 * 25.4);
}

float TDrawContext::TextHeight(const QString& text) {
  Q_UNUSED(text);  // the height of the character cell, whatever the characters
  const TFontInfo& info = FontCache().GetFontInfo(font_);
  const double em = double(FontPoints()) * 10.0;
  const double cell = (double(info.Ascent()) + double(info.Descent())) / double(info.EmSize()) * em;
  return float(cell / 720.0 * 25.4);
}

void TDrawContext::WrapText(const QString& text, QStringList& lines, float width) {
  if (text.isEmpty()) return;
  const TFontInfo& info = FontCache().GetFontInfo(font_);
  const double limit = RoundHalfEven(double(width) / 25.4 * 720.0);
  const int n = int(text.size());
  auto stop = [&](int i) { return text.at(i) == QLatin1Char(' ') || IsLineEnd(text.at(i)); };

  int start = 0;
  while (start < n) {
    int p = start;
    int lastBreak = start;
    for (;;) {
      while (p < n && !stop(p)) ++p;
      if (Extent720(info, text, start, p) > limit) {
        if (lastBreak == start) {
          // The first word alone is too wide: split it at the last character that still fits,
          // but always keep one character, so a box narrower than a letter cannot stall us.
          while (p > start + 1 && Extent720(info, text, start, p) > limit) --p;
          lines.append(text.mid(start, p - start));
          start = p;
        } else {
          lines.append(text.mid(start, lastBreak - start));
          start = lastBreak + 1;  // only the one space at the break is dropped
        }
        break;
      }
      if (p < n && IsLineEnd(text.at(p))) {
        // CR LF, a lone CR and a lone LF all end the line.
        lines.append(text.mid(start, p - start));
        if (text.at(p) == QLatin1Char('\r') && p + 1 < n && text.at(p + 1) == QLatin1Char('\n')) ++p;
        start = p + 1;
        break;
      }
      if (p >= n) {
        lines.append(text.mid(start, p - start));
        start = n;
        break;
      }
      lastBreak = p;
      ++p;
    }
  }
}

float TDrawContext::DrawTextInBox(const QString& text, TTextFlags flags, float x1, float y1, float x2,
                                  float y2) {
  if (text.isEmpty()) return 0.0f;
  if (!(flags & tfWordBreak)) {
    const float w = TextWidth(text);
    const float h = TextHeight(text);
    if (flags & tfCalcOnly) return h;
    float x = x1, y = y1;
    if (flags & tfHorzCenter) x = (x1 + x2 - w) / 2.0f;
    if (flags & tfRight) x = x2 - w;
    if (flags & tfVertCenter) y = (y1 + y2 - h) / 2.0f;
    if (flags & tfBottom) y = y2 - h;
    DrawTextAt(text, x, y);
    return h;
  }
  QStringList lines;
  WrapText(text, lines, x2 - x1);
  if (lines.isEmpty()) return 0.0f;
  const float pitch = TextHeight(QStringLiteral("Xy"));
  const float total = float(lines.size()) * pitch;
  if (flags & tfCalcOnly) return total;
  float y = y1;
  if (flags & tfVertCenter) y = (y1 + y2 - total) / 2.0f;
  if (flags & tfBottom) y = y2 - total;
  y = std::max(y1, y);
  for (const QString& line : lines) {
    float x = x1;
    if (flags & tfHorzCenter) x = (x1 + x2 - TextWidth(line)) / 2.0f;
    if (flags & tfRight) x = x2 - TextWidth(line);
    DrawTextAt(line, x, y);
    y += pitch;
  }
  return total;
}
