#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "TestSupport.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"

namespace {
class Registry : public ::testing::Test {
 protected:
  void SetUp() override { ClearTestSettings(); }
  // What the store wrote, read back the way another program would.
  QVariant Raw(const QString& path) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KALNO"), QStringLiteral("Mahnbescheid"));
    return s.value(path);
  }
  void SetRaw(const QString& path, const QVariant& v) {
    {
      QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KALNO"),
                  QStringLiteral("Mahnbescheid"));
      s.setValue(path, v);
    }
    TQVRegIniFile::ResetForTesting();
  }
};
}  // namespace

TEST_F(Registry, FirstRunGivesTheDefaults) {
  TQVRegIniFile& r = QVRegIniFile();
  EXPECT_TRUE(r.ReadBool(QStringLiteral("\\Help\\"), QStringLiteral("StepHelp"), true));
  EXPECT_FALSE(r.ReadBool(QStringLiteral("FormPosition"), QStringLiteral("saved"), false));
  EXPECT_EQ(r.ReadInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 8), 8);
  EXPECT_EQ(r.ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), 0), 0.0);
  EXPECT_FALSE(r.ReadBool(QStringLiteral("Mahnbescheid"), QStringLiteral("Testdruck"), false));
}

TEST_F(Registry, SectionSpellingsNameOneKey) {
  EXPECT_EQ(TQVRegIniFile::SectionKey(QStringLiteral("\\FormPosition\\")), QStringLiteral("FormPosition"));
  EXPECT_EQ(TQVRegIniFile::SectionKey(QStringLiteral("FormPosition")), QStringLiteral("FormPosition"));
  EXPECT_EQ(TQVRegIniFile::SectionKey(QStringLiteral("\\\\a\\\\b\\")), QStringLiteral("a/b"));
  EXPECT_EQ(TQVRegIniFile::SectionKey(QString()), QString());
  QVRegIniFile().WriteBool(QStringLiteral("\\FormPosition\\"), QStringLiteral("saved"), true);
  EXPECT_TRUE(QVRegIniFile().ReadBool(QStringLiteral("FormPosition"), QStringLiteral("saved"), false));
  EXPECT_EQ(Raw(QStringLiteral("FormPosition/saved")).toString(), QStringLiteral("1"));
}

TEST_F(Registry, FloatsUseTheGermanDecimalComma) {
  QVRegIniFile().WriteFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), 1.5);
  QVRegIniFile().WriteFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetY"), 12);
  EXPECT_EQ(Raw(QStringLiteral("Mahnbescheid/OffsetX")).toString(), QStringLiteral("1,5"));
  EXPECT_EQ(Raw(QStringLiteral("Mahnbescheid/OffsetY")).toString(), QStringLiteral("12"));
  EXPECT_EQ(QVRegIniFile().ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), 0), 1.5);
  QVRegIniFile().WriteFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), -0.5);
  EXPECT_EQ(QVRegIniFile().ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), 0), -0.5);
  EXPECT_EQ(TQVRegIniFile::FloatToText(1234567.25), QStringLiteral("1234567,25"));
  EXPECT_EQ(TQVRegIniFile::FloatToText(0.1), QStringLiteral("0,1"));
}

struct StoredText {
  const char* text;
  int asInteger;    // read with default 8
  bool asBool;      // read with default false
  double asFloat;   // read with default 0
};

class RegistryReads : public Registry, public ::testing::WithParamInterface<StoredText> {};

TEST_P(RegistryReads, TextsConvertOrGiveTheDefault) {
  const StoredText& c = GetParam();
  SetRaw(QStringLiteral("S/V"), QString::fromUtf8(c.text));
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("S"), QStringLiteral("V"), 8), c.asInteger);
  EXPECT_EQ(QVRegIniFile().ReadBool(QStringLiteral("S"), QStringLiteral("V"), false), c.asBool);
  EXPECT_EQ(QVRegIniFile().ReadFloat(QStringLiteral("S"), QStringLiteral("V"), 0), c.asFloat);
}

INSTANTIATE_TEST_SUITE_P(Table, RegistryReads,
                         ::testing::Values(StoredText{"abc", 8, false, 0}, StoredText{"2", 2, true, 2},
                                           StoredText{"-1", -1, true, -1}, StoredText{"0", 0, false, 0},
                                           StoredText{"", 8, false, 0}, StoredText{"1,5", 8, false, 1.5},
                                           StoredText{"1.5", 8, false, 0}, StoredText{"1.500", 8, false, 0}));

TEST_F(Registry, NonTextValuesReadAsTheDefault) {
  SetRaw(QStringLiteral("S/List"), QStringList{QStringLiteral("1"), QStringLiteral("5")});
  SetRaw(QStringLiteral("S/Size"), QSize(3, 4));
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("S"), QStringLiteral("List"), 7), 7);
  EXPECT_EQ(QVRegIniFile().ReadFloat(QStringLiteral("S"), QStringLiteral("List"), 2.5), 2.5);
  EXPECT_TRUE(QVRegIniFile().ReadBool(QStringLiteral("S"), QStringLiteral("Size"), true));
}

TEST_F(Registry, HandWrittenCommasReadAsTheTextTheyAre) {
  // As a user or an administrator writes the settings file with an editor: no quotation marks.
  const QString fileName =
      QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KALNO"), QStringLiteral("Mahnbescheid"))
          .fileName();
  {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(fileName).absolutePath()));
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Mahnbescheid]\nOffsetX=1,5\nOffsetY = -0,25 \nQuoted=\"2,5\"\nTwoCommas=1,5,\nSpaced=1, 5\n"
            "[Werbung]\nCount=3\n");
  }
  TQVRegIniFile::ResetForTesting();
  TQVRegIniFile& r = QVRegIniFile();
  EXPECT_EQ(r.ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), 0), 1.5);
  EXPECT_EQ(r.ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetY"), 0), -0.25);
  EXPECT_EQ(r.ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("Quoted"), 0), 2.5);
  // Texts that are no number still give the default.
  EXPECT_EQ(r.ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("TwoCommas"), 7), 7.0);
  EXPECT_EQ(r.ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("Spaced"), 7), 7.0);
  EXPECT_EQ(r.ReadInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 8), 3);
  // The same name in another section is not taken.
  EXPECT_EQ(r.ReadFloat(QStringLiteral("Werbung"), QStringLiteral("OffsetX"), 4), 4.0);
  // A write of another value (every start counts the promotion) keeps the hand-written texts.
  r.WriteInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 4);
  TQVRegIniFile::ResetForTesting();
  EXPECT_EQ(QVRegIniFile().ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), 0), 1.5);
  EXPECT_EQ(QVRegIniFile().ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetY"), 0), -0.25);
  EXPECT_EQ(QVRegIniFile().ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("TwoCommas"), 7), 7.0);
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("Werbung"), QStringLiteral("Count"), 8), 4);
  // The store's own values come back as written.
  QVRegIniFile().WriteFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), 2.25);
  EXPECT_EQ(QVRegIniFile().ReadFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), 0), 2.25);
}

TEST_F(Registry, InstallDirIsRewrittenWithATrailingSeparator) {
  SetRaw(QStringLiteral("InstallDir"), QStringLiteral("old"));
  WriteInstallDir();
  const QString v = Raw(QStringLiteral("InstallDir")).toString();
  EXPECT_EQ(v, NativeProgramFolder());
  EXPECT_TRUE(v.endsWith(QLatin1Char('/')) || v.endsWith(QLatin1Char('\\')));
}

TEST_F(Registry, AFailedWriteIsReportedOnceAndTheProgramGoesOn) {
  QStringList reports;
  TQVRegIniFile::SetWriteErrorHandler([&](const QString& m) { reports << m; });
  // A file where the settings folder should be makes every write fail.
  QDir(TestSettingsFolder()).removeRecursively();
  QFile blocker(TestSettingsFolder());
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  TQVRegIniFile::ResetForTesting();
  QVRegIniFile().WriteInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 9);
  QVRegIniFile().WriteBool(QStringLiteral("\\Help\\"), QStringLiteral("StepHelp"), false);
  EXPECT_EQ(reports.size(), 1);
  if (!reports.isEmpty()) {
    EXPECT_TRUE(reports[0].contains(QStringLiteral("Einstellungen")));
  }
  TQVRegIniFile::SetWriteErrorHandler(nullptr);
  QFile::remove(TestSettingsFolder());
  ClearTestSettings();
}
