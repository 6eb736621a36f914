#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QPrinter;
class QWidget;

// Every modal box and dialog of the program goes through this interface, so tests can answer
// them from a script instead of blocking on a window.
enum class TDialogKind { Confirmation, Warning, Error, Information, Plain };

enum TDialogButton : unsigned {
  dbNone = 0,
  dbYes = 1u << 0,
  dbNo = 1u << 1,
  dbOk = 1u << 2,
  dbCancel = 1u << 3,
};
using TDialogButtons = unsigned;

struct TFileDialogRequest {
  QString Title;
  QString Filter;            // in the "Description (*.ext)|*.ext" form
  QString DefaultExtension;  // without the dot
  QString InitialDir;
  QString FileName;          // preselected name
};

class UserDialogs {
 public:
  virtual ~UserDialogs();

  // Returns the pressed button; dbCancel (or dbNo when there is no Cancel) when the box was closed.
  virtual TDialogButton Message(TDialogKind kind, const QString& text, TDialogButtons buttons,
                                TDialogButton defaultButton) = 0;
  // Empty result: cancelled.
  virtual QString OpenFileName(const TFileDialogRequest& request) = 0;
  virtual QString SaveFileName(const TFileDialogRequest& request) = 0;
  // The printer dialog; false when cancelled. `pageCount` > 0: a form of that many pages, of which a
  // range can be chosen only when there are several; 0: a document of its own length (Qt's choices).
  virtual bool PrintDialog(QPrinter& printer, int pageCount) = 0;
  // Runs a modal dialog of our own; returns QDialog::exec()'s result.
  virtual int ExecDialog(QDialog& dialog) = 0;
  // The window that owns the boxes (may be null).
  void SetParentWidget(QWidget* parent) { parent_ = parent; }
  QWidget* ParentWidget() const { return parent_; }

  // Convenience forms with the program's fixed captions and buttons.
  void ShowError(const QString& text) { Message(TDialogKind::Error, text, dbOk, dbOk); }
  void ShowWarning(const QString& text) { Message(TDialogKind::Warning, text, dbOk, dbOk); }
  void ShowInformation(const QString& text) { Message(TDialogKind::Information, text, dbOk, dbOk); }
  void ShowPlain(const QString& text) { Message(TDialogKind::Plain, text, dbOk, dbOk); }

 private:
  QWidget* parent_ = nullptr;
};

// The real dialogs: QMessageBox, QFileDialog, QPrintDialog.
class TQtUserDialogs : public UserDialogs {
 public:
  TDialogButton Message(TDialogKind kind, const QString& text, TDialogButtons buttons,
                        TDialogButton defaultButton) override;
  QString OpenFileName(const TFileDialogRequest& request) override;
  QString SaveFileName(const TFileDialogRequest& request) override;
  bool PrintDialog(QPrinter& printer, int pageCount) override;
  int ExecDialog(QDialog& dialog) override;
};

// The captions and button texts of the program's boxes.
QString DialogCaption(TDialogKind kind);
QString DialogButtonText(TDialogButton button);
// The application title used for plain boxes.
QString ApplicationTitle();
// "Description (*.a)|*.a|Other (*.b)|*.b" to Qt's "Description (*.a);;Other (*.b)".
QString FilterToQt(const QString& filter);

// The dialogs in use; the Qt ones unless a caller (the main window, a test) installed others.
UserDialogs& Dialogs();
// Installs `dialogs` (not owned); nullptr goes back to the Qt dialogs.
void SetDialogs(UserDialogs* dialogs);
