#include "render/uFontcache.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QVector>
#include <cmath>

#include "storage/uWin1252.h"

namespace {
constexpr int kDefaultEm = 2048;

quint16 BigEndian16(const QByteArray& table, qsizetype at) {
  return quint16((quint8(table.at(at)) << 8) | quint8(table.at(at + 1)));
}

// The advance widths of `glyphs` straight from the font's horizontal metrics table ("hmtx", with
// its count in "hhea"), in font units: what FreeType reports as the unhinted advance at one em,
// without loading each glyph's outline for it. False when the font has no such tables (a Type 1
// font) or they are cut short, and for a variable font, whose instances move the advances away
// from the table's.
bool DesignAdvances(const QRawFont& raw, const QList<quint32>& glyphs, std::array<int, 256>& widths) {
  if (!raw.fontTable("fvar").isEmpty()) return false;
  const QByteArray hhea = raw.fontTable("hhea");
  const QByteArray hmtx = raw.fontTable("hmtx");
  if (hhea.size() < 36) return false;
  const int metrics = BigEndian16(hhea, 34);  // numberOfHMetrics
  if (metrics < 1 || hmtx.size() < qsizetype(metrics) * 4) return false;
  for (int i = 0; i < 256; ++i) {
    // Glyphs past the last full record share its advance.
    const int record = int(qMin<quint32>(glyphs[i], quint32(metrics - 1)));
    widths[std::size_t(i)] = BigEndian16(hmtx, qsizetype(record) * 4);
  }
  return true;
}

QString AllCodes() {
  QString s;
  s.reserve(256);
  for (int b = 0; b < 256; ++b) s.append(Win1252ToUnicode(static_cast<unsigned char>(b)));
  return s;
}
}  // namespace

TFontInfo::TFontInfo(const QFont& font) : font_(font) {
  // Measured upright and unhinted: the widths are the font's design advances.
  QFont probe(font);
  probe.setHintingPreference(QFont::PreferNoHinting);
  probe.setKerning(false);
  probe.setPixelSize(kDefaultEm);
  QRawFont raw = QRawFont::fromFont(probe);
  const QString codes = AllCodes();

  if (raw.isValid() && raw.unitsPerEm() > 0) {
    emSize_ = qMax(1, qRound(raw.unitsPerEm()));
    raw.setPixelSize(emSize_);
    const QList<quint32> glyphs = raw.glyphIndexesForString(codes);
    bool measured = glyphs.size() == 256 && DesignAdvances(raw, glyphs, widths_);
    if (glyphs.size() == 256 && !measured) {
      const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
      measured = advances.size() == 256;
      for (int i = 0; measured && i < 256; ++i) widths_[std::size_t(i)] = qRound(advances[i].x());
    }
    if (measured) {
      for (int i = 0; i < 256; ++i) glyphs_[std::size_t(i)] = glyphs[i];
      ascent_ = float(raw.ascent());
      descent_ = float(raw.descent());
      raw_ = raw;
      return;
    }
  }
  // No outline metrics: measure the font as the platform lays it out at the reference height.
  emSize_ = kDefaultEm;
  const QFontMetricsF fm(probe);
  for (int i = 0; i < 256; ++i) widths_[i] = qRound(fm.horizontalAdvance(codes.at(i)));
  ascent_ = float(fm.ascent());
  descent_ = float(fm.descent());
}

bool TFontInfo::Matches(const QFont& font) const {
  return font_.family() == font.family() && font_.bold() == font.bold() &&
         font_.italic() == font.italic() && font_.underline() == font.underline() &&
         font_.strikeOut() == font.strikeOut();
}

TFontInfo& TFontCache::GetFontInfo(const QFont& font) {
  for (const auto& info : list_)
    if (info->Matches(font)) return *info;
  list_.insert(list_.begin(), std::make_unique<TFontInfo>(font));
  return *list_.front();
}

namespace {
TFontCache* g_cache = nullptr;
}

TFontCache& FontCache() {
  if (!g_cache) {
    g_cache = new TFontCache;
    // The records hold fonts of the font database: release them while the application lives.
    if (QCoreApplication::instance()) qAddPostRoutine(ReleaseFontCache);
  }
  return *g_cache;
}

void ReleaseFontCache() {
  delete g_cache;
  g_cache = nullptr;
}

float PrintPoints(const QFont& font) {
  if (font.pointSizeF() > 0) return float(font.pointSizeF());
  if (font.pixelSize() > 0) return float(font.pixelSize()) * 72.0f / 96.0f;
  return 8.0f;
}

unsigned char PrintedCode(QChar ch) {
  const int b = UnicodeToWin1252(ch);
  return static_cast<unsigned char>(b < 0 ? '?' : b);
}

double Extent720(const TFontInfo& info, float points, const QString& text, int from, int to) {
  // At 720 dpi the em height is ten pixels per point.
  const float em = points * 10.0f;
  double sum = 0.0;
  for (int i = from; i < to; ++i) sum += double(info.CharWidth(PrintedCode(text.at(i)), em));
  return sum;
}

float PrintedTextWidthMM(const QFont& font, const QString& text) {
  if (text.isEmpty()) return 0.0f;
  const TFontInfo& info = FontCache().GetFontInfo(font);
  return float(Extent720(info, PrintPoints(font), text, 0, int(text.size())) / 720.0 * 25.4);
}
