#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QTemporaryDir>

#include "platform/uErrors.h"
#include "storage/uFileHelpers.h"

struct SplitCase {
  const char* text;
  const char* delimiter;
  QStringList expected;
};

class SplitStringTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitStringTable, Pieces) {
  const SplitCase& c = GetParam();
  QStringList list{QStringLiteral("stale entry")};
  SplitString(QString::fromUtf8(c.text), QString::fromUtf8(c.delimiter), list);
  EXPECT_EQ(list, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitStringTable,
    ::testing::Values(SplitCase{"a||b", "||", {"a", "b"}}, SplitCase{"a||", "||", {"a", ""}},
                      SplitCase{"", "||", {""}}, SplitCase{"||", "||", {"", ""}},
                      SplitCase{"a|b", "||", {"a|b"}}, SplitCase{"a|||b", "||", {"a", "|b"}},
                      SplitCase{"aXbxc", "X", {"a", "bxc"}}, SplitCase{"a||b", "", {"a||b"}},
                      SplitCase{"Zeile 1||Zeile 2||Zeile 3", "||", {"Zeile 1", "Zeile 2", "Zeile 3"}}));

TEST(LoadFileToString, ReturnsTheBytesUnchanged) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("f.bin"));
  const QByteArray bytes("\xEF\xBB\xBF" "a\0b\r\n\xE4\xFC\x80", 11);
  {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  EXPECT_EQ(LoadFileToString(name), bytes);

  const QString empty = dir.filePath(QStringLiteral("empty"));
  QFile(empty).open(QIODevice::WriteOnly);
  EXPECT_TRUE(LoadFileToString(empty).isEmpty());
}

TEST(LoadFileToString, MissingFileFailsWithItsName) {
  try {
    LoadFileToString(QStringLiteral("/nonexistent/WizardSteps.xml"));
    FAIL() << "no error";
  } catch (const EKalnoError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("/nonexistent/WizardSteps.xml")));
  }
}

TEST(TextWidthMM, EmptyIsZeroAndScalesWithSize) {
  QFont f8(QStringLiteral("Arial"));
  f8.setPointSize(8);
  QFont f16(f8);
  f16.setPointSize(16);
  EXPECT_EQ(TextWidthMM(QString(), f8), 0.0f);
  const float w8 = TextWidthMM(QStringLiteral("Mustermann GmbH & Co. KG"), f8);
  const float w16 = TextWidthMM(QStringLiteral("Mustermann GmbH & Co. KG"), f16);
  EXPECT_GT(w8, 20.0f);
  EXPECT_LT(w8, 60.0f);
  EXPECT_NEAR(w16 / w8, 2.0f, 0.02f);
}

TEST(TextWidthMM, MatchesArialDesignWidths) {
  // Arial (and its metric twin Liberation Sans) has "H" 1479/2048 em wide: at 10 pt that is
  // 10 / 72 * 25.4 * 1479 / 2048 mm.
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(10);
  const float expected = float(10.0 / 72.0 * 25.4 * 1479.0 / 2048.0 * 10);
  EXPECT_NEAR(TextWidthMM(QStringLiteral("HHHHHHHHHH"), f), expected, 0.05f);
}
