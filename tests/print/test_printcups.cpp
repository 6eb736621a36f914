// The sample document through a real CUPS queue whose default medium is Letter (a private cupsd
// with a cups-pdf queue, see PrivateCups.h): both jobs, a reprint of page 2 and the test print come
// out A4, unscaled, with the ink of every value where --print-pdf puts it.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>
#include <QTextStream>

#include "PrintFixtures.h"
#include "PrivateCups.h"
#include "TestSupport.h"
#include "definition/WizardSteps.h"
#include "platform/uPrintDevice.h"
#include "print/FMahnungGrundeinstellungen.h"
#include "print/uPrintJob.h"
#include "print/uPrintPdfCommand.h"
#include "render/uDrawContext.h"
#include "storage/uDocuments.h"
#include "storage/uProgramPaths.h"

namespace {
constexpr int kDpi = 254;          // 0.1 mm per pixel
constexpr int kTolerancePx = 2;    // 0.2 mm
constexpr double kOffX = 1.5, kOffY = -0.5;
const QString kQueue = QLatin1String(TPrivateCups::kQueue);

int Px(double mm) { return int(std::lround(mm / 25.4 * kDpi)); }

// One page of a PDF as a grey image at kDpi; null when pdftoppm failed.
QImage Raster(const QString& pdf, int page, const QString& folder) {
  const QString prefix = QStringLiteral("%1/raster-%2").arg(folder).arg(page);
  QProcess p;
  p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-q"), QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-gray"),
                                       QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                       QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return QImage();
  QImage image(prefix + QStringLiteral(".pgm"));
  QFile::remove(prefix + QStringLiteral(".pgm"));
  return image.convertToFormat(QImage::Format_Grayscale8);
}

struct TInk {
  QRect Box;  // null: no ink
  qint64 Pixels = 0;
};

TInk InkIn(const QImage& image, const QRect& window) {
  const QRect area = window.intersected(image.rect());
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  TInk ink;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const uchar* line = image.constScanLine(y);
    for (int x = area.left(); x <= area.right(); ++x)
      if (line[x] < 128) {
        ++ink.Pixels;
        left = qMin(left, x), right = qMax(right, x), top = qMin(top, y), bottom = qMax(bottom, y);
      }
  }
  if (ink.Pixels > 0) ink.Box = QRect(QPoint(left, top), QPoint(right, bottom));
  return ink;
}

bool Near(const QRect& a, const QRect& b) {
  return std::abs(a.left() - b.left()) <= kTolerancePx && std::abs(a.right() - b.right()) <= kTolerancePx &&
         std::abs(a.top() - b.top()) <= kTolerancePx && std::abs(a.bottom() - b.bottom()) <= kTolerancePx;
}

QString Mm(const QRect& r) {
  return QStringLiteral("(%1, %2)-(%3, %4) mm")
      .arg(r.left() / 10.0)
      .arg(r.top() / 10.0)
      .arg((r.right() + 1) / 10.0)
      .arg((r.bottom() + 1) / 10.0);
}

void ExpectA4(const QString& pdf) {
  EXPECT_EQ(PdfPageCount(pdf), 1) << pdf.toStdString();
  const QSizeF pt = PdfPageSizePt(pdf);
  EXPECT_NEAR(pt.width(), 595.3, 1.0) << pdf.toStdString() << " is not A4 portrait";
  EXPECT_NEAR(pt.height(), 841.9, 1.0) << pdf.toStdString() << " is not A4 portrait";
}

// The printer dialog as a user answers it: the Letter queue, with the page layout the dialog's page
// setup takes over from the queue.
bool PickQueue(QPrinter& printer) {
  printer.setPrinterName(kQueue);
  printer.setPageSize(QPrinterInfo(printer).defaultPageSize());
  return printer.printerName() == kQueue;
}

class PrintCups : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skip_ = TPrivateCups::NotRunnableReason();
    if (!skip_.isEmpty()) return;
    cups_ = new TPrivateCups;
    if (!cups_->Start(failure_)) return;
    // The program reaches the private server like any CUPS client does.
    qputenv("CUPS_SERVER", cups_->Server().toLocal8Bit());
  }
  static void TearDownTestSuite() {
    delete cups_;
    cups_ = nullptr;
  }

  void SetUp() override {
    if (!skip_.isEmpty()) GTEST_SKIP() << skip_.toStdString();
    ASSERT_TRUE(failure_.isEmpty()) << "The private cupsd could not be set up: " << failure_.toStdString();
    cups_->Reset();
    ClearTestSettings();
    StorePrintSettings(kOffX, kOffY, true);
    QDir runtime(BuildRuntimeFolder());
    runtime.cdUp();
    SetProgramFolderForTesting(runtime.absolutePath() + QLatin1Char('/'));
    sample_ = BuildRuntimeFolder() + QStringLiteral("examples/Beispiel.kln");
    clock_.StepMs = 50;
  }
  void TearDown() override { SetProgramFolderForTesting(QString()); }

  // The sample document in the shipped form's field lists.
  void LoadSample() {
    definition_ = TWizardDefinition::Load(DefinitionFileName(RuntimeFolder()));
    BuildFieldLists(*definition_, lists_);
    TDocument document(lists_);
    ASSERT_TRUE(document.LoadDocument(sample_));
  }

  // What --print-pdf writes for the sample: the positions every printed page is measured against.
  QString ReferencePdf() {
    const QString name = dir_.filePath(QStringLiteral("print-pdf.pdf"));
    QString err;
    QTextStream stream(&err);
    EXPECT_EQ(PrintPdfCommand({QStringLiteral("--print-pdf"), name, sample_}, stream), 0) << err.toStdString();
    // The command answers its boxes on the console and leaves the Qt dialogs installed behind it.
    SetDialogs(&dialogs_);
    return name;
  }

  // The ink of every value on `page` of the reference lies where it lies on the CUPS output.
  void ExpectSameInk(const QString& reference, int page, const QString& printed) {
    SCOPED_TRACE(QStringLiteral("page %1: %2").arg(page).arg(printed).toStdString());
    const QImage want = Raster(reference, page, dir_.path());
    const QImage got = Raster(printed, 1, dir_.path());
    ASSERT_FALSE(want.isNull());
    ASSERT_FALSE(got.isNull());
    ASSERT_EQ(got.width(), want.width()) << "not the sheet of --print-pdf";
    ASSERT_EQ(got.height(), want.height()) << "not the sheet of --print-pdf";
    const TInk wantAll = InkIn(want, want.rect()), gotAll = InkIn(got, got.rect());
    ASSERT_GT(wantAll.Pixels, 0);
    EXPECT_TRUE(Near(wantAll.Box, gotAll.Box)) << "all ink " << Mm(gotAll.Box).toStdString() << ", --print-pdf "
                                               << Mm(wantAll.Box).toStdString();
    EXPECT_NEAR(double(gotAll.Pixels), double(wantAll.Pixels), 0.05 * double(wantAll.Pixels));
    int checked = 0;
    for (const TPdfWord& w : PdfWords(reference)) {
      if (w.Page != page) continue;
      const QRect window(QPoint(Px(w.XMin) - 10, Px(w.YMin) - 10), QPoint(Px(w.XMax) + 10, Px(w.YMax) + 10));
      const TInk a = InkIn(want, window);
      if (a.Pixels == 0) continue;
      const TInk b = InkIn(got, window);
      ++checked;
      EXPECT_TRUE(Near(a.Box, b.Box)) << "\"" << w.Text.toStdString() << "\" printed at " << Mm(b.Box).toStdString()
                                      << ", --print-pdf " << Mm(a.Box).toStdString();
    }
    EXPECT_GT(checked, 5) << "too few values on page " << page;
  }

  static QString skip_;
  static QString failure_;
  static TPrivateCups* cups_;

  QTemporaryDir dir_;
  QString sample_;
  std::unique_ptr<TWizardDefinition> definition_;
  TFieldLists lists_;
  TScriptedDialogs dialogs_;
  TFakeClock clock_;
};

QString PrintCups::skip_;
QString PrintCups::failure_;
TPrivateCups* PrintCups::cups_ = nullptr;

TEST_F(PrintCups, SampleDocumentComesOutA4WhereThePdfPutsIt) {
  // The queue really defaults to Letter: a job that took over its medium would come out Letter.
  ASSERT_EQ(QPrinterInfo::printerInfo(kQueue).defaultPageSize().id(), QPageSize::Letter);
  LoadSample();
  const QString reference = ReferencePdf();
  TQPrinterDevice printer;
  dialogs_.AnswerPrintDialogWith(PickQueue);
  dialogs_.AnswerMessage(dbYes);
  dialogs_.AnswerMessage(dbYes);
  ASSERT_EQ(TPrintCommand(lists_, definition_->StepCount(), printer).Run(), TPrintResult::Printed);
  ASSERT_FALSE(printer.WritesToFile());
  QString why;
  const QStringList pdfs = cups_->WaitForOutput(2, why);
  ASSERT_EQ(pdfs.size(), 2) << why.toStdString();
  for (int page = 1; page <= 2; ++page) {
    ExpectA4(pdfs[page - 1]);
    ExpectSameInk(reference, page, pdfs[page - 1]);
  }
}

// A reprint of page 2 as Qt's dialog records it for a CUPS queue (the "Pages" field as a server-side
// range), with two pages per sheet set in the printer's properties: one job, page 2 only, full size.
TEST_F(PrintCups, ReprintOfPage2ComesOutAloneAndUnscaled) {
  LoadSample();
  const QString reference = ReferencePdf();
  TQPrinterDevice printer;
  dialogs_.AnswerPrintDialogWith([](QPrinter& p) {
    if (!PickQueue(p)) return false;
    SetCupsJobOptions(p, CupsJobOptions(p) << QStringLiteral("page-ranges") << QStringLiteral("2")
                                           << QStringLiteral("number-up") << QStringLiteral("2"));
    return true;
  });
  dialogs_.AnswerMessage(dbYes);
  ASSERT_EQ(TPrintCommand(lists_, definition_->StepCount(), printer).Run(), TPrintResult::Printed);
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Text, InsertPageText(2));
  EXPECT_EQ(clock_.ProcessEventsCalls, 0);  // no page pause
  QString why;
  const QStringList pdfs = cups_->WaitForOutput(1, why);
  ASSERT_EQ(pdfs.size(), 1) << why.toStdString();
  ExpectA4(pdfs[0]);
  ExpectSameInk(reference, 2, pdfs[0]);
}

// The test print on the Letter queue: an A4 sheet with the cross at the corner mark plus the
// offset, and only now does the program count the test print as made.
TEST_F(PrintCups, TestPrintComesOutA4AndCounts) {
  StorePrintSettings(kOffX, kOffY, false);
  TQPrinterDevice printer;
  dialogs_.AnswerPrintDialogWith(PickQueue);
  TMahnungGrundeinstellungen dlg(nullptr, &printer);
  QTest::mouseClick(dlg.btnTestPrint, Qt::LeftButton);
  EXPECT_TRUE(dialogs_.Messages.empty());
  QString why;
  const QStringList pdfs = cups_->WaitForOutput(1, why);
  ASSERT_EQ(pdfs.size(), 1) << why.toStdString();
  ExpectA4(pdfs[0]);
  const QImage sheet = Raster(pdfs[0], 1, dir_.path());
  ASSERT_FALSE(sheet.isNull());
  // Ink centre of the vertical arm 3 mm above the crossing, and of the horizontal arm 3 mm left of it.
  const TInk vertical = InkIn(sheet, QRect(QPoint(Px(10), Px(23 + kOffY)), QPoint(Px(30), Px(23 + kOffY))));
  const TInk horizontal = InkIn(sheet, QRect(QPoint(Px(16.9 + kOffX), Px(15)), QPoint(Px(16.9 + kOffX), Px(40))));
  ASSERT_GT(vertical.Pixels, 0);
  ASSERT_GT(horizontal.Pixels, 0);
  EXPECT_NEAR((vertical.Box.left() + vertical.Box.right() + 1) / 2.0 / 10.0, 19.9 + kOffX, 0.2);
  EXPECT_NEAR((horizontal.Box.top() + horizontal.Box.bottom() + 1) / 2.0 / 10.0, 26.0 + kOffY, 0.2);
  EXPECT_TRUE(QVRegIniFile().ReadBool(QStringLiteral("Mahnbescheid"), QStringLiteral("Testdruck"), false));
}

// Qt's own printer dialog on the CUPS queue: the form's pages 1 to 2 for the print, and no range at
// all for the single test sheet (Qt shows its server-side range for CUPS queues even without one).
TEST_F(PrintCups, RealPrinterDialogOffersOnlyTheFormsPages) {
  for (int pageCount : {2, 1}) {
    SCOPED_TRACE(pageCount);
    QPrinter printer;
    printer.setPrinterName(kQueue);
    ASSERT_EQ(printer.outputFormat(), QPrinter::NativeFormat);
    const TDialogOffer offer = OfferOfThePrinterDialog(printer, pageCount);
    ASSERT_TRUE(offer.Seen);
    EXPECT_EQ(offer.RangeOffered, pageCount > 1);
    if (pageCount > 1) {
      EXPECT_EQ(offer.MaxPage, 2);
    }
  }
}
}  // namespace
