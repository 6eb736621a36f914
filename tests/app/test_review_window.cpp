// "Prüfen" in the main window with the shipped form: the review window, its jump to a box, the
// list following corrections, and the review before printing and the preview.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "../print/PrintRecorder.h"
#include "ShippedForm.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "app/uReviewCommands.h"
#include "app/uReviewWindow.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularManager.h"
#include "platform/uPrintDevice.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"

namespace {

const QString kCompletenessQuestion = QStringLiteral(
    "Bitte tragen Sie mindestens einen Antragsteller ein. (Schritt1)\r\n\r\nWollen Sie trotz der fehlenden Angaben "
    "drucken?");

class ReviewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseShippedForm();
    clock.TodayDate = QDate(2026, 12, 11);
    clock.StepMs = 1000;
    QVRegIniFile().WriteBool(QStringLiteral("Mahnbescheid"), QStringLiteral("Testdruck"), true);
    SetPrintDevice(&device);
    frame = std::make_unique<TMainFrame>(
        QStringList{QStringLiteral("mahnbescheid"), BuildRuntimeFolder() + QStringLiteral("examples/Beispiel.kln")});
    frame->showNormal();
    frame->resize(1100, 800);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  }
  void TearDown() override {
    frame.reset();
    SetPrintDevice(nullptr);
    ReleaseWizardDefinition();
    SetProgramFolderForTesting(QString());
  }
  void Set(const char* name, const char* value) {
    FieldByName(frame->FieldLists(), QString::fromLatin1(name))->SetValue(QString::fromUtf8(value));
  }
  // Three errors on step 3 (lines 32, 35) and none elsewhere.
  void ThreeErrorsOnStep3() {
    Set("HauptAnspruchKatalogNr1", "28");
    Set("HauptAnspruchBetrag1", "1785");
    Set("HauptAnspruchDatumVon1", "31.02.26");
  }
  QWidget* Editor(const char* name) {
    return frame->FormularManager().Editors().EditorByName(QString::fromLatin1(name));
  }
  QStringList Rows(QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      QStringList cells;
      for (int c = 0; c < list->columnCount(); ++c) cells << list->topLevelItem(i)->text(c);
      rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
  }
  int Row(QTreeWidget* list, const QString& caption) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      if (list->topLevelItem(i)->text(3) == caption) return i;
    return -1;
  }

  TScriptedDialogs dialogs;
  TFakeClock clock;
  TRecordingPrintDevice device{300, 0.0};
  std::unique_ptr<TMainFrame> frame;
};

TEST_F(ReviewWindowTest, CommandSitsAfterThePreviewInTheFileMenuOnTheToolBarAndOnF9) {
  const QList<QAction*> file = frame->mnuDatei->actions();
  const int preview = int(file.indexOf(frame->smDruckvorschau));
  ASSERT_GE(preview, 0);
  EXPECT_EQ(file.value(preview + 1), frame->smPruefen);
  EXPECT_EQ(frame->smPruefen->text(), QStringLiteral("Prüfen..."));
  EXPECT_EQ(frame->smPruefen->shortcut(), QKeySequence(Qt::Key_F9));
  EXPECT_TRUE(frame->MainToolBar->actions().contains(frame->btnPruefen));

  QTest::keyClick(frame.get(), Qt::Key_F9);
  QApplication::processEvents();
  TReviewWindow* w = frame->ReviewCommands().Window();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  // The sample document is clean: an empty list, and the reminder under it.
  EXPECT_EQ(w->List->topLevelItemCount(), 0);
  EXPECT_EQ(w->Summary->text(), QStringLiteral("Die Prüfung hat nichts gefunden."));
  EXPECT_EQ(w->Reminder->text(), QStringLiteral("Vergessen Sie nicht das Formular vor dem Absenden zu unterschreiben."));
}

TEST_F(ReviewWindowTest, RowsGoToAndTheListFollowsACorrection) {
  ThreeErrorsOnStep3();
  frame->OnNavButtonClick(2);
  frame->smPruefen->trigger();
  QApplication::processEvents();
  TReviewWindow* w = frame->ReviewCommands().Window();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(Rows(w->List),
            QStringList({QStringLiteral("Fehler | Schritt 3 | Zeile 32 | Datum / vom | „31.02.26“ ist kein gültiges "
                                        "Datum. Bitte geben Sie Tag, Monat und Jahr ein (z. B. 31.01.26)."),
                         QStringLiteral("Fehler | Schritt 3 | Zeile 32 | Betrag EUR (mit Komma) | Bitte schreiben Sie "
                                        "den Betrag mit Komma und zwei Nachkommastellen, z. B. 1250,00 (ohne €-Zeichen)."),
                         QStringLiteral("Fehler | Schritt 3 | Zeile 35 | Nur bei Kat.-Nr. 28: Vertragsart | Zu "
                                        "Katalog-Nr. 28 in Zeile 32 gehört die Vertragsart in Zeile 35 (rechte Hälfte).")}));

  // A row is chosen at once, so Return and "Gehe zu" work without a click; its whole message,
  // which the column may cut, stands under the list.
  ASSERT_NE(w->List->currentItem(), nullptr);
  EXPECT_EQ(w->List->indexOfTopLevelItem(w->List->currentItem()), 0);
  EXPECT_TRUE(w->ButtonGoTo->isEnabled());
  EXPECT_EQ(w->Detail->text(), QStringLiteral("Datum / vom: „31.02.26“ ist kein gültiges Datum. Bitte geben Sie Tag, "
                                              "Monat und Jahr ein (z. B. 31.01.26)."));

  // Go to the amount from another step: its step is shown and its editor has the focus.
  frame->OnNavButtonClick(0);
  const int amount = Row(w->List, QStringLiteral("Betrag EUR (mit Komma)"));
  ASSERT_GE(amount, 0);
  w->List->setCurrentItem(w->List->topLevelItem(amount));
  QTest::mouseClick(w->ButtonGoTo, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(frame->CurrentStep(), 2);
  auto* edit = qobject_cast<QLineEdit*>(Editor("HauptAnspruchBetrag1"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(QApplication::focusWidget(), edit);

  // The user mends the amount: the row goes, the others stay, with no button pressed.
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("1785,00"));
  QApplication::processEvents();
  EXPECT_EQ(w->List->topLevelItemCount(), 2);
  EXPECT_EQ(Row(w->List, QStringLiteral("Betrag EUR (mit Komma)")), -1);

  // A double-click goes as "Gehe zu" does.
  const int contract = Row(w->List, QStringLiteral("Nur bei Kat.-Nr. 28: Vertragsart"));
  ASSERT_GE(contract, 0);
  QTreeWidgetItem* item = w->List->topLevelItem(contract);
  w->List->setCurrentItem(item);
  const QRect r = w->List->visualItemRect(item);
  // As a user does it: a press and a release, then the second press that makes it a double-click.
  QTest::mouseClick(w->List->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  QTest::mouseDClick(w->List->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  QApplication::processEvents();
  EXPECT_EQ(w->Chosen().FieldName, QStringLiteral("HauptAnspruchZeile35Vertragsart"));
  EXPECT_EQ(QApplication::focusWidget(), Editor("HauptAnspruchZeile35Vertragsart"));
}

TEST_F(ReviewWindowTest, PrintWithErrorsShowsTheReviewAndBackToTheFormPrintsNothing) {
  ThreeErrorsOnStep3();
  QStringList buttons;
  dialogs.AnswerDialog([&](QDialog& d) {
    auto* gate = qobject_cast<TReviewWindow*>(&d);
    EXPECT_NE(gate, nullptr);
    if (!gate) return int(QDialog::Rejected);
    buttons << gate->ButtonContinue->text() << gate->ButtonBack->text();
    EXPECT_EQ(gate->List->topLevelItemCount(), 3);
    QTest::mouseClick(gate->ButtonBack, Qt::LeftButton);
    return gate->result();
  });
  frame->ButtonPrintClick();
  QApplication::processEvents();
  EXPECT_EQ(buttons, QStringList({QStringLiteral("&Trotzdem drucken"), QStringLiteral("&Zurück zum Formular")}));
  EXPECT_EQ(dialogs.DialogsRun, 1);
  EXPECT_EQ(dialogs.PrintDialogs, 0);
  EXPECT_TRUE(device.Jobs.empty());
  // Back at the form: the list beside it, the focus in the first error's box.
  ASSERT_NE(frame->ReviewCommands().Window(), nullptr);
  EXPECT_TRUE(frame->ReviewCommands().Window()->isVisible());
  EXPECT_EQ(frame->CurrentStep(), 2);
  EXPECT_EQ(QApplication::focusWidget(), Editor("HauptAnspruchDatumVon1"));
}

TEST_F(ReviewWindowTest, PrintAnywayGoesOnToThePrinter) {
  ThreeErrorsOnStep3();
  // The review the user had open does not stand behind the gate with the same list.
  frame->smPruefen->trigger();
  QApplication::processEvents();
  ASSERT_NE(frame->ReviewCommands().Window(), nullptr);
  dialogs.AnswerDialog([&](QDialog& d) {
    auto* gate = qobject_cast<TReviewWindow*>(&d);
    if (!gate) return int(QDialog::Rejected);
    EXPECT_FALSE(frame->ReviewCommands().Window()->isVisible());
    QTest::mouseClick(gate->ButtonContinue, Qt::LeftButton);
    return gate->result();
  });
  dialogs.AnswerPrintDialog(false);
  frame->ButtonPrintClick();
  EXPECT_EQ(dialogs.DialogsRun, 1);
  EXPECT_EQ(dialogs.PrintDialogs, 1);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(ReviewWindowTest, HintsOnlyDoNotHoldUpPrinting) {
  Set("ForderungsuebergangLaufendeZinsenZinssatz1", "12,00");
  ASSERT_FALSE(frame->ReviewCommands().Review().empty());
  dialogs.AnswerPrintDialog(false);
  frame->ButtonPrintClick();
  EXPECT_EQ(dialogs.DialogsRun, 0);
  EXPECT_EQ(dialogs.PrintDialogs, 1);
}

TEST_F(ReviewWindowTest, TheCompletenessQuestionKeepsItsPlaceAndIsNotAskedAgain) {
  Set("AntragstellerNachnameSp1", "");
  // The question as before; its missing entry does not come up again in the review.
  dialogs.AnswerMessage(dbYes);
  dialogs.AnswerPrintDialog(false);
  frame->ButtonPrintClick();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, kCompletenessQuestion);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Warning);
  EXPECT_EQ(dialogs.DialogsRun, 0);
  EXPECT_EQ(dialogs.PrintDialogs, 1);

  // With one more error, the review lists that one only.
  Set("HauptAnspruchBetrag1", "0,00");
  dialogs.AnswerMessage(dbYes);
  int rows = -1;
  dialogs.AnswerDialog([&](QDialog& d) {
    auto* gate = qobject_cast<TReviewWindow*>(&d);
    if (!gate) return int(QDialog::Rejected);
    rows = gate->List->topLevelItemCount();
    EXPECT_EQ(gate->Findings().front().FieldName, QStringLiteral("HauptAnspruchBetrag1"));
    return int(QDialog::Rejected);
  });
  frame->ButtonPrintClick();
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(dialogs.PrintDialogs, 1);  // not again: back to the form

  // "Nein" on the question ends the command before the review.
  dialogs.AnswerMessage(dbNo);
  const int before = dialogs.DialogsRun;
  frame->ButtonPrintClick();
  EXPECT_EQ(dialogs.DialogsRun, before);
}

TEST_F(ReviewWindowTest, PreviewReviewsFirstAndPrintingFromItAsksNothingTwice) {
  Set("AntragstellerNachnameSp1", "");
  Set("HauptAnspruchBetrag1", "1785");
  QStringList seen;
  dialogs.AnswerDialog([&](QDialog& d) {
    auto* gate = qobject_cast<TReviewWindow*>(&d);
    if (!gate) return int(QDialog::Rejected);
    seen << gate->ButtonContinue->text();
    EXPECT_EQ(gate->List->topLevelItemCount(), 2);  // completeness and amount
    return int(QDialog::Accepted);
  });
  dialogs.AnswerDialog([&](QDialog& d) {
    seen << d.objectName();
    return int(QDialog::Accepted);  // "Drucken" in the preview
  });
  dialogs.AnswerPrintDialog(false);
  frame->smDruckvorschauClick();
  EXPECT_EQ(seen.value(0), QStringLiteral("&Trotzdem anzeigen"));
  EXPECT_EQ(dialogs.DialogsRun, 2);
  EXPECT_EQ(dialogs.PrintDialogs, 1);
  EXPECT_TRUE(dialogs.Messages.empty());  // no completeness question after the review let it pass
}

}  // namespace
