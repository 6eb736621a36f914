#include <gtest/gtest.h>

#include "RulesTestLists.h"
#include "TestSupport.h"
#include "rules/uEditorRules.h"

namespace {

using K = TFormFieldKind;

const QString kApplicantMissing = QStringLiteral("Bitte tragen Sie mindestens einen Antragsteller ein. (Schritt1)");
const QString kRespondentMissing = QStringLiteral("Bitte tragen Sie mindestens einen Antragsgegner ein. (Schritt2)");
const QString kClaimMissing = QStringLiteral("Bitte tragen Sie mindestens einen Anspruch ein. (Schritt3)");
const QString kCourtMissing = QStringLiteral("Bitte tragen Sie das Amtsgericht ein. (Schritt7)");
const QString kQuestion = QStringLiteral("Wollen Sie trotz der fehlenden Angaben drucken?");

// Seven steps; the four entries are filled as the mask says (bit 0 applicant .. bit 3 court).
TFieldLists CompletenessSteps(unsigned filled) {
  auto v = [&](unsigned bit, const char* text) { return (filled & bit) ? QString::fromUtf8(text) : QString(); };
  return MakeLists({
      {{"AntragstellerVornameSp1", K::Edit, QStringLiteral("Anna")},
       {"AntragstellerNachnameSp1", K::Edit, v(1, "Müller")},
       {"AntragstellerFirmaBezeichnung1Sp3", K::Edit, QString()}},
      {{"AntragsGegnerNachnameSp1", K::Edit, v(2, "Schmidt")},
       {"AntragsGegnerFirmaBezeichnung1Sp3", K::Edit, QString()}},
      {{"HauptAnspruchKatalogNr1", K::Combobox, v(4, "11")},
       {"HauptAnspruchKatalogNr2", K::Combobox, QStringLiteral("19")}},
      {},
      {},
      {},
      {{"AmtsgerichtPLZOrt", K::Combobox, v(8, "13357 Berlin")}, {"AmtsgerichtName", K::Edit, QString()}},
  });
}

class CompletenessCombinations : public ::testing::TestWithParam<unsigned> {};

TEST_P(CompletenessCombinations, MessageListsEveryMissingEntry) {
  const unsigned filled = GetParam();
  QString message = QStringLiteral("old");
  const bool ok = CheckCompleteness(CompletenessSteps(filled), message);
  QString expected;
  if (!(filled & 1)) expected += kApplicantMissing + QStringLiteral("\r\n");
  if (!(filled & 2)) expected += kRespondentMissing + QStringLiteral("\r\n");
  if (!(filled & 4)) expected += kClaimMissing + QStringLiteral("\r\n");
  if (!(filled & 8)) expected += kCourtMissing + QStringLiteral("\r\n");
  if (filled == 15) {
    EXPECT_TRUE(ok);
    EXPECT_TRUE(message.isEmpty());
  } else {
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, expected + QStringLiteral("\r\n") + kQuestion);
  }
}

INSTANTIATE_TEST_SUITE_P(AllSixteen, CompletenessCombinations, ::testing::Range(0u, 16u));

TEST(Completeness, AllMissingIsFourLinesAnEmptyLineAndTheQuestion) {
  QString message;
  EXPECT_FALSE(CheckCompleteness(CompletenessSteps(0), message));
  EXPECT_EQ(message, QStringLiteral("Bitte tragen Sie mindestens einen Antragsteller ein. (Schritt1)\r\n"
                                    "Bitte tragen Sie mindestens einen Antragsgegner ein. (Schritt2)\r\n"
                                    "Bitte tragen Sie mindestens einen Anspruch ein. (Schritt3)\r\n"
                                    "Bitte tragen Sie das Amtsgericht ein. (Schritt7)\r\n"
                                    "\r\n"
                                    "Wollen Sie trotz der fehlenden Angaben drucken?"));
}

TEST(Completeness, CompanyOrBlankSurnameCountAsEntered) {
  TFieldLists lists = CompletenessSteps(15);
  lists[0].FieldByName(QStringLiteral("AntragstellerNachnameSp1"))->SetValue(QString());
  lists[0].FieldByName(QStringLiteral("AntragstellerFirmaBezeichnung1Sp3"))->SetValue(QStringLiteral("Kalno GmbH"));
  lists[1].FieldByName(QStringLiteral("AntragsGegnerNachnameSp1"))->SetValue(QStringLiteral(" "));
  QString message;
  EXPECT_TRUE(CheckCompleteness(lists, message));
  EXPECT_TRUE(message.isEmpty());
}

TEST(Completeness, ClaimOnlyInSecondLineFails) {
  QString message;
  EXPECT_FALSE(CheckCompleteness(CompletenessSteps(1 | 2 | 8), message));
  EXPECT_EQ(message, kClaimMissing + QStringLiteral("\r\n\r\n") + kQuestion);
}

TEST(Completeness, ValuesAreReadFromTheirOwnStepOnly) {
  // The court entered on step 1 instead of step 7 does not count.
  TFieldLists lists = CompletenessSteps(7);
  AddField(lists[0], QStringLiteral("AmtsgerichtPLZOrt"), K::Combobox, QStringLiteral("13357 Berlin"));
  QString message;
  EXPECT_FALSE(CheckCompleteness(lists, message));
  EXPECT_EQ(message, kCourtMissing + QStringLiteral("\r\n\r\n") + kQuestion);
}

TEST(Completeness, ShortDefinitionMeansMissingEntries) {
  // Three steps only: the court step does not exist, nothing is read past the end.
  TFieldLists lists = CompletenessSteps(15);
  lists.resize(3);
  QString message;
  EXPECT_FALSE(CheckCompleteness(lists, message));
  EXPECT_EQ(message, kCourtMissing + QStringLiteral("\r\n\r\n") + kQuestion);
  EXPECT_FALSE(CheckCompleteness(TFieldLists(), message));
  EXPECT_TRUE(message.startsWith(kApplicantMissing));
}

// ---------------------------------------------------------------------------------------------

const QDate kToday(2026, 12, 10);

struct TDateRow {
  const char* Field;
  const char* Input;
  bool Accept;
  const char* Rewritten;  // null: nothing written back
};

class DateEntries : public ::testing::TestWithParam<TDateRow> {};

TEST_P(DateEntries, AcceptedRefusedNormalised) {
  const TDateRow& r = GetParam();
  const TDateCheck c = CheckDateEntry(QString::fromUtf8(r.Field), QString::fromUtf8(r.Input), kToday);
  EXPECT_EQ(c.Accept, r.Accept);
  EXPECT_EQ(c.Rewrite, r.Rewritten != nullptr);
  if (r.Rewritten) {
    EXPECT_EQ(c.NewText, QString::fromUtf8(r.Rewritten));
  }
  const bool until = DateFieldRule(QString::fromUtf8(r.Field)) == TDateFieldRule::UntilOrRestPart;
  EXPECT_EQ(c.Message, r.Accept ? QString() : until ? DateMessageUntil() : DateMessageFrom());
}

INSTANTIATE_TEST_SUITE_P(
    UntilFields, DateEntries,
    ::testing::Values(TDateRow{"HauptAnspruchDatumBis1", "", true, nullptr},
                      TDateRow{"HauptAnspruchDatumBis1", "  \t", true, nullptr},
                      TDateRow{"HauptAnspruchDatumBis2", "Rest", true, nullptr},
                      TDateRow{"HauptAnspruchDatumBis2", " Teil ", true, nullptr},
                      TDateRow{"HauptAnspruchDatumBis2", "rest", true, "Rest"},
                      TDateRow{"HauptAnspruchDatumBis3", "teil", true, "Teil"},
                      TDateRow{"HauptAnspruchDatumBis2", "REST", false, nullptr},
                      TDateRow{"HauptAnspruchDatumBis2", "Rest.", false, nullptr},
                      TDateRow{"hauptanspruchdatumbis9", "1.3.2007", true, "01.03.07"},
                      TDateRow{"SonstigerAnspruchDatumBis", "31.12.99", true, "31.12.99"},
                      TDateRow{"SonstigerAnspruchDatumBis", "29.02.08", true, "29.02.08"},
                      TDateRow{"SonstigerAnspruchDatumBis", "29.02.07", false, nullptr},
                      TDateRow{"SonstigerAnspruchDatumBis", "teil", true, "Teil"}));

INSTANTIATE_TEST_SUITE_P(
    FromFields, DateEntries,
    ::testing::Values(TDateRow{"SonstigerAnspruchDatumVom", "", true, nullptr},
                      TDateRow{"SonstigerAnspruchDatumVom", "1.3.2007", true, "01.03.07"},
                      TDateRow{"SonstigerAnspruchDatumVom", "01.03.07", true, "01.03.07"},
                      TDateRow{"SonstigerAnspruchDatumVom", "31.02.07", false, nullptr},
                      TDateRow{"SonstigerAnspruchDatumVom", "rest", false, nullptr},
                      TDateRow{"SonstigerAnspruchDatumVom", "Rest", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon1", "5.3.", true, "05.03.26"},
                      TDateRow{"HauptAnspruchDatumVon1", "5.3", true, "05.03.26"},
                      TDateRow{"HAUPTANSPRUCHDATUMVON2", " 7. 4.2025 ", true, "07.04.25"},
                      TDateRow{"HauptAnspruchDatumVon3", "29.02.00", true, "29.02.00"},
                      TDateRow{"HauptAnspruchDatumVon3", "29.02.1900", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "0.3.07", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "1.13.07", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "1.3.207", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "1.3.7", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "1/3/2007", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "2007-03-01", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "1.3.2007.", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "+1.3.07", false, nullptr},
                      TDateRow{"HauptAnspruchDatumVon3", "١.٣.07", false, nullptr}));

INSTANTIATE_TEST_SUITE_P(
    OtherFields, DateEntries,
    ::testing::Values(TDateRow{"SonstigerAnspruchDatumVon", "Unsinn", true, nullptr},
                      TDateRow{"DatumAntrag", "31.02.07", true, nullptr},
                      TDateRow{"SonstigerAnspruchDatumBis1", "Unsinn", true, nullptr}));

TEST(DateEntries, TwoDigitYearsLieWithinFiftyYearsOfToday) {
  QDate d;
  ASSERT_TRUE(ParseGermanDate(QStringLiteral("1.1.07"), kToday, &d));
  EXPECT_EQ(d, QDate(2007, 1, 1));
  ASSERT_TRUE(ParseGermanDate(QStringLiteral("1.1.80"), kToday, &d));
  EXPECT_EQ(d, QDate(1980, 1, 1));
  ASSERT_TRUE(ParseGermanDate(QStringLiteral("1.1.2150"), kToday, &d));
  EXPECT_EQ(ShortDateText(d), QStringLiteral("01.01.50"));
}

TEST(ValidateDateText, RefusalShowsWarningAndKeepsValue) {
  TScriptedDialogs dialogs;
  TFormFieldList l;
  TFormField* f = AddField(l, QStringLiteral("HauptAnspruchDatumBis2"), K::ComboEdit, QStringLiteral("REST"));
  QString newText = QStringLiteral("x");
  EXPECT_FALSE(ValidateDateText(*f, QStringLiteral("REST"), &newText));
  EXPECT_TRUE(newText.isEmpty());
  EXPECT_EQ(f->Value(), QStringLiteral("REST"));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Warning);
  EXPECT_EQ(dialogs.Messages[0].Buttons, TDialogButtons(dbOk));
  EXPECT_EQ(dialogs.Messages[0].Text,
            QStringLiteral("Bitte geben Sie in dieses Feld ein gültiges Datum ein, oder alternativ den Text "
                           "\"Rest\" oder \"Teil\"."));
}

TEST(ValidateDateText, NormalisedDateGoesIntoFieldAndEditorText) {
  TScriptedDialogs dialogs;
  TFormFieldList l;
  TFormField* f = AddField(l, QStringLiteral("SonstigerAnspruchDatumVom"), K::Edit, QStringLiteral("1.3.2007"));
  QString newText;
  EXPECT_TRUE(ValidateDateText(*f, QStringLiteral("1.3.2007"), &newText));
  EXPECT_EQ(newText, QStringLiteral("01.03.07"));
  EXPECT_EQ(f->Value(), QStringLiteral("01.03.07"));
  EXPECT_TRUE(dialogs.Messages.empty());
  // "Rest" as typed stays; nothing to write back.
  TFormField* b = AddField(l, QStringLiteral("SonstigerAnspruchDatumBis"), K::ComboEdit, QStringLiteral("Rest"));
  EXPECT_TRUE(ValidateDateText(*b, QStringLiteral("Rest"), &newText));
  EXPECT_TRUE(newText.isEmpty());
  EXPECT_EQ(b->Value(), QStringLiteral("Rest"));
  // The Von message for an impossible date.
  EXPECT_FALSE(ValidateDateText(*f, QStringLiteral("31.02.07"), &newText));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, QStringLiteral("Bitte geben Sie in dieses Feld ein gültiges Datum ein."));
}

// ---------------------------------------------------------------------------------------------

struct THelpRow {
  const char* Field;
  K Kind;
  const char* Value;
  const char* Expected;
};

class ContextHelp : public ::testing::TestWithParam<THelpRow> {};

TEST_P(ContextHelp, Text) {
  const THelpRow& r = GetParam();
  TFormFieldList l;
  const TFormField* f = AddField(l, QString::fromUtf8(r.Field), r.Kind, QString::fromUtf8(r.Value));
  EXPECT_EQ(GetContextHelpText(*f), QString::fromUtf8(r.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ContextHelp,
    ::testing::Values(
        THelpRow{"HauptAnspruchKatalogNr1", K::Combobox, "61",
                 "Ausfüllhilfe zu Katalog Nr. 61:\r\nTragen Sie die Art der Wahlleistung in Zeile 32-34 in die 3. "
                 "Spalte ein."},
        THelpRow{"HauptAnspruchKatalogNr2", K::Combobox, "11", ""},
        THelpRow{"HauptAnspruchKatalogNr3", K::Combobox, "05", ""},
        THelpRow{"HauptAnspruchKatalogNr3", K::Combobox, "5",
                 "Ausfüllhilfe zu Katalog Nr. 5:\r\nAchtung! Keine Ansprüche aus Arbeitsverträgen. Hier ist das "
                 "Arbeitsgericht zuständig."},
        THelpRow{"HauptAnspruchKatalogNr1", K::Combobox, "90",
                 "Ausfüllhilfe zu Katalog Nr. 90:\r\nTragen Sie bitte die Postleitzahl und den Ort der Wohnung bzw. "
                 "des Hauses in die Zeile 35 (1. Hälfte) ein."},
        THelpRow{"HauptAnspruchKatalogNr1", K::Combobox, "", ""},
        // Catalogue hints only for the combo boxes of the catalogue numbers.
        THelpRow{"HauptAnspruchKatalogNr1", K::Edit, "61", ""},
        THelpRow{"HauptAnspruchKatalogNr4", K::Combobox, "61", ""},
        THelpRow{"GegenleistungUnterschrift", K::Edit, "",
                 "Vergessen Sie nicht das Formular vor dem Absenden zu unterschreiben."},
        THelpRow{"GegenleistungAbhaengt", K::Checkbox, "X",
                 "Vergessen Sie nicht das Formular vor dem Absenden zu unterschreiben."},
        THelpRow{"GegenleistungNichtAbhaengt", K::Checkbox, "",
                 "Vergessen Sie nicht das Formular vor dem Absenden zu unterschreiben."},
        THelpRow{"AntragstellerNachnameSp1", K::Edit, "61", ""}));

TEST(ContextHelp, FourteenCatalogueNumbersHaveHints) {
  int withHint = 0;
  for (const QString& code : ClaimCatalogueList().Codes) withHint += CatalogueHint(code).isEmpty() ? 0 : 1;
  EXPECT_EQ(withHint, 14);
  EXPECT_EQ(CatalogueHint(QStringLiteral("90")), CatalogueHint(QStringLiteral("20")));
  EXPECT_EQ(CatalogueHint(QStringLiteral("95")),
            QStringLiteral("Tragen Sie im Schritt 4 der Software beim Auswahl des Gerichts für ein streitiges "
                           "Verfahren das Sozialgericht ein."));
}

// ---------------------------------------------------------------------------------------------

struct TBankRow {
  const char* Field;
  const char* Text;
  const char* Cut;   // null: no advance
  const char* Next;
};

class BankAdvance : public ::testing::TestWithParam<TBankRow> {};

TEST_P(BankAdvance, FullBoxMovesOn) {
  const TBankRow& r = GetParam();
  QString cut = QStringLiteral("untouched");
  const TBankFieldLink* link = BankFieldAdvance(QString::fromUtf8(r.Field), QString::fromUtf8(r.Text), &cut);
  if (!r.Cut) {
    EXPECT_EQ(link, nullptr);
    EXPECT_EQ(cut, QStringLiteral("untouched"));
    return;
  }
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(cut, QString::fromUtf8(r.Cut));
  EXPECT_EQ(link->Next, QString::fromUtf8(r.Next));
}

INSTANTIATE_TEST_SUITE_P(
    Chain, BankAdvance,
    ::testing::Values(TBankRow{"ProzessbevollmaechtigterIBAN", "DE1", nullptr, nullptr},
                      TBankRow{"ProzessbevollmaechtigterIBAN", "DE12", "DE12", "ProzessbevollmaechtigterBLZ"},
                      TBankRow{"ProzessbevollmaechtigterIBAN", "DE1250010517", "DE12", "ProzessbevollmaechtigterBLZ"},
                      TBankRow{"ProzessbevollmaechtigterBLZ", "5001051", nullptr, nullptr},
                      TBankRow{"ProzessbevollmaechtigterBLZ", "50010517", "50010517", "ProzessbevollmaechtigterKontoNr"},
                      TBankRow{"ProzessbevollmaechtigterKontoNr", "0123456789", "0123456789",
                               "ProzessbevollmaechtigterKontoNrExt"},
                      TBankRow{"ProzessbevollmaechtigterKontoNrExt", "0123456789012", "012345678901",
                               "ProzessbevollmaechtigterBIC"},
                      TBankRow{"ProzessbevollmaechtigterBIC", "INGDDEFFXXX", "INGDDEFFXXX", "Kreditgeber1RefNr"},
                      TBankRow{"ProzessbevollmaechtigterBIC", "INGDDEFFXX", nullptr, nullptr},
                      TBankRow{"prozessbevollmaechtigterIBAN", "DE12", nullptr, nullptr},
                      TBankRow{"AntragstellerPLZSp1", "12345678901234", nullptr, nullptr}));

TEST(SecondColumns, DependentFieldsOfBothSurnames) {
  const auto applicant = SecondColumnFields(QStringLiteral("AntragstellerNachnameSp1"));
  ASSERT_EQ(applicant.size(), 7u);
  EXPECT_EQ(applicant[0].Name, QStringLiteral("AntragstellerGeschlechtSp2"));
  EXPECT_EQ(applicant[0].Kind, K::Combobox);
  EXPECT_EQ(applicant[6].Name, QStringLiteral("AntragstellerKzSp2"));
  EXPECT_EQ(applicant[6].Kind, K::Edit);
  const auto respondent = SecondColumnFields(QStringLiteral("AntragsGegnerNachnameSp1"));
  ASSERT_EQ(respondent.size(), 7u);
  EXPECT_EQ(respondent[3].Name, QStringLiteral("AntragsGegnerStrasseHNrSp2"));
  EXPECT_TRUE(SecondColumnFields(QStringLiteral("AntragstellerNachnameSp2")).empty());
}

TEST(ApplicationDate, EmptyDateGetsTodayAnEnteredOneStays) {
  TFormFieldList l;
  TFormField* d = AddField(l, QStringLiteral("DatumAntrag"), K::Edit, QString());
  EXPECT_TRUE(ApplyApplicationDateDefault(*d, QDate(2007, 3, 5)));
  EXPECT_EQ(d->Value(), QStringLiteral("05.03.2007"));
  EXPECT_FALSE(ApplyApplicationDateDefault(*d, QDate(2026, 12, 10)));
  EXPECT_EQ(d->Value(), QStringLiteral("05.03.2007"));
  TFormField* other = AddField(l, QStringLiteral("DatumAntrag2"), K::Edit, QString());
  EXPECT_FALSE(ApplyApplicationDateDefault(*other, QDate(2007, 3, 5)));
  EXPECT_TRUE(other->Value().isEmpty());
}

}  // namespace
