#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRawFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "render/uTransformation.h"

class QPainter;
class TFontInfo;

// Text placement flags of DrawTextInBox (combinable).
enum TTextFlag : unsigned {
  tfHorzCenter = 1,
  tfRight = 2,
  tfVertCenter = 4,
  tfBottom = 8,
  tfWordBreak = 16,
  tfCalcOnly = 1024,
};
using TTextFlags = unsigned;

// Direction of the vector (x, y) in degrees, in [0, 360).
float AngleOf(float x, float y);

// A read-only view of 32-bit pixels (bytes blue, green, red, alpha), the source of the bit-level
// image operations. Pixel (u, v) starts at Scan0 + v * Stride + u * 4.
struct TBitmapData {
  quint32 Width = 0;
  quint32 Height = 0;
  qint32 Stride = 0;
  QImage::Format PixelFormat = QImage::Format_Invalid;
  const uchar* Scan0 = nullptr;

  // A view of `image`, which must be 32 bits per pixel (ARGB32, RGB32 or premultiplied) and
  // outlive the view; an empty view otherwise.
  static TBitmapData FromImage(const QImage& image);
  const uchar* Pixel(int u, int v) const { return Scan0 + qintptr(v) * Stride + qintptr(u) * 4; }
};

// One line of text as it went to the device, for tests and print recorders: the device point of
// the top-left corner of the first character cell, each character's left edge along the baseline
// relative to it, and the device font.
struct TTextRun {
  QString Text;
  QPoint Origin;
  std::vector<int> Offsets;  // one per character; the first is 0
  int Advance = 0;           // total advance in device pixels
  int PixelHeight = 0;       // em height of the device font (logical height negated)
  float FontHeight = 0.0f;   // unrounded em height used for the advances
  int Escapement = 0;        // tenths of a degree, counter-clockwise as seen on the page
  QFont Font;
  QColor Color;
};
using TTextRunRecorder = std::function<void(const TTextRun&)>;
// Every DrawTextAt of every context reports its run while a recorder is installed; empty removes it.
void SetTextRunRecorder(TTextRunRecorder recorder);

// Drawing in millimetres on a QPainter over any paint device. Text is placed by the context
// itself from device-independent widths (font cache), so its layout is the same at every
// resolution. A context without a canvas still maps coordinates and computes font heights (the
// on-screen editors use it that way); its drawing calls then do nothing.
class TDrawContext {
 public:
  // The resolution comes from the canvas's device (96 dpi without one); the device rectangle is
  // (-32000, -32000, 32000, 32000) until a derived context narrows it.
  explicit TDrawContext(QPainter* canvas = nullptr);
  virtual ~TDrawContext();
  TDrawContext(const TDrawContext&) = delete;
  TDrawContext& operator=(const TDrawContext&) = delete;

  QPainter* Canvas() const { return canvas_; }
  TTransformation& Transformation() { return transformation_; }

  // The logical font, size in points ("Arial", 8 points, regular after construction).
  QFont& Font() { return font_; }
  void SetFont(const QFont& font) { font_ = font; }
  // The text colour (the font's colour in the original toolkit); black by default.
  QColor FontColor() const { return fontColor_; }
  void SetFontColor(const QColor& color) { fontColor_ = color; }

  // Em height of the text font in device pixels as computed by the last ApplyFont (unrounded).
  float FontHeight() const { return fontHeight_; }
  float LineWidth() const { return lineWidth_; }
  TRect DeviceRect() const { return deviceRect_; }
  TRect ClipRect() const { return clipRect_; }
  // Vertical resolution of the target device in dots per inch (used by the image operations).
  int ResolutionY() const { return resolutionY_; }
  void SetResolutionY(int dpi) { resolutionY_ = dpi > 0 ? dpi : 96; }

  // World point to device pixel: four decimals (truncated), then halves to even.
  QPoint ToDevice(float x, float y);
  // World vector to device vector, halves to even.
  QPoint ToDeviceVector(float x, float y);
  // Pen width from millimetres; 0 is a one-pixel pen.
  void SetLineWidth(float width);
  int PenWidth() const { return penWidth_; }
  void Line(float x1, float y1, float x2, float y2);

  // Builds the device font for Font() under the current transformation.
  void ApplyFont();
  // The device font of the last ApplyFont: pixel size = em height, and its escapement.
  const QFont& CanvasFont() const { return canvasFont_; }
  int CanvasFontHeight() const { return canvasFontHeight_; }  // negative: an em height
  int Escapement() const { return escapement_; }

  // One line with the top-left corner of its first character cell at (x, y) mm.
  void DrawTextAt(const QString& text, float x, float y);
  // Places text in the box by flags and returns its height in millimetres (0 for empty text).
  float DrawTextInBox(const QString& text, TTextFlags flags, float x1, float y1, float x2, float y2);
  // Extent of one line in Font(), in millimetres, measured at 720 dpi.
  float TextWidth(const QString& text);
  float TextHeight(const QString& text);
  // Appends the lines into which text breaks at `width` millimetres.
  void WrapText(const QString& text, QStringList& lines, float width);
  // Em height in device pixels for `size` points, negative; -1 when it rounds to 0.
  int FontHeightForSize(int size);

  // Image operations. Rectangles in millimetres; sources are 32-bit pixels. The image is resampled
  // into an intermediate bitmap of at most 360 dpi, which the device then stretches.
  // Slot 0: the whole image into (x, y)-(x + w, y + h).
  virtual void DrawImageOrthogonalBlt(const QImage& image, float x, float y, float w, float h);
  // Slot 1: source pixels srcX .. srcX + srcW - 1, srcY .. srcY + srcH - 1 into the rectangle.
  virtual void DrawBitsOrthogonal(const TBitmapData& src, float x, float y, float w, float h, int srcX,
                                  int srcY, int srcW, int srcH);
  // Slot 2: a wDest x hDest rectangle centred on (cxDest, cyDest), turned by `angle` degrees.
  virtual void DrawImageRotated(const QImage& image, float cxDest, float cyDest, float wDest, float hDest,
                                float angle, int srcX, int srcY, int srcW, int srcH);
  // Slot 3: as slot 1 under any transformation (rotated ones row by row).
  virtual void DrawBits(const TBitmapData& src, float x, float y, float w, float h, int srcX, int srcY,
                        int srcW, int srcH);
  // Slot 4: not implemented; throws EKalnoError.
  virtual void DrawImageAlpha(const TBitmapData& src, float x, float y, float w, float h, int srcX,
                              int srcY, int srcW, int srcH);
  // Slot 5: not implemented; says so in a plain message box.
  virtual void DrawShadowRect(float cxDest, float cyDest, float wDest, float hDest, float angle,
                              float blurWidth);

 protected:
  void SetDeviceRect(const TRect& rect) { deviceRect_ = rect; }

 private:
  // Sum of the design advances of text[from, to) at 720 dpi, in pixels.
  double Extent720(const TFontInfo& info, const QString& text, int from, int to) const;
  float FontPoints() const;
  const QRawFont& DeviceRawFont(const TFontInfo& info, int pixelSize);

  float fontHeight_ = 0.0f;
  float lineWidth_ = 0.0f;
  QFont font_;
  QColor fontColor_ = Qt::black;
  int penWidth_ = 1;
  TRect deviceRect_;
  TRect clipRect_;
  QPainter* canvas_ = nullptr;
  TTransformation transformation_;
  int resolutionY_ = 96;

  QFont canvasFont_;
  int canvasFontHeight_ = -1;
  int escapement_ = 0;
  // The device font's outlines at its pixel size, kept while font and size stay the same.
  const TFontInfo* rawFor_ = nullptr;
  int rawSize_ = 0;
  QRawFont raw_;
  std::vector<quint32> glyphBuffer_;
  std::vector<QPointF> positionBuffer_;
};
