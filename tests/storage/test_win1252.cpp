#include <gtest/gtest.h>

#include "storage/uWin1252.h"

TEST(Win1252, EveryByteSurvivesARoundTrip) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(char(b));
  const QString text = FromWin1252(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_TRUE(IsWin1252Text(text));
  EXPECT_EQ(ToWin1252(text), all);
}

struct CodePoint {
  int byte;
  char16_t unicode;
};

class Win1252Table : public ::testing::TestWithParam<CodePoint> {};

TEST_P(Win1252Table, MapsBothWays) {
  const CodePoint p = GetParam();
  EXPECT_EQ(Win1252ToUnicode(static_cast<unsigned char>(p.byte)).unicode(), p.unicode);
  EXPECT_EQ(UnicodeToWin1252(QChar(p.unicode)), p.byte);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win1252Table,
    ::testing::Values(CodePoint{0x41, u'A'}, CodePoint{0x80, 0x20AC}, CodePoint{0x81, 0x0081},
                      CodePoint{0x8A, 0x0160}, CodePoint{0x8D, 0x008D}, CodePoint{0x8F, 0x008F},
                      CodePoint{0x90, 0x0090}, CodePoint{0x93, 0x201C}, CodePoint{0x96, 0x2013},
                      CodePoint{0x9D, 0x009D}, CodePoint{0x9F, 0x0178}, CodePoint{0xA0, 0x00A0},
                      CodePoint{0xC4, u'Ä'}, CodePoint{0xDF, u'ß'}, CodePoint{0xFC, u'ü'},
                      CodePoint{0xFF, u'ÿ'}));

TEST(Win1252, CharactersOutsideTheCodePage) {
  // C1 controls other than the five undefined bytes have no Windows-1252 byte.
  EXPECT_EQ(UnicodeToWin1252(QChar(0x0080)), -1);
  EXPECT_EQ(UnicodeToWin1252(QChar(0x009E)), -1);
  EXPECT_EQ(UnicodeToWin1252(QChar(0x0141)), -1);  // Ł
  const QString mixed = QStringLiteral("Łódź €5");
  EXPECT_FALSE(IsWin1252Text(mixed));
  EXPECT_EQ(StripNonWin1252(mixed), QStringLiteral("ódź €5").remove(QChar(0x017A)));
  EXPECT_EQ(ToWin1252(QStringLiteral("aŁb")), QByteArray("a?b"));
}
