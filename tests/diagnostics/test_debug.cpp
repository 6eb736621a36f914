#include <gtest/gtest.h>

#include <QSettings>

#include "TestSupport.h"
#include "diagnostics/udebug.h"
#include "platform/uShell.h"

namespace {
class DebugLog : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTestSettings();
    StopDebugLog();
    TDebug::SetLineSinkForTesting([this](const QString& l) { lines << l; });
    TDebug::SetTickSourceForTesting([this] { return ticks; });
    SetShellOpener([this](const QString& t) {
      opened << t;
      return true;
    });
  }
  void TearDown() override {
    StopDebugLog();
    TDebug::SetLineSinkForTesting(nullptr);
    TDebug::SetTickSourceForTesting(nullptr);
    SetShellOpener(nullptr);
  }
  QSettings ViewerKey() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvanta"), QStringLiteral("DebugWin32"));
  }
  QStringList lines, opened;
  qint64 ticks = 1000;
};
}  // namespace

TEST(DebugLine, ElapsedHasAtLeastFourDigits) {
  EXPECT_EQ(TDebug::FormatLine(7, QStringLiteral("x")), QStringLiteral("0007 x"));
  EXPECT_EQ(TDebug::FormatLine(0, QStringLiteral("")), QStringLiteral("0000 "));
  EXPECT_EQ(TDebug::FormatLine(12345, QStringLiteral("Feld: Wert")), QStringLiteral("12345 Feld: Wert"));
}

TEST_F(DebugLog, FirstStartCreatesTheEmptyKeyAndStartsNothing) {
  StartDebugLog();
  EXPECT_TRUE(ViewerKey().contains(QStringLiteral("Pfad")));
  EXPECT_EQ(ViewerKey().value(QStringLiteral("Pfad")).toString(), QString());
  EXPECT_TRUE(opened.isEmpty());
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], QStringLiteral("0000 Debug.Create"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("0000 **** BEGINN ****\t"))) << qPrintable(lines[1]);
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" **** ")));
}

TEST_F(DebugLog, ConfiguredViewerIsStartedAtEveryStart) {
  ViewerKey().setValue(QStringLiteral("Pfad"), QStringLiteral("/opt/debugwin/viewer"));
  StartDebugLog();
  StopDebugLog();
  StartDebugLog();
  EXPECT_EQ(opened, (QStringList{QStringLiteral("/opt/debugwin/viewer"), QStringLiteral("/opt/debugwin/viewer")}));
}

TEST_F(DebugLog, LinesCarryTheTimeSinceCreationAndEndLinesComeLast) {
  Debug();
  ticks += 7;
  Debug().LogFmt("%s: %s", "AntragstellerNachnameSp1", "Müller");
  ticks += 12338;
  Debug().Log(QStringLiteral("spät"));
  StopDebugLog();
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[1], QStringLiteral("0007 AntragstellerNachnameSp1: Müller"));
  EXPECT_EQ(lines[2], QStringLiteral("12345 spät"));
  EXPECT_TRUE(lines[3].startsWith(QStringLiteral("12345 **** ENDE ****\t")));
  EXPECT_EQ(lines[4], QStringLiteral("12345 Debug.Destroy"));
}
