#include "app/uCommandLine.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>
#include <algorithm>
#include <cstring>
#include <memory>

#include "definition/WizardSteps.h"
#include "platform/uClock.h"
#include "platform/uErrors.h"
#include "print/uPrintPdfCommand.h"
#include "rules/uFormReview.h"
#include "storage/uDocumentValues.h"
#include "storage/uProgramPaths.h"

namespace {

const char* const kCheckOption = "--check";

// Options Qt's application object takes itself; the second group takes a value.
bool IsQtOption(const char* a, bool* takesValue) {
  static const char* const plain[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};
  static const char* const valued[] = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                       "-qmljsdebugger", "-qwindowgeometry", "-qwindowicon", "-qwindowtitle",
                                       "-session", "-display", "-geometry", "-style", "-stylesheet", "-title"};
  for (const char* o : plain) {
    if (std::strcmp(a, o) == 0) {
      *takesValue = false;
      return true;
    }
  }
  for (const char* o : valued) {
    const std::size_t n = std::strlen(o);
    if (std::strncmp(a, o, n) != 0) continue;
    if (a[n] == '\0' || a[n] == '=') {
      *takesValue = a[n] == '\0';  // "-style fusion" or "-style=fusion"
      return true;
    }
  }
  return false;
}

}  // namespace

QString CommandLineHelp() {
  return QStringLiteral(
      "Aufruf:\n"
      "  mahnbescheid [DOKUMENT.kln]\n"
      "      startet das Programm und öffnet das Dokument, wenn eines genannt ist\n"
      "  mahnbescheid --print-pdf AUSGABE.pdf DOKUMENT.kln\n"
      "      schreibt, was der Druck auf das Formular bringt, in eine PDF-Datei (ohne Fenster)\n"
      "  mahnbescheid --preview-pdf AUSGABE.pdf DOKUMENT.kln\n"
      "      dasselbe über dem leeren Formular, wie die Druckvorschau es zeigt (ohne Fenster)\n"
      "  mahnbescheid --check DOKUMENT.kln [WEITERES.kln ...]\n"
      "      prüft die Dokumente ohne Fenster: je Befund eine Zeile \"Fehler: Zeile NN: Feld: Meldung\"\n"
      "      oder \"Hinweis: ...\" (Felder ohne Zeilennummer auf dem Formular, wie das Mahngericht und\n"
      "      \"Ort, Datum\", ohne \"Zeile NN: \"); Rückgabewert 0 ohne Befund, 1 nur mit Hinweisen,\n"
      "      2 mit einem Fehler, 3 wenn ein Dokument nicht gelesen werden kann\n"
      "  mahnbescheid --version\n"
      "      zeigt die Versionsnummer\n"
      "  mahnbescheid --help\n"
      "      zeigt diese Übersicht\n");
}

TCommandLineAction CommandLineAction(int argc, char** argv, const char** unknown) {
  if (IsPrintPdfCommand(argc, argv)) return TCommandLineAction::PrintPdf;
  if (argc >= 2 && std::strcmp(argv[1], kCheckOption) == 0) return TCommandLineAction::Check;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0 || std::strcmp(a, "-?") == 0)
      return TCommandLineAction::Help;
    if (std::strcmp(a, "--version") == 0) return TCommandLineAction::Version;
  }
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (a[0] != '-' || a[1] == '\0') continue;  // a document, or "-" itself
    bool takesValue = false;
    if (!IsQtOption(a, &takesValue)) {
      if (unknown) *unknown = a;
      return TCommandLineAction::Unknown;
    }
    if (takesValue) ++i;
  }
  return TCommandLineAction::Window;
}

namespace {
QtMessageHandler g_qtMessages = nullptr;

// Outside a desktop session (cron, a batch over a folder) Qt tells stderr that it made its own
// runtime folder. That is no news for the user: a check without findings prints nothing, and a
// PDF command's stderr holds only what concerns the document.
void QuietAboutTheRuntimeFolder(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
  if (g_qtMessages) {
    g_qtMessages(type, context, message);
  } else {
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
  }
}
}  // namespace

int RunWithoutWindow(int argc, char** argv, TCommandLineAction action) {
  // No window, so no display: but the print fonts need a GUI application.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  g_qtMessages = qInstallMessageHandler(QuietAboutTheRuntimeFolder);
  QGuiApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  QTextStream out(stdout);
  QTextStream err(stderr);
  int rc = 2;
  if (action == TCommandLineAction::PrintPdf) {
    rc = PrintPdfCommand(arguments, err);
  } else if (action == TCommandLineAction::Check) {
    arguments.removeFirst();  // the option itself
    rc = CheckCommand(arguments, out, err);
  }
  out.flush();
  err.flush();
  return rc;
}

int CheckCommand(const QStringList& documents, QTextStream& out, QTextStream& err) {
  if (documents.isEmpty()) {
    err << QStringLiteral("Bitte nennen Sie mindestens ein Dokument.\n\n") << CommandLineHelp();
    return 2;
  }
  std::unique_ptr<TWizardDefinition> definition;
  TFieldLists lists;
  try {
    definition = TWizardDefinition::Load(DefinitionFileName(RuntimeFolder()));
    BuildFieldLists(*definition, lists);
  } catch (const EKalnoError& e) {
    err << e.Message() << '\n';
    return 3;
  }
  const TFormPlaces places = TFormPlaces::FromDefinition(*definition);
  const QDate today = Clock().Today();
  const bool several = documents.size() > 1;
  int rc = 0;
  for (const QString& document : documents) {
    const QString prefix = several ? document + QStringLiteral(": ") : QString();
    bool exists = false;
    QString why;
    // A missing file would read as an empty document; here it is a document that cannot be read.
    if (!ReadDocumentValues(document, lists, &exists, &why) || !exists || !QFileInfo(document).isFile()) {
      if (why.isEmpty()) why = QStringLiteral("Die Datei wurde nicht gefunden.");
      err << document << QStringLiteral(": Das Dokument kann nicht gelesen werden. ") << why << '\n';
      rc = 3;
      continue;
    }
    const std::vector<TFinding> findings = ReviewApplication(lists, places, today);
    for (const TFinding& f : findings) out << prefix << FindingLine(f) << '\n';
    out.flush();
    const int status = findings.empty() ? 0 : HasErrors(findings) ? 2 : 1;
    rc = std::max(rc, status);
  }
  return rc;
}
