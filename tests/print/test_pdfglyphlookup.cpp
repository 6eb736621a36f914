// The glyph lookups of Qt's PDF writer answered from a table per font: for every character the
// glyph FreeType itself gives, in every character map, also when fonts come and go. And the
// outlines it embeds, taken at one em as the font was drawn: for the print's faces the very points
// FreeType's hinting gives there, so the paper does not change.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <vector>

#include "platform/uPdfGlyphLookup.h"

namespace {
using TGetCharIndex = FT_UInt (*)(FT_Face, FT_ULong);
using TLoadGlyph = FT_Error (*)(FT_Face, FT_UInt, FT_Int32);

// FreeType's own function, past the program's stand-in.
FT_UInt FreeTypes(FT_Face face, FT_ULong c) {
  static const auto f = reinterpret_cast<TGetCharIndex>(dlsym(RTLD_NEXT, "FT_Get_Char_Index"));
  return f(face, c);
}

// What a glyph load leaves in the slot: the outline's points, their kinds, the advance.
std::vector<long> Slot(FT_Face face) {
  const FT_Outline& o = face->glyph->outline;
  std::vector<long> v{face->glyph->advance.x, face->glyph->advance.y, o.n_points, o.n_contours};
  for (int i = 0; i < o.n_points; ++i) v.insert(v.end(), {o.points[i].x, o.points[i].y, long(o.tags[i] & 1)});
  for (int i = 0; i < o.n_contours; ++i) v.push_back(o.contours[i]);
  return v;
}

// FreeType's own glyph load with the caller's flags, past the program's stand-in.
std::vector<long> FreeTypesSlot(FT_Face face, FT_UInt glyph, FT_Int32 flags) {
  static const auto f = reinterpret_cast<TLoadGlyph>(dlsym(RTLD_NEXT, "FT_Load_Glyph"));
  EXPECT_EQ(f(face, glyph, flags), 0);
  return Slot(face);
}

// The file fontconfig gives for a pattern, as Qt's font database would choose it.
QByteArray FontFile(const char* pattern) {
  QProcess p;
  p.start(QStringLiteral("fc-match"), {QStringLiteral("-f"), QStringLiteral("%{file}"), QString::fromLatin1(pattern)});
  p.waitForFinished(30000);
  return p.readAllStandardOutput();
}

// Characters of the plane whose glyph differs from FreeType's, in every character map of the face.
int Differences(FT_Face face) {
  int differences = 0;
  for (int m = 0; m < face->num_charmaps; ++m) {
    if (FT_Set_Charmap(face, face->charmaps[m]) != 0) continue;
    for (FT_ULong c = 0; c < 0x10000; ++c)
      if (FT_Get_Char_Index(face, c) != FreeTypes(face, c)) ++differences;
  }
  return differences;
}

class PdfGlyphLookup : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(FT_Init_FreeType(&library), 0); }
  void TearDown() override { FT_Done_FreeType(library); }
  FT_Face Open(const QByteArray& file) {
    FT_Face face = nullptr;
    EXPECT_EQ(FT_New_Face(library, file.constData(), 0, &face), 0) << file.constData();
    return face;
  }
  FT_Library library = nullptr;
};
}  // namespace

TEST_F(PdfGlyphLookup, EveryCharacterGetsFreeTypesGlyphInTheFontsOfThePrint) {
  ASSERT_TRUE(TPdfGlyphLookupScope::Available());
  TPdfGlyphLookupScope scope;
  for (const char* pattern : {"Arial", "Arial:bold", "Courier New", "DejaVu Sans", "Liberation Serif:italic"}) {
    SCOPED_TRACE(pattern);
    const QByteArray file = FontFile(pattern);
    ASSERT_FALSE(file.isEmpty());
    FT_Face face = Open(file);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(Differences(face), 0);
    // Beyond the plane, and without a face, FreeType answers.
    EXPECT_EQ(FT_Get_Char_Index(face, 0x1F600), FreeTypes(face, 0x1F600));
    FT_Done_Face(face);
  }
  EXPECT_EQ(FT_Get_Char_Index(nullptr, 'A'), 0u);
}

TEST_F(PdfGlyphLookup, AFontClosedAndAnotherOpenedInItsPlaceGetsItsOwnGlyphs) {
  TPdfGlyphLookupScope scope;
  const QByteArray sans = FontFile("Arial"), mono = FontFile("Courier New");
  ASSERT_NE(sans, mono);
  for (int round = 0; round < 3; ++round) {
    FT_Face a = Open(round % 2 ? mono : sans);
    ASSERT_NE(a, nullptr);
    const FT_UInt before = FT_Get_Char_Index(a, 0x20AC);  // builds the table for this address
    EXPECT_EQ(before, FreeTypes(a, 0x20AC));
    FT_Done_Face(a);
    FT_Face b = Open(round % 2 ? sans : mono);  // often at the same address
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Differences(b), 0) << "round " << round;
    FT_Done_Face(b);
  }
}

TEST_F(PdfGlyphLookup, OutsideTheScopeFreeTypeAnswers) {
  FT_Face face = Open(FontFile("Arial"));
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(Differences(face), 0);
  {
    TPdfGlyphLookupScope outer;
    {
      TPdfGlyphLookupScope inner;  // nested: the tables stay until the outer one ends
      EXPECT_EQ(FT_Get_Char_Index(face, 'x'), FreeTypes(face, 'x'));
    }
    EXPECT_EQ(Differences(face), 0);
  }
  EXPECT_EQ(Differences(face), 0);
  FT_Done_Face(face);
}

TEST_F(PdfGlyphLookup, OutlinesAtOneEmAreTheDrawnOnesAndOtherSizesStayHinted) {
  ASSERT_TRUE(TPdfGlyphLookupScope::Available());
  TPdfGlyphLookupScope scope;
  struct TCase {
    const char* Pattern;
    bool SameAsHinted;  // the faces Arial and Courier New resolve to: what was embedded before
  };
  for (const TCase& c : {TCase{"Arial", true}, TCase{"Arial:bold", true}, TCase{"Courier New", true},
                         TCase{"Liberation Serif:italic", true}, TCase{"DejaVu Sans Mono", false}}) {
    SCOPED_TRACE(c.Pattern);
    FT_Face face = Open(FontFile(c.Pattern));
    ASSERT_NE(face, nullptr);
    ASSERT_TRUE(FT_IS_SCALABLE(face));
    int notDrawn = 0, notHinted = 0;
    for (FT_UInt g = 0; g < FT_UInt(face->num_glyphs); ++g) {
      // As Qt's PDF writer asks: the size set to the em square before each glyph.
      ASSERT_EQ(FT_Set_Char_Size(face, face->units_per_EM << 6, face->units_per_EM << 6, 0, 0), 0);
      const std::vector<long> hinted = FreeTypesSlot(face, g, FT_LOAD_NO_BITMAP);
      const std::vector<long> drawn = FreeTypesSlot(face, g, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING);
      ASSERT_EQ(FT_Load_Glyph(face, g, FT_LOAD_NO_BITMAP), 0);
      if (Slot(face) != drawn) ++notDrawn;
      if (Slot(face) != hinted) ++notHinted;
    }
    EXPECT_EQ(notDrawn, 0) << "of " << face->num_glyphs << " glyphs";
    if (c.SameAsHinted)
      EXPECT_EQ(notHinted, 0);
    else
      EXPECT_GT(notHinted, 0) << "this face's hinting moves points at one em: the case the drawn outline is for";
    // On screen sizes hinting stays: the stand-in passes the load through unchanged.
    ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 13), 0);
    const FT_UInt a = FreeTypes(face, 'a');
    const std::vector<long> screen = FreeTypesSlot(face, a, FT_LOAD_DEFAULT);
    ASSERT_EQ(FT_Load_Glyph(face, a, FT_LOAD_DEFAULT), 0);
    EXPECT_EQ(Slot(face), screen);
    EXPECT_NE(screen, FreeTypesSlot(face, a, FT_LOAD_NO_HINTING)) << "13 px without hinting should differ";
    FT_Done_Face(face);
  }
}
