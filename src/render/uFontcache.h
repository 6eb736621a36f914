#pragma once
#include <QFont>
#include <QRawFont>
#include <QString>
#include <array>
#include <memory>
#include <vector>

// Advance widths of the 256 Windows-1252 codes of one font (name and style), measured once at
// the font's own em square in design units, so they carry no rounding or hinting of any device.
class TFontInfo {
 public:
  explicit TFontInfo(const QFont& font);
  TFontInfo(const TFontInfo&) = delete;
  TFontInfo& operator=(const TFontInfo&) = delete;

  const QFont& Font() const { return font_; }
  // The reference height of the widths: the em square, or 2048 without outline metrics.
  int EmSize() const { return emSize_; }
  // Advance of `code` at the reference height, in pixels of that height.
  int Width(unsigned char code) const { return widths_[code]; }
  // The advance of `ch` for an em height of `height`, in the unit of `height`.
  float CharWidth(unsigned char ch, float height) const {
    return float(widths_[ch]) / float(emSize_) * height;
  }
  // Ascent and descent of the character cell at the reference height.
  float Ascent() const { return ascent_; }
  float Descent() const { return descent_; }
  // The glyph of each code in RawFont(), for text output with our own advances.
  quint32 Glyph(unsigned char code) const { return glyphs_[code]; }
  // The measured font file at the reference height; invalid when the font could not be loaded.
  const QRawFont& RawFont() const { return raw_; }

  // Name and style as the cache compares them.
  bool Matches(const QFont& font) const;

 private:
  QFont font_;
  int emSize_ = 2048;
  std::array<int, 256> widths_{};
  std::array<quint32, 256> glyphs_{};
  float ascent_ = 0.0f;
  float descent_ = 0.0f;
  QRawFont raw_;
};

// The process-wide cache of width tables, most recently created record first. Records are never
// removed or re-measured before the cache is released at program end.
class TFontCache {
 public:
  TFontCache() = default;
  TFontCache(const TFontCache&) = delete;
  TFontCache& operator=(const TFontCache&) = delete;

  // The record for the font's name (exact, case-sensitive) and style (bold, italic, underline,
  // strike-out); size, charset and colour are not part of the key. Created on first use.
  TFontInfo& GetFontInfo(const QFont& font);
  int Count() const { return int(list_.size()); }
  const TFontInfo& At(int index) const { return *list_.at(size_t(index)); }

 private:
  std::vector<std::unique_ptr<TFontInfo>> list_;
};

// The cache, created on first use and released with the application object (or ReleaseFontCache).
TFontCache& FontCache();
void ReleaseFontCache();

// The text measure of the print, shared by the drawing context and the fit check so that what
// the editors allow and what prints agree to the last digit. Characters outside Windows-1252
// measure as "?", as they print.
// The code a character prints with: its Windows-1252 code, or "?".
unsigned char PrintedCode(QChar ch);
// The point size the print takes from `font`: its points, a pixel size at 96 dpi, or 8.
float PrintPoints(const QFont& font);
// The advance of text[from, to) in the font of `info` at `points`, in pixels at 720 dpi.
double Extent720(const TFontInfo& info, float points, const QString& text, int from, int to);
// How wide `text` prints in `font`, in millimetres.
float PrintedTextWidthMM(const QFont& font, const QString& text);
