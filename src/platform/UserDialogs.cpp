#include "platform/UserDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

UserDialogs::~UserDialogs() = default;

QString ApplicationTitle() {
  return QStringLiteral("KALNO - Beschriftungs-Software für PC-Mahnbescheide");
}

QString DialogCaption(TDialogKind kind) {
  switch (kind) {
    case TDialogKind::Confirmation: return QStringLiteral("Bestätigung");
    case TDialogKind::Warning: return QStringLiteral("Warnung");
    case TDialogKind::Error: return QStringLiteral("Fehler");
    case TDialogKind::Information: return QStringLiteral("Informationen");
    case TDialogKind::Plain: break;
  }
  return ApplicationTitle();
}

QString DialogButtonText(TDialogButton button) {
  switch (button) {
    case dbYes: return QStringLiteral("&Ja");
    case dbNo: return QStringLiteral("&Nein");
    case dbOk: return QStringLiteral("OK");
    case dbCancel: return QStringLiteral("Abbrechen");
    default: return QString();
  }
}

QString FilterToQt(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i];
  if (parts.size() == 1) out << parts[0];
  return out.join(QStringLiteral(";;"));
}

TDialogButton TQtUserDialogs::Message(TDialogKind kind, const QString& text, TDialogButtons buttons,
                                      TDialogButton defaultButton) {
  QMessageBox box(ParentWidget());
  box.setWindowTitle(DialogCaption(kind));
  box.setText(text);
  switch (kind) {
    case TDialogKind::Confirmation: box.setIcon(QMessageBox::Question); break;
    case TDialogKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case TDialogKind::Error: box.setIcon(QMessageBox::Critical); break;
    case TDialogKind::Information: box.setIcon(QMessageBox::Information); break;
    case TDialogKind::Plain: box.setIcon(QMessageBox::NoIcon); break;
  }
  struct Pair { TDialogButton b; QMessageBox::ButtonRole role; };
  const Pair order[] = {{dbYes, QMessageBox::YesRole}, {dbNo, QMessageBox::NoRole},
                        {dbOk, QMessageBox::AcceptRole}, {dbCancel, QMessageBox::RejectRole}};
  QHash<QAbstractButton*, TDialogButton> map;
  for (const Pair& p : order) {
    if (!(buttons & p.b)) continue;
    QPushButton* pb = box.addButton(DialogButtonText(p.b), p.role);
    map.insert(pb, p.b);
    if (p.b == defaultButton) box.setDefaultButton(pb);
    if (p.b == dbCancel || (p.b == dbNo && !(buttons & dbCancel))) box.setEscapeButton(pb);
  }
  box.exec();
  auto it = map.find(box.clickedButton());
  if (it != map.end()) return it.value();
  if (buttons & dbCancel) return dbCancel;
  if (buttons & dbNo) return dbNo;
  return dbOk;
}

namespace {
QString RunFileDialog(QWidget* parent, const TFileDialogRequest& r, QFileDialog::AcceptMode mode) {
  QFileDialog dlg(parent, r.Title, r.InitialDir, FilterToQt(r.Filter));
  dlg.setAcceptMode(mode);
  dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dlg.setDefaultSuffix(r.DefaultExtension);
  if (!r.FileName.isEmpty()) dlg.selectFile(r.FileName);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
  return dlg.selectedFiles().constFirst();
}
}  // namespace

QString TQtUserDialogs::OpenFileName(const TFileDialogRequest& request) {
  return RunFileDialog(ParentWidget(), request, QFileDialog::AcceptOpen);
}

QString TQtUserDialogs::SaveFileName(const TFileDialogRequest& request) {
  return RunFileDialog(ParentWidget(), request, QFileDialog::AcceptSave);
}

bool TQtUserDialogs::PrintDialog(QPrinter& printer, int pageCount) {
  QPrintDialog dlg(&printer, ParentWidget());
  if (pageCount > 0) {
    // The form's pages are fixed: no selection, no current page, a range only among its pages.
    dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, pageCount > 1);
    dlg.setMinMax(1, pageCount);
    // For CUPS printers Qt shows its range fields even without the option (the server would pick the
    // pages); with a single page there is nothing to pick.
    if (pageCount == 1)
      if (QWidget* range = dlg.findChild<QWidget*>(QStringLiteral("gbPrintRange"))) range->setEnabled(false);
  }
  return dlg.exec() == QDialog::Accepted;
}

int TQtUserDialogs::ExecDialog(QDialog& dialog) { return dialog.exec(); }

namespace {
UserDialogs* g_installed = nullptr;
}

UserDialogs& Dialogs() {
  if (g_installed) return *g_installed;
  static TQtUserDialogs qtDialogs;
  return qtDialogs;
}

void SetDialogs(UserDialogs* dialogs) { g_installed = dialogs; }
