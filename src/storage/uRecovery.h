#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "fields/uFormFields.h"

class QLockFile;
class QTimer;
class TDocument;

// The recovery copy of unsaved work. While the document has unsaved changes, a copy of every
// field value (and the document's file name) is kept in the user's data folder, written at most
// every few seconds after a change and always as a whole (the old copy stays until the new one
// is complete). It goes away as soon as the document has no unsaved changes (saved, new, opened)
// and on a normal close. A copy that is still there at the next start was left by a program that
// did not end normally; the start offers it.
//
// Every running program holds one slot of the folder through a lock file, so a second program
// running at the same time neither offers nor overwrites the first one's copy. A slot whose
// program died is free again.
class TRecovery : public QObject {
  Q_OBJECT
 public:
  static constexpr int kWriteDelayMs = 3000;

  // `fieldLists` are the document's fields.
  TRecovery(TDocument& document, const TFieldLists& fieldLists, QObject* parent = nullptr);
  ~TRecovery() override;

  // Call after every change of a value and of the document's state: schedules a write while the
  // document is changed, removes the copy when it is not. Ignored until OfferRestore ran, so
  // building the window cannot remove the copy before it was offered.
  void DocumentChanged();
  // A normal end of the program without saving: the copy goes.
  void Discard();
  // At the end of the start: when this slot holds a copy, runs `beforeQuestion` and asks whether
  // to load it (Dialogs(), Ja/Nein).
  // Ja loads the values, takes the stored file name (or none) and leaves the document changed;
  // Nein removes the copy. The document's OnShowFirstStep rebuilds the page after loading.
  // Returns true when the copy was loaded.
  bool OfferRestore(const std::function<void()>& beforeQuestion = {});

  // Writes the copy now when the document is changed (the timer's work).
  bool WriteNow();

  // True when this program's slot holds a copy.
  bool HasCopy() const;
  // The copy of this program; empty when no slot could be held.
  const QString& FileName() const { return fileName_; }
  bool WritePending() const;

  // The folder of the copies: QStandardPaths::AppDataLocation unless a test set another.
  static QString Folder();
  static void SetFolderForTesting(const QString& folder);
  // The question at the start.
  static QString QuestionText();

 private:
  void Remove();

  TDocument& document_;
  const TFieldLists& lists_;
  QTimer* timer_ = nullptr;
  std::unique_ptr<QLockFile> lock_;
  QString fileName_;
  bool reportedFailure_ = false;
  bool offered_ = false;
};
