#include "print/uPrintPdfCommand.h"

#include <QFileInfo>
#include <QTextStream>
#include <cstring>

#include "definition/WizardSteps.h"
#include "platform/UserDialogs.h"
#include "platform/uPrintDevice.h"
#include "print/uPrintJob.h"
#include "rules/uValueRules.h"
#include "storage/uDocuments.h"
#include "storage/uProgramPaths.h"

namespace {
const char* const kOption = "--print-pdf";
const char* const kPreviewOption = "--preview-pdf";

// Without a window every box becomes a line on standard error; questions take their default.
class TConsoleDialogs : public UserDialogs {
 public:
  explicit TConsoleDialogs(QTextStream& err) : err_(err) {}
  TDialogButton Message(TDialogKind, const QString& text, TDialogButtons buttons, TDialogButton def) override {
    err_ << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << '\n';
    err_.flush();
    if (buttons & def) return def;
    return (buttons & dbCancel) ? dbCancel : (buttons & dbNo) ? dbNo : dbOk;
  }
  QString OpenFileName(const TFileDialogRequest&) override { return QString(); }
  QString SaveFileName(const TFileDialogRequest&) override { return QString(); }
  bool PrintDialog(QPrinter&, int) override { return false; }
  int ExecDialog(QDialog&) override { return 0; }

 private:
  QTextStream& err_;
};

class TDialogsScope {
 public:
  explicit TDialogsScope(UserDialogs* dialogs) { SetDialogs(dialogs); }
  ~TDialogsScope() { SetDialogs(nullptr); }
};

QString Usage(const QString& option) {
  return QStringLiteral("Aufruf: mahnbescheid %1 AUSGABE.pdf DOKUMENT.kln").arg(option);
}
}  // namespace

bool IsPrintPdfCommand(int argc, char** argv) {
  return argc >= 2 && (std::strcmp(argv[1], kOption) == 0 || std::strcmp(argv[1], kPreviewOption) == 0);
}

int PrintPdfCommand(const QStringList& arguments, QTextStream& err) {
  const bool preview = !arguments.isEmpty() && arguments[0] == QLatin1String(kPreviewOption);
  if (arguments.size() != 3 || (arguments[0] != QLatin1String(kOption) && !preview) || arguments[1].isEmpty() ||
      arguments[2].isEmpty()) {
    err << Usage(QLatin1String(preview ? kPreviewOption : kOption)) << '\n';
    return 2;
  }
  const QString outName = arguments[1];
  const QString docName = arguments[2];
  if (!QFileInfo(docName).isFile()) {
    err << QStringLiteral("Das Dokument \"%1\" wurde nicht gefunden.").arg(docName) << '\n';
    return 1;
  }

  TConsoleDialogs console(err);
  TDialogsScope scope(&console);

  std::unique_ptr<TWizardDefinition> definition;
  TFieldLists lists;
  try {
    definition = TWizardDefinition::Load(DefinitionFileName(RuntimeFolder()));
    BuildFieldLists(*definition, lists);
  } catch (const EKalnoError& e) {
    err << e.Message() << '\n';
    return 1;
  }

  TDocument document(lists);
  if (!document.LoadDocument(docName)) return 1;  // its error went to standard error

  QString problems;
  if (!CheckCompleteness(lists, problems)) {
    // The problem lines only; the question that follows them in the box asks nothing here.
    QStringList lines = problems.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (!lines.isEmpty() && lines.last().endsWith(QLatin1Char('?'))) lines.removeLast();
    for (const QString& line : lines) err << line << '\n';
  }

  std::unique_ptr<TFormBackground> background;
  if (preview) background = std::make_unique<TFormBackground>(*definition, RuntimeFolder(), TFormBackground::TUse::PdfOnly);
  TPdfPrintDevice device(outName);
  if (!PrintPagesToOneJob(lists, definition->StepCount(), device, ReadPrintOffset(),
                          QStringLiteral("KALNO-Mahnbescheid"), background.get())) {
    const QString why = device.ErrorText();
    err << (why.isEmpty() ? QStringLiteral("Die PDF-Datei \"%1\" konnte nicht geschrieben werden.").arg(outName) : why)
        << '\n';
    return 1;
  }
  return 0;
}
