#include "app/uStartup.h"

#include <QApplication>
#include <QLocale>
#include <QTextStream>

#include "definition/WizardSteps.h"
#include "diagnostics/udebug.h"
#include "platform/UserDialogs.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"
#include "uVersion.h"

QString ProgramVersionLine() {
  return QStringLiteral(KALNO_PROGRAM_NAME " " KALNO_VERSION_STRING);
}

int RunProgram(int argc, char** argv) {
  // Before the application object: the debug log and the program folder in the settings.
  StartDebugLog();
  WriteInstallDir();

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mahnbescheid"));
  QApplication::setOrganizationName(QStringLiteral("KALNO"));
  QApplication::setApplicationVersion(QStringLiteral(KALNO_VERSION_STRING));
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TQVRegIniFile::SetWriteErrorHandler([](const QString& msg) { Dialogs().ShowWarning(msg); });

  int rc = 0;
  try {
    std::unique_ptr<TWizardDefinition> def = TWizardDefinition::Load(DefinitionFileName(RuntimeFolder()));
    TFieldLists lists;
    BuildFieldLists(*def, lists);
    int fields = 0;
    for (const TFormFieldList& l : lists) fields += l.Count();
    QTextStream(stdout) << QStringLiteral("Formatbeschreibung geladen: %1 Schritte, %2 Felder\n")
                               .arg(def->StepCount())
                               .arg(fields);
  } catch (const EKalnoError& e) {
    QTextStream(stderr) << e.Message() << '\n';
    Dialogs().ShowError(e.Message());
    rc = 1;
  }
  TQVRegIniFile::SetWriteErrorHandler(nullptr);
  StopDebugLog();
  return rc;
}
