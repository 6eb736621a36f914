// The image operations of TDrawContext: inverse-mapped resampling into an intermediate bitmap of
// at most 360 dpi, which the device stretches to its own resolution.
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "diagnostics/udebug.h"
#include "platform/UserDialogs.h"
#include "platform/uErrors.h"
#include "render/uDrawContext.h"

namespace {
constexpr int kMaxIntermediateDpi = 360;
constexpr QRgb kPurple = 0xFF800080;  // $00800080, opaque
constexpr int kGdipInvalidParameter = 2;

// Smallest f >= 1 with dpi div f <= 360 (integer division).
int IntegerDivisor(int dpi) {
  int f = 1;
  while (dpi / f > kMaxIntermediateDpi) ++f;
  return f;
}

// Smallest integer f >= 1 with dpi / f <= 360 (exact division).
int ExactDivisor(int dpi) {
  int f = 1;
  while (double(dpi) / f > kMaxIntermediateDpi) ++f;
  return f;
}

bool AxisAligned(const TMatrix& m) {
  return (std::fabs(m[1]) < 1e-6f && std::fabs(m[3]) < 1e-6f) ||
         (std::fabs(m[0]) < 1e-6f && std::fabs(m[4]) < 1e-6f);
}

// Keeps the transformation's stack balanced on every way out.
struct TPushGuard {
  explicit TPushGuard(TTransformation& t) : t_(t) { t_.Push(); }
  ~TPushGuard() { t_.Pop(); }
  TTransformation& t_;
};

// Intermediate pixel x samples the source at its centre: T(s) = M(s + 1/2) - 1/2, so the fixed
// point inverse (rounding to nearest) picks the source pixel the centre falls in and every
// source pixel covers exactly its share of the rectangle.
void BeginCentred(TTransformation& t) { t.Translate(-0.5f, -0.5f); }
void EndCentred(TTransformation& t) { t.Translate(0.5f, 0.5f); }
}  // namespace

void TDrawContext::DrawImageOrthogonalBlt(const QImage& image, float x, float y, float w, float h) {
  if (!canvas_) return;
  const TRect full = transformation_.TransformRect(x, y, x + w, y + h);
  const TRect dest = full.Intersected(clipRect_);
  if (dest.IsEmpty()) return;
  const int f = IntegerDivisor(resolutionY_);

  TTransformation t;
  BeginCentred(t);
  t.Scale(1.0f / float(f), 1.0f / float(f));
  t.Translate(float(-dest.Left), float(-dest.Top));
  t.Multiply(transformation_);
  const int bw = (dest.Width() + f - 1) / f;
  const int bh = (dest.Height() + f - 1) / f;

  const QImage source = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
  if (source.isNull()) {
    Debug().LogFmt("DrawImageOrthogonalBlt: Lockbits failed %d", kGdipInvalidParameter);
    return;  // nothing is handed to the device: no empty black rectangle
  }
  t.Translate(x, y);
  t.Scale(w / float(source.width()), h / float(source.height()));
  EndCentred(t);
  t.Update();

  // Pixels whose centre falls outside the image stay transparent; copied pixels are opaque,
  // since the device transfer ignores the alpha byte.
  QImage mid(bw, bh, QImage::Format_ARGB32);
  mid.fill(0);
  const int sw = source.width(), sh = source.height();
  for (int py = 0; py < bh; ++py) {
    QRgb* row = reinterpret_cast<QRgb*>(mid.scanLine(py));
    for (int px = 0; px < bw; ++px) {
      int u, v;
      t.InversePointFixed(px, py, u, v);
      if (u >= 0 && u < sw && v >= 0 && v < sh)
        row[px] = reinterpret_cast<const QRgb*>(source.constScanLine(v))[u] | 0xFF000000u;
    }
  }
  canvas_->save();
  canvas_->setRenderHint(QPainter::SmoothPixmapTransform, false);
  canvas_->setClipRect(dest.ToQRect(), Qt::IntersectClip);
  canvas_->drawImage(QRect(dest.Left, dest.Top, bw * f, bh * f), mid);
  canvas_->restore();
}

void TDrawContext::DrawBitsOrthogonal(const TBitmapData& src, float x, float y, float w, float h, int srcX,
                                      int srcY, int srcW, int srcH) {
  if (!canvas_ || !src.Scan0 || srcW <= 0 || srcH <= 0) return;
  const TRect full = transformation_.TransformRect(x, y, x + w, y + h);
  const TRect dest = full.Intersected(deviceRect_).Intersected(clipRect_);
  if (dest.IsEmpty()) return;
  const int f = IntegerDivisor(resolutionY_);

  TTransformation t;
  BeginCentred(t);
  t.Scale(1.0f / float(f), 1.0f / float(f));
  t.Translate(float(-dest.Left), float(-dest.Top));
  t.Multiply(transformation_);
  t.Translate(x, y);
  t.Scale(w / float(srcW), h / float(srcH));
  t.Translate(float(-srcX), float(-srcY));
  EndCentred(t);
  t.Update();

  // The intermediate bitmap covers the clipped rectangle only and is drawn there.
  const int bw = (dest.Width() + f - 1) / f;
  const int bh = (dest.Height() + f - 1) / f;
  QImage mid(bw, bh, QImage::Format_ARGB32);
  mid.fill(kPurple);
  // The given range, and never beyond the bitmap itself.
  const long long uEnd = std::min<long long>((long long)srcX + srcW, src.Width);
  const long long vEnd = std::min<long long>((long long)srcY + srcH, src.Height);
  const int uMin = std::max(srcX, 0), vMin = std::max(srcY, 0);
  for (int py = 0; py < bh; ++py) {
    QRgb* row = reinterpret_cast<QRgb*>(mid.scanLine(py));
    for (int px = 0; px < bw; ++px) {
      int u, v;
      t.InversePointFixed(px, py, u, v);
      if (u >= uMin && u < uEnd && v >= vMin && v < vEnd)
        row[px] = *reinterpret_cast<const QRgb*>(src.Pixel(u, v)) | 0xFF000000u;
    }
  }
  canvas_->save();
  canvas_->setRenderHint(QPainter::SmoothPixmapTransform, false);  // colour on colour
  canvas_->setClipRect(dest.ToQRect(), Qt::IntersectClip);
  canvas_->drawImage(QRect(dest.Left, dest.Top, bw * f, bh * f), mid);
  canvas_->restore();
}

void TDrawContext::DrawImageRotated(const QImage& image, float cxDest, float cyDest, float wDest,
                                    float hDest, float angle, int srcX, int srcY, int srcW, int srcH) {
  TPushGuard guard(transformation_);
  transformation_.Translate(cxDest, cyDest);
  transformation_.Rotate(angle);
  const QPoint upperLeft = ToDevice(-wDest / 2.0f, -hDest / 2.0f);
  const QPoint upperRight = ToDevice(wDest / 2.0f, -hDest / 2.0f);
  const QPoint lowerLeft = ToDevice(-wDest / 2.0f, hDest / 2.0f);
  if (!canvas_ || image.isNull() || srcW <= 0 || srcH <= 0) return;

  // The source rectangle goes onto the parallelogram of the three points.
  const QTransform onto((upperRight.x() - upperLeft.x()) / double(srcW),
                        (upperRight.y() - upperLeft.y()) / double(srcW),
                        (lowerLeft.x() - upperLeft.x()) / double(srcH),
                        (lowerLeft.y() - upperLeft.y()) / double(srcH), upperLeft.x(), upperLeft.y());
  canvas_->save();
  canvas_->setRenderHint(QPainter::SmoothPixmapTransform, true);
  canvas_->setTransform(onto, true);
  canvas_->drawImage(QRectF(0, 0, srcW, srcH), image, QRectF(srcX, srcY, srcW, srcH));
  canvas_->restore();
}

void TDrawContext::DrawBits(const TBitmapData& src, float x, float y, float w, float h, int srcX, int srcY,
                            int srcW, int srcH) {
  if (!src.Scan0 || srcX < 0 || srcY < 0 || srcW <= 0 || srcH <= 0) return;
  if ((long long)srcX + srcW > src.Width || (long long)srcY + srcH > src.Height) return;
  transformation_.Update();
  if (AxisAligned(transformation_.Matrix())) {
    DrawBitsOrthogonal(src, x, y, w, h, srcX, srcY, srcW, srcH);
    return;
  }
  if (!canvas_) return;
  const TRect bounds = transformation_.TransformRect(x, y, x + w, y + h);
  const TRect deviceLimit = deviceRect_.Intersected(clipRect_);
  if (bounds.Intersected(deviceLimit).IsEmpty()) return;
  const int f = ExactDivisor(resolutionY_);

  TTransformation t;  // source pixels -> reduced device pixels, sampled at pixel centres
  BeginCentred(t);
  if (f > 1) t.Scale(1.0f / float(f), 1.0f / float(f));
  t.Multiply(transformation_);
  t.Translate(x, y);
  t.Scale(w / float(srcW), h / float(srcH));
  t.Translate(float(-srcX), float(-srcY));
  EndCentred(t);
  t.Update();

  // Rows to scan: the reduced bounds, one pixel of margin, limited to the device (in reduced units).
  TRect r((bounds.Left - 1) / f - 1, (bounds.Top - 1) / f - 1, bounds.Right / f + 2, bounds.Bottom / f + 2);
  const TRect reducedLimit(int(std::floor(double(deviceLimit.Left) / f)), int(std::floor(double(deviceLimit.Top) / f)),
                           int(std::ceil(double(deviceLimit.Right) / f)), int(std::ceil(double(deviceLimit.Bottom) / f)));
  r = r.Intersected(reducedLimit);
  if (r.IsEmpty()) return;

  QImage row(r.Width(), 1, QImage::Format_RGB32);
  QRgb* buf = reinterpret_cast<QRgb*>(row.scanLine(0));
  canvas_->save();
  canvas_->setRenderHint(QPainter::SmoothPixmapTransform, false);
  auto flush = [&](int first, int n, int py) {
    if (n <= 0) return;
    canvas_->drawImage(QRectF(double(first) * f, double(py) * f, double(n) * f, f), row, QRectF(0, 0, n, 1));
  };
  for (int py = r.Top; py < r.Bottom; ++py) {
    int first = 0, n = 0;
    for (int px = r.Left; px < r.Right; ++px) {
      int u, v;
      t.InversePointFixed(px, py, u, v);
      if (u >= srcX && u < srcX + srcW && v >= srcY && v < srcY + srcH) {
        if (n == 0) first = px;
        buf[n++] = *reinterpret_cast<const QRgb*>(src.Pixel(u, v)) | 0xFF000000u;
      } else if (n > 0) {
        flush(first, n, py);  // a gap ends the run: never shift pixels across it
        n = 0;
      }
    }
    flush(first, n, py);
  }
  canvas_->restore();
}

void TDrawContext::DrawImageAlpha(const TBitmapData&, float, float, float, float, int, int, int, int) {
  throw EKalnoError(QStringLiteral("TDrawContext.DrawImageAlpha ist nicht implementiert"));
}

void TDrawContext::DrawShadowRect(float, float, float, float, float, float) {
  Dialogs().ShowPlain(QStringLiteral(
      "DrawShadowRect(cxDest, cyDest, wDest, hDest, angle, BlurWidth: single) in TDrawContext noch nicht "
      "implementiert"));
}
