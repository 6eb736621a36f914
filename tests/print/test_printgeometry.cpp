// Where the print command puts each text on the sheet: through the recording device and through
// a real PDF read back with pdftotext, at several resolutions, with a printer whose printable
// area starts 4 mm from the sheet's edges.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "PrintFixtures.h"
#include "PrintRecorder.h"
#include "TestSupport.h"
#include "print/uPrintJob.h"
#include "render/uDrawContext.h"

namespace {
constexpr double kPhysicalOffsetMM = 4.0;

// What one character run must look like on paper.
struct TExpectedRun {
  QString Text;
  double Left;     // mm from the sheet's left edge, before the print offset
  double CentreY;  // vertical centre of the box, before the print offset
  QFont Font;
};

// The table of fields: every kind the print treats differently, all on page 1.
struct TGeometryCase {
  TFieldLists Lists;
  std::vector<TExpectedRun> Expected;
};

TGeometryCase BuildCase() {
  TGeometryCase c;
  c.Lists.resize(1);
  TFormFieldList& l = c.Lists[0];
  const QFont arial = PrintFont(QStringLiteral("Arial"), 10);
  const QFont courier = PrintFont(QStringLiteral("Courier New"), 10);
  const QFont privateFont = PrintFont(QStringLiteral("Arial"), 12, true);

  l.AddEdit(QStringLiteral("Name"), 35, 20, 40, 60, 5, arial)->SetValue(QStringLiteral("Mustermann"));
  c.Expected.push_back({QStringLiteral("Mustermann"), 20, 42.5, arial});

  TFormField* box = l.AddCheckbox(QStringLiteral("Haken"), 100, 40, 4, 4);
  box->SetValue(QStringLiteral("X"));
  c.Expected.push_back({QStringLiteral("X"), 100, 42, box->Font()});

  // 8 cells over 40 mm: pitch 5.1 mm. "12345" fills cells 1 to 5.
  l.AddEditExt(QStringLiteral("Betrag"), 8, 20, 60, 40, 5, 8, courier)->SetValue(QStringLiteral("12345"));
  for (int k = 1; k <= 5; ++k) c.Expected.push_back({QString::number(k), 20 + (k - 1) * 5.1, 62.5, courier});

  // Ten characters in eight cells: the last two are not printed.
  l.AddEditExt(QStringLiteral("Konto"), 10, 20, 70, 40, 5, 8, courier)->SetValue(QStringLiteral("1234567890"));
  for (int k = 1; k <= 8; ++k) c.Expected.push_back({QString::number(k), 20 + (k - 1) * 5.1, 72.5, courier});

  l.AddEdit(QStringLiteral("Gericht"), 35, 20, 80, 90, 6, privateFont)->SetValue(QStringLiteral("Amtsgericht"));
  c.Expected.push_back({QStringLiteral("Amtsgericht"), 20, 83, privateFont});

  l.AddButton(QStringLiteral("Knopf"), 150, 40, 20, 5)->SetValue(QStringLiteral("Knopf"));
  l.AddEdit(QStringLiteral("Leer"), 35, 20, 90, 60, 5, arial);
  // A digit box without digits prints like an edit.
  l.AddEditExt(QStringLiteral("Frei"), 11, 120, 60, 40, 5, 0, courier)->SetValue(QStringLiteral("4711"));
  c.Expected.push_back({QStringLiteral("4711"), 120, 62.5, courier});
  return c;
}

// Height of the character cell of `text` in `font`, in millimetres.
double CellHeightMM(const QFont& font, const QString& text) {
  TDrawContext measure;
  measure.SetFont(font);
  return measure.TextHeight(text);
}

struct TGeometryParam {
  int Dpi;
  double OffX, OffY;
};

class PrintGeometry : public ::testing::TestWithParam<TGeometryParam> {
 protected:
  void SetUp() override {
    ClearTestSettings();
    StorePrintSettings(GetParam().OffX, GetParam().OffY, true);
  }
  // The command with every box answered Yes and the printer dialog confirmed.
  TPrintResult Print(const TFieldLists& lists, TPrintDevice& device) {
    TScriptedDialogs dialogs;
    dialogs.AnswerPrintDialog(true);
    TFakeClock clock;
    return TPrintCommand(lists, int(lists.size()), device).Run();
  }
};

TEST_P(PrintGeometry, RecordedRunsSitInTheirBoxes) {
  const TGeometryParam p = GetParam();
  const TGeometryCase c = BuildCase();
  TRecordingPrintDevice device(p.Dpi, kPhysicalOffsetMM);
  ASSERT_EQ(Print(c.Lists, device), TPrintResult::Printed);
  ASSERT_EQ(device.Jobs.size(), 1u);
  EXPECT_EQ(device.Jobs[0].Title, QStringLiteral("KALNO-Mahnbescheid Seite 1"));
  const std::vector<TTextRun>& runs = device.Jobs[0].Pages.at(0).Runs;
  // Button, empty value and the two cut-off characters print nothing.
  ASSERT_EQ(runs.size(), c.Expected.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const TExpectedRun& e = c.Expected[i];
    SCOPED_TRACE(e.Text.toStdString() + " at " + std::to_string(p.Dpi) + " dpi");
    EXPECT_EQ(runs[i].Text, e.Text);
    EXPECT_NEAR(device.SheetMMX(runs[i].Origin.x() + runs[i].Offsets.at(0)), e.Left + p.OffX, 0.1);
    const double centre = device.SheetMMY(runs[i].Origin.y()) + CellHeightMM(e.Font, e.Text) / 2;
    EXPECT_NEAR(centre, e.CentreY + p.OffY, 0.2);
    EXPECT_EQ(runs[i].Font.bold(), e.Font.bold());
    EXPECT_NEAR(runs[i].FontHeight, e.Font.pointSizeF() / 72.0 * p.Dpi, 0.01);
  }
}

TEST_P(PrintGeometry, PdfWordsSitInTheirBoxes) {
  const TGeometryParam p = GetParam();
  const TGeometryCase c = BuildCase();
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("seite.pdf"));
  {
    const double m = kPhysicalOffsetMM;
    TPdfPrintDevice device(pdf, p.Dpi, QMarginsF(m, m, m, m));
    // The PDF keeps its margins in whole points: 11 pt, 3.88 mm.
    ASSERT_NEAR(device.PhysicalOffset().x() * 25.4 / p.Dpi, m, 0.15);
    ASSERT_EQ(Print(c.Lists, device), TPrintResult::Printed);
  }
  const std::vector<TPdfWord> words = PdfWords(pdf);
  ASSERT_EQ(words.size(), c.Expected.size());
  for (const TExpectedRun& e : c.Expected) {
    SCOPED_TRACE(e.Text.toStdString() + " at " + std::to_string(p.Dpi) + " dpi");
    // The word of that text nearest to the box: digits repeat in the two digit fields.
    const TPdfWord* hit = nullptr;
    for (const TPdfWord& w : words)
      if (w.Text == e.Text && (!hit || std::abs(w.CentreY() - e.CentreY - p.OffY) <
                                           std::abs(hit->CentreY() - e.CentreY - p.OffY)))
        hit = &w;
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->Page, 1);
    EXPECT_NEAR(hit->XMin, e.Left + p.OffX, 0.1);
    EXPECT_NEAR(hit->CentreY(), e.CentreY + p.OffY, 0.2);
  }
}

INSTANTIATE_TEST_SUITE_P(DpiAndOffset, PrintGeometry,
                         ::testing::Values(TGeometryParam{300, 0, 0}, TGeometryParam{600, 0, 0},
                                           TGeometryParam{1200, 0, 0}, TGeometryParam{300, 1.5, -0.5},
                                           TGeometryParam{600, 1.5, -0.5}, TGeometryParam{1200, 1.5, -0.5}),
                         [](const ::testing::TestParamInfo<TGeometryParam>& i) {
                           return std::to_string(i.param.Dpi) + (i.param.OffX != 0 ? "dpi_shifted" : "dpi");
                         });

// Offsets read from the settings go onto the half-millimetre grid, halves to even.
TEST(PrintOffset, RoundsToTheHalfMillimetreGrid) {
  const struct {
    double Stored, Used;
  } table[] = {{1.5, 1.5}, {-0.5, -0.5}, {0.3, 0.5}, {0.2, 0.0}, {0.25, 0.0}, {0.75, 1.0}, {-1.25, -1.0}};
  for (const auto& row : table) {
    ClearTestSettings();
    StorePrintSettings(row.Stored, -row.Stored, true);
    const TPrintOffset o = ReadPrintOffset();
    EXPECT_DOUBLE_EQ(o.X, row.Used) << row.Stored;
    EXPECT_DOUBLE_EQ(o.Y, -row.Used) << row.Stored;
  }
}

// The page break: steps 0 and 1 on page 1, all later steps on page 2, through a printer that
// writes into one PDF file.
TEST(PrintGeometry, FilePrinterGetsBothPagesInOneFile) {
  ClearTestSettings();
  StorePrintSettings(0, 0, true);
  TFieldLists lists = SevenSteps(true);
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("beide.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  TQPrinterDevice device(printer);
  ASSERT_TRUE(device.WritesToFile());
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialog(true);
  TFakeClock clock;
  ASSERT_EQ(TPrintCommand(lists, 7, device).Run(), TPrintResult::Printed);
  // No paper prompts and no pause.
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(clock.ProcessEventsCalls, 0);
  ASSERT_EQ(PdfPageCount(pdf), 2);
  std::map<QString, int> pageOf;
  for (const TPdfWord& w : PdfWords(pdf)) pageOf[w.Text] = w.Page;
  EXPECT_EQ(pageOf[QStringLiteral("Antragsteller")], 1);
  EXPECT_EQ(pageOf[QStringLiteral("Gegner")], 1);
  EXPECT_EQ(pageOf[QStringLiteral("10")], 2);
  EXPECT_EQ(pageOf[QStringLiteral("Wedding")], 2);
}
}  // namespace
