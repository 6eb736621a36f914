#include "storage/uRecovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <utility>
#include <vector>

#include "diagnostics/udebug.h"
#include "platform/UserDialogs.h"
#include "storage/uDocuments.h"
#include "storage/uProfileFile.h"
#include "storage/uSafeFile.h"

namespace {
// Beside the values, in a section a document never has: the file name the changes belong to.
const QString kRecoverySection = QStringLiteral("Wiederherstellung");
const QString kFileNameEntry = QStringLiteral("Dateiname");
// The copy is UTF-8, so that any file name survives; the values are what a document holds.
const QByteArray kUtf8Bom("\xEF\xBB\xBF");
// More programs at once than this share no copy any more; the first one always has one.
constexpr int kSlots = 8;

QString& FolderOverride() {
  static QString folder;
  return folder;
}

QString SlotName(int slot) {
  return slot == 1 ? QStringLiteral("recovery.kln") : QStringLiteral("recovery-%1.kln").arg(slot);
}
}  // namespace

QString TRecovery::Folder() {
  if (!FolderOverride().isEmpty()) return FolderOverride();
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void TRecovery::SetFolderForTesting(const QString& folder) { FolderOverride() = folder; }

QString TRecovery::QuestionText() {
  return QStringLiteral(
      "Beim letzten Mal wurde das Programm beendet, ohne dass Ihre Änderungen gespeichert wurden. Wollen Sie die "
      "wiederhergestellten Angaben laden?");
}

TRecovery::TRecovery(TDocument& document, const TFieldLists& fieldLists, QObject* parent)
    : QObject(parent), document_(document), lists_(fieldLists) {
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  timer_->setInterval(kWriteDelayMs);
  connect(timer_, &QTimer::timeout, this, [this] { WriteNow(); });

  const QString folder = Folder();
  if (folder.isEmpty() || !QDir().mkpath(folder)) return;
  const QDir dir(folder);
  for (int slot = 1; slot <= kSlots; ++slot) {
    auto lock = std::make_unique<QLockFile>(dir.filePath(SlotName(slot) + QStringLiteral(".lock")));
    // Held for the whole run: only a dead owner makes a lock stale, never its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
      lock_ = std::move(lock);
      fileName_ = dir.filePath(SlotName(slot));
      return;
    }
  }
}

TRecovery::~TRecovery() {
  // The copy stays: a program that ends without its normal close keeps the user's changes.
  if (lock_) lock_->unlock();
}

bool TRecovery::HasCopy() const { return !fileName_.isEmpty() && QFileInfo(fileName_).isFile(); }

bool TRecovery::WritePending() const { return timer_->isActive(); }

void TRecovery::DocumentChanged() {
  if (fileName_.isEmpty() || !offered_) return;
  if (!document_.Dirty()) {
    timer_->stop();
    Remove();
    return;
  }
  if (!timer_->isActive()) timer_->start();
}

void TRecovery::Discard() {
  timer_->stop();
  Remove();
}

void TRecovery::Remove() {
  if (!fileName_.isEmpty() && QFile::exists(fileName_)) QFile::remove(fileName_);
}

bool TRecovery::WriteNow() {
  timer_->stop();
  if (fileName_.isEmpty() || !document_.Dirty()) return false;
  TProfileFile file(kUtf8Bom);
  std::vector<std::pair<QString, QString>> entries;
  for (const TFormFieldList& list : lists_)
    for (int i = 0; i < list.Count(); ++i) entries.emplace_back(list.Fields(i)->Name(), list.Fields(i)->Value());
  file.WriteStrings(QString::fromLatin1(kDocumentSection), entries);
  file.WriteString(kRecoverySection, kFileNameEntry, document_.FileName());
  QString reason;
  if (!WriteFileSafely(fileName_, file.Data(), &reason)) {
    // No box: the user is typing, and the next change tries again.
    if (!reportedFailure_) Debug().Log(QStringLiteral("Wiederherstellungskopie %1: %2").arg(fileName_, reason));
    reportedFailure_ = true;
    return false;
  }
  reportedFailure_ = false;
  return true;
}

bool TRecovery::OfferRestore(const std::function<void()>& beforeQuestion) {
  // Loading below changes the document's state; the copy must stay until the values are back.
  struct TOffered {
    bool& Flag;
    ~TOffered() { Flag = true; }
  } offered{offered_};
  if (!HasCopy()) return false;
  if (beforeQuestion) beforeQuestion();
  if (Dialogs().Message(TDialogKind::Confirmation, QuestionText(), dbYes | dbNo, dbYes) != dbYes) {
    Remove();
    return false;
  }
  // LoadDocument says itself why a copy cannot be read; the copy then stays for another try.
  if (!document_.LoadDocument(fileName_)) return false;
  QByteArray data;
  bool exists = false;
  QString reason;
  ReadFileLimited(fileName_, kMaxDocumentFileSize, &data, &exists, &reason);
  document_.SetFileName(TProfileFile(data).ReadString(kRecoverySection, kFileNameEntry));
  if (document_.OnShowFirstStep) document_.OnShowFirstStep();
  offered_ = true;
  document_.SetDirty(true);
  return true;
}
