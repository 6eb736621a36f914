#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollArea>
#include <QTest>
#include <QWidget>

#include "RulesTestLists.h"
#include "TestSupport.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "platform/uColors.h"
#include "rules/uEditorRules.h"

namespace {

using K = TFormFieldKind;

// One shown step as the main window builds it: a real editor manager on a scroll box, with the
// rules the main window runs after every change.
class TShownStep {
 public:
  TShownStep(TFieldLists& lists, int step) : lists_(lists), manager_(&scroll_) {
    scroll_.resize(600, 400);
    manager_.OnFieldChange = [this](QObject*, TFormField* f) { Changed(*f); };
    manager_.OnFieldDropDown = [this](QObject*, TFormField* f) { BuildReferenceLists(Editors(), *f, lists_); };
    // An A4 page at 4 px/mm, so every editor gets a real size.
    QPixmap page(840, 1188);
    page.fill(Qt::white);
    manager_.ShowStep(page, &lists[std::size_t(step)], 0, 0, 210, 297);
    scroll_.show();
    QApplication::setActiveWindow(&scroll_);
  }

  // ShowWizardStep's order: the rules prepare the editors, then the values are loaded.
  void Prepare() {
    PrepareStepEditors(Editors(), lists_);
    manager_.LoadValues();
  }

  QWidget* Editor(const char* name) const { return Editors().EditorByName(QString::fromUtf8(name)); }
  TFormularComboBox* Combo(const char* name) const { return qobject_cast<TFormularComboBox*>(Editor(name)); }
  QLineEdit* Edit(const char* name) const { return qobject_cast<QLineEdit*>(Editor(name)); }
  TFormEditorList& Editors() const { return manager_.Editors(); }
  QWidget* Window() { return &scroll_; }

 private:
  void Changed(TFormField& f) {
    EnableSecondColumns(Editors(), f);
    ApplyDerivedFields(Editors(), f);
  }

  TFieldLists& lists_;
  QScrollArea scroll_;
  mutable TFormularManager manager_;  // after the scroll box: destroyed first
};

// Chooses entry `index` as a user does: open the list, move to it, take it with Return.
void Pick(TFormularComboBox* combo, int index) {
  combo->setFocus();
  combo->showPopup();
  combo->view()->setCurrentIndex(combo->model()->index(index, 0));
  QTest::keyClick(combo->view(), Qt::Key_Return);
  QApplication::processEvents();
}

TFieldLists SevenSteps() {
  return MakeLists({
      {{"DatumAntrag", K::Edit, QString()},
       {"AntragstellerGeschlechtSp1", K::Combobox, QStringLiteral("2")},
       {"AntragstellerVornameSp1", K::Edit, QStringLiteral("Anna")},
       {"AntragstellerNachnameSp1", K::Edit, QString()},
       {"AntragstellerGeschlechtSp2", K::Combobox, QString()},
       {"AntragstellerVornameSp2", K::Edit, QStringLiteral("Eva")},
       {"AntragstellerNachnameSp2", K::Edit, QString()},
       {"AntragstellerStrasseHNrSp2", K::Edit, QString()},
       {"AntragstellerPLZSp2", K::Edit, QString()},
       {"AntragstellerOrtSp2", K::Edit, QString()},
       {"AntragstellerKzSp2", K::Edit, QString()},
       {"AntragstellerFirmaBezeichnung1Sp3", K::Edit, QStringLiteral("Kalno \"Druck\" GmbH")},
       {"AntragstellerFirmaTypSp3", K::Edit, QStringLiteral("4")}},
      {{"AntragsGegnerNachnameSp1", K::Edit, QStringLiteral("Schmidt")}},
      {{"HauptAnspruchKatalogNr1", K::Combobox, QStringLiteral("95")},
       {"HauptAnspruchDatumVon1", K::Edit, QString()},
       {"HauptAnspruchDatumBis1", K::ComboEdit, QStringLiteral("Rest")},
       {"HauptAnspruchBezeichnung1", K::Edit, QStringLiteral("Beitrag")}},
      {{"ProzessbevollmaechtigterIBAN", K::EditExt, QString()},
       {"ProzessbevollmaechtigterBLZ", K::EditExt, QString()},
       {"ProzessbevollmaechtigterKontoNr", K::EditExt, QString()},
       {"ProzessbevollmaechtigterKontoNrExt", K::EditExt, QString()},
       {"ProzessbevollmaechtigterBIC", K::Edit, QString()},
       {"Kreditgeber1RefNr", K::Combobox, QString()},
       {"AntragstellerVertreter1RefNr", K::Combobox, QStringLiteral("3")}},
      {},
      {},
      {{"AmtsgerichtPLZOrt", K::Combobox, QString()}, {"AmtsgerichtName", K::Edit, QString()}},
  });
}

TEST(PrepareStepEditors, FixedListsDateDefaultAndStoredCodes) {
  TFieldLists lists = SevenSteps();
  TShownStep step(lists, 0);
  step.Prepare();
  TFormularComboBox* sal = step.Combo("AntragstellerGeschlechtSp1");
  ASSERT_NE(sal, nullptr);
  EXPECT_EQ(sal->DropDownFixedWidth(), 50);
  EXPECT_EQ(sal->CodeItems(), SalutationList().Codes);
  EXPECT_EQ(sal->DisplayItems(), SalutationList().Texts);
  EXPECT_EQ(sal->currentText(), QStringLiteral("2"));
  EXPECT_EQ(sal->DisplayTextAt(sal->currentIndex()), QStringLiteral("2 = Frau"));
  // A field of another kind with a listed name gets no list (it is an edit here).
  EXPECT_EQ(step.Edit("AntragstellerFirmaTypSp3")->text(), QStringLiteral("4"));
  // Today's date goes into the empty application date, the edit shows it after loading.
  const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
  EXPECT_EQ(lists[0].ValueByName(QStringLiteral("DatumAntrag")), today);
  EXPECT_EQ(step.Edit("DatumAntrag")->text(), today);

  TShownStep claims(lists, 2);
  claims.Prepare();
  TFormularComboBox* cat = claims.Combo("HauptAnspruchKatalogNr1");
  EXPECT_EQ(cat->DropDownFixedWidth(), 415);
  EXPECT_EQ(cat->currentIndex(), 3);
  EXPECT_EQ(cat->DisplayTextAt(3), QStringLiteral("Beiträge zur privaten Pflegeversicherung"));
  TFormularComboBox* bis = claims.Combo("HauptAnspruchDatumBis1");
  EXPECT_EQ(bis->CodeItems(), (QStringList{QString(), QStringLiteral("Rest"), QStringLiteral("Teil")}));
  EXPECT_EQ(bis->currentText(), QStringLiteral("Rest"));
}

TEST(PrepareStepEditors, EnteredApplicationDateStays) {
  TFieldLists lists = SevenSteps();
  lists[0].FieldByName(QStringLiteral("DatumAntrag"))->SetValue(QStringLiteral("05.03.2007"));
  TShownStep step(lists, 0);
  step.Prepare();
  EXPECT_EQ(step.Edit("DatumAntrag")->text(), QStringLiteral("05.03.2007"));
}

// ---------------------------------------------------------------------------------------------

struct TCourtPick {
  int Index;
  const char* Code;
  const char* Name;
};

class CourtPick : public ::testing::TestWithParam<TCourtPick> {};

TEST_P(CourtPick, StoresCodeAndDerivesName) {
  const TCourtPick& r = GetParam();
  TFieldLists lists = SevenSteps();
  lists[6].FieldByName(QStringLiteral("AmtsgerichtName"))->SetValue(QStringLiteral("Alt"));
  lists[6].FieldByName(QStringLiteral("AmtsgerichtPLZOrt"))->SetValue(QStringLiteral("96441 Coburg"));
  TShownStep step(lists, 6);
  step.Prepare();
  // Showing the step does not recompute the name.
  EXPECT_EQ(step.Edit("AmtsgerichtName")->text(), QStringLiteral("Alt"));
  Pick(step.Combo("AmtsgerichtPLZOrt"), r.Index);
  EXPECT_EQ(lists[6].ValueByName(QStringLiteral("AmtsgerichtPLZOrt")), QString::fromUtf8(r.Code));
  EXPECT_EQ(step.Edit("AmtsgerichtName")->text(), QString::fromUtf8(r.Name));
  EXPECT_EQ(lists[6].ValueByName(QStringLiteral("AmtsgerichtName")), QString::fromUtf8(r.Name));
  EXPECT_TRUE(step.Edit("AmtsgerichtName")->isReadOnly());
}

INSTANTIATE_TEST_SUITE_P(Courts, CourtPick,
                         ::testing::Values(TCourtPick{4, "13357 Berlin", "Wedding"},
                                           TCourtPick{1, "13357 Berlin", "Wedding"},
                                           TCourtPick{17, "53878 Euskirchen", "Euskirchen"},
                                           TCourtPick{22, "39418 Staßfurt", "Aschersleben"},
                                           TCourtPick{0, "", ""}));

TEST(CourtPick, StoredBerlinSelectsAuslandAndNameStaysWedding) {
  TFieldLists lists = SevenSteps();
  lists[6].FieldByName(QStringLiteral("AmtsgerichtPLZOrt"))->SetValue(QStringLiteral("13357 Berlin"));
  lists[6].FieldByName(QStringLiteral("AmtsgerichtName"))->SetValue(QStringLiteral("Wedding"));
  TShownStep step(lists, 6);
  step.Prepare();
  TFormularComboBox* court = step.Combo("AmtsgerichtPLZOrt");
  EXPECT_EQ(court->currentIndex(), 1);
  EXPECT_EQ(court->DisplayTextAt(1), QStringLiteral("Ausland"));
  // Closing the list without a choice applies the rule again: the same name.
  ApplyDerivedFields(step.Editors(), *lists[6].FieldByName(QStringLiteral("AmtsgerichtPLZOrt")));
  EXPECT_EQ(step.Edit("AmtsgerichtName")->text(), QStringLiteral("Wedding"));
}

// ---------------------------------------------------------------------------------------------

TEST(ReferenceEditors, ListsFollowTheSourceStepAndStayPaired) {
  TFieldLists lists = SevenSteps();
  lists[0].FieldByName(QStringLiteral("AntragstellerNachnameSp1"))->SetValue(QStringLiteral("Berg"));
  TShownStep step(lists, 3);
  step.Prepare();
  TFormularComboBox* ref = step.Combo("AntragstellerVertreter1RefNr");
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(ref->DropDownFixedWidth(), 0);
  EXPECT_EQ(ref->CodeItems(), (QStringList{QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
  EXPECT_EQ(ref->DisplayItems(),
            (QStringList{QString(), QStringLiteral("Antragsteller aus Spalte 1: Anna Berg"),
                         QStringLiteral("Antragsteller aus Spalte 2: Eva "),
                         QStringLiteral("Antragsteller aus Spalte 3: Kalno \"Druck\" GmbH ")}));
  EXPECT_EQ(ref->currentText(), QStringLiteral("3"));
  // A changed name shows when the list is opened again.
  lists[0].FieldByName(QStringLiteral("AntragstellerVornameSp1"))->SetValue(QString());
  lists[0].FieldByName(QStringLiteral("AntragstellerNachnameSp1"))->SetValue(QString());
  BuildReferenceLists(step.Editors(), *lists[3].FieldByName(QStringLiteral("AntragstellerVertreter1RefNr")), lists);
  EXPECT_EQ(ref->DisplayTextAt(1), QStringLiteral("Antragsteller aus Spalte 1:  - leer -"));
  EXPECT_EQ(ref->currentText(), QStringLiteral("3"));
  // The claim lines for the credit reference.
  EXPECT_EQ(step.Combo("Kreditgeber1RefNr")->DisplayTextAt(1), QStringLiteral("Anspruch aus ZeilenNr 32: 95 Beitrag"));
}

// A reference list is rebuilt each time it opens; it selects what the field holds now. Opened again
// after a choice and left without one, with Escape or a click outside, it still shows that choice.
TEST(ReferenceEditors, ReopenedListShowsTheChoiceMadeSinceTheStepWasShown) {
  struct TCase {
    const char* Field;
    int Row;
    const char* Code;
  };
  for (const TCase& c : {TCase{"AntragstellerVertreter1RefNr", 1, "1"}, TCase{"Kreditgeber1RefNr", 2, "33"}}) {
    for (const bool escape : {true, false}) {
      SCOPED_TRACE(std::string(c.Field) + (escape ? ", Escape" : ", click outside"));
      TFieldLists lists = SevenSteps();
      TShownStep step(lists, 3);
      step.Prepare();
      TFormularComboBox* ref = step.Combo(c.Field);
      ASSERT_NE(ref, nullptr);
      const TFormField* field = lists[3].FieldByName(QString::fromUtf8(c.Field));
      Pick(ref, c.Row);
      ASSERT_EQ(field->Value(), QLatin1String(c.Code));
      ref->showPopup();
      QApplication::processEvents();
      EXPECT_EQ(ref->view()->currentIndex().row(), c.Row);
      if (escape)
        QTest::keyClick(ref->view(), Qt::Key_Escape);
      else {
        // The open list takes every click; one outside it closes it, as over the window below.
        QWidget* popup = ref->view()->window();
        const QPoint outside = step.Window()->mapToGlobal(QPoint(590, 390));
        ASSERT_FALSE(popup->geometry().contains(outside));
        QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, popup->mapFromGlobal(outside));
      }
      QApplication::processEvents();
      EXPECT_FALSE(ref->view()->isVisible());
      EXPECT_EQ(ref->currentText(), QLatin1String(c.Code));
      EXPECT_EQ(field->Value(), QLatin1String(c.Code));
    }
  }
}

TEST(ReferenceEditors, ShortDefinitionGivesEmptyEntries) {
  TFieldLists lists = MakeLists({{{"AntragsGegnerGesetzlicherVertreter1RefNr", K::Combobox, QString()},
                                  {"Kreditgeber2RefNr", K::Combobox, QString()},
                                  {"AmtsgerichtPLZOrt", K::Combobox, QString()}}});
  TShownStep step(lists, 0);
  step.Prepare();
  EXPECT_EQ(step.Combo("AntragsGegnerGesetzlicherVertreter1RefNr")->DisplayTextAt(2),
            QStringLiteral("Antragsgegner aus Spalte 2:  - leer -"));
  EXPECT_EQ(step.Combo("Kreditgeber2RefNr")->DisplayItems().size(), 6);
  // The court rule without a name editor on the step does nothing.
  Pick(step.Combo("AmtsgerichtPLZOrt"), 2);
  EXPECT_EQ(lists[0].ValueByName(QStringLiteral("AmtsgerichtPLZOrt")), QStringLiteral("70154 Stuttgart"));
}

// ---------------------------------------------------------------------------------------------

const char* const kColumn2[] = {"AntragstellerGeschlechtSp2", "AntragstellerVornameSp2", "AntragstellerNachnameSp2",
                                "AntragstellerStrasseHNrSp2", "AntragstellerPLZSp2",     "AntragstellerOrtSp2",
                                "AntragstellerKzSp2"};

void ExpectColumn2(const TShownStep& step, bool enabled) {
  for (const char* name : kColumn2) {
    QWidget* w = step.Editor(name);
    ASSERT_NE(w, nullptr) << name;
    EXPECT_EQ(w->isEnabled(), enabled) << name;
    EXPECT_EQ(ColorToBGR(EditorColor(w)), enabled ? 0x00FFFFFFu : 0x00C0C0C0u) << name;
  }
}

TEST(SecondColumns, FollowTheColumnOneSurname) {
  TFieldLists lists = SevenSteps();
  TShownStep step(lists, 0);
  step.Prepare();
  ExpectColumn2(step, false);
  QLineEdit* surname = step.Edit("AntragstellerNachnameSp1");
  surname->setFocus();
  QTest::keyClick(surname, Qt::Key_B);
  ExpectColumn2(step, true);
  QTest::keyClick(surname, Qt::Key_Backspace);
  ExpectColumn2(step, false);
  // Values of the disabled column stay.
  EXPECT_EQ(step.Edit("AntragstellerVornameSp2")->text(), QStringLiteral("Eva"));
  EXPECT_EQ(lists[0].ValueByName(QStringLiteral("AntragstellerVornameSp2")), QStringLiteral("Eva"));
  // A blank is an entry.
  QTest::keyClick(surname, Qt::Key_Space);
  ExpectColumn2(step, true);
}

TEST(SecondColumns, CheckBoxesAndButtonsKeepTheirColour) {
  TFieldLists lists = MakeLists({{{"C", K::Checkbox, QString()}, {"E", K::Edit, QString()}}});
  TShownStep step(lists, 0);
  QWidget* c = step.Editor("C");
  const QColor before = c->palette().color(QPalette::Active, QPalette::Window);
  SetEditorEnabled(step.Editors(), QStringLiteral("C"), K::Checkbox, false);
  EXPECT_FALSE(c->isEnabled());
  EXPECT_EQ(c->palette().color(QPalette::Active, QPalette::Window), before);
  // The kind named by the caller decides, not the field's.
  const QColor editBefore = step.Editor("E")->palette().color(QPalette::Active, QPalette::Base);
  SetEditorEnabled(step.Editors(), QStringLiteral("E"), K::Button, false);
  EXPECT_FALSE(step.Editor("E")->isEnabled());
  EXPECT_EQ(step.Editor("E")->palette().color(QPalette::Active, QPalette::Base), editBefore);
  SetEditorEnabled(step.Editors(), QStringLiteral("Fehlt"), K::Edit, false);  // no such editor: nothing
}

// ---------------------------------------------------------------------------------------------

struct TBankTyping {
  const char* Field;
  const char* Typed;
  bool Paste;
  const char* Kept;
  const char* FocusAfter;
};

class BankChain : public ::testing::TestWithParam<TBankTyping> {};

TEST_P(BankChain, FullBoxMovesTheFocus) {
  const TBankTyping& r = GetParam();
  TFieldLists lists = SevenSteps();
  TShownStep step(lists, 3);
  step.Prepare();
  QLineEdit* box = step.Edit(r.Field);
  box->setFocus();
  if (r.Paste)
    box->insert(QString::fromUtf8(r.Typed));
  else
    QTest::keyClicks(box, QString::fromUtf8(r.Typed));
  EXPECT_EQ(box->text(), QString::fromUtf8(r.Kept));
  EXPECT_EQ(lists[3].ValueByName(QString::fromUtf8(r.Field)), QString::fromUtf8(r.Kept));
  EXPECT_EQ(QApplication::focusWidget(), step.Editor(r.FocusAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, BankChain,
    ::testing::Values(
        TBankTyping{"ProzessbevollmaechtigterIBAN", "DE1", false, "DE1", "ProzessbevollmaechtigterIBAN"},
        TBankTyping{"ProzessbevollmaechtigterIBAN", "DE12", false, "DE12", "ProzessbevollmaechtigterBLZ"},
        TBankTyping{"ProzessbevollmaechtigterIBAN", "DE1250010517", true, "DE12", "ProzessbevollmaechtigterBLZ"},
        TBankTyping{"ProzessbevollmaechtigterBLZ", "50010517", false, "50010517", "ProzessbevollmaechtigterKontoNr"},
        TBankTyping{"ProzessbevollmaechtigterKontoNr", "01234567890", true, "0123456789",
                    "ProzessbevollmaechtigterKontoNrExt"},
        TBankTyping{"ProzessbevollmaechtigterKontoNrExt", "012345678901", false, "012345678901",
                    "ProzessbevollmaechtigterBIC"},
        TBankTyping{"ProzessbevollmaechtigterBIC", "INGDDEFFXXXY", true, "INGDDEFFXXX", "Kreditgeber1RefNr"}));

TEST(BankChain, TypingOnRunsThroughTheWholeChain) {
  TFieldLists lists = SevenSteps();
  TShownStep step(lists, 3);
  step.Prepare();
  step.Edit("ProzessbevollmaechtigterIBAN")->setFocus();
  // Each full box hands the focus on, so the keys land in the next box.
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("DE12"));
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("50010517"));
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0123456789"));
  EXPECT_EQ(lists[3].ValueByName(QStringLiteral("ProzessbevollmaechtigterBLZ")), QStringLiteral("50010517"));
  EXPECT_EQ(lists[3].ValueByName(QStringLiteral("ProzessbevollmaechtigterKontoNr")), QStringLiteral("0123456789"));
  EXPECT_EQ(QApplication::focusWidget(), step.Editor("ProzessbevollmaechtigterKontoNrExt"));
}

// ---------------------------------------------------------------------------------------------

TEST(ValidateDateField, WritesBackIntoEditorAndField) {
  TScriptedDialogs dialogs;
  TFieldLists lists = SevenSteps();
  TShownStep step(lists, 2);
  step.Prepare();
  TFormField* von = lists[2].FieldByName(QStringLiteral("HauptAnspruchDatumVon1"));
  TFormField* bis = lists[2].FieldByName(QStringLiteral("HauptAnspruchDatumBis1"));
  step.Edit("HauptAnspruchDatumVon1")->setText(QStringLiteral("1.3.2007"));
  EXPECT_TRUE(ValidateDateField(step.Editors(), *von, lists));
  EXPECT_EQ(step.Edit("HauptAnspruchDatumVon1")->text(), QStringLiteral("01.03.07"));
  EXPECT_EQ(von->Value(), QStringLiteral("01.03.07"));

  TFormularComboBox* bisBox = step.Combo("HauptAnspruchDatumBis1");
  bisBox->setEditText(QStringLiteral("rest"));
  EXPECT_TRUE(ValidateDateField(step.Editors(), *bis, lists));
  EXPECT_EQ(bisBox->currentText(), QStringLiteral("Rest"));
  EXPECT_EQ(bis->Value(), QStringLiteral("Rest"));
  EXPECT_TRUE(dialogs.Messages.empty());

  bisBox->setEditText(QStringLiteral("REST"));
  EXPECT_FALSE(ValidateDateField(step.Editors(), *bis, lists));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, DateMessageUntil());
  EXPECT_EQ(bisBox->currentText(), QStringLiteral("REST"));
}

TEST(ValidateDateField, UntouchedDateEditCountsAsEmpty) {
  TScriptedDialogs dialogs;
  TFieldLists lists = MakeLists({{{"HauptAnspruchDatumVon1", K::DateEdit, QString()}}});
  TShownStep step(lists, 0);
  EXPECT_TRUE(ValidateDateField(step.Editors(), *lists[0].Fields(0), lists));
  EXPECT_TRUE(dialogs.Messages.empty());
}

}  // namespace
