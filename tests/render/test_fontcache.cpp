#include <gtest/gtest.h>

#include <QRawFont>

#include "render/uFontcache.h"

namespace {

QFont Arial(int points, bool bold = false) {
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(points);
  f.setBold(bold);
  return f;
}

// The design advance of a character, read straight from the font file the font resolves to.
qreal DesignAdvance(const QFont& font, QChar ch) {
  QFont f(font);
  f.setPixelSize(100);
  QRawFont raw = QRawFont::fromFont(f);
  raw.setPixelSize(raw.unitsPerEm());
  const auto glyphs = raw.glyphIndexesForString(QString(ch));
  return raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics).at(0).x();
}

TEST(FontCache, SizeIsNotPartOfTheKey) {
  TFontInfo& a = FontCache().GetFontInfo(Arial(10));
  TFontInfo& b = FontCache().GetFontInfo(Arial(14));
  EXPECT_EQ(&a, &b);
}

TEST(FontCache, StyleAndExactNameAreTheKey) {
  TFontCache cache;
  TFontInfo& regular = cache.GetFontInfo(Arial(10));
  TFontInfo& bold = cache.GetFontInfo(Arial(10, true));
  QFont lower(QStringLiteral("arial"));
  TFontInfo& lowerInfo = cache.GetFontInfo(lower);
  QFont italic = Arial(10);
  italic.setItalic(true);
  QFont underline = Arial(10);
  underline.setUnderline(true);
  QFont strike = Arial(10);
  strike.setStrikeOut(true);
  cache.GetFontInfo(italic);
  cache.GetFontInfo(underline);
  cache.GetFontInfo(strike);
  EXPECT_NE(&regular, &bold);
  EXPECT_NE(&regular, &lowerInfo);
  EXPECT_EQ(cache.Count(), 6);
  // Bold advances are wider than regular ones for Arial's metric twin (b: 1251 against 1139).
  EXPECT_EQ(regular.Width('b'), 1139);
  EXPECT_EQ(bold.Width('b'), 1251);
}

TEST(FontCache, MostRecentRecordFirst) {
  TFontCache cache;
  TFontInfo& a = cache.GetFontInfo(Arial(10));
  TFontInfo& b = cache.GetFontInfo(QFont(QStringLiteral("Times New Roman")));
  TFontInfo& c = cache.GetFontInfo(QFont(QStringLiteral("Courier New")));
  ASSERT_EQ(cache.Count(), 3);
  EXPECT_EQ(&cache.At(0), &c);
  EXPECT_EQ(&cache.At(1), &b);
  EXPECT_EQ(&cache.At(2), &a);
  // A hit does not reorder.
  EXPECT_EQ(&cache.GetFontInfo(Arial(12)), &a);
  EXPECT_EQ(&cache.At(0), &c);
}

TEST(FontCache, ArialWidthsAreDesignUnits) {
  TFontCache cache;
  const TFontInfo& info = cache.GetFontInfo(Arial(10));
  EXPECT_EQ(info.EmSize(), 2048);
  const qreal w = DesignAdvance(Arial(10), QLatin1Char('W'));
  EXPECT_EQ(info.Width('W'), qRound(w));
  EXPECT_FLOAT_EQ(info.CharWidth('W', 4.0f), float(info.Width('W')) / 2048.0f * 4.0f);
  // Liberation Sans, Arial's metric twin: W is 1933 units, a space 569.
  EXPECT_EQ(info.Width('W'), 1933);
  EXPECT_EQ(info.Width(' '), 569);
}

TEST(FontCache, UpperHalfOfTheCodePageIsMeasured) {
  TFontCache cache;
  const TFontInfo& info = cache.GetFontInfo(Arial(10));
  EXPECT_GT(info.Width(255), 0);                 // y with diaeresis
  EXPECT_EQ(info.Width(0xFC), info.Width('u'));  // ü has the advance of u
  EXPECT_GT(info.Width(0x80), 0);                // the euro sign
  EXPECT_EQ(info.Width(0x80), qRound(DesignAdvance(Arial(10), QChar(0x20AC))));
}

// The widths come from the font's metrics table; every code of the page must get the advance the
// font engine reports for it, in every face the program prints with, and in faces whose glyphs
// share the last metrics record (DejaVu Sans Mono).
TEST(FontCache, EveryCodeHasTheEnginesDesignAdvance) {
  TFontCache cache;
  for (const char* family : {"Arial", "Courier New", "Times New Roman", "DejaVu Sans", "DejaVu Sans Mono"}) {
    for (const bool bold : {false, true}) {
      for (const bool italic : {false, true}) {
        QFont f{QString::fromLatin1(family)};
        f.setBold(bold);
        f.setItalic(italic);
        SCOPED_TRACE(QStringLiteral("%1 bold %2 italic %3").arg(f.family()).arg(bold).arg(italic).toStdString());
        const TFontInfo& info = cache.GetFontInfo(f);
        ASSERT_TRUE(info.RawFont().isValid());
        int differences = 0;
        for (int code = 0; code < 256; ++code) {
          const QChar ch = QString::fromLatin1(QByteArray(1, char(code)), 1).at(0);
          const QString text = code >= 0x80 && code < 0xA0 ? QString() : QString(ch);
          if (text.isEmpty()) continue;  // the Windows-1252 block is checked through the euro sign above
          if (info.Width(static_cast<unsigned char>(code)) != qRound(DesignAdvance(f, ch))) ++differences;
        }
        EXPECT_EQ(differences, 0);
      }
    }
  }
}

TEST(FontCache, MonospacedFontHasEqualWidths) {
  TFontCache cache;
  const TFontInfo& info = cache.GetFontInfo(QFont(QStringLiteral("Courier New")));
  EXPECT_EQ(info.Width('i'), info.Width('W'));
  EXPECT_EQ(info.Width('i'), 1229);
}

}  // namespace
