// The print-position dialog: positions, labels, what is stored when, and the test print.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "PrintFixtures.h"
#include "PrintRecorder.h"
#include "TestSupport.h"
#include "print/FMahnungGrundeinstellungen.h"
#include "print/uUpDown.h"

namespace {
const QString kSection = QStringLiteral("Mahnbescheid");
constexpr double kUnset = 999.0;

double Stored(const char* name) { return QVRegIniFile().ReadFloat(kSection, QLatin1String(name), kUnset); }
bool TestPrintDone() { return QVRegIniFile().ReadBool(kSection, QStringLiteral("Testdruck"), false); }

void Click(QAbstractButton* button, int times = 1) {
  for (int i = 0; i < times; ++i) QTest::mouseClick(button, Qt::LeftButton);
}

class PrintPosition : public ::testing::Test {
 protected:
  void SetUp() override { ClearTestSettings(); }
  TRecordingPrintDevice device{600, 4.0};
};

TEST_F(PrintPosition, FirstOpeningWithoutSettings) {
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Grundeinstellungen"));
  EXPECT_EQ(dlg.udWaagrecht->Position(), 0);
  EXPECT_EQ(dlg.udSenkrecht->Position(), 0);
  EXPECT_EQ(dlg.lblWaagrecht->text(), QStringLiteral("keine waagrechte Verschiebung"));
  EXPECT_EQ(dlg.lblSenkrecht->text(), QStringLiteral("keine senkrechte Verschiebung"));
  EXPECT_FALSE(dlg.btnCancel->isHidden());
}

TEST_F(PrintPosition, ThreeClicksRightThenOk) {
  {
    TMahnungGrundeinstellungen dlg(nullptr, &device);
    Click(dlg.udWaagrecht->IncreaseButton(), 3);
    EXPECT_EQ(dlg.lblWaagrecht->text(), QStringLiteral("Verschiebung um 1,50 mm nach rechts"));
    Click(dlg.btnOk);
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
  }
  EXPECT_DOUBLE_EQ(Stored("OffsetX"), 1.5);
  EXPECT_DOUBLE_EQ(Stored("OffsetY"), 0.0);
  TMahnungGrundeinstellungen again(nullptr, &device);
  EXPECT_EQ(again.udWaagrecht->Position(), 3);
  EXPECT_EQ(again.lblWaagrecht->text(), QStringLiteral("Verschiebung um 1,50 mm nach rechts"));
}

TEST_F(PrintPosition, TwoClicksUpMeanOneMillimetreUp) {
  {
    TMahnungGrundeinstellungen dlg(nullptr, &device);
    Click(dlg.udSenkrecht->IncreaseButton(), 2);
    EXPECT_EQ(dlg.lblSenkrecht->text(), QStringLiteral("Verschiebung um 1,00 mm nach oben"));
    Click(dlg.btnOk);
  }
  EXPECT_DOUBLE_EQ(Stored("OffsetY"), -1.0);
  TMahnungGrundeinstellungen again(nullptr, &device);
  EXPECT_EQ(again.udSenkrecht->Position(), 2);
}

TEST_F(PrintPosition, LeftAndDownLabels) {
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  Click(dlg.udWaagrecht->DecreaseButton(), 1);
  Click(dlg.udSenkrecht->DecreaseButton(), 5);
  EXPECT_EQ(dlg.lblWaagrecht->text(), QStringLiteral("Verschiebung um 0,50 mm nach links"));
  EXPECT_EQ(dlg.lblSenkrecht->text(), QStringLiteral("Verschiebung um 2,50 mm nach unten"));
  Click(dlg.btnOk);
  EXPECT_DOUBLE_EQ(Stored("OffsetX"), -0.5);
  EXPECT_DOUBLE_EQ(Stored("OffsetY"), 2.5);
}

TEST_F(PrintPosition, CancelAndCloseBoxStoreNothing) {
  for (bool closeBox : {false, true}) {
    TMahnungGrundeinstellungen dlg(nullptr, &device);
    dlg.show();
    Click(dlg.udWaagrecht->IncreaseButton(), 4);
    Click(dlg.udSenkrecht->IncreaseButton(), 4);
    if (closeBox)
      dlg.close();
    else
      Click(dlg.btnCancel);
    EXPECT_EQ(dlg.result(), int(QDialog::Rejected));
    EXPECT_EQ(Stored("OffsetX"), kUnset);
    EXPECT_EQ(Stored("OffsetY"), kUnset);
  }
}

TEST_F(PrintPosition, TestPrintThenCancelHasStored) {
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialog(true);
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  Click(dlg.udWaagrecht->IncreaseButton(), 3);
  Click(dlg.btnTestPrint);
  Click(dlg.btnCancel);
  EXPECT_DOUBLE_EQ(Stored("OffsetX"), 1.5);
  EXPECT_DOUBLE_EQ(Stored("OffsetY"), 0.0);
  EXPECT_TRUE(TestPrintDone());
  ASSERT_EQ(device.Jobs.size(), 1u);
  EXPECT_TRUE(device.Jobs[0].Ended);
}

TEST_F(PrintPosition, CancelledPrinterDialogLeavesEverything) {
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialog(false);
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  Click(dlg.udWaagrecht->IncreaseButton(), 3);
  Click(dlg.btnTestPrint);
  EXPECT_EQ(dialogs.PrintDialogs, 1);
  EXPECT_EQ(Stored("OffsetX"), kUnset);
  EXPECT_FALSE(TestPrintDone());
  EXPECT_TRUE(device.Jobs.empty());
}

// Only a test print on a printer counts: one into a file, chosen in the dialog or Qt's PDF stand-in
// when no printer is installed, leaves "Testdruck" unset (the positions are stored all the same).
TEST_F(PrintPosition, TestPrintIntoAFileIsNotCounted) {
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialog(true);
  TRecordingPrintDevice file(600, 0.0, true);
  TMahnungGrundeinstellungen dlg(nullptr, &file);
  Click(dlg.udWaagrecht->IncreaseButton(), 3);
  Click(dlg.btnTestPrint);
  ASSERT_EQ(file.Jobs.size(), 1u);
  EXPECT_TRUE(file.Jobs[0].Ended);
  EXPECT_DOUBLE_EQ(Stored("OffsetX"), 1.5);
  EXPECT_FALSE(TestPrintDone());
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(PrintPosition, TestPrintWithoutAnyPrinterIsNotCounted) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("testdruck.pdf"));
  // What QPrinter does when no printer is installed: it writes a PDF file.
  QPrinter fallback(QPrinter::HighResolution);
  fallback.setOutputFormat(QPrinter::PdfFormat);
  fallback.setOutputFileName(name);
  fallback.setPageSize(QPageSize(QPageSize::Letter));
  TQPrinterDevice printer(fallback);
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialog(true);
  TMahnungGrundeinstellungen dlg(nullptr, &printer);
  Click(dlg.btnTestPrint);
  EXPECT_FALSE(TestPrintDone());
  // The sheet itself is the test print's A4 all the same.
  const QSizeF pt = PdfPageSizePt(name);
  EXPECT_NEAR(pt.width(), 595.3, 0.5);
  EXPECT_NEAR(pt.height(), 841.9, 0.5);
}

// The test print is one sheet: its printer dialog offers no page range.
TEST_F(PrintPosition, TestPrintDialogOffersNoRange) {
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialogWith([](QPrinter& printer) {
    // A range left over from elsewhere does not keep the sheet from printing.
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    return true;
  });
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  Click(dlg.btnTestPrint);
  EXPECT_EQ(dialogs.PrintDialogPageCounts, std::vector<int>{1});
  ASSERT_EQ(device.Jobs.size(), 1u);
  EXPECT_EQ(device.Jobs[0].Pages.at(0).Lines.size(), 2u);
  EXPECT_TRUE(TestPrintDone());
}

TEST_F(PrintPosition, FailedTestPrintIsReportedAndNotCounted) {
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialog(true);
  device.FailBegin = true;
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  Click(dlg.btnTestPrint);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Error);
  EXPECT_FALSE(TestPrintDone());
}

struct TStopCase {
  const char* Name;
  bool Horizontal;
  bool Increase;
  int Stop;
  const char* Label;
};

class PrintPositionStops : public PrintPosition, public ::testing::WithParamInterface<TStopCase> {};

TEST_P(PrintPositionStops, PositionsStopAtFiftyMillimetres) {
  const TStopCase& c = GetParam();
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  TUpDown* ud = c.Horizontal ? dlg.udWaagrecht : dlg.udSenkrecht;
  Click(c.Increase ? ud->IncreaseButton() : ud->DecreaseButton(), 103);
  EXPECT_EQ(ud->Position(), c.Stop);
  EXPECT_EQ((c.Horizontal ? dlg.lblWaagrecht : dlg.lblSenkrecht)->text(), QString::fromUtf8(c.Label));
}

INSTANTIATE_TEST_SUITE_P(Ends, PrintPositionStops,
                         ::testing::Values(TStopCase{"Right", true, true, 100, "Verschiebung um 50,00 mm nach rechts"},
                                           TStopCase{"Left", true, false, -100, "Verschiebung um 50,00 mm nach links"},
                                           TStopCase{"Up", false, true, 100, "Verschiebung um 50,00 mm nach oben"},
                                           TStopCase{"Down", false, false, -100, "Verschiebung um 50,00 mm nach unten"}),
                         [](const ::testing::TestParamInfo<TStopCase>& i) { return std::string(i.param.Name); });

// Stored values are read onto the half-millimetre grid (halves to even); hand-edited values
// beyond +-50 mm stop at the ends of the range.
TEST_F(PrintPosition, LoadingRoundsAndClamps) {
  const struct {
    double X, Y;
    int H, V;
  } table[] = {{0.75, -0.75, 2, 2}, {0.25, 0.25, 0, 0}, {1.25, 2.0, 2, -4}, {80.0, -300.0, 100, 100}};
  for (const auto& row : table) {
    ClearTestSettings();
    StorePrintSettings(row.X, row.Y, true);
    TMahnungGrundeinstellungen dlg(nullptr, &device);
    EXPECT_EQ(dlg.udWaagrecht->Position(), row.H) << row.X;
    EXPECT_EQ(dlg.udSenkrecht->Position(), row.V) << row.Y;
  }
}

TEST_F(PrintPosition, WithoutCancelOnlyOkLeaves) {
  TScriptedDialogs dialogs;
  bool cancelHidden = false, closeBox = true, escapeClosed = true;
  dialogs.AnswerDialog([&](QDialog& d) {
    auto& dlg = dynamic_cast<TMahnungGrundeinstellungen&>(d);
    cancelHidden = dlg.btnCancel->isHidden();
    closeBox = dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint);
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    escapeClosed = !dlg.isVisible();
    Click(dlg.udWaagrecht->IncreaseButton(), 2);
    Click(dlg.btnOk);
    return dlg.result();
  });
  ShowPrintPositionDialog(false);
  EXPECT_EQ(dialogs.DialogsRun, 1);
  EXPECT_TRUE(cancelHidden);
  EXPECT_FALSE(closeBox);
  EXPECT_FALSE(escapeClosed);
  EXPECT_DOUBLE_EQ(Stored("OffsetX"), 1.0);
}

TEST_F(PrintPosition, WithCancelFromTheMainWindow) {
  TScriptedDialogs dialogs;
  bool cancelShown = false;
  dialogs.AnswerDialog([&](QDialog& d) {
    auto& dlg = dynamic_cast<TMahnungGrundeinstellungen&>(d);
    cancelShown = !dlg.btnCancel->isHidden();
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    return dlg.result();
  });
  ShowPrintPositionDialog(true);
  EXPECT_TRUE(cancelShown);
}

TEST_F(PrintPosition, LayoutOfTheDialog) {
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  EXPECT_EQ(dlg.size(), QSize(470, 367));
  const struct {
    QWidget* W;
    QRect R;
  } table[] = {{dlg.btnOk, {362, 13, 99, 23}},        {dlg.btnCancel, {363, 45, 99, 23}},
               {dlg.GroupBox1, {16, 8, 337, 217}},    {dlg.laInfo, {8, 19, 321, 150}},
               {dlg.Label1, {8, 176, 321, 33}},       {dlg.GroupBox2, {16, 237, 337, 121}},
               {dlg.udWaagrecht, {243, 36, 29, 16}},  {dlg.udSenkrecht, {249, 64, 16, 29}},
               {dlg.btnTestPrint, {363, 242, 99, 23}}};
  for (const auto& row : table) EXPECT_EQ(row.W->geometry(), row.R) << row.W->objectName().toStdString();
  // The right-aligned labels keep their right edge and grow to the left so no text is cut off.
  Click(dlg.udWaagrecht->IncreaseButton(), 100);
  for (const auto& row : {std::make_pair(dlg.lblWaagrecht, QRect(64, 38, 153, 13)),
                          std::make_pair(dlg.lblSenkrecht, QRect(67, 72, 150, 13))}) {
    const QRect g = row.first->geometry();
    EXPECT_EQ(g.right(), row.second.right());
    EXPECT_EQ(g.top(), row.second.top());
    EXPECT_GE(g.width(), row.second.width());
    EXPECT_GE(g.width(), row.first->fontMetrics().horizontalAdvance(row.first->text()));
  }
  EXPECT_EQ(dlg.GroupBox1->title(), QStringLiteral("Informationen zur Druckposition"));
  EXPECT_EQ(dlg.GroupBox2->title(), QStringLiteral("Druckposition"));
  EXPECT_EQ(dlg.btnTestPrint->text(), QStringLiteral("Testdruck"));
  EXPECT_TRUE(dlg.laInfo->text().startsWith(QStringLiteral("Bitte drucken Sie eine Testseite aus. Klicken Sie dazu auf die Schaltfläche \"Testdruck\".")));
  EXPECT_TRUE(dlg.btnOk->isDefault());
}

// The cross of the test print moves with the offset, the explanation does not.
TEST_F(PrintPosition, TestPrintCrossAtTheCornerMarkPlusOffset) {
  TScriptedDialogs dialogs;
  dialogs.AnswerPrintDialog(true);
  TMahnungGrundeinstellungen dlg(nullptr, &device);
  Click(dlg.udWaagrecht->IncreaseButton(), 3);  // OffsetX 1.5, OffsetY 0
  Click(dlg.btnTestPrint);
  ASSERT_EQ(device.Jobs.size(), 1u);
  const TRecordedPage& page = device.Jobs[0].Pages.at(0);
  ASSERT_EQ(page.Lines.size(), 2u);
  const QLineF h = page.Lines[0].Line, v = page.Lines[1].Line;
  EXPECT_NEAR(device.SheetMMX(h.x1()), 16.4, 0.05);
  EXPECT_NEAR(device.SheetMMX(h.x2()), 25.9, 0.05);
  EXPECT_NEAR(device.SheetMMY(h.y1()), 26.0, 0.05);
  EXPECT_NEAR(device.SheetMMX(v.x1()), 21.4, 0.05);  // the crossing point
  EXPECT_NEAR(device.SheetMMY(v.y1()), 21.0, 0.05);
  EXPECT_NEAR(device.SheetMMY(v.y2()), 31.0, 0.05);
  EXPECT_EQ(page.Lines[0].PenWidth, 7.0);  // 0.3 mm at 600 dpi
  ASSERT_FALSE(page.Runs.empty());
  EXPECT_NEAR(device.SheetMMX(page.Runs[0].Origin.x()), 25.0, 0.05);
  EXPECT_NEAR(device.SheetMMY(page.Runs[0].Origin.y()), 32.0, 0.05);
  QString all;
  for (const TTextRun& r : page.Runs) {
    EXPECT_LE(device.SheetMMX(r.Origin.x() + r.Advance), 120.0 + 0.05);
    all += r.Text + QLatin1Char(' ');
  }
  EXPECT_EQ(all.simplified(), TestPrintExplanation());
  EXPECT_GE(page.Runs.size(), 2u);  // wrapped to the 95 mm box
  EXPECT_EQ(page.Runs[0].Font.family(), QStringLiteral("Arial"));
  EXPECT_NEAR(page.Runs[0].FontHeight, 8 / 72.0 * 600, 0.01);
}

// The same cross as pixels on a sheet image: the ink of both arms meets at (21.4, 26) mm.
TEST_F(PrintPosition, TestPrintInkOnTheSheet) {
  TImagePrintDevice sheet(300, 4.0);
  ASSERT_TRUE(PrintTestPage(sheet, 1.5, 0.0));
  ASSERT_EQ(sheet.Jobs().size(), 1u);
  const QImage& img = sheet.Jobs()[0].Pages.at(0);
  const QPoint off = sheet.PhysicalOffset();
  const auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
  // Ink centre of the vertical arm along a row 3 mm above the crossing, and of the horizontal
  // arm along a column 3 mm left of it.
  const int row = int(std::lround(23.0 / 25.4 * 300)) - off.y();
  const int col = int(std::lround(18.4 / 25.4 * 300)) - off.x();
  double sx = 0, nx = 0, sy = 0, ny = 0;
  for (int x = 0; x < int(std::lround(25.0 / 25.4 * 300)) - off.x(); ++x)
    if (dark(x, row)) sx += x, ++nx;
  for (int y = 0; y < int(std::lround(31.5 / 25.4 * 300)) - off.y(); ++y)
    if (dark(col, y)) sy += y, ++ny;
  ASSERT_GT(nx, 0);
  ASSERT_GT(ny, 0);
  EXPECT_NEAR((sx / nx + 0.5 + off.x()) * 25.4 / 300, 21.4, 0.1);
  EXPECT_NEAR((sy / ny + 0.5 + off.y()) * 25.4 / 300, 26.0, 0.1);
  EXPECT_NEAR(nx * 25.4 / 300, 0.3, 0.1);  // pen 0.3 mm
}
}  // namespace
