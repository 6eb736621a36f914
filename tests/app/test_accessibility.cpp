// What a screen reader user hears, read through Qt's accessibility interfaces: every editor of
// the shipped form is named as the printed form names its box, described by its context hint,
// and reached with Tab in the field order; the step buttons, the information line and the
// context help are readable too.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "ShippedForm.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "definition/WizardSteps.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "fields/uFormFields.h"
#include "help/uHelpPanels.h"
#include "rules/uValueRules.h"
#include "storage/uProgramPaths.h"

namespace {

QString Spoken(QObject* object, QAccessible::Text what) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
  return iface ? iface->text(what) : QStringLiteral("<keine Schnittstelle>");
}

using Accessibility = TShippedFormWindowTest;

}  // namespace

TEST_F(Accessibility, EveryEditorIsNamedByItsLineAndCaption) {
  int editors = 0, withoutLine = 0;
  for (int step = 0; step < frame->StepCount(); ++step) {
    Show(step);
    TFormEditorList& list = frame->FormularManager().Editors();
    ASSERT_GT(list.Count(), 0) << "Schritt " << step + 1;
    for (int i = 0; i < list.Count(); ++i) {
      QWidget* editor = list.Items(i);
      const TFormField* field = EditorField(editor);
      ASSERT_NE(field, nullptr);
      const QString name = Spoken(editor, QAccessible::Name);
      const std::string where = field->Name().toStdString();
      ++editors;
      EXPECT_FALSE(name.isEmpty()) << where;
      EXPECT_FALSE(field->Caption().isEmpty()) << where << ": the form prints no caption for it";
      EXPECT_TRUE(name.contains(field->Caption())) << where << ": " << name.toStdString();
      if (field->FormLine() > 0) {
        EXPECT_TRUE(name.startsWith(QStringLiteral("Zeile %1, ").arg(field->FormLine()))) << where << ": " << name.toStdString();
      } else {
        ++withoutLine;
        EXPECT_EQ(name, field->Caption()) << where;
      }
    }
  }
  EXPECT_GT(editors, 140);
  // Only the signature's place and date and the court lie outside the numbered lines.
  EXPECT_EQ(withoutLine, 3);
}

TEST_F(Accessibility, NamesFollowTheDefinition) {
  Show(0);
  QWidget* surname = frame->FormularManager().Editors().EditorByName(QStringLiteral("AntragstellerNachnameSp1"));
  ASSERT_NE(surname, nullptr);
  EXPECT_EQ(Spoken(surname, QAccessible::Name), QStringLiteral("Zeile 4, Nachname"));
  QWidget* salutation = frame->FormularManager().Editors().EditorByName(QStringLiteral("AntragstellerGeschlechtSp1"));
  ASSERT_NE(salutation, nullptr);
  EXPECT_EQ(Spoken(salutation, QAccessible::Name), QStringLiteral("Zeile 2, Anrede"));
  Show(5);
  QWidget* box = frame->FormularManager().Editors().EditorByName(QStringLiteral("GegenleistungNichtAbhaengt"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Spoken(box, QAccessible::Name),
            QStringLiteral("Zeile 52, Der Anspruch hängt nicht von einer Gegenleistung ab"));
}

TEST_F(Accessibility, DescriptionIsTheContextHint) {
  Show(5);
  TFormEditorList& list = frame->FormularManager().Editors();
  QWidget* signature = list.EditorByName(QStringLiteral("GegenleistungUnterschrift"));
  QWidget* reference = list.EditorByName(QStringLiteral("AntragstellerGeschaeftszeichen"));
  ASSERT_NE(signature, nullptr);
  ASSERT_NE(reference, nullptr);
  // Before the field was ever entered: the reader already hears the reminder.
  EXPECT_EQ(Spoken(signature, QAccessible::Description),
            QStringLiteral("Vergessen Sie nicht das Formular vor dem Absenden zu unterschreiben."));
  EXPECT_TRUE(Spoken(reference, QAccessible::Description).isEmpty());

  // A catalogue number's hint follows the chosen number.
  Show(2);
  auto* combo = qobject_cast<TFormularComboBox*>(frame->FormularManager().Editors().EditorByName(
      QStringLiteral("HauptAnspruchKatalogNr1")));
  ASSERT_NE(combo, nullptr);
  EXPECT_TRUE(Spoken(combo, QAccessible::Description).isEmpty());
  const int row = combo->CodeItems().indexOf(QStringLiteral("19"));
  ASSERT_GE(row, 0);
  combo->setFocus();
  combo->setCurrentIndex(row);
  emit combo->activated(row);
  QApplication::processEvents();
  const QString described = Spoken(combo, QAccessible::Description);
  EXPECT_TRUE(described.startsWith(QStringLiteral("Ausfüllhilfe zu Katalog Nr. 19:"))) << described.toStdString();
  EXPECT_EQ(described, GetContextHelpText(*EditorField(combo)));
  // The context help panel says the same and is readable itself.
  EXPECT_EQ(Spoken(frame->laContextHelp, QAccessible::Name), frame->laContextHelp->text());
  EXPECT_FALSE(Spoken(frame->laContextHelp, QAccessible::Description).isEmpty());
}

TEST_F(Accessibility, StepButtonsInformationLineAndFocusOrder) {
  ASSERT_EQ(int(frame->NavButtons().size()), frame->StepCount());
  for (int i = 0; i < frame->StepCount(); ++i) {
    const QString name = Spoken(frame->NavButtons()[std::size_t(i)], QAccessible::Name);
    EXPECT_EQ(name, WizardDefinition()->NavigationText(i).trimmed());
    EXPECT_TRUE(name.startsWith(QStringLiteral("Schritt %1").arg(i + 1))) << name.toStdString();
  }
  for (int step = 0; step < frame->StepCount(); ++step) {
    Show(step);
    // The information line reads as shown.
    const QString info = Spoken(frame->InfoText, QAccessible::Name);
    EXPECT_FALSE(info.isEmpty());
    EXPECT_EQ(info, frame->InfoText->text());
    // Tab walks the editors in the field order.
    TFormEditorList& list = frame->FormularManager().Editors();
    QList<QWidget*> chain;
    QWidget* first = list.Items(0);
    QWidget* w = first;
    do {
      for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i) == w && !chain.contains(w)) chain << w;
      w = w->nextInFocusChain();
    } while (w && w != first);
    ASSERT_EQ(chain.size(), list.Count()) << "Schritt " << step + 1;
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(chain.at(i), list.Items(i)) << "Schritt " << step + 1 << ", Feld " << i;
  }
}
