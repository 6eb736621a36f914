#include "render/uTransformation.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
constexpr TMatrix kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1};

std::int32_t ClampToInt32(long long v) {
  return std::int32_t(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}
}  // namespace

int RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  if (v >= double(INT_MAX)) return INT_MAX;
  if (v <= double(INT_MIN)) return INT_MIN;
  // The default floating-point environment rounds to nearest with ties to even.
  return int(std::nearbyint(v));
}

TRect TRect::Intersected(const TRect& other) const {
  TRect r(std::max(Left, other.Left), std::max(Top, other.Top), std::min(Right, other.Right),
          std::min(Bottom, other.Bottom));
  if (r.IsEmpty()) return TRect();
  return r;
}

TTransformation::TTransformation() : matrix_(kIdentity), inverse_(kIdentity) {
  inverseFixed_ = {4096, 0, 0, 0, 4096, 0, 0, 0, 4096};
}

TTransformation::~TTransformation() { PopAll(); }

void TTransformation::Reset() {
  matrix_ = kIdentity;
  valid_ = false;
}

void TTransformation::SetMatrix(const TMatrix& m) {
  matrix_ = m;
  valid_ = false;
}

void TTransformation::PostMultiply(const TMatrix& a) {
  // Sums in extended precision, each entry stored as a float; written to a fresh matrix so the
  // operands never alias the result.
  TMatrix c;
  const TMatrix& b = matrix_;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const long double s = (long double)b[i * 3 + 0] * a[0 * 3 + j] +
                            (long double)b[i * 3 + 1] * a[1 * 3 + j] +
                            (long double)b[i * 3 + 2] * a[2 * 3 + j];
      c[i * 3 + j] = float(s);
    }
  }
  matrix_ = c;
  valid_ = false;
}

void TTransformation::Translate(float dx, float dy) {
  TMatrix op = kIdentity;
  op[2] = dx;
  op[5] = dy;
  PostMultiply(op);
}

void TTransformation::Scale(float sx, float sy) {
  TMatrix op = kIdentity;
  op[0] = sx;
  op[4] = sy;
  PostMultiply(op);
}

void TTransformation::RotateAbout(float cx, float cy, float angle) {
  const bool shifted = cx != 0.0f || cy != 0.0f;
  if (shifted) Translate(cx, cy);
  const long double r = (long double)angle * 3.14159265358979323846264338327950288L / 180.0L;
  const float c = float(std::cos(r));
  const float s = float(std::sin(r));
  PostMultiply({c, -s, 0, s, c, 0, 0, 0, 1});
  if (shifted) Translate(-cx, -cy);
}

void TTransformation::Multiply(const TTransformation& other) { PostMultiply(other.matrix_); }

void TTransformation::Assign(const TTransformation& source) {
  valid_ = source.valid_;
  matrix_ = source.matrix_;
  inverse_ = source.inverse_;
  inverseFixed_ = source.inverseFixed_;
}

void TTransformation::Push() { stack_.push_back(std::make_unique<TMatrix>(matrix_)); }

void TTransformation::Pop() {
  if (stack_.empty()) return;
  matrix_ = *stack_.back();
  stack_.pop_back();
  Update();
}

void TTransformation::PopAll() {
  while (!stack_.empty()) Pop();
}

void TTransformation::Update() {
  const TMatrix& m = matrix_;
  inverse_ = m;
  const long double det = (long double)m[0] * ((long double)m[4] * m[8] - (long double)m[5] * m[7]) -
                          (long double)m[1] * ((long double)m[3] * m[8] - (long double)m[5] * m[6]) +
                          (long double)m[2] * ((long double)m[3] * m[7] - (long double)m[4] * m[6]);
  const float detS = float(det);
  if (!(std::fabs(detS) >= 1e-5f)) {  // also catches NaN
    inverse_ = kIdentity;
  } else {
    const long double k = 1.0L / detS;
    auto cof = [&](int a, int b, int c, int d) {
      return (long double)m[a] * m[b] - (long double)m[c] * m[d];
    };
    // Adjugate: entry [i][j] is the cofactor of [j][i].
    inverse_[0] = float(cof(4, 8, 5, 7) * k);
    inverse_[1] = float(-cof(1, 8, 2, 7) * k);
    inverse_[2] = float(cof(1, 5, 2, 4) * k);
    inverse_[3] = float(-cof(3, 8, 5, 6) * k);
    inverse_[4] = float(cof(0, 8, 2, 6) * k);
    inverse_[5] = float(-cof(0, 5, 2, 3) * k);
    inverse_[6] = float(cof(3, 7, 4, 6) * k);
    inverse_[7] = float(-cof(0, 7, 1, 6) * k);
    inverse_[8] = float(cof(0, 4, 1, 3) * k);
  }
  for (int i = 0; i < 9; ++i) inverseFixed_[i] = RoundHalfEven(double(inverse_[i]) * 4096.0);
  valid_ = true;
}

void TTransformation::TransformPoint(float x, float y, float& dx, float& dy) {
  if (!valid_) Update();
  const TMatrix& m = matrix_;
  dx = float((long double)m[0] * x + (long double)m[1] * y + m[2]);
  dy = float((long double)m[3] * x + (long double)m[4] * y + m[5]);
}

QPointF TTransformation::TransformPoint(float x, float y) {
  float dx, dy;
  TransformPoint(x, y, dx, dy);
  return QPointF(dx, dy);
}

void TTransformation::TransformVector(float x, float y, float& dx, float& dy) {
  if (!valid_) Update();
  const TMatrix& m = matrix_;
  dx = float((long double)m[0] * x + (long double)m[1] * y);
  dy = float((long double)m[3] * x + (long double)m[4] * y);
}

QPointF TTransformation::TransformVector(float x, float y) {
  float dx, dy;
  TransformVector(x, y, dx, dy);
  return QPointF(dx, dy);
}

TRect TTransformation::TransformRect(float x1, float y1, float x2, float y2) {
  Update();
  const float xs[4] = {x1, x2, x2, x1};
  const float ys[4] = {y1, y1, y2, y2};
  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  for (int i = 0; i < 4; ++i) {
    float dx, dy;
    TransformPoint(xs[i], ys[i], dx, dy);
    const int ix = RoundHalfEven(dx), iy = RoundHalfEven(dy);
    minX = std::min(minX, ix);
    maxX = std::max(maxX, ix);
    minY = std::min(minY, iy);
    maxY = std::max(maxY, iy);
  }
  return TRect(minX, minY, maxX, maxY);
}

void TTransformation::InversePointFixed(int x, int y, int& ox, int& oy) {
  if (!valid_) Update();
  const auto& f = inverseFixed_;
  // 64-bit sums: far-away points must not wrap around into the source range.
  const long long sx = (long long)x * f[0] + (long long)y * f[1] + f[2] + 2047;
  const long long sy = (long long)x * f[3] + (long long)y * f[4] + f[5] + 2047;
  ox = ClampToInt32(sx >> 12);
  oy = ClampToInt32(sy >> 12);
}

QPoint TTransformation::InversePointFixed(int x, int y) {
  int ox, oy;
  InversePointFixed(x, y, ox, oy);
  return QPoint(ox, oy);
}
