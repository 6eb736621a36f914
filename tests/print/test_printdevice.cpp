// The print devices: capabilities from resolution and physical offset, jobs and pages, and a PDF
// that replaces the old file only when it was written completely.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
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
  EXPECT_TRUE(device.ChoosePrinter(Dialogs()));
  EXPECT_EQ(dialogs.PrintDialogs, 1);
}

TEST(PrintDevice, InstalledDeviceIsUsed) {
  TImagePrintDevice image(100, 0.0);
  SetPrintDevice(&image);
  EXPECT_EQ(&PrintDevice(), &image);
  SetPrintDevice(nullptr);
  EXPECT_NE(&PrintDevice(), &image);
}
}  // namespace
