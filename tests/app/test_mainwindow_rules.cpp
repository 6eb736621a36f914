// The main window with the shipped form: the editors of each step, and the form rules as the
// user meets them through the keyboard and the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "../print/PrintFixtures.h"
#include "ShippedForm.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "app/uReviewWindow.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "help/uHelpPanels.h"
#include "help/uHtmlView.h"
#include "platform/uPrintDevice.h"
#include "print/uPrintJob.h"
#include "rules/uFieldFit.h"
#include "platform/uColors.h"
#include "storage/uDocuments.h"
#include "storage/uProgramPaths.h"

namespace {

const QColor kHighlight = ColorFromBGR(0xF0CAA6);
const QColor kWhite = ColorFromBGR(0xFFFFFF);
const QColor kGrey = ColorFromBGR(0xC0C0C0);

class MainWindowRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { UseShippedForm(); }
  void TearDown() override {
    frame.reset();
    ReleaseWizardDefinition();
    SetProgramFolderForTesting(QString());
  }
  TMainFrame& Open(const QStringList& arguments = {QStringLiteral("mahnbescheid")}) {
    frame = std::make_unique<TMainFrame>(arguments);
    frame->showNormal();
    frame->resize(1100, 800);
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    return *frame;
  }
  void GoTo(int step) {
    frame->OnNavButtonClick(step);
    QApplication::processEvents();
  }
  QWidget* Editor(const QString& name) { return frame->FormularManager().Editors().EditorByName(name); }
  template <class T>
  T* EditorAs(const QString& name) {
    auto* e = qobject_cast<T*>(Editor(name));
    EXPECT_NE(e, nullptr) << name.toStdString();
    return e;
  }
  QString Value(const QString& name) { return ValueByName(frame->FieldLists(), name); }
  void Focus(QWidget* w) {
    w->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
  }
  // Opens a list, moves to the entry showing `display` (or with that code) and takes it with Return.
  void Pick(TFormularComboBox* combo, const QString& display) {
    Focus(combo);
    combo->showPopup();
    int row = -1;
    for (int i = 0; i < combo->count(); ++i)
      if (combo->DisplayTextAt(i) == display || combo->CodeItems().value(i) == display) row = i;
    ASSERT_GE(row, 0) << display.toStdString();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QApplication::processEvents();
  }

  TScriptedDialogs dialogs;
  std::unique_ptr<TMainFrame> frame;
};

TEST_F(MainWindowRulesTest, EveryStepGetsItsEditorsWithTheValuesAndTheFirstFocus) {
  const QString sample = BuildRuntimeFolder() + QStringLiteral("examples/Beispiel.kln");
  ASSERT_TRUE(QFileInfo(sample).isFile());
  TMainFrame& f = Open({QStringLiteral("mahnbescheid"), sample});
  EXPECT_FALSE(f.Dirty());
  for (int step = 0; step < f.StepCount(); ++step) {
    SCOPED_TRACE(step);
    GoTo(step);
    EXPECT_FALSE(f.Dirty());
    const TFormFieldList& list = f.FieldLists()[std::size_t(step)];
    ASSERT_EQ(f.FormularManager().Editors().Count(), list.Count());
    for (int i = 0; i < list.Count(); ++i) {
      const TFormField* field = list.Fields(i);
      QWidget* e = Editor(field->Name());
      ASSERT_NE(e, nullptr) << field->Name().toStdString();
      EXPECT_EQ(e->parentWidget()->window(), &f);
      if (field->Kind() == TFormFieldKind::Edit && !field->Value().isEmpty()) {
        EXPECT_EQ(EditorText(e), field->Value()) << field->Name().toStdString();
      }
    }
    // The first field that takes typing has the focus; the court name is derived and skipped.
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    const TFormField* first = EditorField(focused) ? EditorField(focused) : EditorField(focused->parentWidget());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Name(), list.Fields(0)->Name());
  }
  // Viewing the steps changed nothing.
  EXPECT_FALSE(f.Dirty());
}

TEST_F(MainWindowRulesTest, EnterHighlightsLeaveRestoresTypingMarksChanged) {
  TMainFrame& f = Open();
  // A new application is dated today.
  EXPECT_EQ(Value(QStringLiteral("DatumAntrag")), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
  auto* vorname = EditorAs<QLineEdit>(QStringLiteral("AntragstellerVornameSp1"));
  Focus(vorname);
  EXPECT_EQ(EditorColor(vorname), kHighlight);
  EXPECT_FALSE(f.Dirty());
  EXPECT_FALSE(f.btnSpeichern->isEnabled());
  QTest::keyClicks(vorname, QStringLiteral("Anna"));
  EXPECT_EQ(Value(QStringLiteral("AntragstellerVornameSp1")), QStringLiteral("Anna"));
  EXPECT_TRUE(f.Dirty());
  EXPECT_TRUE(f.btnSpeichern->isEnabled());
  // Return moves on like Tab and the left editor turns white again.
  QTest::keyClick(vorname, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(EditorColor(vorname), kWhite);
  EXPECT_EQ(EditorField(QApplication::focusWidget())->Name(), QStringLiteral("AntragstellerNachnameSp1"));
}

TEST_F(MainWindowRulesTest, TypingStopsAtTheLengthTheBoxTakes) {
  TMainFrame& f = Open();
  const QString name = QStringLiteral("AntragstellerPLZSp1");
  const TFormField* field = FieldByName(f.FieldLists(), name);
  auto* edit = EditorAs<TFormularEdit>(name);
  ASSERT_TRUE(field && edit);
  Focus(edit);
  // The postcode box takes its five digits, not the nine that Arial 8 would have let through.
  QTest::keyClicks(edit, QString(80, QLatin1Char('8')));
  EXPECT_EQ(Value(name), QStringLiteral("88888"));
  EXPECT_EQ(edit->MaxLength(), 5);
  EXPECT_TRUE(CheckFieldFit(*field).Fits());
  // Deleting makes room at once.
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, QStringLiteral("12"));
  EXPECT_EQ(Value(name), QStringLiteral("88881"));
}

// Types `c` into the edit until it takes no more (three refused in a row).
void TypeUntilFull(QLineEdit* edit, QChar c) {
  int refused = 0;
  for (int i = 0; i < 400 && refused < 3; ++i) {
    const qsizetype before = edit->text().size();
    QTest::keyClicks(edit, QString(c));
    refused = edit->text().size() > before ? 0 : refused + 1;
  }
}

// Every Edit and EditExt of the shipped form typed full with runs of a wide character, printed
// through the print command into a PDF and read back: each value lies inside its box, and no
// digit box holds more characters than it has cells.
TEST_F(MainWindowRulesTest, WidestTextEveryEditTakesPrintsInsideItsBox) {
  TMainFrame& f = Open();
  StorePrintSettings(0, 0, true);
  constexpr double kTolerance = 0.1;  // mm
  for (const QChar run : {QLatin1Char('W'), QLatin1Char('M'), QLatin1Char('8')}) {
    SCOPED_TRACE(QString(run).toStdString());
    struct TTyped {
      int Step;
      const TFormField* Field;
    };
    std::vector<TTyped> typed;
    for (int step = 0; step < f.StepCount(); ++step) {
      GoTo(step);
      const TFormFieldList& list = f.FieldLists()[std::size_t(step)];
      for (int i = 0; i < list.Count(); ++i) {
        const TFormField* field = list.Fields(i);
        if (field->Kind() != TFormFieldKind::Edit && field->Kind() != TFormFieldKind::EditExt) continue;
        auto* edit = EditorAs<TFormularEdit>(field->Name());
        ASSERT_NE(edit, nullptr);
        if (edit->isReadOnly()) continue;  // the court name follows the court list
        // Column 2 opens with the column-1 surname, which comes first.
        ASSERT_TRUE(edit->isEnabled()) << field->Name().toStdString();
        edit->clear();
        TypeUntilFull(edit, run);
        typed.push_back({step, field});
      }
    }
    ASSERT_GT(typed.size(), 100u);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("fit.pdf"));
    TPdfPrintDevice device(pdf);
    SetPrintDevice(&device);
    dialogs.AnswerMessage(dbYes);  // print despite the empty lists
    // and despite what the review finds in boxes full of "W" or "8"
    dialogs.AnswerDialog([](QDialog& d) {
      auto* review = qobject_cast<TReviewWindow*>(&d);
      if (!review) return int(QDialog::Rejected);
      review->ButtonContinue->click();
      return d.result();
    });
    f.btnDrucken->trigger();
    SetPrintDevice(nullptr);
    ASSERT_TRUE(QFileInfo(pdf).isFile());
    const std::vector<TPdfWord> words = PdfWords(pdf);

    for (const TTyped& t : typed) {
      const TFormField& field = *t.Field;
      const QString& value = field.Value();
      SCOPED_TRACE((field.Name() + QLatin1Char('=') + value).toStdString());
      // The shipped boxes hold their whole length in Courier New 10 pt.
      EXPECT_EQ(value, QString(LengthCeiling(field), run));
      EXPECT_LE(value.size(), field.MaxLength());
      if (field.Kind() == TFormFieldKind::EditExt) {
        EXPECT_LE(value.size(), field.NumberOfDigits());
      }
      // What the page shows in the box's band from its left edge on, left to right.
      std::vector<TPdfWord> mine;
      for (const TPdfWord& w : words)
        if (w.Page == PageOfStep(t.Step) && w.CentreY() > field.Top() && w.CentreY() < field.Top() + field.Height() &&
            w.XMin > field.Left() - kTolerance && w.XMin < field.Left() + field.Width())
          mine.push_back(w);
      std::sort(mine.begin(), mine.end(), [](const TPdfWord& a, const TPdfWord& b) { return a.XMin < b.XMin; });
      QString printed;
      for (const TPdfWord& w : mine) {
        printed += w.Text;
        EXPECT_LE(w.XMax, field.Left() + field.Width() + kTolerance);
        EXPECT_GE(w.YMin, field.Top() - kTolerance);
        EXPECT_LE(w.YMax, field.Top() + field.Height() + kTolerance);
      }
      // Every character printed, none run together with a neighbour's.
      EXPECT_EQ(printed, value);
      ASSERT_FALSE(mine.empty());
      EXPECT_NEAR(mine.front().XMin, field.Left(), kTolerance);
    }
  }
}

TEST_F(MainWindowRulesTest, EmptyingTheFirstSurnameGreysOutColumnTwo) {
  Open();
  const QStringList column2 = {QStringLiteral("AntragstellerGeschlechtSp2"), QStringLiteral("AntragstellerVornameSp2"),
                               QStringLiteral("AntragstellerNachnameSp2"), QStringLiteral("AntragstellerStrasseHNrSp2"),
                               QStringLiteral("AntragstellerPLZSp2"), QStringLiteral("AntragstellerOrtSp2"),
                               QStringLiteral("AntragstellerKzSp2")};
  for (const QString& n : column2) EXPECT_FALSE(Editor(n)->isEnabled()) << n.toStdString();
  auto* surname = EditorAs<QLineEdit>(QStringLiteral("AntragstellerNachnameSp1"));
  Focus(surname);
  QTest::keyClick(surname, Qt::Key_M);
  for (const QString& n : column2) {
    EXPECT_TRUE(Editor(n)->isEnabled()) << n.toStdString();
    EXPECT_EQ(EditorColor(Editor(n)), kWhite) << n.toStdString();
  }
  qobject_cast<QLineEdit*>(Editor(QStringLiteral("AntragstellerOrtSp2")))->setText(QStringLiteral("Köln"));
  QTest::keyClick(surname, Qt::Key_Backspace);
  for (const QString& n : column2) {
    EXPECT_FALSE(Editor(n)->isEnabled()) << n.toStdString();
    EXPECT_EQ(EditorColor(Editor(n)), kGrey) << n.toStdString();
  }
  // Greyed out, not emptied.
  EXPECT_EQ(Value(QStringLiteral("AntragstellerOrtSp2")), QStringLiteral("Köln"));
}

TEST_F(MainWindowRulesTest, RepresentativeListShowsTheNamesAsTheyAreNow) {
  Open();
  qobject_cast<QLineEdit*>(Editor(QStringLiteral("AntragstellerVornameSp1")))->setText(QStringLiteral("Anna"));
  qobject_cast<QLineEdit*>(Editor(QStringLiteral("AntragstellerNachnameSp1")))->setText(QStringLiteral("Muster"));
  qobject_cast<QLineEdit*>(Editor(QStringLiteral("AntragstellerFirmaBezeichnung1Sp3")))
      ->setText(QStringLiteral("Muster \"Bau\" GmbH"));
  auto* ref = EditorAs<TFormularComboBox>(QStringLiteral("AntragstellerVertreter1RefNr"));
  Pick(ref, QStringLiteral("Antragsteller aus Spalte 3: Muster \"Bau\" GmbH "));
  EXPECT_EQ(ref->DisplayItems(),
            (QStringList{QString(), QStringLiteral("Antragsteller aus Spalte 1: Anna Muster"),
                         QStringLiteral("Antragsteller aus Spalte 2:  - leer -"),
                         QStringLiteral("Antragsteller aus Spalte 3: Muster \"Bau\" GmbH ")}));
  EXPECT_EQ(Value(QStringLiteral("AntragstellerVertreter1RefNr")), QStringLiteral("3"));
}

TEST_F(MainWindowRulesTest, PastedIbanFillsItsBoxAndMovesOn) {
  Open();
  GoTo(4);
  QApplication::clipboard()->setText(QStringLiteral("DE89370400440532013000"));
  QWidget* iban = Editor(QStringLiteral("ProzessbevollmaechtigterIBAN"));
  Focus(iban);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(Value(QStringLiteral("ProzessbevollmaechtigterIBAN")), QStringLiteral("DE89"));
  EXPECT_EQ(EditorField(QApplication::focusWidget())->Name(), QStringLiteral("ProzessbevollmaechtigterBLZ"));
  EXPECT_TRUE(Value(QStringLiteral("ProzessbevollmaechtigterBLZ")).isEmpty());
}

TEST_F(MainWindowRulesTest, LeavingADateFieldNormalisesItOrKeepsTheFocus) {
  Open();
  GoTo(2);
  auto* from = EditorAs<QLineEdit>(QStringLiteral("HauptAnspruchDatumVon1"));
  Focus(from);
  QTest::keyClicks(from, QStringLiteral("1.3.2007"));
  QTest::keyClick(from, Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_EQ(Value(QStringLiteral("HauptAnspruchDatumVon1")), QStringLiteral("01.03.07"));
  EXPECT_EQ(from->text(), QStringLiteral("01.03.07"));
  EXPECT_TRUE(dialogs.Messages.empty());

  Focus(from);
  from->selectAll();
  QTest::keyClicks(from, QStringLiteral("31.02.07"));
  QTest::keyClick(from, Qt::Key_Tab);
  QApplication::processEvents();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Warning);
  EXPECT_EQ(QApplication::focusWidget(), from);
}

// A command that reads the values first runs the check of the field being typed in. With "31.02.07"
// half-way in a date field, print, preview, PDF, save, save under a new name and save as template
// each show the date message, keep the focus in the field and stop; nothing is printed or written.
TEST_F(MainWindowRulesTest, CommandsRunTheFocusedFieldsCheckFirst) {
  TMainFrame& f = Open();
  GoTo(2);
  auto* from = EditorAs<QLineEdit>(QStringLiteral("HauptAnspruchDatumVon1"));
  Focus(from);
  QTest::keyClicks(from, QStringLiteral("31.02.07"));
  ASSERT_EQ(QApplication::focusWidget(), from);
  struct TCommand {
    const char* Name;
    std::function<void()> Run;
  };
  const std::vector<TCommand> commands = {
      {"Ctrl+P", [&] { QTest::keyClick(from, Qt::Key_P, Qt::ControlModifier); }},
      {"print button", [&] { f.btnDrucken->trigger(); }},
      {"print preview", [&] { f.btnDruckvorschau->trigger(); }},
      {"PDF export", [&] { f.smPdfExport->trigger(); }},
      {"Ctrl+S", [&] { QTest::keyClick(from, Qt::Key_S, Qt::ControlModifier); }},
      {"save under", [&] { f.smSpeichernUnter->trigger(); }},
      {"save as template", [&] { f.smSpeichernAlsVorlage->trigger(); }},
  };
  for (const TCommand& c : commands) {
    SCOPED_TRACE(c.Name);
    dialogs.Messages.clear();
    dialogs.Log.clear();
    c.Run();
    QApplication::processEvents();
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Warning);
    EXPECT_EQ(dialogs.Messages[0].Text, QStringLiteral("Bitte geben Sie in dieses Feld ein gültiges Datum ein."));
    // No completeness question, printer dialog, preview or file dialog after it.
    EXPECT_EQ(dialogs.Log, QStringList{QStringLiteral("message")});
    EXPECT_EQ(QApplication::focusWidget(), from);
    EXPECT_EQ(Value(QStringLiteral("HauptAnspruchDatumVon1")), QStringLiteral("31.02.07"));
  }
  EXPECT_EQ(dialogs.PrintDialogs, 0);
  EXPECT_EQ(dialogs.DialogsRun, 0);
  EXPECT_TRUE(dialogs.SaveRequests.empty());
  EXPECT_TRUE(f.FileName().isEmpty());

  // A date the check takes goes on in its normal form: the save writes "01.03.07".
  from->selectAll();
  QTest::keyClicks(from, QStringLiteral("1.3.2007"));
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("antrag.kln"));
  dialogs.Messages.clear();
  dialogs.AnswerFile(name);
  QTest::keyClick(from, Qt::Key_S, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(QDir::cleanPath(f.FileName()), QDir::cleanPath(name));
  EXPECT_FALSE(f.Dirty());
  EXPECT_EQ(from->text(), QStringLiteral("01.03.07"));
  EXPECT_EQ(QApplication::focusWidget(), from);
  QFile saved(name);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().contains("HauptAnspruchDatumVon1=01.03.07"));
}

// "Hilfe ?" and the "x" of the step help act on a click and leave the focus where the user types: a
// half-typed date is neither checked nor left, and Space goes on into the field.
TEST_F(MainWindowRulesTest, HelpButtonsLeaveTheFieldBeingTypedIn) {
  TMainFrame& f = Open();
  f.ButtonCloseHelpClick();
  GoTo(2);
  auto* from = EditorAs<QLineEdit>(QStringLiteral("HauptAnspruchDatumVon1"));
  Focus(from);
  QTest::keyClicks(from, QStringLiteral("31.0"));
  QTest::mouseClick(f.ButtonImageHelp, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  QApplication::processEvents();
  EXPECT_TRUE(f.HelpPanels().StepHelpVisible());
  EXPECT_EQ(QApplication::focusWidget(), from);
  EXPECT_TRUE(dialogs.Messages.empty());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_2);
  QTest::mouseClick(f.ButtonCloseHelp, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QApplication::processEvents();
  EXPECT_FALSE(f.HelpPanels().StepHelpVisible());
  EXPECT_EQ(QApplication::focusWidget(), from);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(".07"));
  EXPECT_EQ(Value(QStringLiteral("HauptAnspruchDatumVon1")), QStringLiteral("31.02.07"));
  EXPECT_TRUE(dialogs.Messages.empty());
}

// Each notch follows the wheel rule on its own: after a notch over the step help (which scrolls the
// help text), notches over a closed code list scroll the step picture and never change the code.
TEST_F(MainWindowRulesTest, WheelOverTheHelpThenOverACodeListChangesNoCode) {
  TMainFrame& f = Open();
  f.resize(1100, 600);
  f.ButtonImageHelpClick();
  f.HTMLView->setHtml(QString(QStringLiteral("<p>Zeile</p>")).repeated(200));
  QApplication::processEvents();
  auto* salutation = EditorAs<TFormularComboBox>(QStringLiteral("AntragstellerGeschlechtSp1"));
  ASSERT_TRUE(salutation->isVisible());
  QScrollBar* picture = f.ScrollBox1->verticalScrollBar();
  ASSERT_GT(picture->maximum(), 0);
  const QPoint overHelp = f.HTMLView->viewport()->mapToGlobal(QPoint(30, 30));
  WheelNotch(&f, overHelp, -120);
  EXPECT_GT(f.HTMLView->verticalScrollBar()->value(), 0);
  EXPECT_EQ(picture->value(), 0);
  for (const int delta : {-120, 120, -120, 120, -120}) {
    // The list moves with the picture: aim at it where it is now.
    const QPoint at = salutation->mapToGlobal(salutation->rect().center());
    QWidget* under = f.childAt(f.mapFromGlobal(at));
    ASSERT_TRUE(under == salutation || salutation->isAncestorOf(under));
    WheelNotch(&f, at, delta);
    QApplication::processEvents();
    EXPECT_EQ(salutation->currentText(), QString());
  }
  EXPECT_GT(picture->value(), 0);
  EXPECT_EQ(Value(QStringLiteral("AntragstellerGeschlechtSp1")), QString());
  EXPECT_FALSE(f.Dirty());
}

TEST_F(MainWindowRulesTest, ABisValueTheCheckRewritesMarksTheDocumentChanged) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("rest.kln"));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Mahnbescheid]\r\nHauptAnspruchDatumBis1=rest\r\nHauptAnspruchDatumBis2=Teil\r\n");
  }
  TMainFrame& f = Open({QStringLiteral("mahnbescheid"), path});
  GoTo(2);
  f.SetDirty(false);  // whatever building the page did, the user has changed nothing yet
  // A value the check leaves as it is changes nothing.
  Focus(Editor(QStringLiteral("HauptAnspruchDatumBis2")));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_FALSE(f.Dirty());
  // Entering and leaving "rest": written "Rest", and the document is changed.
  Focus(Editor(QStringLiteral("HauptAnspruchDatumBis1")));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_EQ(Value(QStringLiteral("HauptAnspruchDatumBis1")), QStringLiteral("Rest"));
  EXPECT_EQ(EditorText(Editor(QStringLiteral("HauptAnspruchDatumBis1"))), QStringLiteral("Rest"));
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_TRUE(f.Dirty());
  EXPECT_TRUE(f.btnSpeichern->isEnabled());
  // Closing asks before the rewrite is lost.
  dialogs.AnswerMessage(dbCancel);
  EXPECT_FALSE(f.close());
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Confirmation);
}

TEST_F(MainWindowRulesTest, CatalogueChoiceShowsItsHintAndCourtChoiceNamesTheCourt) {
  TMainFrame& f = Open();
  GoTo(2);
  Pick(EditorAs<TFormularComboBox>(QStringLiteral("HauptAnspruchKatalogNr1")), QStringLiteral("19"));
  EXPECT_EQ(Value(QStringLiteral("HauptAnspruchKatalogNr1")), QStringLiteral("19"));
  EXPECT_TRUE(f.HelpPanels().ContextHelpVisible());
  EXPECT_TRUE(f.laContextHelp->text().startsWith(QStringLiteral("Ausfüllhilfe zu Katalog Nr. 19:")));
  // A new step does not carry the hint over.
  GoTo(6);
  EXPECT_FALSE(f.HelpPanels().ContextHelpVisible());
  Pick(EditorAs<TFormularComboBox>(QStringLiteral("AmtsgerichtPLZOrt")), QStringLiteral("Berlin"));
  EXPECT_EQ(Value(QStringLiteral("AmtsgerichtName")), QStringLiteral("Wedding"));
  EXPECT_TRUE(EditorAs<QLineEdit>(QStringLiteral("AmtsgerichtName"))->isReadOnly());
}

TEST_F(MainWindowRulesTest, PrintCommandsReachThePrintJobAndThePositionDialog) {
  TMainFrame& f = Open();
  // An empty form: the completeness question comes first; "Nein" prints nothing.
  dialogs.AnswerMessage(dbNo);
  f.ButtonPrint->click();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_TRUE(dialogs.Messages[0].Text.startsWith(QStringLiteral("Bitte tragen Sie mindestens einen Antragsteller ein.")));
  EXPECT_TRUE(dialogs.Messages[0].Text.endsWith(QStringLiteral("Wollen Sie trotz der fehlenden Angaben drucken?")));
  EXPECT_EQ(dialogs.PrintDialogs, 0);

  QString caption;
  dialogs.AnswerDialog([&](QDialog& d) {
    caption = d.windowTitle();
    return int(QDialog::Rejected);
  });
  f.btnDefaults->trigger();
  EXPECT_EQ(dialogs.DialogsRun, 1);
  EXPECT_EQ(caption, QStringLiteral("Grundeinstellungen"));
}

}  // namespace
