#include "TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWheelEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>
#include <QDialog>
#include <QDir>

#include "storage/uQVRegistry.h"

namespace {
QString& SettingsFolder() {
  static QString folder;
  return folder;
}
}  // namespace

QString TestSettingsFolder() { return SettingsFolder(); }
void SetTestSettingsFolder(const QString& folder) { SettingsFolder() = folder; }

void ClearTestSettings() {
  TQVRegIniFile::ResetForTesting();
  QDir dir(SettingsFolder());
  dir.removeRecursively();
  QDir().mkpath(SettingsFolder());
}

QString FixturePath(const QString& relative) { return QStringLiteral(KALNO_FIXTURES_DIR "/") + relative; }
QString SourceRuntimeFolder() { return QStringLiteral(KALNO_SOURCE_DIR "/data/Mahnbescheid Runtime/"); }
QString BuildRuntimeFolder() { return QStringLiteral(KALNO_BUILD_DIR "/Mahnbescheid Runtime/"); }

void WheelNotch(QWidget* window, const QPoint& global, int delta) {
  QWidget* target = window->childAt(window->mapFromGlobal(global));
  if (!target) target = window;
  QWheelEvent e(target->mapFromGlobal(QPointF(global)), QPointF(global), QPoint(), QPoint(0, delta), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&e);
  QApplication::sendEvent(target, &e);
}

TScriptedDialogs::TScriptedDialogs() { SetDialogs(this); }
TScriptedDialogs::~TScriptedDialogs() { SetDialogs(nullptr); }

TDialogButton TScriptedDialogs::Message(TDialogKind kind, const QString& text, TDialogButtons buttons,
                                        TDialogButton defaultButton) {
  Messages.push_back({kind, DialogCaption(kind), text, buttons});
  Log << QStringLiteral("message");
  if (messageAnswers_.empty()) return defaultButton;
  const TDialogButton a = messageAnswers_.front();
  messageAnswers_.pop_front();
  return a;
}

QString TScriptedDialogs::OpenFileName(const TFileDialogRequest& request) {
  OpenRequests.push_back(request);
  Log << QStringLiteral("open");
  if (fileAnswers_.empty()) return QString();
  const QString a = fileAnswers_.front();
  fileAnswers_.pop_front();
  return a;
}

QString TScriptedDialogs::SaveFileName(const TFileDialogRequest& request) {
  SaveRequests.push_back(request);
  Log << QStringLiteral("save");
  if (fileAnswers_.empty()) return QString();
  const QString a = fileAnswers_.front();
  fileAnswers_.pop_front();
  return a;
}

bool TScriptedDialogs::PrintDialog(QPrinter& printer, int pageCount) {
  ++PrintDialogs;
  PrintDialogPageCounts.push_back(pageCount);
  Log << QStringLiteral("print");
  if (printAnswers_.empty()) return false;
  auto fn = std::move(printAnswers_.front());
  printAnswers_.pop_front();
  return fn(printer);
}

int TScriptedDialogs::ExecDialog(QDialog& dialog) {
  ++DialogsRun;
  Log << QStringLiteral("dialog");
  if (dialogAnswers_.empty()) return QDialog::Rejected;
  auto fn = std::move(dialogAnswers_.front());
  dialogAnswers_.pop_front();
  return fn(dialog);
}

TFakeClock::TFakeClock() { SetClock(this); }
TFakeClock::~TFakeClock() { SetClock(nullptr); }

void TFakeClock::ProcessEvents() {
  ++ProcessEventsCalls;
  now_ += StepMs;
  QCoreApplication::processEvents();
  if (OnProcessEvents) OnProcessEvents();
}
