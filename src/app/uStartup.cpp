#include "app/uStartup.h"

#include <QApplication>
#include <QLocale>
#include <QTextStream>

#include "app/Wizardframe.h"
#include "app/uStartProbe.h"
#include "definition/WizardSteps.h"
#include "diagnostics/udebug.h"
#include "help/FStartBildMahnbescheid_KALNO.h"
#include "help/uFileInfo.h"
#include "platform/UserDialogs.h"
#include "platform/uQtTranslations.h"
#include "render/uPictureLoader.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"
#include "uVersion.h"

QString ProgramVersionLine() {
  return QStringLiteral(KALNO_PROGRAM_NAME " " KALNO_VERSION_STRING);
}

void SetUpApplication() {
  QApplication::setApplicationName(QStringLiteral("Mahnbescheid"));
  QApplication::setOrganizationName(QStringLiteral("KALNO"));
  QApplication::setApplicationVersion(QStringLiteral(KALNO_VERSION_STRING));
  // Lets the desktop match the window to its installed entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("kalno-mahnbescheid"));
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  if (InstallQtGermanTranslations().isEmpty())
    Debug().Log(QStringLiteral("Qt-Übersetzungen (qtbase_de.qm) nicht gefunden: Qt-Dialoge bleiben englisch"));
}

int RunProgram(int argc, char** argv) {
  // Module start-up work, before any window: the debug log, the program folder in the settings.
  StartDebugLog();
  WriteInstallDir();

  int rc = 0;
  {
    QApplication app(argc, argv);
    SetUpApplication();
    TQVRegIniFile::SetWriteErrorHandler([](const QString& msg) { Dialogs().ShowWarning(msg); });

    const QStringList arguments = QCoreApplication::arguments();

    const std::unique_ptr<TStartProbe> probe = TStartProbe::FromEnvironment();
    // The first step's picture is decoded on another core while the splash and the window are made.
    ReadStepPictureAhead(RuntimeFolder() + QStringLiteral("images/Step1.jpg"));
    ShowSplash();
    std::unique_ptr<TMainFrame> main;
    QString failure;
    try {
      main = std::make_unique<TMainFrame>(arguments);
    } catch (const EKalnoError& e) {
      failure = e.Message();
    }
    if (probe) probe->Watch(main.get());
    // Also when building the window failed: the splash must not stay on top of the message.
    CloseSplash(main.get());
    if (!main) {
      QTextStream(stderr) << failure << '\n';
      Dialogs().ShowError(failure);
      rc = 1;
    } else {
      // A window already closed would leave the message loop waiting without any window.
      rc = main->isVisible() ? app.exec() : 0;
      main.reset();
    }
    // Released in reverse order of their creation, after the windows.
    ReleaseWizardDefinition();
    ReleaseFileInfo();
    TQVRegIniFile::SetWriteErrorHandler(nullptr);
  }
  StopDebugLog();
  return rc;
}
