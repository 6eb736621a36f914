// The print preview and the PDF of the filled form: the same drawing as the print job, with the
// step pictures of the shipped form as the blank form under the values.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QMenu>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <map>

#include "../app/MainFrameTestData.h"
#include "PrintFixtures.h"
#include "PrintRecorder.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "definition/WizardSteps.h"
#include "print/FDruckvorschau.h"
#include "render/uDrawContext.h"
#include "print/uPrintJob.h"
#include "print/uPrintPdfCommand.h"
#include "render/uPictureLoader.h"
#include "render/uPrinterDrawContext.h"
#include "storage/uDocuments.h"
#include "storage/uProgramPaths.h"

namespace {
constexpr double kOffX = 1.5, kOffY = -0.5;

// The shipped definition with its generated pictures, values in one Edit field of every step and
// in the first digit-box field.
class FormPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTestSettings();
    StorePrintSettings(kOffX, kOffY, true);
    QDir build(BuildRuntimeFolder());
    build.cdUp();
    SetProgramFolderForTesting(build.absolutePath() + QLatin1Char('/'));
    definition = TWizardDefinition::Load(DefinitionFileName(RuntimeFolder()));
    BuildFieldLists(*definition, lists);
    steps = definition->StepCount();
    for (int s = 0; s < steps; ++s) {
      const TFormFieldList& list = lists[std::size_t(s)];
      for (int i = 0; i < list.Count(); ++i) {
        TFormField* f = list.Fields(i);
        if (f->Kind() == TFormFieldKind::Edit && !words.count(s)) {
          f->SetValue(QStringLiteral("Wert%1").arg(s + 1));
          words[s] = f;
        }
        if (f->Kind() == TFormFieldKind::EditExt && f->NumberOfDigits() >= 5 && !digits) {
          f->SetValue(QStringLiteral("97531"));
          digits = f;
          digitsStep = s;
        }
      }
    }
    ASSERT_EQ(int(words.size()), steps);
    ASSERT_NE(digits, nullptr);
  }
  void TearDown() override {
    FreeFieldLists(lists);
    SetProgramFolderForTesting(QString());
  }

  // `--preview-pdf` of the shipped sample into `preview`, as a user runs it; its messages in `err`.
  static int RunSamplePreview(const QString& preview, QString* err) {
    QTextStream errStream(err);
    return PrintPdfCommand({QStringLiteral("--preview-pdf"), preview, SamplePath()}, errStream);
  }
  static QString SamplePath() { return RuntimeFolder() + QStringLiteral("examples/Beispiel.kln"); }

  std::unique_ptr<TWizardDefinition> definition;
  TFieldLists lists;
  int steps = 0;
  std::map<int, TFormField*> words;  // by step
  TFormField* digits = nullptr;
  int digitsStep = -1;
};

bool SameRun(const TTextRun& a, const TTextRun& b) {
  return a.Text == b.Text && a.Origin == b.Origin && a.Offsets == b.Offsets && a.PixelHeight == b.PixelHeight &&
         a.Font.family() == b.Font.family() && a.Font.bold() == b.Font.bold();
}

TEST_F(FormPreview, PreviewDrawsThePagesOfThePrintJob) {
  const TFormBackground background(*definition, RuntimeFolder());
  ASSERT_EQ(background.PictureCount(), steps);
  TDruckvorschau dialog(lists, steps, background);
  // The preview's sheet is the whole A4 page at the preview resolution: device pixels then mean
  // the same on both sides.
  TQPrinterDevice previewDevice(dialog.Printer());
  ASSERT_EQ(previewDevice.PhysicalOffset(), QPoint(0, 0));
  ASSERT_EQ(previewDevice.ResolutionY(), TDruckvorschau::kResolution);
  EXPECT_EQ(dialog.Preview->pageCount(), 2);

  TRecordingPrintDevice preview(TDruckvorschau::kResolution, 0.0);
  dialog.PaintPages(preview);
  ASSERT_EQ(preview.Jobs.size(), 1u);
  ASSERT_EQ(preview.Jobs[0].Pages.size(), 2u);

  TScriptedDialogs dialogs;
  TFakeClock clock;
  clock.StepMs = 100;
  dialogs.AnswerPrintDialog(true);
  dialogs.AnswerMessage(dbYes);  // completeness warning
  dialogs.AnswerMessage(dbYes);  // page 1
  dialogs.AnswerMessage(dbYes);  // page 2
  TRecordingPrintDevice paper(TDruckvorschau::kResolution, 0.0);
  ASSERT_EQ(TPrintCommand(lists, steps, paper).Run(), TPrintResult::Printed);
  ASSERT_EQ(paper.Jobs.size(), 2u);

  for (int page = 0; page < 2; ++page) {
    SCOPED_TRACE(page + 1);
    const std::vector<TTextRun>& a = preview.Jobs[0].Pages[std::size_t(page)].Runs;
    const std::vector<TTextRun>& b = paper.Jobs[std::size_t(page)].Pages.at(0).Runs;
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(SameRun(a[i], b[i])) << a[i].Text.toStdString();
  }

  // The widget itself paints through the same code: every run of both pages once more, in order.
  std::vector<TTextRun> shown;
  SetTextRunRecorder([&](const TTextRun& r) { shown.push_back(r); });
  dialog.Preview->updatePreview();
  SetTextRunRecorder(nullptr);
  std::vector<TTextRun> printed = paper.Jobs[0].Pages[0].Runs;
  printed.insert(printed.end(), paper.Jobs[1].Pages[0].Runs.begin(), paper.Jobs[1].Pages[0].Runs.end());
  ASSERT_EQ(shown.size(), printed.size());
  for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_TRUE(SameRun(shown[i], printed[i])) << i;
}

TEST_F(FormPreview, PageSwitchZoomPrintAndClose) {
  const TFormBackground background(*definition, RuntimeFolder());
  TDruckvorschau dialog(lists, steps, background);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Druckvorschau"));
  EXPECT_EQ(dialog.CurrentPage(), 1);
  EXPECT_TRUE(dialog.btnSeite1->isChecked());
  dialog.btnSeite2->click();
  EXPECT_EQ(dialog.CurrentPage(), 2);
  EXPECT_TRUE(dialog.btnSeite2->isChecked());
  EXPECT_FALSE(dialog.btnSeite1->isChecked());
  dialog.ShowPage(7);  // beyond the last page: stays on the last
  EXPECT_EQ(dialog.CurrentPage(), 2);

  const qreal fit = dialog.Preview->zoomFactor();
  dialog.btnVergroessern->click();
  EXPECT_GT(dialog.Preview->zoomFactor(), fit);
  dialog.btnVerkleinern->click();
  dialog.btnVerkleinern->click();
  EXPECT_LT(dialog.Preview->zoomFactor(), fit);
  dialog.btnGanzeSeite->click();
  EXPECT_EQ(dialog.Preview->zoomMode(), QPrintPreviewWidget::FitInView);

  const struct {
    QPushButton* Button;
    int Result;
  } buttons[] = {{dialog.btnDrucken, QDialog::Accepted}, {dialog.btnSchliessen, QDialog::Rejected}};
  for (const auto& b : buttons) {
    dialog.show();
    b.Button->click();
    EXPECT_EQ(dialog.result(), b.Result) << b.Button->text().toStdString();
    EXPECT_FALSE(dialog.isVisible());
  }
}

// --- The PDF ----------------------------------------------------------------------------------

struct TPdfImage {
  int Page = 0;
  double WidthMM = 0, HeightMM = 0;
};

std::vector<TPdfImage> PdfImages(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
  p.waitForFinished(60000);
  // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
  static const QRegularExpression row(QStringLiteral(
      "^\\s*(\\d+)\\s+\\d+\\s+image\\s+(\\d+)\\s+(\\d+)\\s+\\S+\\s+\\d+\\s+\\d+\\s+\\S+\\s+\\S+\\s+\\d+\\s+\\d+\\s+(\\d+)\\s+(\\d+)"));
  std::vector<TPdfImage> images;
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
    const QRegularExpressionMatch m = row.match(line);
    if (!m.hasMatch()) continue;
    images.push_back({m.captured(1).toInt(), m.captured(2).toDouble() / m.captured(4).toDouble() * 25.4,
                      m.captured(3).toDouble() / m.captured(5).toDouble() * 25.4});
  }
  return images;
}

TEST_F(FormPreview, PdfHasBothPagesTheBlankFormAndTheValuesAtTheirPositions) {
  QTemporaryDir dir;
  // Both ways to the PDF: the menu command and --preview-pdf.
  TScriptedDialogs dialogs;
  const QString exported = dir.filePath(QStringLiteral("export.pdf"));
  dialogs.AnswerFile(exported);
  ASSERT_TRUE(ExportFormPdf(lists, steps, *definition, dir.filePath(QStringLiteral("Miete.kln"))));
  ASSERT_EQ(dialogs.SaveRequests.size(), 1u);
  EXPECT_EQ(dialogs.SaveRequests[0].Filter, QStringLiteral("PDF-Dateien (*.pdf)|*.pdf"));
  EXPECT_EQ(dialogs.SaveRequests[0].DefaultExtension, QStringLiteral("pdf"));
  EXPECT_EQ(dialogs.SaveRequests[0].FileName, QStringLiteral("Miete.pdf"));
  EXPECT_EQ(QDir(dialogs.SaveRequests[0].InitialDir), QDir(dir.path()));
  EXPECT_TRUE(dialogs.Messages.empty());

  const QString doc = dir.filePath(QStringLiteral("werte.kln"));
  {
    TDocument document(lists);
    ASSERT_TRUE(document.WriteDocument(doc));
  }
  const QString command = dir.filePath(QStringLiteral("command.pdf"));
  QString err;
  QTextStream errStream(&err);
  ASSERT_EQ(PrintPdfCommand({QStringLiteral("--preview-pdf"), command, doc}, errStream), 0);

  for (const QString& pdf : {exported, command}) {
    SCOPED_TRACE(pdf.toStdString());
    ASSERT_EQ(PdfPageCount(pdf), 2);
    // Every step picture on its page, at the size of its step region.
    const std::vector<TPdfImage> images = PdfImages(pdf);
    ASSERT_EQ(int(images.size()), steps);
    for (int s = 0; s < steps; ++s) {
      const TStepMetric& m = definition->StepMetric(s);
      EXPECT_EQ(images[std::size_t(s)].Page, PageOfStep(s)) << s;
      EXPECT_NEAR(images[std::size_t(s)].WidthMM, m.Width, m.Width * 0.01) << s;
      EXPECT_NEAR(images[std::size_t(s)].HeightMM, m.Height, m.Height * 0.01) << s;
    }
    // The values at their boxes plus the print offset.
    std::multimap<QString, TPdfWord> found;
    for (const TPdfWord& w : PdfWords(pdf)) found.emplace(w.Text, w);
    for (const auto& [step, field] : words) {
      SCOPED_TRACE(field->Name().toStdString());
      ASSERT_EQ(found.count(field->Value()), 1u);
      const TPdfWord& w = found.find(field->Value())->second;
      EXPECT_EQ(w.Page, PageOfStep(step));
      EXPECT_NEAR(w.XMin, field->Left() + kOffX, 0.3);
      EXPECT_NEAR(w.CentreY(), field->Top() + field->Height() / 2 + kOffY, 0.3);
    }
    // The digit boxes: one character per cell. Close cells make one word of pdftotext, so the
    // words inside the box together hold the value, from the first cell's left edge to the end
    // of the character in the last filled cell.
    const double cell = digits->Width() / digits->NumberOfDigits() + 0.1;
    const double left = digits->Left() + kOffX, centre = digits->Top() + digits->Height() / 2 + kOffY;
    std::vector<TPdfWord> inBox;
    for (const auto& [word, w] : found)
      if (w.Page == PageOfStep(digitsStep) && std::abs(w.CentreY() - centre) < 0.3 && w.XMin > left - 0.3 &&
          w.XMin < left + digits->Width() + digits->NumberOfDigits() * 0.1)
        inBox.push_back(w);
    std::sort(inBox.begin(), inBox.end(), [](const TPdfWord& a, const TPdfWord& b) { return a.XMin < b.XMin; });
    ASSERT_FALSE(inBox.empty());
    QString text;
    for (const TPdfWord& w : inBox) text += w.Text;
    const double xMin = inBox.front().XMin, xMax = inBox.back().XMax;
    EXPECT_EQ(text, digits->Value());
    EXPECT_NEAR(xMin, left, 0.3);
    TDrawContext measure;
    measure.SetFont(digits->Font());
    const QString last = digits->Value().right(1);
    EXPECT_NEAR(xMax, left + (digits->Value().size() - 1) * cell + measure.TextWidth(last), 0.3);
  }
}

TEST_F(FormPreview, PdfExportThatCannotBeWrittenSaysSoAndCancelWritesNothing) {
  QTemporaryDir dir;
  TScriptedDialogs dialogs;
  const QString blocked = dir.filePath(QStringLiteral("kein/ordner/a.pdf"));
  dialogs.AnswerFile(blocked);
  EXPECT_FALSE(ExportFormPdf(lists, steps, *definition, QString()));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Error);
  EXPECT_TRUE(dialogs.Messages[0].Text.startsWith(QStringLiteral("Die Datei \""))) << dialogs.Messages[0].Text.toStdString();
  EXPECT_TRUE(dialogs.Messages[0].Text.contains(QStringLiteral("kann nicht geschrieben werden")));
  EXPECT_FALSE(QFile::exists(blocked));
  // An unnamed document starts in the documents folder without a proposed name.
  EXPECT_EQ(dialogs.SaveRequests.at(0).FileName, QString());

  EXPECT_FALSE(ExportFormPdf(lists, steps, *definition, QString()));  // dialog cancelled
  EXPECT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// --- The sample's preview PDF: small, and the same pages as before -----------------------------

// Pages of a PDF rendered by poppler at `dpi`, page 1 first.
std::vector<QImage> RenderPdf(const QString& pdf, int dpi) {
  QTemporaryDir dir;
  QProcess p;
  p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf,
                                       dir.filePath(QStringLiteral("p"))});
  p.waitForFinished(60000);
  std::vector<QImage> pages;
  QStringList files = QDir(dir.path()).entryList({QStringLiteral("p-*.png")}, QDir::Files, QDir::Name);
  for (const QString& f : files) pages.push_back(QImage(dir.filePath(f)).convertToFormat(QImage::Format_RGB32));
  return pages;
}

// How far two renderings of a page lie apart: the mean difference of the colour channels and
// the share of pixels with a channel more than 40 apart. Thin lines of the form come out a little
// differently when poppler scales a picture of 114 dpi rather than one of 300 dpi; a picture out of
// place or missing, or another page, is far beyond.
struct TPageDifference {
  double Mean = 255;
  double FarShare = 1;
};

TPageDifference Compare(const QImage& a, const QImage& b) {
  TPageDifference d;
  if (a.size() != b.size() || a.isNull()) return d;
  double sum = 0;
  qint64 far = 0;
  for (int y = 0; y < a.height(); ++y) {
    const QRgb* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const QRgb* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      const int dr = std::abs(qRed(ra[x]) - qRed(rb[x])), dg = std::abs(qGreen(ra[x]) - qGreen(rb[x])),
                db = std::abs(qBlue(ra[x]) - qBlue(rb[x]));
      sum += dr + dg + db;
      if (std::max({dr, dg, db}) > 40) ++far;
    }
  }
  const double pixels = double(a.width()) * a.height();
  d.Mean = sum / (3 * pixels);
  d.FarShare = double(far) / pixels;
  return d;
}

bool Close(const TPageDifference& d) { return d.Mean < 6.0 && d.FarShare < 0.04; }

// The pages as the preview drew them before: every step picture resampled into a bitmap at the
// PDF's resolution (DrawImageOrthogonalBlt), then the mark and the values as now.
bool WriteResampledPdf(const QString& pdf, const TWizardDefinition& definition, const TFieldLists& lists) {
  TPdfPrintDevice device(pdf);
  if (!device.BeginJob(QStringLiteral("Vorher"))) return false;
  const TFormBackground markOnly;
  for (int page = 1; page <= 2; ++page) {
    if (page > 1) device.NewPage();
    TPrinterDrawContext context(device.Painter(), device.PageRect(), device.ResolutionY());
    SetDeviceTransformation(context.Transformation(), device);
    for (int s = 0; s < definition.StepCount(); ++s) {
      if (PageOfStep(s) != page) continue;
      const TStepPicture picture = LoadStepPicture(RuntimeFolder() + QStringLiteral("images/Step%1.jpg").arg(s + 1));
      const TStepMetric& m = definition.StepMetric(s);
      context.DrawImageOrthogonalBlt(picture.Picture.toImage(), m.Left, m.Top, m.Width, m.Height);
    }
    DrawFormPage(context, lists, definition.StepCount(), page, ReadPrintOffset(), &markOnly);
  }
  return device.EndJob();
}

TEST_F(FormPreview, SamplePreviewPdfIsSmallAndShowsThePagesAsBefore) {
  QTemporaryDir dir;
  const QString sample = SamplePath();
  const QString preview = dir.filePath(QStringLiteral("vorschau.pdf"));
  QString err;
  ASSERT_EQ(RunSamplePreview(preview, &err), 0) << err.toStdString();
  EXPECT_LE(QFileInfo(preview).size(), 600 * 1024);

  TDocument document(lists);
  ASSERT_TRUE(document.LoadDocument(sample));
  const QString before = dir.filePath(QStringLiteral("vorher.pdf"));
  ASSERT_TRUE(WriteResampledPdf(before, *definition, lists));
  EXPECT_GT(QFileInfo(before).size(), 4 * QFileInfo(preview).size());

  const std::vector<QImage> now = RenderPdf(preview, 50), then = RenderPdf(before, 50);
  ASSERT_EQ(now.size(), 2u);
  ASSERT_EQ(then.size(), 2u);
  for (std::size_t page = 0; page < 2; ++page) {
    const TPageDifference d = Compare(now[page], then[page]);
    EXPECT_TRUE(Close(d)) << "page " << page + 1 << ": mean " << d.Mean << ", far " << d.FarShare;
  }
  // The measure tells pages apart: page 1 is not page 2.
  const TPageDifference other = Compare(now[0], then[1]);
  EXPECT_FALSE(Close(other)) << "mean " << other.Mean << ", far " << other.FarShare;
}

TEST_F(FormPreview, PreviewPdfCarriesTheStepPicturesAsTheirFilesAndOpensWithoutWarnings) {
  QTemporaryDir dir;
  const QString preview = dir.filePath(QStringLiteral("vorschau.pdf"));
  QString err;
  ASSERT_EQ(RunSamplePreview(preview, &err), 0) << err.toStdString();

  QProcess extract;
  extract.start(QStringLiteral("pdfimages"), {QStringLiteral("-j"), preview, dir.filePath(QStringLiteral("bild"))});
  ASSERT_TRUE(extract.waitForFinished(60000));
  EXPECT_TRUE(extract.readAllStandardError().isEmpty());
  const QStringList images = QDir(dir.path()).entryList({QStringLiteral("bild-*")}, QDir::Files, QDir::Name);
  ASSERT_EQ(images.size(), steps);
  for (int s = 0; s < steps; ++s) {
    SCOPED_TRACE(s + 1);
    QFile stored(dir.filePath(images[s])), shipped(RuntimeFolder() + QStringLiteral("images/Step%1.jpg").arg(s + 1));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll() == shipped.readAll());
  }
  for (const QString& tool : {QStringLiteral("pdfinfo"), QStringLiteral("pdftoppm")}) {
    QProcess p;
    p.start(tool, tool == QLatin1String("pdfinfo")
                      ? QStringList{preview}
                      : QStringList{QStringLiteral("-r"), QStringLiteral("20"), preview, dir.filePath(QStringLiteral("s"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << tool.toStdString();
    EXPECT_TRUE(p.readAllStandardError().isEmpty()) << tool.toStdString();
  }
}

TEST_F(FormPreview, PdfOnlyBackgroundCarriesGoodFilesAndDrawsTheOthersAsTheScreenDoes) {
  // Step 1 cut off (shown as far as it goes), step 2 a good progressive JPEG, step 3 no JPEG.
  QTemporaryDir runtime;
  QDir(runtime.path()).mkpath(QStringLiteral("images"));
  QFile shipped(RuntimeFolder() + QStringLiteral("images/Step1.jpg"));
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
  const QByteArray whole = shipped.readAll();
  QByteArray good;
  {
    QBuffer buffer(&good);
    buffer.open(QIODevice::WriteOnly);
    QImage image(300, 120, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(image));
  }
  auto put = [&](int step, const QByteArray& bytes) {
    QFile f(runtime.filePath(QStringLiteral("images/Step%1.jpg").arg(step)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  };
  put(1, whole.left(whole.size() * 6 / 10));
  put(2, good);
  put(3, QByteArray("\x89PNG\r\n\x1a\nkein JPEG"));
  const QString folder = runtime.path() + QLatin1Char('/');

  const TFormBackground anyDevice(*definition, folder);
  const TFormBackground pdfOnly(*definition, folder, TFormBackground::TUse::PdfOnly);
  EXPECT_EQ(anyDevice.PictureCount(), 2);
  EXPECT_EQ(pdfOnly.PictureCount(), 2);

  const QString pdf = runtime.filePath(QStringLiteral("vorschau.pdf"));
  QString error;
  ASSERT_TRUE(WriteFormPdf(pdf, lists, steps, pdfOnly, &error)) << error.toStdString();
  QProcess extract;
  extract.start(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, runtime.filePath(QStringLiteral("bild"))});
  ASSERT_TRUE(extract.waitForFinished(60000));
  const QStringList images = QDir(runtime.path()).entryList({QStringLiteral("bild-*")}, QDir::Files, QDir::Name);
  ASSERT_EQ(images.size(), 2);
  QFile first(runtime.filePath(images[0])), second(runtime.filePath(images[1]));
  ASSERT_TRUE(first.open(QIODevice::ReadOnly));
  ASSERT_TRUE(second.open(QIODevice::ReadOnly));
  const QByteArray firstBytes = first.readAll();
  EXPECT_FALSE(whole.startsWith(firstBytes.left(whole.size() * 6 / 10)) && firstBytes.size() <= whole.size() * 6 / 10)
      << "the cut-off file went into the PDF as it is";
  EXPECT_FALSE(QImage::fromData(firstBytes).isNull());
  EXPECT_EQ(second.readAll(), good);
  // A cut-off file in the PDF would make every viewer complain.
  QProcess render;
  render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("20"), pdf, runtime.filePath(QStringLiteral("s"))});
  ASSERT_TRUE(render.waitForFinished(60000));
  EXPECT_EQ(render.exitCode(), 0);
  EXPECT_TRUE(render.readAllStandardError().isEmpty());
}

// --- What the preview and the PDF say they are -------------------------------------------------

// The text of one page in the order it was drawn (the mark runs diagonally across the values).
QString PdfPageText(const QString& pdf, int page) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                        QString::number(page), pdf, QStringLiteral("-")});
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// Pixels of `image` inside the white sheet that are not white: the sheet is the bounding box of
// the pure white pixels (the preview shows it on a darker ground).
int MarkedPixelsOnTheSheet(const QImage& shown) {
  const QImage image = shown.convertToFormat(QImage::Format_RGB32);
  QRect sheet;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) sheet |= QRect(x, y, 1, 1);
  int marked = 0;
  const QRect inner = sheet.adjusted(3, 3, -3, -3);
  for (int y = inner.top(); y <= inner.bottom(); ++y)
    for (int x = inner.left(); x <= inner.right(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++marked;
  return marked;
}

TEST_F(FormPreview, PreviewAndPdfSayTheyAreForCheckingOnlyThePrintNever) {
  EXPECT_EQ(CheckOnlyMarkText(), QStringLiteral("Nur zur Kontrolle – nicht bei Gericht einreichen"));
  QTemporaryDir dir;
  const QString doc = dir.filePath(QStringLiteral("werte.kln"));
  {
    TDocument document(lists);
    ASSERT_TRUE(document.WriteDocument(doc));
  }
  const QString preview = dir.filePath(QStringLiteral("vorschau.pdf")), print = dir.filePath(QStringLiteral("druck.pdf"));
  QString err;
  QTextStream errStream(&err);
  ASSERT_EQ(PrintPdfCommand({QStringLiteral("--preview-pdf"), preview, doc}, errStream), 0);
  ASSERT_EQ(PrintPdfCommand({QStringLiteral("--print-pdf"), print, doc}, errStream), 0);
  TScriptedDialogs dialogs;
  const QString exported = dir.filePath(QStringLiteral("export.pdf"));
  dialogs.AnswerFile(exported);
  ASSERT_TRUE(ExportFormPdf(lists, steps, *definition, doc));
  auto squeezed = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); };
  const QString mark = squeezed(CheckOnlyMarkText());
  for (int page = 1; page <= 2; ++page) {
    SCOPED_TRACE(page);
    EXPECT_TRUE(squeezed(PdfPageText(preview, page)).contains(mark)) << PdfPageText(preview, page).toStdString();
    EXPECT_TRUE(squeezed(PdfPageText(exported, page)).contains(mark));
    const QString printed = PdfPageText(print, page);
    EXPECT_TRUE(printed.contains(words[page == 1 ? 0 : 2]->Value()));  // the values are there
    EXPECT_FALSE(printed.contains(QStringLiteral("Kontrolle"))) << printed.toStdString();
  }

  // The preview window: an empty form on a blank sheet shows nothing but the mark.
  FreeFieldLists(lists);
  lists.resize(std::size_t(steps));
  const TFormBackground noPictures;
  TDruckvorschau dialog(lists, steps, noPictures);
  dialog.resize(700, 900);
  dialog.show();
  for (int page = 1; page <= 2; ++page) {
    dialog.ShowPage(page);
    QCoreApplication::processEvents();
    const int marked = MarkedPixelsOnTheSheet(dialog.Preview->grab().toImage());
    EXPECT_GT(marked, 500) << "page " << page;
  }
}

TEST_F(FormPreview, OnlyThePreviewDrawsTextBesideTheValues) {
  // Every text item that reaches the device: on paper the values alone, in the preview one more.
  const TFormBackground background(*definition, RuntimeFolder());
  TDruckvorschau dialog(lists, steps, background);
  TRecordingPrintDevice preview(TDruckvorschau::kResolution, 0.0);
  dialog.PaintPages(preview);
  TRecordingPrintDevice paper(TDruckvorschau::kResolution, 0.0);
  ASSERT_TRUE(PrintPagesToOneJob(lists, steps, paper, ReadPrintOffset(), QStringLiteral("Papier")));
  for (std::size_t page = 0; page < 2; ++page) {
    SCOPED_TRACE(page + 1);
    const TRecordedPage& p = paper.Jobs.at(0).Pages.at(page);
    const TRecordedPage& v = preview.Jobs.at(0).Pages.at(page);
    EXPECT_EQ(p.GlyphRuns, int(p.Runs.size()));
    EXPECT_EQ(v.Runs.size(), p.Runs.size());
    EXPECT_GT(v.GlyphRuns, int(v.Runs.size()));
  }
}

// --- In the main window -----------------------------------------------------------------------

class PreviewWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTestSettings();
    StorePrintSettings(0, 0, true);
    runtime = std::make_unique<TTestRuntime>(ThreeSteps());
    frame = std::make_unique<TMainFrame>();
  }
  void TearDown() override {
    frame.reset();
    ReleaseWizardDefinition();
    runtime.reset();
  }
  TScriptedDialogs dialogs;
  std::unique_ptr<TTestRuntime> runtime;
  std::unique_ptr<TMainFrame> frame;
};

TEST_F(PreviewWindow, MenuAndToolBarEntries) {
  QStringList datei;
  for (QAction* a : frame->mnuDatei->actions()) datei << a->objectName();
  const int print = int(datei.indexOf(QStringLiteral("smDrucken")));
  ASSERT_GE(print, 0);
  EXPECT_EQ(datei.mid(print, 4), (QStringList{"smDrucken", "smDruckvorschau", "smPruefen", "smPdfExport"}));
  EXPECT_EQ(frame->smDruckvorschau->text(), QStringLiteral("Druckvorschau..."));
  EXPECT_EQ(frame->smPdfExport->text(), QStringLiteral("Als PDF exportieren..."));
  const QList<QAction*> tool = frame->MainToolBar->actions();
  const int button = int(tool.indexOf(frame->btnDrucken));
  ASSERT_GE(button, 0);
  EXPECT_EQ(tool.value(button + 1), frame->btnDruckvorschau);
  EXPECT_EQ(frame->btnDruckvorschau->toolTip(), QStringLiteral("Druckvorschau"));
  EXPECT_FALSE(frame->btnDruckvorschau->icon().isNull());
}

TEST_F(PreviewWindow, DruckenInThePreviewRunsThePrintCommand) {
  TFormField* a1 = FieldByName(frame->FieldLists(), QStringLiteral("A1"));
  a1->SetValue(QStringLiteral("Anna"));
  std::vector<TTextRun> runs;
  dialogs.AnswerDialog([&](QDialog& d) {
    auto& preview = dynamic_cast<TDruckvorschau&>(d);
    EXPECT_EQ(preview.Preview->pageCount(), 2);
    TRecordingPrintDevice device(TDruckvorschau::kResolution, 0.0);
    preview.PaintPages(device);
    runs = device.Jobs.at(0).Pages.at(0).Runs;
    preview.btnDrucken->click();
    return d.result();
  });
  dialogs.AnswerMessage(dbNo);  // the completeness warning ends the print command
  frame->smDruckvorschau->trigger();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Text, QStringLiteral("Anna"));
  EXPECT_EQ(dialogs.Log, (QStringList{"dialog", "message"}));
  EXPECT_EQ(dialogs.Messages.at(0).Kind, TDialogKind::Warning);

  // Closed with "Schließen": nothing else happens.
  dialogs.AnswerDialog([](QDialog& d) {
    dynamic_cast<TDruckvorschau&>(d).btnSchliessen->click();
    return d.result();
  });
  frame->btnDruckvorschau->trigger();
  EXPECT_EQ(dialogs.Log, (QStringList{"dialog", "message", "dialog"}));
}
}  // namespace
