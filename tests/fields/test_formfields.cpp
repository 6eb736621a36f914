#include <gtest/gtest.h>

#include "fields/uFormFields.h"

namespace {
QFont Courier12Bold() {
  QFont f(QStringLiteral("Courier New"));
  f.setPointSize(12);
  f.setBold(true);
  return f;
}
}  // namespace

TEST(FormFieldList, AddOperationsSetKindMeasuresAndLimits) {
  TFormFieldList l;
  const QFont font = Courier12Bold();
  l.AddButton(QStringLiteral("B"), 1, 2, 3, 4);
  l.AddCheckbox(QStringLiteral("C"), 1, 2, 3, 4);
  l.AddCombobox(QStringLiteral("Co"), 1, 2, 3, 4, font);
  l.AddComboEdit(QStringLiteral("CE"), 1, 2, 3, 4, font);
  l.AddDateEdit(QStringLiteral("D"), 1, 2, 3, 4, font);
  l.AddEdit(QStringLiteral("E"), 35, 10.5f, 20.25f, 80.0f, 4.5f, font);
  l.AddEditExt(QStringLiteral("X"), 10, 1, 2, 3, 4, 8, font);
  ASSERT_EQ(l.Count(), 7);

  const TFormFieldKind kinds[] = {TFormFieldKind::Button,    TFormFieldKind::Checkbox, TFormFieldKind::Combobox,
                                  TFormFieldKind::ComboEdit, TFormFieldKind::DateEdit, TFormFieldKind::Edit,
                                  TFormFieldKind::EditExt};
  for (int i = 0; i < 7; ++i) {
    const TFormField* f = l.Fields(i);
    EXPECT_EQ(f->Kind(), kinds[i]) << i;
    EXPECT_TRUE(f->Value().isEmpty());
    // The screen font is Arial 10 pt for every field, whatever prints.
    EXPECT_EQ(f->ScreenFont().family(), QStringLiteral("Arial"));
    EXPECT_EQ(f->ScreenFont().pointSize(), 10);
    EXPECT_FALSE(f->ScreenFont().bold());
    const bool keepsDefaultFont = i < 2;
    EXPECT_EQ(f->Font().family(), keepsDefaultFont ? QStringLiteral("Arial") : QStringLiteral("Courier New")) << i;
    EXPECT_EQ(f->Font().pointSize(), keepsDefaultFont ? 10 : 12) << i;
    EXPECT_EQ(f->Font().bold(), !keepsDefaultFont) << i;
    EXPECT_EQ(f->MaxLength(), i == 5 ? 35 : i == 6 ? 10 : 0) << i;
    EXPECT_EQ(f->NumberOfDigits(), i == 6 ? 8 : 0) << i;
  }
  const TFormField* e = l.Fields(5);
  EXPECT_EQ(e->Name(), QStringLiteral("E"));
  EXPECT_FLOAT_EQ(e->Left(), 10.5f);
  EXPECT_FLOAT_EQ(e->Top(), 20.25f);
  EXPECT_FLOAT_EQ(e->Width(), 80.0f);
  EXPECT_FLOAT_EQ(e->Height(), 4.5f);
}

TEST(FormFieldList, FontIsCopiedAtTheCall) {
  TFormFieldList l;
  QFont font = Courier12Bold();
  TFormField* f = l.AddEdit(QStringLiteral("E"), 0, 0, 0, 1, 1, font);
  font.setPointSize(30);
  font.setFamily(QStringLiteral("Times New Roman"));
  EXPECT_EQ(f->Font().pointSize(), 12);
  EXPECT_EQ(f->Font().family(), QStringLiteral("Courier New"));
}

TEST(FormFieldList, ValueByNameTakesTheFirstExactMatch) {
  TFormFieldList l;
  l.AddEdit(QStringLiteral("Name"), 0, 0, 0, 1, 1, QFont())->SetValue(QStringLiteral("erster"));
  l.AddEdit(QStringLiteral("Name"), 0, 0, 0, 1, 1, QFont())->SetValue(QStringLiteral("zweiter"));
  EXPECT_EQ(l.ValueByName(QStringLiteral("Name")), QStringLiteral("erster"));
  EXPECT_EQ(l.ValueByName(QStringLiteral("name")), QString());
  EXPECT_EQ(l.ValueByName(QStringLiteral("Fehlt")), QString());
  EXPECT_EQ(TFormFieldList().ValueByName(QStringLiteral("Name")), QString());

  TFieldLists lists(2);
  lists[1].AddCheckbox(QStringLiteral("Haken"), 0, 0, 1, 1)->SetValue(QStringLiteral("X"));
  EXPECT_EQ(ValueByName(lists, QStringLiteral("Haken")), QStringLiteral("X"));
  EXPECT_EQ(ValueByName(lists, QStringLiteral("haken")), QString());
}
