#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "fields/uFormFields.h"
#include "platform/UserDialogs.h"
#include "storage/uDocumentValues.h"


// The current document of the main window: its file name, the unsaved-changes flag, and the
// commands New, Open, Save, Save under a new name, Save as template and New from template over
// the window's field lists. Every question goes through Dialogs(). The class knows no widgets;
// it tells its owner through the callbacks what the window has to do.
class TDocument {
 public:
  explicit TDocument(TFieldLists& fieldLists);

  // --- State -----------------------------------------------------------------------------------
  // Full path of the current document; empty for an unnamed one.
  const QString& FileName() const { return FileName_; }
  void SetFileName(const QString& fileName);
  // Unsaved changes. The window's field-change handler sets it; it enables the Save button.
  bool Dirty() const { return Dirty_; }
  void SetDirty(bool dirty);

  // --- Callbacks (each may be unset) -----------------------------------------------------------
  // All values were replaced: the window sets ShownStep := -1 and CurrentStep := 0 and shows
  // step 0 before this returns (Dirty is cleared right after, since building a page may set it).
  std::function<void()> OnShowFirstStep;
  // FileName or Dirty changed: window title, Save button.
  std::function<void()> OnStateChanged;
  // The values are about to be written: the window finishes the entry under way (the focused
  // field's check). False stops the save, which then counts as not done.
  std::function<bool()> OnFinishEntry;

  // --- Operations ------------------------------------------------------------------------------
  // Every field's value from the file; a file that does not exist empties every field. A file
  // that exists but cannot be read (or is far too large) leaves the fields as they are, shows an
  // error and returns false.
  bool LoadDocument(const QString& path);
  // Writes every field into the file, keeping its other entries and lines; the old file stays
  // intact on any failure, which is shown in an error box naming the file and the reason.
  bool WriteDocument(const QString& path);
  // Empties every field, forgets the file name, shows step 0, clears Dirty.
  void NewDocument();
  // Without AskName writes to FileName when there is one; otherwise asks for a name. On failure
  // (dialog cancelled, wrong extension, not written) FileName and Dirty stay as they were.
  bool SaveDocument(bool askName);
  // During the window's creation, before the first step page: loads the document named by the
  // first argument after the program (arguments as QCoreApplication::arguments()) when it is an
  // existing file. Neither shows a step nor touches Dirty; returns whether one was loaded.
  bool OpenCommandLineDocument(const QStringList& arguments);

  // --- Commands of the menu and the toolbar ----------------------------------------------------
  void New();              // btnNeuClick
  void Open();             // btnOeffnenClick
  void Save();             // btnSpeichernClick
  void SaveUnder();        // smSpeichernUnterClick
  void SaveAsTemplate();   // mnuSichernAlsVorlageClick
  void NewFromTemplate();  // mnuNeuVonVorlageClick

  // The unsaved-changes question: true when the caller may go on (nothing unsaved, saved, or
  // the user dropped the changes), false when it has to stop.
  bool AskUnsavedChanges();
  // The close handler's test: true when the window may close.
  bool CanClose() { return AskUnsavedChanges(); }

  // --- Dialogs ---------------------------------------------------------------------------------
  // Where the dialogs start: "Mahnbescheide" / "Mahnbescheid Vorlagen" beside the program when
  // the folder exists, else the folder of that name in the user's documents folder, created
  // here when missing.
  static QString DocumentFolder();
  static QString TemplateFolder();
  // The requests the four uses of the two dialogs make.
  TFileDialogRequest OpenRequest() const;
  TFileDialogRequest TemplateOpenRequest() const;
  TFileDialogRequest SaveRequest() const;
  TFileDialogRequest TemplateSaveRequest() const;
  // ".kln" after the last dot of the file's name, letter case ignored.
  static bool HasDocumentExtension(const QString& path);

 private:
  // Open and New from template; false when the document was not replaced.
  bool LoadChosen(const TFileDialogRequest& request, const QString& wrongExtensionMessage, bool keepName);
  void Changed();

  TFieldLists& FieldLists_;
  QString FileName_;
  bool Dirty_ = false;
  // Each dialog proposes the name last chosen in it.
  QString LastOpenName_;
  QString LastSaveName_;
};
