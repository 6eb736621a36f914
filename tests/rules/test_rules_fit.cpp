// What fits a box on paper: measured in the field's print font at its print size, the definition's
// length as a ceiling, one character per cell of a digit box.
#include <gtest/gtest.h>

#include <QFont>

#include "TestSupport.h"
#include "fields/uFormFields.h"
#include "rules/uFieldFit.h"

namespace {

QFont Courier10() {
  QFont f(QStringLiteral("Courier New"));
  f.setPointSize(10);
  return f;
}

QFont Arial10() {
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(10);
  return f;
}

// Courier New advances 1229 of 2048 units per character.
constexpr double kCourier10MM = 1229.0 / 2048.0 * 10.0 / 72.0 * 25.4;

TEST(FieldFit, MeasuresInThePrintFontAtItsPrintSize) {
  TFormFieldList l;
  const TFormField* surname = l.AddEdit(QStringLiteral("AntragstellerNachnameSp1"), 35, 20, 40, 80, 5, Courier10());
  // What the old rule let through: 58 characters, 122.8 mm on paper in an 80 mm box.
  EXPECT_NEAR(PrintedWidthMM(*surname, QString(58, QLatin1Char('8'))), 122.8, 0.05);
  EXPECT_NEAR(PrintedWidthMM(*surname, QStringLiteral("W")), kCourier10MM, 0.001);
  EXPECT_EQ(PrintedWidthMM(*surname, QString()), 0.0f);
  EXPECT_NEAR(WidestCharacterMM(*surname), kCourier10MM, 0.001);
  // A proportional face: the widest character is wider than a W.
  const TFormField* arial = l.AddEdit(QStringLiteral("Frei"), 0, 20, 50, 40, 5, Arial10());
  EXPECT_GT(WidestCharacterMM(*arial), PrintedWidthMM(*arial, QStringLiteral("W")));
  EXPECT_LT(PrintedWidthMM(*arial, QStringLiteral("iiii")), PrintedWidthMM(*arial, QStringLiteral("WWWW")));
}

struct TCeilingCase {
  const char* Name;
  TFormFieldKind Kind;
  int Length;
  int Digits;
  int Ceiling;
};

TEST(FieldFit, LengthCeilingIsTheDefinitionsLengthAndAtMostTheCells) {
  const TCeilingCase cases[] = {
      {"Edit with a length", TFormFieldKind::Edit, 35, 0, 35},
      {"Edit without a length", TFormFieldKind::Edit, 0, 0, 0},
      {"digit box as long as its cells", TFormFieldKind::EditExt, 11, 11, 11},
      {"digit box longer than its cells", TFormFieldKind::EditExt, 14, 11, 11},
      {"digit box shorter than its cells", TFormFieldKind::EditExt, 4, 11, 4},
      {"digit box without a length", TFormFieldKind::EditExt, 0, 8, 8},
      {"digit box without cells", TFormFieldKind::EditExt, 12, 0, 12},
  };
  for (const TCeilingCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormFieldList l;
    const TFormField* f = c.Kind == TFormFieldKind::Edit
                              ? l.AddEdit(QStringLiteral("F"), c.Length, 0, 0, 37.4f, 5, Courier10())
                              : l.AddEditExt(QStringLiteral("F"), c.Length, 0, 0, 37.4f, 5, c.Digits, Courier10());
    EXPECT_EQ(LengthCeiling(*f), c.Ceiling);
    EXPECT_EQ(DigitCells(*f), c.Kind == TFormFieldKind::EditExt ? c.Digits : 0);
  }
}

struct TLimitCase {
  const char* Name;
  float Width;
  int Length;
  QString Text;
  int Limit;
};

TEST(FieldFit, EditorLimitIsTheCeilingLoweredToWhatStillFits) {
  const TLimitCase cases[] = {
      // The shipped boxes: the ceiling binds, Courier's 35 characters take 74.1 of 80 mm.
      {"surname, empty", 80, 35, QString(), 35},
      {"surname, half full", 80, 35, QString(20, QLatin1Char('W')), 35},
      {"surname, full", 80, 35, QString(35, QLatin1Char('W')), 35},
      {"postcode", 14, 5, QString(), 5},
      // Without a ceiling the box decides: 37 characters are 78.3 mm, 38 would be 80.4 mm.
      {"no length, empty", 80, 0, QString(), 37},
      {"no length, 30 typed", 80, 0, QString(30, QLatin1Char('M')), 37},
      {"no length, full", 80, 0, QString(37, QLatin1Char('M')), 37},
      // The width only ever lowers the definition's length.
      {"length above the box", 14, 20, QString(), 6},
      {"length above the box, 4 typed", 14, 20, QStringLiteral("8888"), 6},
      // A loaded text longer than the box blocks more input and stays.
      {"overfull", 14, 20, QString(9, QLatin1Char('8')), 9},
      {"narrower than one character", 1, 10, QString(), 1},
  };
  for (const TLimitCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormFieldList l;
    const TFormField* f = l.AddEdit(QStringLiteral("F"), c.Length, 0, 0, c.Width, 5, Courier10());
    EXPECT_EQ(EditorMaxLength(*f, c.Text), c.Limit);
  }
}

TEST(FieldFit, EditorLimitOfAProportionalFaceLeavesRoomForTheWidestCharacter) {
  TFormFieldList l;
  const TFormField* f = l.AddEdit(QStringLiteral("F"), 0, 0, 0, 40, 5, Arial10());
  const float widest = WidestCharacterMM(*f);
  for (const QString& typed : {QString(), QStringLiteral("iiiiiiii"), QStringLiteral("Mustermann"), QString(9, QLatin1Char('W'))}) {
    SCOPED_TRACE(typed.toStdString());
    const int limit = EditorMaxLength(*f, typed);
    ASSERT_GE(limit, int(typed.size()));
    // Filling up to the limit with the widest character still fits; one more would not.
    const float filled = PrintedWidthMM(*f, typed) + float(limit - typed.size()) * widest;
    EXPECT_LE(filled, f->Width() + 0.001f);
    EXPECT_GT(filled + widest, f->Width());
  }
}

TEST(FieldFit, DigitBoxTakesOneCharacterPerCell) {
  TFormFieldList l;
  const TFormField* amount =
      l.AddEditExt(QStringLiteral("HauptAnspruchBetrag1"), 11, 120, 20, 37.4f, 5, 11, Courier10());
  // The width of the run does not matter: each character has its cell.
  EXPECT_EQ(EditorMaxLength(*amount, QString()), 11);
  EXPECT_EQ(EditorMaxLength(*amount, QStringLiteral("1.234.567,8")), 11);
  EXPECT_NEAR(DigitCellPitchMM(*amount), 37.4 / 11 + 0.1, 1e-4);

  const TFieldFit full = CheckFieldFit(*amount, QStringLiteral("1.234.567,8"));
  EXPECT_TRUE(full.Fits());
  EXPECT_EQ(full.MaxCharacters, 11);
  // The last cell starts 10 pitches in; its character ends inside the box.
  EXPECT_NEAR(full.WidthMM, 10 * DigitCellPitchMM(*amount) + kCourier10MM, 0.001);
  EXPECT_LE(full.WidthMM, full.BoxWidthMM);

  // One character more than cells: the print would drop the last digit.
  const TFieldFit dropped = CheckFieldFit(*amount, QStringLiteral("1.234.567,89"));
  EXPECT_FALSE(dropped.WithinLength);
  EXPECT_TRUE(dropped.InsideBox);
  EXPECT_FALSE(dropped.Fits());
  EXPECT_EQ(dropped.Characters, 12);

  // Cells narrower than a character: each runs into the next cell.
  const TFormField* narrow = l.AddEditExt(QStringLiteral("Eng"), 0, 0, 0, 10, 5, 8, Courier10());
  EXPECT_FALSE(CheckFieldFit(*narrow, QStringLiteral("12")).InsideBox);
  EXPECT_TRUE(CheckFieldFit(*narrow, QString()).Fits());
}

TEST(FieldFit, EditFitsWhileItsPrintedWidthStaysInTheBox) {
  TFormFieldList l;
  const TFormField* surname = l.AddEdit(QStringLiteral("AntragstellerNachnameSp1"), 35, 20, 40, 80, 5, Courier10());
  const TFieldFit ok = CheckFieldFit(*surname, QString(35, QLatin1Char('W')));
  EXPECT_TRUE(ok.Fits());
  EXPECT_NEAR(ok.WidthMM, 35 * kCourier10MM, 0.01);
  // 37 characters are more than the definition allows, but still inside the box.
  const TFieldFit longer = CheckFieldFit(*surname, QString(37, QLatin1Char('W')));
  EXPECT_FALSE(longer.WithinLength);
  EXPECT_TRUE(longer.InsideBox);
  const TFieldFit over = CheckFieldFit(*surname, QString(58, QLatin1Char('8')));
  EXPECT_FALSE(over.InsideBox);
  EXPECT_NEAR(over.WidthMM, 122.8, 0.05);
  // A button prints nothing.
  TFormField* button = l.AddButton(QStringLiteral("Knopf"), 0, 0, 1, 1);
  button->SetValue(QString(200, QLatin1Char('W')));
  EXPECT_TRUE(CheckFieldFit(*button).Fits());
}

TEST(FieldFit, FieldsNotFittingNamesStepAndFieldInOrder) {
  TFieldLists lists(3);
  const QFont font = Courier10();
  lists[0].AddEdit(QStringLiteral("Gut"), 35, 0, 0, 80, 5, font)->SetValue(QStringLiteral("Muster"));
  lists[0].AddEdit(QStringLiteral("Breit"), 0, 0, 0, 20, 5, font)->SetValue(QString(12, QLatin1Char('M')));
  lists[2].AddEditExt(QStringLiteral("Betrag"), 11, 0, 0, 37.4f, 5, 11, font)->SetValue(QStringLiteral("1.234.567,89"));
  lists[2].AddCheckbox(QStringLiteral("Haken"), 0, 0, 4, 4)->SetValue(QStringLiteral("X"));
  const std::vector<TFieldOverflow> bad = FieldsNotFitting(lists);
  ASSERT_EQ(bad.size(), 2u);
  EXPECT_EQ(bad[0].Step, 0);
  EXPECT_EQ(bad[0].Field->Name(), QStringLiteral("Breit"));
  EXPECT_FALSE(bad[0].Fit.InsideBox);
  EXPECT_EQ(bad[1].Step, 2);
  EXPECT_EQ(bad[1].Field->Name(), QStringLiteral("Betrag"));
  EXPECT_FALSE(bad[1].Fit.WithinLength);
}

}  // namespace
