// The glyph lookups of Qt's PDF writer answered from a table per font: for every character the
// glyph FreeType itself gives, in every character map, also when fonts come and go.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/uPdfGlyphLookup.h"

namespace {
using TGetCharIndex = FT_UInt (*)(FT_Face, FT_ULong);

// FreeType's own function, past the program's stand-in.
FT_UInt FreeTypes(FT_Face face, FT_ULong c) {
  static const auto f = reinterpret_cast<TGetCharIndex>(dlsym(RTLD_NEXT, "FT_Get_Char_Index"));
  return f(face, c);
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
