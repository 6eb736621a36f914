#pragma once
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QRect>
#include <QString>
#include <vector>

// A 32-bit bitmap (bytes blue, green, red, alpha) for soft shadows: whatever is drawn through
// its canvas calls comes out in one gray level, and Blur turns the drawn shape into the alpha
// channel of a single-colour image.
class TShadowBitmap {
 public:
  explicit TShadowBitmap(int width = 0, int height = 0);
  TShadowBitmap(const TShadowBitmap&) = delete;
  TShadowBitmap& operator=(const TShadowBitmap&) = delete;

  void SetSize(int width, int height);  // new pixels are black and transparent
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  const QImage& Image() const { return image_; }

  // The gray forced on pen, brush and font colour; 128 after construction.
  quint8 ShadowLevel() const { return level_; }
  bool OverridePen = true;
  bool OverrideBrush = true;
  bool OverrideFont = true;

  // Canvas state. Setting a pen, brush or font colour applies the gray forcing (a brush without
  // fill keeps its colour).
  void SetPen(const QPen& pen);
  const QPen& Pen() const { return pen_; }
  void SetBrush(const QBrush& brush);
  const QBrush& Brush() const { return brush_; }
  void SetFont(const QFont& font) { font_ = font; }
  const QFont& Font() const { return font_; }
  void SetFontColor(const QColor& color);
  const QColor& FontColor() const { return fontColor_; }

  // Drawing with the canvas state, without smoothing, pixels written as they are.
  void FillRect(const QRect& rect);  // the brush; right and bottom edges excluded
  void Rectangle(const QRect& rect); // brush inside, pen outline
  void Ellipse(const QRect& rect);
  void Line(const QPoint& from, const QPoint& to);
  void TextOut(int x, int y, const QString& text);  // top-left of the text cell at (x, y)

  // Level = round((100 - percent, limited to 0..100) / 100 * 255), then pen, brush and font
  // colour take that gray (each only when its override is on).
  void Transparency(float percent);
  // The whole bitmap black.
  void ClearShadow();
  // Computes the kernel for `width` (a standard deviation in pixels) and returns its radius;
  // 0 for a width of 0 or below (no blur).
  static quint8 ShadowRadius(double width);
  // Blurs the red bytes into red and alpha, then colours every pixel with `color`. A width of 0
  // or below leaves the shape unblurred (alpha = the drawn gray).
  void Blur(const QColor& color, float width);

  // The shared kernel of the last computation, for checks.
  static std::vector<int> IntegerKernel();
  static int KernelComputations();

 private:
  void ForceGray();
  QRgb Gray() const { return qRgb(level_, level_, level_); }

  QImage image_;
  quint8 level_ = 128;
  QPen pen_;
  QBrush brush_;
  QFont font_;
  QColor fontColor_ = Qt::black;
};

// The soft square shadow tile built at program start (30 x 30 pixels, black, alpha at most 128).
const TShadowBitmap& ShadowTile();
// Builds the tile now (program start); ShadowTile() does it on first use otherwise.
void CreateShadowTile();
void ReleaseShadowTile();
