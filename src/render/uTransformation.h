#pragma once
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Rounds to the nearest integer, exact halves to the even neighbour. NaN gives 0; values beyond
// the int range are clamped (a float-to-int conversion out of range would be undefined).
int RoundHalfEven(double v);

// An integer device rectangle with exclusive right and bottom edges, as the drawing code expects.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  TRect() = default;
  TRect(int left, int top, int right, int bottom) : Left(left), Top(top), Right(right), Bottom(bottom) {}
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  // The common part; an empty rectangle when the two do not overlap.
  TRect Intersected(const TRect& other) const;
  QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
  static TRect FromQRect(const QRect& r) { return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
  bool operator==(const TRect& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
  bool operator!=(const TRect& o) const { return !(*this == o); }
};

// Nine single-precision entries, row-major; the third row stays (0, 0, 1).
using TMatrix = std::array<float, 9>;

// Two-dimensional affine transformation from world coordinates (millimetres on the sheet) to
// device pixels. Every operation post-multiplies, so the operation called last acts first on a
// point: Translate(-offset) then Scale(dots per mm) maps p to scale * p - offset.
class TTransformation {
 public:
  TTransformation();
  ~TTransformation();
  TTransformation(const TTransformation&) = delete;
  TTransformation& operator=(const TTransformation&) = delete;

  void Reset();  // identity; the stack stays as it is
  void Translate(float dx, float dy);
  void Scale(float sx, float sy);
  // Positive angles (degrees) turn +x towards +y: clockwise on a device whose y axis points down.
  void RotateAbout(float cx, float cy, float angle);
  void Rotate(float angle) { RotateAbout(0.0f, 0.0f, angle); }
  void Multiply(const TTransformation& other);
  // Copies matrix, inverse and validity; not the stack.
  void Assign(const TTransformation& source);

  void Push();
  void Pop();     // no-op on an empty stack
  void PopAll();
  int StackDepth() const { return int(stack_.size()); }

  // Recomputes the inverse and its fixed-point copy.
  void Update();
  bool Valid() const { return valid_; }

  void TransformPoint(float x, float y, float& dx, float& dy);
  QPointF TransformPoint(float x, float y);
  void TransformVector(float x, float y, float& dx, float& dy);
  QPointF TransformVector(float x, float y);
  // Integer bounding box of the four mapped corners (halves to even), whatever the corner order.
  TRect TransformRect(float x1, float y1, float x2, float y2);
  // Maps a device point back through the fixed-point inverse (12 fraction bits), halves down.
  void InversePointFixed(int x, int y, int& ox, int& oy);
  QPoint InversePointFixed(int x, int y);

  const TMatrix& Matrix() const { return matrix_; }
  void SetMatrix(const TMatrix& m);
  // Valid after Update (or any reader).
  const TMatrix& Inverse() const { return inverse_; }
  const std::array<std::int32_t, 9>& InverseFixed() const { return inverseFixed_; }

 private:
  void PostMultiply(const TMatrix& op);

  std::vector<std::unique_ptr<TMatrix>> stack_;
  bool valid_ = false;
  TMatrix matrix_;
  TMatrix inverse_;
  std::array<std::int32_t, 9> inverseFixed_;
};
