#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "platform/UserDialogs.h"
#include "platform/uClock.h"

// The folder the tests' QSettings write to.
QString TestSettingsFolder();
void SetTestSettingsFolder(const QString& folder);
// Empties the settings folder and reopens the settings store.
void ClearTestSettings();

// A file of tests/fixtures.
QString FixturePath(const QString& relative);
// The runtime data folder of the source tree (definition, help pages; no generated pictures).
QString SourceRuntimeFolder();
// The runtime data folder beside the built program, with the generated step pictures.
QString BuildRuntimeFolder();

class QWidget;
class QPoint;
// One turn of the wheel as the window system delivers it: to the widget under `global` in
// `window`, marked as coming from the system, so that Qt hands it on to the parents of a widget
// that does not use it, and, as it does with every real notch, from one and the same address.
void WheelNotch(QWidget* window, const QPoint& global, int delta);

// Dialogs answered from a script, recording everything asked. Unscripted boxes answer with
// their default button; unscripted file dialogs cancel.
class TScriptedDialogs : public UserDialogs {
 public:
  struct TRecord {
    TDialogKind Kind;
    QString Caption;
    QString Text;
    TDialogButtons Buttons;
  };

  TScriptedDialogs();   // installs itself with SetDialogs
  ~TScriptedDialogs() override;  // restores the Qt dialogs

  void AnswerMessage(TDialogButton answer) { messageAnswers_.push_back(answer); }
  void AnswerFile(const QString& name) { fileAnswers_.push_back(name); }
  void AnswerPrintDialog(bool ok) {
    printAnswers_.push_back([ok](QPrinter&) { return ok; });
  }
  // The next printer dialog runs `fn` on its printer (choose a queue, a page range ...) and returns
  // its result.
  void AnswerPrintDialogWith(std::function<bool(QPrinter&)> fn) { printAnswers_.push_back(std::move(fn)); }
  // Each scripted ExecDialog call runs the next function on the dialog and returns its result.
  void AnswerDialog(std::function<int(QDialog&)> fn) { dialogAnswers_.push_back(std::move(fn)); }

  TDialogButton Message(TDialogKind kind, const QString& text, TDialogButtons buttons,
                        TDialogButton defaultButton) override;
  QString OpenFileName(const TFileDialogRequest& request) override;
  QString SaveFileName(const TFileDialogRequest& request) override;
  bool PrintDialog(QPrinter& printer, int pageCount) override;
  int ExecDialog(QDialog& dialog) override;

  std::vector<TRecord> Messages;
  std::vector<TFileDialogRequest> OpenRequests, SaveRequests;
  int PrintDialogs = 0;
  std::vector<int> PrintDialogPageCounts;  // the page count each printer dialog was asked for
  int DialogsRun = 0;
  // Called on every event, in order: "message", "open", "save", "print", "dialog".
  QStringList Log;

 private:
  std::deque<TDialogButton> messageAnswers_;
  std::deque<QString> fileAnswers_;
  std::deque<std::function<bool(QPrinter&)>> printAnswers_;
  std::deque<std::function<int(QDialog&)>> dialogAnswers_;
};

// A clock that only moves when told to, or by `StepMs` on every ProcessEvents call.
class TFakeClock : public TClock {
 public:
  TFakeClock();   // installs itself with SetClock
  ~TFakeClock() override;
  qint64 NowMs() override { return now_; }
  void ProcessEvents() override;
  void SleepMs(int ms) override { now_ += ms; }
  void Advance(qint64 ms) { now_ += ms; }
  // The date the rules see; the real date while invalid.
  QDate TodayDate;
  QDate Today() override { return TodayDate.isValid() ? TodayDate : TClock::Today(); }
  qint64 StepMs = 0;
  int ProcessEventsCalls = 0;
  std::function<void()> OnProcessEvents;

 private:
  qint64 now_ = 0;
};
