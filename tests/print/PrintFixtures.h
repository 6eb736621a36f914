#pragma once
// Field lists and PDF read-back shared by the print tests.
#include <QApplication>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QSpinBox>
#include <QString>
#include <QTimer>
#include <vector>

#include "fields/uFormFields.h"
#include "platform/UserDialogs.h"
#include "storage/uQVRegistry.h"

inline QFont PrintFont(const QString& family, int points, bool bold = false) {
  QFont f(family);
  f.setPointSize(points);
  f.setBold(bold);
  return f;
}

// Seven steps, with the four entries the completeness check asks for when `complete`.
inline TFieldLists SevenSteps(bool complete) {
  TFieldLists lists(7);
  const QFont font = PrintFont(QStringLiteral("Courier New"), 10);
  auto add = [&](int step, const char* name, float top, const char* value) {
    TFormField* f = lists[std::size_t(step)].AddEdit(QLatin1String(name), 35, 20, top, 60, 5, font);
    if (complete) f->SetValue(QLatin1String(value));
  };
  add(0, "AntragstellerNachnameSp1", 40, "Antragsteller");
  add(1, "AntragsGegnerNachnameSp1", 180, "Gegner");
  add(2, "HauptAnspruchKatalogNr1", 20, "10");
  add(6, "AmtsgerichtPLZOrt", 250, "Wedding");
  return lists;
}

// Writes the offset the user calibrated and whether a test print was made.
inline void StorePrintSettings(double offX, double offY, bool testPrintDone) {
  QVRegIniFile().WriteFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetX"), offX);
  QVRegIniFile().WriteFloat(QStringLiteral("Mahnbescheid"), QStringLiteral("OffsetY"), offY);
  QVRegIniFile().WriteBool(QStringLiteral("Mahnbescheid"), QStringLiteral("Testdruck"), testPrintDone);
}

// One word of `pdftotext -bbox`, in millimetres from the sheet's top-left corner.
struct TPdfWord {
  int Page = 0;  // 1-based
  QString Text;
  double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
  double CentreY() const { return (YMin + YMax) / 2; }
};

inline std::vector<TPdfWord> PdfWords(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  p.waitForFinished(60000);
  const QString html = QString::fromUtf8(p.readAllStandardOutput());
  std::vector<TPdfWord> words;
  static const QRegularExpression tag(QStringLiteral(
      "<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
  int page = 0;
  auto it = tag.globalMatch(html);
  const double mm = 25.4 / 72.0;
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    if (m.captured(0).startsWith(QLatin1String("<page"))) {
      ++page;
      continue;
    }
    TPdfWord w;
    w.Page = page;
    w.XMin = m.captured(1).toDouble() * mm;
    w.YMin = m.captured(2).toDouble() * mm;
    w.XMax = m.captured(3).toDouble() * mm;
    w.YMax = m.captured(4).toDouble() * mm;
    w.Text = m.captured(5);
    words.push_back(w);
  }
  return words;
}

inline int PdfPageCount(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdfinfo"), {pdf});
  p.waitForFinished(60000);
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The size of page `page` (1-based) in points, as pdfinfo reports it; invalid when unreadable.
inline QSizeF PdfPageSizePt(const QString& pdf, int page = 1) {
  QProcess p;
  p.start(QStringLiteral("pdfinfo"),
          {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf});
  p.waitForFinished(60000);
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Page\\s+%1 size:\\s+([0-9.]+) x ([0-9.]+) pts").arg(page))
                                        .match(QString::fromUtf8(p.readAllStandardOutput()));
  return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// What Qt's own printer dialog offers for a form of `pageCount` pages on `printer`: it is opened
// through the program's dialogs, looked at and cancelled.
struct TDialogOffer {
  bool Seen = false;
  bool RangeOffered = false;  // "Pages from ... to" or CUPS's "Pages" field can be chosen
  int MaxPage = 0;
  bool SelectionOffered = true;
};

inline TDialogOffer OfferOfThePrinterDialog(QPrinter& printer, int pageCount) {
  TDialogOffer offer;
  TQtUserDialogs dialogs;
  QTimer::singleShot(0, [&] {
    auto* dlg = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!dlg) return;
    offer.Seen = true;
    for (const char* name : {"printRange", "pagesRadioButton"})
      if (auto* radio = dlg->findChild<QWidget*>(QLatin1String(name)))
        offer.RangeOffered = offer.RangeOffered || radio->isEnabled();
    if (auto* to = dlg->findChild<QSpinBox*>(QStringLiteral("to"))) offer.MaxPage = to->maximum();
    offer.SelectionOffered = dlg->testOption(QAbstractPrintDialog::PrintSelection) ||
                             dlg->testOption(QAbstractPrintDialog::PrintCurrentPage);
    dlg->reject();
  });
  if (dialogs.PrintDialog(printer, pageCount)) offer.Seen = false;  // accepted: not the dialog looked at
  return offer;
}
