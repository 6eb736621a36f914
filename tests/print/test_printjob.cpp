// The print command's sequence: boxes, printer dialog, jobs, the page pause and the cursor, with
// scripted dialogs and a fake clock.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QTest>

#include "PrintFixtures.h"
#include "PrintRecorder.h"
#include "TestSupport.h"
#include "print/FMahnungGrundeinstellungen.h"
#include "print/uPrintJob.h"

namespace {
// Scripted dialogs that also note the clock at every box and may run a hook on it.
class TTimedDialogs : public TScriptedDialogs {
 public:
  TDialogButton Message(TDialogKind kind, const QString& text, TDialogButtons buttons,
                        TDialogButton defaultButton) override {
    Times.push_back(Clock().NowMs());
    CursorOverridden.push_back(QGuiApplication::overrideCursor() != nullptr);
    if (OnMessage) OnMessage(text);
    return TScriptedDialogs::Message(kind, text, buttons, defaultButton);
  }
  bool PrintDialog(QPrinter& printer, int pageCount) override {
    PrintDialogAt = Clock().NowMs();
    return TScriptedDialogs::PrintDialog(printer, pageCount);
  }
  std::vector<qint64> Times;
  std::vector<bool> CursorOverridden;
  qint64 PrintDialogAt = -1;
  std::function<void(const QString&)> OnMessage;
};

class PrintJob : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTestSettings();
    StorePrintSettings(0, 0, true);
    clock.StepMs = 50;
    clock.Advance(100000);
  }
  void TearDown() override { EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "cursor not restored"; }
  TPrintResult Run(const TFieldLists& lists, int steps) { return TPrintCommand(lists, steps, device).Run(); }

  TTimedDialogs dialogs;
  TFakeClock clock;
  TRecordingPrintDevice device{600, 4.0};
};

TEST_F(PrintJob, TwoJobsWithPromptsAndPause) {
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerPrintDialog(true);
  dialogs.AnswerMessage(dbYes);
  dialogs.AnswerMessage(dbYes);
  ASSERT_EQ(Run(lists, 7), TPrintResult::Printed);

  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Confirmation);
  EXPECT_EQ(dialogs.Messages[0].Buttons, TDialogButtons(dbYes | dbCancel));
  EXPECT_EQ(dialogs.Messages[0].Text,
            QStringLiteral("Bitte legen Sie Seite 1 von 2 eines \"Kalno - Antrag auf Erlass eines "
                           "Mahnbescheides\" Formulares - in Ihren Drucker."));
  EXPECT_EQ(dialogs.Messages[1].Buttons, TDialogButtons(dbYes | dbCancel));
  EXPECT_EQ(dialogs.Messages[1].Text,
            QStringLiteral("Warten Sie bitte, bis Seite 1 des Mahnbescheides ausgedruckt worden ist!\r\n\r\n"
                           "Bitte legen Sie danach Seite 2 von 2 eines \"Kalno - Antrag auf Erlass eines "
                           "Mahnbescheides\" Formulares - in Ihren Drucker ein."));
  EXPECT_EQ(dialogs.Log, (QStringList{"print", "message", "message"}));

  ASSERT_EQ(device.Jobs.size(), 2u);
  EXPECT_EQ(device.Jobs[0].Title, QStringLiteral("KALNO-Mahnbescheid Seite 1"));
  EXPECT_EQ(device.Jobs[1].Title, QStringLiteral("KALNO-Mahnbescheid Seite 2"));
  EXPECT_EQ(device.Log, (QStringList{"begin KALNO-Mahnbescheid Seite 1", "end", "begin KALNO-Mahnbescheid Seite 2", "end"}));
  QStringList page1, page2;
  for (const TTextRun& r : device.Jobs[0].Pages.at(0).Runs) page1 << r.Text;
  for (const TTextRun& r : device.Jobs[1].Pages.at(0).Runs) page2 << r.Text;
  EXPECT_EQ(page1, (QStringList{"Antragsteller", "Gegner"}));
  EXPECT_EQ(page2, (QStringList{"10", "Wedding"}));
  // The text reached the paint engine, not just the recorder.
  EXPECT_EQ(device.Jobs[0].Pages.at(0).GlyphRuns, 2);

  // Page 2 is asked for no earlier than 6000 ms after the printer dialog, and the windows were
  // served meanwhile.
  EXPECT_GE(dialogs.Times[1], dialogs.PrintDialogAt + 6000);
  EXPECT_LT(dialogs.Times[1], dialogs.PrintDialogAt + 6000 + 100);
  EXPECT_GT(clock.ProcessEventsCalls, 0);
  // The paper prompts show the normal pointer.
  EXPECT_EQ(dialogs.CursorOverridden, (std::vector<bool>{false, false}));
}

TEST_F(PrintJob, SlowPage1AnswerNeedsNoFurtherWait) {
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerPrintDialog(true);
  dialogs.OnMessage = [&](const QString& text) {
    if (text.startsWith(QLatin1String("Bitte legen Sie Seite 1"))) clock.Advance(7000);
  };
  ASSERT_EQ(Run(lists, 7), TPrintResult::Printed);
  EXPECT_EQ(clock.ProcessEventsCalls, 0);
  ASSERT_EQ(dialogs.Times.size(), 2u);
  EXPECT_EQ(dialogs.Times[1], dialogs.Times[0] + 7000);
}

struct TCancelCase {
  const char* Name;
  bool Complete;
  std::vector<TDialogButton> Answers;
  bool PrinterOk;
  TPrintResult Result;
  QStringList DeviceLog;
};

class PrintJobCancel : public PrintJob, public ::testing::WithParamInterface<TCancelCase> {};

TEST_P(PrintJobCancel, StopsWhereTheUserSaidSo) {
  const TCancelCase& c = GetParam();
  const TFieldLists lists = SevenSteps(c.Complete);
  for (TDialogButton b : c.Answers) dialogs.AnswerMessage(b);
  dialogs.AnswerPrintDialog(c.PrinterOk);
  EXPECT_EQ(Run(lists, 7), c.Result);
  EXPECT_EQ(dialogs.Messages.size(), c.Answers.size());
  EXPECT_EQ(device.Log, c.DeviceLog);
}

INSTANTIATE_TEST_SUITE_P(
    Points, PrintJobCancel,
    ::testing::Values(
        TCancelCase{"IncompleteNo", false, {dbNo}, true, TPrintResult::IncompleteCancelled, {}},
        TCancelCase{"PrinterDialog", true, {}, false, TPrintResult::PrinterDialogCancelled, {}},
        TCancelCase{"Page1", true, {dbCancel}, true, TPrintResult::Page1Cancelled, {}},
        TCancelCase{"Page2", true, {dbYes, dbCancel}, true, TPrintResult::Page2Cancelled,
                    {"begin KALNO-Mahnbescheid Seite 1", "end"}},
        TCancelCase{"IncompleteYesPrints", false, {dbYes, dbYes, dbYes}, true, TPrintResult::Printed,
                    {"begin KALNO-Mahnbescheid Seite 1", "end", "begin KALNO-Mahnbescheid Seite 2", "end"}}),
    [](const ::testing::TestParamInfo<TCancelCase>& i) { return std::string(i.param.Name); });

TEST_F(PrintJob, CompletenessWarningAsksYesNo) {
  const TFieldLists lists = SevenSteps(false);
  dialogs.AnswerMessage(dbNo);
  Run(lists, 7);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Warning);
  EXPECT_EQ(dialogs.Messages[0].Buttons, TDialogButtons(dbYes | dbNo));
  EXPECT_TRUE(dialogs.Messages[0].Text.contains(QStringLiteral("Antragsteller")));
  EXPECT_EQ(dialogs.PrintDialogs, 0);
}

TEST_F(PrintJob, TestPrintReminderOpensDialogWithoutCancel) {
  StorePrintSettings(0, 0, false);
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerMessage(dbYes);  // reminder
  bool cancelShown = true;
  dialogs.AnswerDialog([&](QDialog& d) {
    auto& dlg = dynamic_cast<TMahnungGrundeinstellungen&>(d);
    cancelShown = !dlg.btnCancel->isHidden();
    return int(QDialog::Accepted);
  });
  dialogs.AnswerPrintDialog(false);
  Run(lists, 7);
  ASSERT_GE(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, TestPrintReminderText());
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Confirmation);
  EXPECT_EQ(dialogs.Messages[0].Buttons, TDialogButtons(dbYes | dbNo));
  EXPECT_FALSE(cancelShown);
  EXPECT_EQ(dialogs.Log, (QStringList{"message", "dialog", "print"}));
}

TEST_F(PrintJob, ReminderNoGoesStraightToThePrinterDialog) {
  StorePrintSettings(0, 0, false);
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerMessage(dbNo);
  Run(lists, 7);
  EXPECT_EQ(dialogs.Log, (QStringList{"message", "print"}));
}

TEST_F(PrintJob, ShortDefinitionsPrintOneJob) {
  for (int steps : {1, 2}) {
    SCOPED_TRACE(steps);
    TRecordingPrintDevice one(600, 0.0);
    TTimedDialogs local;
    TFieldLists lists = SevenSteps(true);
    lists.resize(std::size_t(steps));
    local.AnswerPrintDialog(true);
    ASSERT_EQ(TPrintCommand(lists, steps, one).Run(), TPrintResult::Printed);
    // One sheet: the dialog has no range to offer.
    EXPECT_EQ(local.PrintDialogPageCounts, std::vector<int>{1});
    ASSERT_EQ(one.Jobs.size(), 1u);
    EXPECT_TRUE(one.Jobs[0].Ended);
    EXPECT_EQ(one.Jobs[0].Pages.at(0).Runs.size(), std::size_t(steps));
    // The completeness warning and page 1; never the page-2 prompt.
    for (const auto& m : local.Messages) EXPECT_FALSE(m.Text.startsWith(QLatin1String("Warten Sie bitte")));
  }
}

TEST_F(PrintJob, FilePrinterWritesOnePageAfterTheOther) {
  TRecordingPrintDevice file(600, 0.0, true);
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerPrintDialog(true);
  ASSERT_EQ(TPrintCommand(lists, 7, file).Run(), TPrintResult::Printed);
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(clock.ProcessEventsCalls, 0);
  ASSERT_EQ(file.Jobs.size(), 1u);
  ASSERT_EQ(file.Jobs[0].Pages.size(), 2u);
  EXPECT_EQ(file.Jobs[0].Pages[0].Runs.size(), 2u);
  EXPECT_EQ(file.Jobs[0].Pages[1].Runs.size(), 2u);
}

TEST_F(PrintJob, WaitHoldsBackInputAndASecondPrint) {
  const TFieldLists lists = SevenSteps(true);
  QLineEdit edit;
  edit.show();
  TPrintResult nested = TPrintResult::Printed;
  bool tried = false;
  clock.OnProcessEvents = [&] {
    if (tried) return;
    tried = true;
    QTest::keyClicks(&edit, QStringLiteral("abc"));
    nested = TPrintCommand(lists, 7, device).Run();
  };
  dialogs.AnswerPrintDialog(true);
  ASSERT_EQ(Run(lists, 7), TPrintResult::Printed);
  EXPECT_TRUE(tried);
  EXPECT_EQ(nested, TPrintResult::Busy);
  EXPECT_EQ(edit.text(), QString());
  QTest::keyClicks(&edit, QStringLiteral("abc"));
  EXPECT_EQ(edit.text(), QStringLiteral("abc"));
  EXPECT_FALSE(TPrintCommand::Running());
}

// A page range chosen in the printer dialog: a reprint of one page after a paper jam gets only that
// page, with its own prompt and no pause; a range without a page of the form prints nothing.
struct TRangeCase {
  const char* Name;
  const char* Range;  // the application's range the dialog left; empty: all pages
  TPrintResult Result;
  QStringList DeviceLog;
  QStringList Prompts;
  bool Paused;
};

class PrintJobRange : public PrintJob, public ::testing::WithParamInterface<TRangeCase> {};

TEST_P(PrintJobRange, OnlyTheChosenPages) {
  const TRangeCase& c = GetParam();
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerPrintDialogWith([&](QPrinter& printer) {
    if (*c.Range) {
      printer.setPrintRange(QPrinter::PageRange);
      printer.setPageRanges(QPageRanges::fromString(QLatin1String(c.Range)));
    }
    return true;
  });
  EXPECT_EQ(Run(lists, 7), c.Result);
  EXPECT_EQ(dialogs.PrintDialogPageCounts, std::vector<int>{2});
  EXPECT_EQ(device.Log, c.DeviceLog);
  QStringList prompts;
  for (const auto& m : dialogs.Messages) prompts << m.Text;
  EXPECT_EQ(prompts, c.Prompts);
  EXPECT_EQ(clock.ProcessEventsCalls > 0, c.Paused);
}

const QString kPrompt1 = InsertPage1Text();
const QString kPrompt2 = InsertPage2Text();
const QString kPromptOnly2 = QStringLiteral(
    "Bitte legen Sie Seite 2 von 2 eines \"Kalno - Antrag auf Erlass eines Mahnbescheides\" Formulares - in Ihren "
    "Drucker.");
const QStringList kBothJobs{"begin KALNO-Mahnbescheid Seite 1", "end", "begin KALNO-Mahnbescheid Seite 2", "end"};

INSTANTIATE_TEST_SUITE_P(
    Ranges, PrintJobRange,
    ::testing::Values(
        TRangeCase{"WholeForm", "", TPrintResult::Printed, kBothJobs, {kPrompt1, kPrompt2}, true},
        TRangeCase{"Pages1To2", "1-2", TPrintResult::Printed, kBothJobs, {kPrompt1, kPrompt2}, true},
        TRangeCase{"Page1", "1", TPrintResult::Printed, {"begin KALNO-Mahnbescheid Seite 1", "end"}, {kPrompt1}, false},
        TRangeCase{"Page2", "2", TPrintResult::Printed, {"begin KALNO-Mahnbescheid Seite 2", "end"}, {kPromptOnly2}, false},
        TRangeCase{"NoPageOfTheForm", "3-4", TPrintResult::NoPageChosen, {}, {NoFormPageChosenText()}, false}),
    [](const ::testing::TestParamInfo<TRangeCase>& i) { return std::string(i.param.Name); });

TEST_F(PrintJob, ReprintOfPage2PrintsThePage2Values) {
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerPrintDialogWith([](QPrinter& printer) {
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    return true;
  });
  ASSERT_EQ(Run(lists, 7), TPrintResult::Printed);
  ASSERT_EQ(device.Jobs.size(), 1u);
  QStringList texts;
  for (const TTextRun& r : device.Jobs[0].Pages.at(0).Runs) texts << r.Text;
  EXPECT_EQ(texts, (QStringList{"10", "Wedding"}));
  EXPECT_EQ(dialogs.Messages.at(0).Buttons, TDialogButtons(dbYes | dbCancel));
  EXPECT_EQ(dialogs.CursorOverridden, std::vector<bool>{false});
}

TEST_F(PrintJob, NoPageOfTheFormIsSaidInABox) {
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerPrintDialogWith([](QPrinter& printer) {
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(3, 3);
    return true;
  });
  EXPECT_EQ(Run(lists, 7), TPrintResult::NoPageChosen);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Information);
  EXPECT_TRUE(device.Jobs.empty());
}

// A file printer holds the chosen pages in its one job.
TEST_F(PrintJob, FilePrinterHoldsOnlyTheChosenPages) {
  TRecordingPrintDevice file(600, 0.0, true);
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerPrintDialogWith([](QPrinter& printer) {
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    return true;
  });
  ASSERT_EQ(TPrintCommand(lists, 7, file).Run(), TPrintResult::Printed);
  ASSERT_EQ(file.Jobs.size(), 1u);
  ASSERT_EQ(file.Jobs[0].Pages.size(), 1u);
  QStringList texts;
  for (const TTextRun& r : file.Jobs[0].Pages[0].Runs) texts << r.Text;
  EXPECT_EQ(texts, (QStringList{"10", "Wedding"}));
}

// After a reprint of one page the next print starts with the whole form again.
TEST_F(PrintJob, EveryPrinterDialogStartsWithTheWholeForm) {
  const TFieldLists lists = SevenSteps(true);
  dialogs.AnswerPrintDialogWith([](QPrinter& printer) {
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    return true;
  });
  ASSERT_EQ(Run(lists, 7), TPrintResult::Printed);
  QPrinter::PrintRange second = QPrinter::PageRange;
  dialogs.AnswerPrintDialogWith([&](QPrinter& printer) {
    second = printer.printRange();
    return true;
  });
  ASSERT_EQ(Run(lists, 7), TPrintResult::Printed);
  EXPECT_EQ(second, QPrinter::AllPages);
  EXPECT_EQ(device.Jobs.size(), 3u);
}

TEST_F(PrintJob, DeviceFailureIsReportedAndEndsTheCommand) {
  const TFieldLists lists = SevenSteps(true);
  device.FailBegin = true;
  dialogs.AnswerPrintDialog(true);
  EXPECT_EQ(Run(lists, 7), TPrintResult::Failed);
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[1].Kind, TDialogKind::Error);
  EXPECT_EQ(dialogs.Messages[1].Text, PrintFailedMessage());
}

TEST_F(PrintJob, FailedFirstPageDoesNotAskForTheSecond) {
  const TFieldLists lists = SevenSteps(true);
  device.FailEnd = true;
  dialogs.AnswerPrintDialog(true);
  EXPECT_EQ(Run(lists, 7), TPrintResult::Failed);
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[1].Kind, TDialogKind::Error);
  EXPECT_EQ(device.Jobs.size(), 1u);
}
}  // namespace
