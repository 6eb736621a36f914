// JPEG pictures in the PDF as their own bytes: which files qualify, and the file Qt's writer
// leaves once the stand-ins have been replaced.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/uPdfJpegImages.h"
#include "platform/uPrintDevice.h"

namespace {
QByteArray Jpeg(QImage::Format format, bool progressive, QSize size = QSize(40, 30)) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, qRgb(x * 6, y * 8, 200 - x * 3));
  image = image.convertToFormat(format);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setProgressiveScanWrite(progressive);
  writer.setQuality(80);
  EXPECT_TRUE(writer.write(image));
  return bytes;
}

// The offset of the frame header (the FFCx marker) in a JPEG Qt wrote.
qsizetype FrameAt(const QByteArray& jpeg) {
  for (qsizetype i = 2; i + 1 < jpeg.size(); ++i) {
    const int m = static_cast<unsigned char>(jpeg[i + 1]);
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (m == 0xC0 || m == 0xC2)) return i;
  }
  return -1;
}

QByteArray Patched(QByteArray jpeg, int offsetInFrame, char value) {
  jpeg[FrameAt(jpeg) + offsetInFrame] = value;
  return jpeg;
}

struct TRun {
  int Exit = -1;
  QByteArray Out, Err;
};

TRun RunTool(const QString& program, const QStringList& arguments) {
  QProcess p;
  p.start(program, arguments);
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
          p.readAllStandardError()};
}
}  // namespace

TEST(PdfJpeg, WhichFilesAPdfCanCarryAsTheyAre) {
  const QByteArray colour = Jpeg(QImage::Format_RGB32, false);
  struct TCase {
    const char* What;
    QByteArray Bytes;
    bool Carried;
    int Components;
  } cases[] = {
      {"baseline colour", colour, true, 3},
      {"progressive colour", Jpeg(QImage::Format_RGB32, true), true, 3},
      {"grey", Jpeg(QImage::Format_Grayscale8, false), true, 1},
      {"arithmetic coding", Patched(colour, 1, char(0xC9)), false, 0},
      {"lossless", Patched(colour, 1, char(0xC3)), false, 0},
      {"12 bits", Patched(colour, 4, 12), false, 0},
      {"four components (CMYK)", Patched(colour, 9, 4), false, 0},
      {"height only after the scan", Patched(Patched(colour, 5, 0), 6, 0), false, 0},
      {"cut off before the frame", colour.left(FrameAt(colour) + 4), false, 0},
      {"no JPEG", QByteArray("\x89PNG\r\n\x1a\n0000000000"), false, 0},
      {"empty", QByteArray(), false, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TJpegHeader h;
    EXPECT_EQ(ReadJpegHeader(c.Bytes, &h), c.Carried);
    if (!c.Carried) continue;
    EXPECT_EQ(h.Width, 40);
    EXPECT_EQ(h.Height, 30);
    EXPECT_EQ(h.Components, c.Components);
  }
}

TEST(PdfJpeg, PdfHoldsTheFilesBytesBesideOrdinaryPicturesAndOpensWithoutWarnings) {
  QTemporaryDir dir;
  const QByteArray colour = Jpeg(QImage::Format_RGB32, true, QSize(64, 48));
  const QByteArray grey = Jpeg(QImage::Format_Grayscale8, false, QSize(30, 90));
  const QString pdf = dir.filePath(QStringLiteral("bilder.pdf"));
  {
    TPdfPrintDevice device(pdf);
    ASSERT_TRUE(device.BeginJob(QStringLiteral("Bilder")));
    TPdfJpegImages* jpegs = device.JpegImages();
    ASSERT_NE(jpegs, nullptr);
    TJpegHeader hc, hg;
    ASSERT_TRUE(ReadJpegHeader(colour, &hc));
    ASSERT_TRUE(ReadJpegHeader(grey, &hg));
    QPainter& p = device.Painter();
    p.drawImage(QRectF(100, 100, 3000, 2250), jpegs->StandIn(colour, hc));
    QImage ordinary(20, 10, QImage::Format_RGB32);
    ordinary.fill(Qt::red);
    p.drawImage(QRectF(100, 3000, 2000, 1000), ordinary);
    ASSERT_TRUE(device.NewPage());
    p.drawImage(QRectF(500, 500, 900, 2700), jpegs->StandIn(grey, hg));
    p.drawImage(QRectF(2000, 500, 900, 2700), jpegs->StandIn(grey, hg));  // the same file once more
    EXPECT_EQ(jpegs->Count(), 2);
    ASSERT_TRUE(device.EndJob());
  }

  const TRun info = RunTool(QStringLiteral("pdfinfo"), {pdf});
  EXPECT_EQ(info.Exit, 0);
  EXPECT_TRUE(info.Err.isEmpty()) << info.Err.toStdString();
  EXPECT_TRUE(QString::fromUtf8(info.Out).contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.Out.toStdString();
  const TRun render = RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), pdf,
                                                        dir.filePath(QStringLiteral("seite"))});
  EXPECT_EQ(render.Exit, 0);
  EXPECT_TRUE(render.Err.isEmpty()) << render.Err.toStdString();

  // Every JPEG stream of the file, in page order: the two files byte for byte, the ordinary
  // picture as Qt stores it; the grey file once although drawn twice.
  const TRun extract = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, dir.filePath(QStringLiteral("bild"))});
  ASSERT_EQ(extract.Exit, 0);
  const QStringList files = QDir(dir.path()).entryList({QStringLiteral("bild-*")}, QDir::Files, QDir::Name);
  ASSERT_EQ(files.size(), 4) << files.join(QLatin1Char(' ')).toStdString();
  auto bytesOf = [&](int i) {
    QFile f(dir.filePath(files[i]));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  EXPECT_EQ(bytesOf(0), colour);
  EXPECT_NE(bytesOf(1), colour);
  EXPECT_FALSE(QImage::fromData(bytesOf(1)).isNull());
  EXPECT_EQ(bytesOf(2), grey);
  EXPECT_EQ(bytesOf(3), grey);

  // Where each picture was drawn: a rendering shows them in their rectangles.
  const QImage page1(dir.filePath(QStringLiteral("seite-1.png")));
  ASSERT_FALSE(page1.isNull());
  const double scale = 30.0 / 1200.0;
  const QRgb inColour = page1.pixel(int(1600 * scale), int(1225 * scale));
  EXPECT_NE(inColour & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(page1.pixel(int(1600 * scale), int(2700 * scale)) & 0xFFFFFF, 0xFFFFFFu);  // between them
  const QRgb inRed = page1.pixel(int(1100 * scale), int(3500 * scale));
  EXPECT_GT(qRed(inRed), 200);
  EXPECT_LT(qGreen(inRed), 60);
}

TEST(PdfJpeg, AStandInQtNeverWroteFailsTheJobAndKeepsTheOldFile) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("alt.pdf"));
  {
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("alt");
  }
  const QByteArray colour = Jpeg(QImage::Format_RGB32, false);
  TJpegHeader h;
  ASSERT_TRUE(ReadJpegHeader(colour, &h));
  TPdfPrintDevice device(pdf);
  ASSERT_TRUE(device.BeginJob(QStringLiteral("Bilder")));
  device.JpegImages()->StandIn(colour, h);  // never drawn
  device.Painter().drawLine(0, 0, 100, 100);
  EXPECT_FALSE(device.EndJob());
  EXPECT_FALSE(device.ErrorText().isEmpty());
  QFile old(pdf);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("alt"));
  EXPECT_EQ(device.JpegImages(), nullptr);  // no job
}

TEST(PdfJpeg, AFileNotLaidOutAsQtWritesIsLeftAlone) {
  TPdfJpegImages jpegs;
  const QByteArray colour = Jpeg(QImage::Format_RGB32, false);
  TJpegHeader h;
  ASSERT_TRUE(ReadJpegHeader(colour, &h));
  jpegs.StandIn(colour, h);
  for (const QByteArray& broken : {QByteArray(), QByteArray("%PDF-1.4\n%%EOF\n"),
                                   QByteArray("%PDF-1.4\nxref\n0 2\nstartxref\n9\n%%EOF\n")}) {
    QByteArray pdf = broken;
    QString why;
    EXPECT_FALSE(jpegs.Apply(pdf, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(pdf, broken);
  }
  // Without stand-ins the file stays as it is.
  QByteArray anything("whatever");
  EXPECT_TRUE(TPdfJpegImages().Apply(anything, nullptr));
  EXPECT_EQ(anything, QByteArray("whatever"));
}
