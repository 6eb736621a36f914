#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "storage/uQVRegistry.h"
#include "storage/uRecovery.h"

// Every test program runs inside a QApplication (offscreen), with German defaults and settings in
// a temporary folder, never the user's real ones.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settingsDir;
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
  SetTestSettingsFolder(settingsDir.path());
  // Recovery copies too, so none outlives its test run (ClearTestSettings empties the folder).
  TRecovery::SetFolderForTesting(settingsDir.path() + QStringLiteral("/Wiederherstellung"));
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  TQVRegIniFile::ResetForTesting();
  return rc;
}
