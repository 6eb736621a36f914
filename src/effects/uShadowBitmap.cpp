#include "effects/uShadowBitmap.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {
constexpr int kMaxRadius = 100;

// The blur kernel shared by all bitmaps; recomputed only when the width changes.
struct TKernel {
  bool computed = false;
  double width = 0.0;
  float weights[2 * kMaxRadius + 1] = {};
  int radius = 0;
  std::vector<int> k{256};
  int computations = 0;
};

TKernel& Kernel() {
  static TKernel kernel;
  return kernel;
}

void ComputeKernel(double w) {
  TKernel& kr = Kernel();
  if (kr.computed && (w == kr.width || (!(w > 0) && !(kr.width > 0)))) return;
  kr.computed = true;
  kr.width = w;
  ++kr.computations;
  if (!(w > 0)) {
    // No blur: the identity kernel.
    kr.radius = 0;
    kr.k.assign(1, 256);
    return;
  }
  float* wt = kr.weights + kMaxRadius;  // wt[i] for i in -100..100
  double sum = 0.0;
  for (int i = -kMaxRadius; i <= kMaxRadius; ++i) {
    const double q = double(i) / w;
    wt[i] = float(std::exp(-q * q / 2.0));
    sum += wt[i];
  }
  for (int i = -kMaxRadius; i <= kMaxRadius; ++i) wt[i] = float(wt[i] / sum);

  int radius = kMaxRadius;
  double tail = 0.0;
  while (tail < 1.0 / 256.0 && radius > 1) {
    tail += 2.0 * wt[radius];
    --radius;
  }
  double inner = 0.0;
  for (int i = -radius; i <= radius; ++i) inner += wt[i];
  for (int i = -radius; i <= radius; ++i) wt[i] = float(wt[i] / inner);

  kr.radius = radius;
  kr.k.assign(size_t(2 * radius + 1), 0);
  int total = 0;
  for (int j = -radius; j <= radius; ++j) {
    const int v = int(std::nearbyint(double(wt[j]) * 256.0));
    kr.k[size_t(j + radius)] = v;
    total += v;
  }
  kr.k[size_t(radius)] += 256 - total;
}

// One pass over `count` red bytes spaced `step` pixels apart, from their old values.
void BlurLine(QRgb* first, int count, int step, std::vector<int>& old) {
  const TKernel& kr = Kernel();
  old.resize(size_t(count));
  for (int i = 0; i < count; ++i) old[size_t(i)] = qRed(first[qintptr(i) * step]);
  for (int i = 0; i < count; ++i) {
    int sum = 0;
    for (int j = -kr.radius; j <= kr.radius; ++j) {
      const int at = std::clamp(i + j, 0, count - 1);  // beyond the ends: the end pixel
      sum += kr.k[size_t(j + kr.radius)] * old[size_t(at)];
    }
    const int v = sum >= 65536 ? 255 : sum / 256;
    QRgb& px = first[qintptr(i) * step];
    px = qRgba(v, qGreen(px), qBlue(px), v);
  }
}

std::unique_ptr<TShadowBitmap>& Tile() {
  static std::unique_ptr<TShadowBitmap> tile;
  return tile;
}
}  // namespace

TShadowBitmap::TShadowBitmap(int width, int height) {
  SetSize(width, height);
  brush_ = QBrush(Qt::white, Qt::SolidPattern);
  pen_ = QPen(Qt::black);
  ForceGray();
}

void TShadowBitmap::SetSize(int width, int height) {
  QImage next(std::max(width, 0), std::max(height, 0), QImage::Format_ARGB32);
  next.fill(0);
  if (!image_.isNull()) {
    QPainter p(&next);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, image_);
  }
  image_ = next;
}

void TShadowBitmap::SetPen(const QPen& pen) {
  pen_ = pen;
  if (OverridePen) pen_.setColor(Gray());
}

void TShadowBitmap::SetBrush(const QBrush& brush) {
  brush_ = brush;
  if (OverrideBrush && brush_.style() != Qt::NoBrush) brush_.setColor(Gray());
}

void TShadowBitmap::SetFontColor(const QColor& color) {
  fontColor_ = OverrideFont ? QColor(Gray()) : color;
}

void TShadowBitmap::ForceGray() {
  if (OverridePen) pen_.setColor(Gray());
  if (OverrideBrush) brush_.setColor(Gray());
  if (OverrideFont) fontColor_ = QColor(Gray());
}

void TShadowBitmap::Transparency(float percent) {
  const double p = std::clamp(double(percent), 0.0, 100.0);  // NaN stays NaN: treated as 0
  const double level = std::isnan(p) ? 255.0 : (100.0 - p) / 100.0 * 255.0;
  level_ = quint8(std::nearbyint(level));
  ForceGray();
}

void TShadowBitmap::ClearShadow() {
  OverrideBrush = false;
  SetBrush(QBrush(Qt::black, Qt::SolidPattern));
  if (!image_.isNull()) image_.fill(0);
  OverrideBrush = true;
}

void TShadowBitmap::FillRect(const QRect& rect) {
  if (image_.isNull() || brush_.style() == Qt::NoBrush) return;
  QPainter p(&image_);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(rect, brush_);
}

void TShadowBitmap::Rectangle(const QRect& rect) {
  if (image_.isNull()) return;
  QPainter p(&image_);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.setPen(pen_);
  p.setBrush(brush_);
  p.drawRect(rect.adjusted(0, 0, -1, -1));
}

void TShadowBitmap::Ellipse(const QRect& rect) {
  if (image_.isNull()) return;
  QPainter p(&image_);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.setPen(pen_);
  p.setBrush(brush_);
  p.drawEllipse(rect.adjusted(0, 0, -1, -1));
}

void TShadowBitmap::Line(const QPoint& from, const QPoint& to) {
  if (image_.isNull()) return;
  QPainter p(&image_);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.setPen(pen_);
  p.drawLine(from, to);
}

void TShadowBitmap::TextOut(int x, int y, const QString& text) {
  if (image_.isNull()) return;
  QPainter p(&image_);
  p.setFont(font_);
  p.setPen(fontColor_);
  p.drawText(QPointF(x, y + QFontMetricsF(font_, &image_).ascent()), text);
}

quint8 TShadowBitmap::ShadowRadius(double width) {
  ComputeKernel(width);
  return quint8(Kernel().radius);
}

void TShadowBitmap::Blur(const QColor& color, float width) {
  ComputeKernel(width);
  const int w = image_.width(), h = image_.height();
  if (w == 0 || h == 0) return;
  std::vector<int> old;
  QRgb* bits = reinterpret_cast<QRgb*>(image_.bits());
  const int stride = int(image_.bytesPerLine() / 4);
  for (int y = 0; y < h; ++y) BlurLine(bits + qintptr(y) * stride, w, 1, old);
  for (int x = 0; x < w; ++x) BlurLine(bits + x, h, stride, old);
  // Blue, green and red bytes take the colour's own components; alpha keeps the blurred shape.
  const int r = color.red(), g = color.green(), b = color.blue();
  for (int y = 0; y < h; ++y) {
    QRgb* row = bits + qintptr(y) * stride;
    for (int x = 0; x < w; ++x) row[x] = qRgba(r, g, b, qAlpha(row[x]));
  }
}

std::vector<int> TShadowBitmap::IntegerKernel() { return Kernel().k; }
int TShadowBitmap::KernelComputations() { return Kernel().computations; }

void CreateShadowTile() {
  auto tile = std::make_unique<TShadowBitmap>();
  const int r = TShadowBitmap::ShadowRadius(2.0);
  tile->SetSize(6 * r, 6 * r);
  tile->ClearShadow();
  tile->Transparency(50);
  tile->SetBrush(QBrush(Qt::red));  // the override makes it gray 128
  tile->FillRect(QRect(r, r, 4 * r, 4 * r));
  tile->Blur(Qt::black, 2.0f);
  Tile() = std::move(tile);
  // Released with the application object, while fonts and images can still be freed cleanly.
  static bool registered = false;
  if (!registered && QCoreApplication::instance()) {
    registered = true;
    qAddPostRoutine(ReleaseShadowTile);
  }
}

const TShadowBitmap& ShadowTile() {
  if (!Tile()) CreateShadowTile();
  return *Tile();
}

void ReleaseShadowTile() { Tile().reset(); }
