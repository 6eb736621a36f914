// The print devices: capabilities from resolution and physical offset, jobs and pages, and a PDF
// that replaces the old file only when it was written completely.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QDir>
#include <QTemporaryDir>

#include "PrintFixtures.h"
#include "TestSupport.h"
#include "platform/uPrintDevice.h"

namespace {
struct TCapsCase {
  int Dpi;
  double OffsetMM;
};

class PrintDeviceCaps : public ::testing::TestWithParam<TCapsCase> {};

TEST_P(PrintDeviceCaps, PdfAndImageAgree) {
  const TCapsCase c = GetParam();
  QTemporaryDir dir;
  TPdfPrintDevice pdf(dir.filePath(QStringLiteral("a.pdf")), c.Dpi, QMarginsF(c.OffsetMM, c.OffsetMM, c.OffsetMM, c.OffsetMM));
  TImagePrintDevice image(c.Dpi, c.OffsetMM);
  const QSize sheet = A4SizePixels(c.Dpi);
  // The image device places its printable area exactly; the PDF's page layout keeps its margins
  // in whole points, so 4 mm become 11 pt there.
  EXPECT_EQ(image.PhysicalOffset(), QPoint(1, 1) * int(std::lround(c.OffsetMM / 25.4 * c.Dpi)));
  EXPECT_NEAR(pdf.PhysicalOffset().x() * 25.4 / c.Dpi, c.OffsetMM, 0.15);
  for (TPrintDevice* d : {static_cast<TPrintDevice*>(&pdf), static_cast<TPrintDevice*>(&image)}) {
    const int off = d->PhysicalOffset().x();
    EXPECT_EQ(d->ResolutionX(), c.Dpi);
    EXPECT_EQ(d->ResolutionY(), c.Dpi);
    EXPECT_EQ(d->PhysicalOffset().y(), off);
    // Within 0.2 mm: the PDF sheet is 595 x 842 whole points.
    const double tol = 0.2 / 25.4 * c.Dpi;
    EXPECT_NEAR(d->PageRect().width(), sheet.width() - 2 * off, tol);
    EXPECT_NEAR(d->PageRect().height(), sheet.height() - 2 * off, tol);
    EXPECT_EQ(d->PageRect().topLeft(), QPoint(0, 0));
    EXPECT_TRUE(d->WritesToFile() == (d == &pdf));
  }
}

INSTANTIATE_TEST_SUITE_P(Devices, PrintDeviceCaps,
                         ::testing::Values(TCapsCase{300, 0}, TCapsCase{300, 4}, TCapsCase{600, 4}, TCapsCase{1200, 4}));

TEST(PrintDevice, A4InPixels) {
  EXPECT_EQ(A4SizePixels(300), QSize(2480, 3508));
  EXPECT_EQ(A4SizePixels(600), QSize(4961, 7016));
}

// The painter's origin is the corner of the printable area: a text drawn there lands 4 mm from
// the sheet's edges in the PDF.
TEST(PrintDevice, PdfPagesAndOrigin) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("zwei.pdf"));
  TPdfPrintDevice pdf(name, 600, QMarginsF(4, 4, 4, 4));
  ASSERT_TRUE(pdf.BeginJob(QStringLiteral("Titel")));
  EXPECT_TRUE(pdf.JobActive());
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(100);
  pdf.Painter().setFont(f);
  pdf.Painter().drawText(QPointF(0, 100), QStringLiteral("Eins"));
  ASSERT_TRUE(pdf.NewPage());
  pdf.Painter().drawText(QPointF(0, 100), QStringLiteral("Zwei"));
  // Nothing replaces the target before the job is finished.
  EXPECT_FALSE(QFile::exists(name));
  ASSERT_TRUE(pdf.EndJob());
  EXPECT_FALSE(pdf.JobActive());
  ASSERT_EQ(PdfPageCount(name), 2);
  const std::vector<TPdfWord> words = PdfWords(name);
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].Text, QStringLiteral("Eins"));
  EXPECT_EQ(words[0].Page, 1);
  EXPECT_EQ(words[1].Page, 2);
  // Where the device says its printable area starts.
  EXPECT_NEAR(words[0].XMin, pdf.PhysicalOffset().x() * 25.4 / 600, 0.05);
  EXPECT_NEAR(words[0].XMin, 4.0, 0.15);
}

TEST(PrintDevice, UnfinishedPdfKeepsTheOldFile) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("alt.pdf"));
  {
    QFile old(name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("alter Inhalt");
  }
  {
    TPdfPrintDevice pdf(name);
    ASSERT_TRUE(pdf.BeginJob(QStringLiteral("x")));
    pdf.Painter().drawLine(0, 0, 100, 100);
  }  // released without EndJob
  QFile old(name);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("alter Inhalt"));
}

TEST(PrintDevice, UnwritablePdfSaysWhy) {
  QTemporaryDir dir;
  TPdfPrintDevice pdf(dir.filePath(QStringLiteral("fehlt/a.pdf")));
  EXPECT_FALSE(pdf.BeginJob(QStringLiteral("x")));
  EXPECT_TRUE(pdf.ErrorText().startsWith(QStringLiteral("Die Datei \""))) << pdf.ErrorText().toStdString();
  // Why, in German: the folder is named, not "No such file or directory".
  EXPECT_TRUE(pdf.ErrorText().endsWith(QStringLiteral("kann nicht geschrieben werden: Der Ordner %1 existiert nicht.")
                                           .arg(QDir::toNativeSeparators(dir.filePath(QStringLiteral("fehlt"))))))
      << pdf.ErrorText().toStdString();
  EXPECT_FALSE(pdf.JobActive());
}

TEST(PrintDevice, ImagePagesPerJob) {
  TImagePrintDevice image(100, 4.0);
  ASSERT_TRUE(image.BeginJob(QStringLiteral("Seite 1")));
  image.Painter().fillRect(QRect(0, 0, 10, 10), Qt::black);
  ASSERT_TRUE(image.NewPage());
  ASSERT_TRUE(image.EndJob());
  ASSERT_TRUE(image.BeginJob(QStringLiteral("Seite 2")));
  ASSERT_TRUE(image.EndJob());
  ASSERT_EQ(image.Jobs().size(), 2u);
  EXPECT_EQ(image.Jobs()[0].Pages.size(), 2u);
  EXPECT_EQ(image.Jobs()[1].Title, QStringLiteral("Seite 2"));
  EXPECT_EQ(image.Jobs()[0].Pages[0].pixel(5, 5), qRgb(0, 0, 0));
  EXPECT_EQ(image.Jobs()[0].Pages[1].pixel(5, 5), qRgb(255, 255, 255));
}

// The real printer set to write a PDF file counts as file output.
TEST(PrintDevice, PrinterToFileIsFileOutput) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  QTemporaryDir dir;
  printer.setOutputFileName(dir.filePath(QStringLiteral("p.pdf")));
  TQPrinterDevice device(printer);
  EXPECT_TRUE(device.WritesToFile());
  EXPECT_EQ(device.ResolutionX(), printer.resolution());
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialog(true);
  EXPECT_TRUE(device.ChoosePrinter(Dialogs(), 2));
  EXPECT_EQ(dialogs.PrintDialogs, 1);
}

// Whatever the queue or the dialog left on the printer, every job is an A4 portrait sheet whose
// painter origin is the sheet's corner: a text drawn at the origin lands at the corner of an A4 page.
struct TPresetCase {
  const char* Name;
  QPageSize::PageSizeId Size;
  QPageLayout::Orientation Orientation;
  double MarginMM;
};

class PrinterSheet : public ::testing::TestWithParam<TPresetCase> {};

TEST_P(PrinterSheet, EveryJobIsA4PortraitFullPage) {
  const TPresetCase c = GetParam();
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("bogen.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(name);
  printer.setPageSize(QPageSize(c.Size));
  printer.setPageOrientation(c.Orientation);
  printer.setPageMargins(QMarginsF(c.MarginMM, c.MarginMM, c.MarginMM, c.MarginMM), QPageLayout::Millimeter);
  TQPrinterDevice device(printer);
  ASSERT_TRUE(device.BeginJob(QStringLiteral("Bogen")));
  const int dpi = device.ResolutionX();
  EXPECT_EQ(device.PhysicalOffset(), QPoint(0, 0));
  EXPECT_NEAR(device.PageRect().width(), A4SizePixels(dpi).width(), 0.2 / 25.4 * dpi);
  EXPECT_NEAR(device.PageRect().height(), A4SizePixels(dpi).height(), 0.2 / 25.4 * dpi);
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(dpi / 4);
  device.Painter().setFont(f);
  device.Painter().drawText(QPointF(0, dpi / 4), QStringLiteral("Ecke"));
  ASSERT_TRUE(device.EndJob());
  const QSizeF pt = PdfPageSizePt(name);
  EXPECT_NEAR(pt.width(), 595.3, 0.5);
  EXPECT_NEAR(pt.height(), 841.9, 0.5);
  const std::vector<TPdfWord> words = PdfWords(name);
  ASSERT_EQ(words.size(), 1u);
  EXPECT_NEAR(words[0].XMin, 0.0, 0.3);
}

INSTANTIATE_TEST_SUITE_P(
    Presets, PrinterSheet,
    ::testing::Values(TPresetCase{"LetterDefault", QPageSize::Letter, QPageLayout::Portrait, 6.35},
                      TPresetCase{"LetterLandscape", QPageSize::Letter, QPageLayout::Landscape, 10},
                      TPresetCase{"A4Landscape", QPageSize::A4, QPageLayout::Landscape, 0},
                      TPresetCase{"A5WithMargins", QPageSize::A5, QPageLayout::Portrait, 12},
                      TPresetCase{"A4WithMargins", QPageSize::A4, QPageLayout::Portrait, 5}),
    [](const ::testing::TestParamInfo<TPresetCase>& i) { return std::string(i.param.Name); });

// What the printer dialog chose, read as pages of the two-page form: the application's range, and
// the odd/even pages and page ranges CUPS would filter on the server.
struct TChoiceCase {
  const char* Name;
  int PageCount;
  const char* AppRange;
  const char* PageSet;
  const char* CupsRanges;
  std::vector<int> Pages;
};

class FormPageChoice : public ::testing::TestWithParam<TChoiceCase> {};

TEST_P(FormPageChoice, PagesOfTheForm) {
  const TChoiceCase& c = GetParam();
  EXPECT_EQ(ChosenFormPages(c.PageCount, QPageRanges::fromString(QLatin1String(c.AppRange)), QLatin1String(c.PageSet),
                            QLatin1String(c.CupsRanges)),
            c.Pages);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, FormPageChoice,
    ::testing::Values(TChoiceCase{"Everything", 2, "", "", "", {1, 2}},
                      TChoiceCase{"Page1", 2, "1", "", "", {1}},
                      TChoiceCase{"Page2", 2, "2-2", "", "", {2}},
                      TChoiceCase{"Both", 2, "1-2", "", "", {1, 2}},
                      TChoiceCase{"BeyondTheForm", 2, "3-4", "", "", {}},
                      TChoiceCase{"EvenPages", 2, "", "even", "", {2}},
                      TChoiceCase{"OddPages", 2, "", "odd", "", {1}},
                      // Qt turns "even" into "odd" when the application's range starts on an even page.
                      TChoiceCase{"EvenFromPage2", 2, "2", "odd", "", {2}},
                      TChoiceCase{"ServerRange2", 2, "", "", "2", {2}},
                      TChoiceCase{"ServerOpenEnd", 2, "", "", "2-", {2}},
                      TChoiceCase{"ServerOpenStart", 2, "", "", "-1", {1}},
                      TChoiceCase{"ServerList", 2, "", "", "2,1", {1, 2}},
                      TChoiceCase{"ServerBeyond", 2, "", "", "3-5", {}},
                      TChoiceCase{"ServerGarbage", 2, "", "", "zwei", {}},
                      TChoiceCase{"OnePageForm", 1, "", "", "", {1}}),
    [](const ::testing::TestParamInfo<TChoiceCase>& i) { return std::string(i.param.Name); });

// The range a dialog left on the printer is read back, and forgotten before the next dialog.
TEST(PrintDevice, ChosenRangeIsReadAndForgotten) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPrintRange(QPrinter::PageRange);
  printer.setFromTo(2, 2);
  EXPECT_EQ(PagesChosenOn(printer, 2), (std::vector<int>{2}));
  ForgetChosenPages(printer);
  EXPECT_EQ(printer.printRange(), QPrinter::AllPages);
  EXPECT_EQ(PagesChosenOn(printer, 2), (std::vector<int>{1, 2}));
}

// The real printer dialog offers the form's pages 1 to 2, and no range for a single sheet.
TEST(PrintDevice, PrinterDialogOffersOnlyTheFormsPages) {
  for (int pageCount : {2, 1}) {
    SCOPED_TRACE(pageCount);
    QPrinter printer;
    const TDialogOffer offer = OfferOfThePrinterDialog(printer, pageCount);
    ASSERT_TRUE(offer.Seen);
    EXPECT_EQ(offer.RangeOffered, pageCount > 1);
    if (pageCount > 1) {
      EXPECT_EQ(offer.MaxPage, 2);
    }
    EXPECT_FALSE(offer.SelectionOffered);
  }
}

TEST(PrintDevice, InstalledDeviceIsUsed) {
  TImagePrintDevice image(100, 0.0);
  SetPrintDevice(&image);
  EXPECT_EQ(&PrintDevice(), &image);
  SetPrintDevice(nullptr);
  EXPECT_NE(&PrintDevice(), &image);
}
}  // namespace
