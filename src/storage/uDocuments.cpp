#include "storage/uDocuments.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>
#include <vector>

#include "storage/uProfileFile.h"
#include "storage/uProgramPaths.h"
#include "storage/uSafeFile.h"

namespace {
const QString kDocumentFilter = QStringLiteral("KALNO Mahnbescheid (*.kln)|*.kln");
const QString kTemplateFilter = QStringLiteral("KALNO Mahnbescheid Vorlage (*.kln)|*.kln");
const QString kUnsavedQuestion =
    QStringLiteral("Sie haben Ihre Änderungen noch nicht gespeichert. Wollen Sie dies jetzt tun.");
const QString kWrongFile = QStringLiteral("Die ist keine korrekte Datei und kann daher nicht geöffnet werden.");
const QString kWrongTemplate =
    QStringLiteral("Die ist keine korrekte Vorlagen Datei und kann daher nicht geöffnet werden.");
const QString kWrongName = QStringLiteral("Die ist keine korrekter Dateiname.");
const QString kTemplateSaved = QStringLiteral(
    "Die Vorlage wurde gespeichert und kann ab jetzt über den Button Neu -> Neu von Vorlage verwendet werden!");

// The folder beside the program when it is there (an installation that ships it), else the one
// in the user's documents folder: an installed program's folder is not writable.
QString DialogFolder(const QString& name) {
  const QString beside = ProgramFolder() + name;
  if (QFileInfo(beside).isDir()) return beside;
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) documents = QDir::homePath();
  const QString own = QDir(documents).filePath(name);
  if (QDir().mkpath(own)) return own;
  return documents;
}

// The file name part only: the dialog starts in InitialDir and proposes that name there.
QString ProposedName(const QString& last) { return last.isEmpty() ? QString() : QFileInfo(last).fileName(); }

QString FullPath(const QString& path) { return QFileInfo(path).absoluteFilePath(); }
QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }
}  // namespace

TDocument::TDocument(TFieldLists& fieldLists) : FieldLists_(fieldLists) {}

void TDocument::Changed() {
  if (OnStateChanged) OnStateChanged();
}

void TDocument::SetFileName(const QString& fileName) {
  if (FileName_ == fileName) return;
  FileName_ = fileName;
  Changed();
}

void TDocument::SetDirty(bool dirty) {
  if (Dirty_ == dirty) return;
  Dirty_ = dirty;
  Changed();
}

bool TDocument::HasDocumentExtension(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot >= 0 && name.mid(dot).compare(QLatin1String(".kln"), Qt::CaseInsensitive) == 0;
}

QString TDocument::DocumentFolder() { return DialogFolder(QStringLiteral("Mahnbescheide")); }
QString TDocument::TemplateFolder() { return DialogFolder(QStringLiteral("Mahnbescheid Vorlagen")); }

TFileDialogRequest TDocument::OpenRequest() const {
  return {QStringLiteral("Mahnbescheid öffnen"), kDocumentFilter, QString(), DocumentFolder(), ProposedName(LastOpenName_)};
}

TFileDialogRequest TDocument::TemplateOpenRequest() const {
  return {QStringLiteral("Mahnbescheid Vorlage laden"), kTemplateFilter, QString(), TemplateFolder(),
          ProposedName(LastOpenName_)};
}

TFileDialogRequest TDocument::SaveRequest() const {
  const QString folder = FileName_.isEmpty() ? DocumentFolder() : QFileInfo(FileName_).absolutePath();
  return {QStringLiteral("Mahnbescheid speichern"), kDocumentFilter, QStringLiteral("kln"), folder,
          ProposedName(LastSaveName_)};
}

TFileDialogRequest TDocument::TemplateSaveRequest() const {
  return {QStringLiteral("Mahnbescheid Vorlagen speichern"), kTemplateFilter, QStringLiteral("kln"), TemplateFolder(),
          ProposedName(LastSaveName_)};
}

bool TDocument::LoadDocument(const QString& path) {
  bool exists = false;
  QString reason;
  if (!ReadDocumentValues(path, FieldLists_, &exists, &reason)) {
    Dialogs().ShowError(QStringLiteral("Die Datei %1 kann nicht gelesen werden.\n\n%2").arg(Shown(path), reason));
    return false;
  }
  return true;
}

bool TDocument::WriteDocument(const QString& path) {
  const QString failed = QStringLiteral("In %1 kann nicht geschrieben werden").arg(Shown(path));
  QByteArray data;
  bool exists = false;
  QString reason;
  // The file's other entries and lines are kept, so what cannot be read is not overwritten.
  if (!ReadFileLimited(path, kMaxDocumentFileSize, &data, &exists, &reason)) {
    Dialogs().ShowError(failed + QStringLiteral("\n\nDie vorhandene Datei kann nicht gelesen werden: ") + reason);
    return false;
  }
  TProfileFile file(data);
  std::vector<std::pair<QString, QString>> entries;
  for (const TFormFieldList& list : FieldLists_)
    for (int i = 0; i < list.Count(); ++i) entries.emplace_back(list.Fields(i)->Name(), list.Fields(i)->Value());
  file.WriteStrings(QString::fromLatin1(kDocumentSection), entries);
  if (!WriteFileSafely(path, file.Data(), &reason)) {
    Dialogs().ShowError(failed + QStringLiteral("\n\n") + reason);
    return false;
  }
  return true;
}

void TDocument::NewDocument() {
  for (const TFormFieldList& list : FieldLists_)
    for (int i = 0; i < list.Count(); ++i) list.Fields(i)->SetValue(QString());
  SetFileName(QString());
  if (OnShowFirstStep) OnShowFirstStep();
  SetDirty(false);
}

bool TDocument::SaveDocument(bool askName) {
  if (OnFinishEntry && !OnFinishEntry()) return false;
  if (!askName && !FileName_.isEmpty()) {
    if (!WriteDocument(FileName_)) return false;
    SetDirty(false);
    return true;
  }
  const QString chosen = Dialogs().SaveFileName(SaveRequest());
  if (chosen.isEmpty()) return false;
  LastSaveName_ = chosen;
  if (!HasDocumentExtension(chosen)) {
    Dialogs().ShowPlain(kWrongName);
    return false;
  }
  const QString path = FullPath(chosen);
  // The document takes the new name only once it is stored there.
  if (!WriteDocument(path)) return false;
  SetFileName(path);
  SetDirty(false);
  return true;
}

bool TDocument::OpenCommandLineDocument(const QStringList& arguments) {
  if (arguments.size() < 2) return false;
  const QString path = arguments.at(1);
  if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
  if (!LoadDocument(path)) return false;
  SetFileName(FullPath(path));
  return true;
}

bool TDocument::AskUnsavedChanges() {
  if (!Dirty_) return true;
  switch (Dialogs().Message(TDialogKind::Confirmation, kUnsavedQuestion, dbYes | dbNo | dbCancel, dbYes)) {
    case dbYes: return SaveDocument(false);
    case dbNo: return true;
    default: return false;  // Cancel, or the box closed
  }
}

bool TDocument::LoadChosen(const TFileDialogRequest& request, const QString& wrongExtensionMessage, bool keepName) {
  if (!AskUnsavedChanges()) return false;
  const QString chosen = Dialogs().OpenFileName(request);
  if (chosen.isEmpty()) return false;
  LastOpenName_ = chosen;
  if (!HasDocumentExtension(chosen)) {
    Dialogs().ShowPlain(wrongExtensionMessage);
    return false;
  }
  if (!LoadDocument(chosen)) return false;
  SetFileName(keepName ? FullPath(chosen) : QString());
  if (OnShowFirstStep) OnShowFirstStep();
  SetDirty(false);
  return true;
}

void TDocument::New() {
  if (!AskUnsavedChanges()) return;
  NewDocument();
}

void TDocument::Open() { LoadChosen(OpenRequest(), kWrongFile, true); }
void TDocument::NewFromTemplate() { LoadChosen(TemplateOpenRequest(), kWrongTemplate, false); }
void TDocument::Save() { SaveDocument(false); }
void TDocument::SaveUnder() { SaveDocument(true); }

void TDocument::SaveAsTemplate() {
  if (OnFinishEntry && !OnFinishEntry()) return;
  const QString chosen = Dialogs().SaveFileName(TemplateSaveRequest());
  if (chosen.isEmpty()) return;
  LastSaveName_ = chosen;
  if (!HasDocumentExtension(chosen)) {
    Dialogs().ShowPlain(kWrongName);
    return;
  }
  if (!WriteDocument(FullPath(chosen))) return;
  Dialogs().ShowPlain(kTemplateSaved);
}
