#include <gtest/gtest.h>

#include <QSet>

#include "RulesTestLists.h"
#include "rules/uValueRules.h"

namespace {

using K = TFormFieldKind;

struct TPairRow {
  const char* List;
  int Index;
  const char* Code;
  const char* Text;
};

const TChoiceList& ListNamed(const std::string& name) {
  if (name == "Salutation") return SalutationList();
  if (name == "CompanyType") return CompanyTypeList();
  if (name == "InterestPeriod") return InterestPeriodList();
  if (name == "ContestedCourt") return ContestedCourtList();
  if (name == "RepresentativeType") return RepresentativeTypeList();
  if (name == "Court") return CourtList();
  if (name == "Catalogue") return ClaimCatalogueList();
  return RestPartList();
}

class CodeListPairs : public ::testing::TestWithParam<TPairRow> {};

TEST_P(CodeListPairs, CodeAndTextAtIndex) {
  const TPairRow& r = GetParam();
  const TChoiceList& l = ListNamed(r.List);
  ASSERT_LT(r.Index, l.Count());
  EXPECT_EQ(l.Codes.at(r.Index), QString::fromUtf8(r.Code));
  EXPECT_EQ(l.Texts.at(r.Index), QString::fromUtf8(r.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, CodeListPairs,
    ::testing::Values(
        TPairRow{"Salutation", 0, "", ""}, TPairRow{"Salutation", 1, "1", "1 = Herr"},
        TPairRow{"Salutation", 2, "2", "2 = Frau"}, TPairRow{"CompanyType", 1, "3", "3 = nur Einzelfirma"},
        TPairRow{"CompanyType", 2, "4", "4 = nur GmbH u. Co KG"}, TPairRow{"InterestPeriod", 1, "1", "1 = jährl."},
        TPairRow{"InterestPeriod", 3, "3", "3 = tägl."}, TPairRow{"ContestedCourt", 3, "3", "3 = Landgericht-KfH"},
        TPairRow{"ContestedCourt", 4, "6", "6 = Amtsgericht-Familiengericht"},
        TPairRow{"ContestedCourt", 5, "8", "8 = Sozialgericht"},
        TPairRow{"RepresentativeType", 2, "4", "4 = Herr, Frau"},
        TPairRow{"RepresentativeType", 3, "9", "9 = Verbraucherzentrale, -verband"},
        TPairRow{"Court", 0, "", ""}, TPairRow{"Court", 1, "13357 Berlin", "Ausland"},
        TPairRow{"Court", 9, "36084 Hünfeld", "Hessen"},
        TPairRow{"Court", 12, "58081 Hagen", "    d.h. die Landgerichtsbezirke:"},
        TPairRow{"Court", 17, "53878 Euskirchen", "  - Aachen, Bonn, Köln"},
        TPairRow{"Court", 20, "39418 Staßfurt", "Sachsen-Anhalt"},
        TPairRow{"Court", 23, "24821 Schleswig", "Schleswig-Holstein"},
        TPairRow{"Catalogue", 0, "", ""}, TPairRow{"Catalogue", 1, "1", "Anzeigen in Zeitungen u. a."},
        TPairRow{"Catalogue", 3, "95", "Beiträge zur privaten Pflegeversicherung"},
        TPairRow{"Catalogue", 16, "77", "Krankentransportkosten "},
        TPairRow{"Catalogue", 29, "75", "Reisevertag"},
        TPairRow{"Catalogue", 52, "61", "Wahlleistungen bei stationärer Behandlung "},
        TPairRow{"Catalogue", 57, "46", "Zinsrückstände/Verzugszinsen"}, TPairRow{"RestPart", 1, "Rest", "Rest"},
        TPairRow{"RestPart", 2, "Teil", "Teil"}));

struct TLengthRow {
  const char* List;
  int Count;
  int Width;
};

class CodeListShape : public ::testing::TestWithParam<TLengthRow> {};

TEST_P(CodeListShape, LengthWidthAndEmptyFirstPair) {
  const TLengthRow& r = GetParam();
  const TChoiceList& l = ListNamed(r.List);
  EXPECT_EQ(l.Count(), r.Count);
  EXPECT_EQ(l.Texts.size(), l.Codes.size());
  EXPECT_EQ(l.DropDownWidth, r.Width);
  EXPECT_TRUE(l.Codes.first().isEmpty());
  EXPECT_TRUE(l.Texts.first().isEmpty());
  // Both comma texts read back as the very items, so display texts and codes stay paired.
  EXPECT_EQ(ReadCommaText(l.CodeCommaText()), l.Codes);
  EXPECT_EQ(ReadCommaText(l.TextCommaText()), l.Texts);
}

INSTANTIATE_TEST_SUITE_P(Lists, CodeListShape,
                         ::testing::Values(TLengthRow{"Salutation", 3, 50}, TLengthRow{"CompanyType", 3, 120},
                                           TLengthRow{"InterestPeriod", 4, 50}, TLengthRow{"ContestedCourt", 6, 160},
                                           TLengthRow{"RepresentativeType", 4, 180}, TLengthRow{"Court", 24, 500},
                                           TLengthRow{"Catalogue", 58, 415}, TLengthRow{"RestPart", 3, 50}));

TEST(CodeLists, CatalogueNumbersAreUniqueAndFiveTextsEndInABlank) {
  const TChoiceList& l = ClaimCatalogueList();
  EXPECT_EQ(QSet<QString>(l.Codes.begin(), l.Codes.end()).size(), 58);
  int trailing = 0;
  for (const QString& t : l.Texts) trailing += t.endsWith(QLatin1Char(' ')) ? 1 : 0;
  EXPECT_EQ(trailing, 5);
}

TEST(CodeLists, CommaTextForms) {
  EXPECT_EQ(SalutationList().CodeCommaText(), QStringLiteral(",1,2"));
  EXPECT_EQ(SalutationList().TextCommaText(), QStringLiteral("\"\", \"1 = Herr\", \"2 = Frau\""));
  EXPECT_EQ(ToCommaText({QString(), QStringLiteral("13357 Berlin"), QStringLiteral("a\"b")}),
            QStringLiteral(",\"13357 Berlin\",\"a\"\"b\""));
  // A lone empty item must not vanish.
  EXPECT_EQ(ReadCommaText(ToCommaText({QString()})), QStringList{QString()});
}

struct TFixedRow {
  const char* Name;
  K Kind;
  const TChoiceList* (*Expected)();
};

const TChoiceList* None() { return nullptr; }
const TChoiceList* Sal() { return &SalutationList(); }
const TChoiceList* Firm() { return &CompanyTypeList(); }
const TChoiceList* Period() { return &InterestPeriodList(); }
const TChoiceList* Contested() { return &ContestedCourtList(); }
const TChoiceList* Repr() { return &RepresentativeTypeList(); }
const TChoiceList* Court() { return &CourtList(); }
const TChoiceList* Cat() { return &ClaimCatalogueList(); }
const TChoiceList* RestPart() { return &RestPartList(); }

class FixedListOfField : public ::testing::TestWithParam<TFixedRow> {};

TEST_P(FixedListOfField, ByNameAndKind) {
  const TFixedRow& r = GetParam();
  EXPECT_EQ(FixedChoiceList(QString::fromUtf8(r.Name), r.Kind), r.Expected());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FixedListOfField,
    ::testing::Values(TFixedRow{"AntragstellerGeschlechtSp1", K::Combobox, Sal},
                      TFixedRow{"AntragsGegnerGeschlechtSp2", K::Combobox, Sal},
                      TFixedRow{"AntragsGegnerFirmaTypSp3", K::Combobox, Firm},
                      TFixedRow{"ForderungsuebergangLaufendeZinsenZeitraum3", K::Combobox, Period},
                      TFixedRow{"StreitigesVerfahrenGericht", K::Combobox, Contested},
                      TFixedRow{"ProzessbevollmaechtigterTyp", K::Combobox, Repr},
                      TFixedRow{"AmtsgerichtPLZOrt", K::Combobox, Court},
                      TFixedRow{"HauptAnspruchKatalogNr2", K::Combobox, Cat},
                      TFixedRow{"HauptAnspruchDatumBis3", K::ComboEdit, RestPart},
                      TFixedRow{"SonstigerAnspruchDatumBis", K::ComboEdit, RestPart},
                      // The wrong kind gets no list, and names are compared exactly.
                      TFixedRow{"AmtsgerichtPLZOrt", K::Edit, None}, TFixedRow{"HauptAnspruchKatalogNr1", K::ComboEdit, None},
                      TFixedRow{"SonstigerAnspruchDatumBis", K::Combobox, None},
                      TFixedRow{"amtsgerichtPLZOrt", K::Combobox, None},
                      TFixedRow{"AntragstellerVertreter1RefNr", K::Combobox, None}));

struct TCourtRow {
  int Index;
  const char* Code;
  const char* Name;
};

class CourtChoice : public ::testing::TestWithParam<TCourtRow> {};

TEST_P(CourtChoice, IndexGivesCodeAndCourtName) {
  const TCourtRow& r = GetParam();
  if (r.Index >= 0 && r.Index < CourtList().Count()) {
    EXPECT_EQ(CourtList().Codes.at(r.Index), QString::fromUtf8(r.Code));
  }
  EXPECT_EQ(CourtNameForIndex(r.Index), QString::fromUtf8(r.Name));
}

INSTANTIATE_TEST_SUITE_P(Courts, CourtChoice,
                         ::testing::Values(TCourtRow{0, "", ""}, TCourtRow{1, "13357 Berlin", "Wedding"},
                                           TCourtRow{4, "13357 Berlin", "Wedding"},
                                           TCourtRow{9, "36084 Hünfeld", "Hünfeld"},
                                           TCourtRow{13, "58081 Hagen", "Hagen"},
                                           TCourtRow{17, "53878 Euskirchen", "Euskirchen"},
                                           TCourtRow{21, "39418 Staßfurt", "Aschersleben"},
                                           TCourtRow{23, "24821 Schleswig", "Schleswig"},
                                           TCourtRow{-1, "", ""}, TCourtRow{24, "", ""}));

TEST(CourtChoice, EqualCodesGiveEqualNames) {
  const TChoiceList& l = CourtList();
  for (int i = 0; i < l.Count(); ++i)
    for (int j = 0; j < l.Count(); ++j)
      if (l.Codes.at(i) == l.Codes.at(j)) {
        EXPECT_EQ(CourtNameForIndex(i), CourtNameForIndex(j)) << i << " " << j;
      }
}

// ---------------------------------------------------------------------------------------------

struct TRefRow {
  const char* Field;
  QStringList Codes;
  QStringList Texts;
};

TFieldLists FilledSteps() {
  return MakeLists({
      {{"AntragstellerVornameSp1", K::Edit, QStringLiteral("Anna")},
       {"AntragstellerNachnameSp1", K::Edit, QStringLiteral("Müller")},
       {"AntragstellerVornameSp2", K::Edit, QString()},
       {"AntragstellerNachnameSp2", K::Edit, QStringLiteral("   ")},
       {"AntragstellerFirmaBezeichnung1Sp3", K::Edit, QStringLiteral("Kalno \"Druck\" GmbH")}},
      {{"AntragsGegnerVornameSp1", K::Edit, QString()},
       {"AntragsGegnerNachnameSp1", K::Edit, QStringLiteral("Schmidt")},
       {"AntragsGegnerVornameSp2", K::Edit, QStringLiteral("Eva")}},
      {{"HauptAnspruchKatalogNr1", K::Combobox, QStringLiteral("11")},
       {"HauptAnspruchBezeichnung1", K::Edit, QStringLiteral("Rechnung 4711")},
       {"HauptAnspruchKatalogNr2", K::Combobox, QString()},
       {"HauptAnspruchBezeichnung2", K::Edit, QStringLiteral("Lieferschein")},
       {"SonstigerAnspruchZeile2", K::Edit, QStringLiteral("Mahnkosten")}},
  });
}

class ReferenceLists : public ::testing::TestWithParam<TRefRow> {};

TEST_P(ReferenceLists, DisplayTextsAndCodes) {
  const TRefRow& r = GetParam();
  const TFieldLists lists = FilledSteps();
  TChoiceList l;
  ASSERT_TRUE(ReferenceChoiceList(QString::fromUtf8(r.Field), lists, &l));
  EXPECT_EQ(l.DropDownWidth, 0);
  EXPECT_EQ(l.Codes, r.Codes);
  EXPECT_EQ(l.Texts, r.Texts);
  // A double quote in an entry is doubled in the display list, so the pairs survive the comma text.
  EXPECT_EQ(ReadCommaText(l.TextCommaText()), r.Texts);
  EXPECT_EQ(ReadCommaText(l.CodeCommaText()), r.Codes);
}

const QStringList kPersonCodes = {QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
const QStringList kLineCodes = {QString(), QStringLiteral("32"), QStringLiteral("33"), QStringLiteral("34"),
                                QStringLiteral("36"), QStringLiteral("37")};

INSTANTIATE_TEST_SUITE_P(
    Groups, ReferenceLists,
    ::testing::Values(
        TRefRow{"AntragstellerVertreter1RefNr", kPersonCodes,
                {QString(), QStringLiteral("Antragsteller aus Spalte 1: Anna Müller"),
                 // blank values count as empty: two blanks between the colon and the dash
                 QStringLiteral("Antragsteller aus Spalte 2:  - leer -"),
                 // a company ends in the blank that would separate a second value
                 QStringLiteral("Antragsteller aus Spalte 3: Kalno \"Druck\" GmbH ")}},
        TRefRow{"AntragsGegnerGesetzlicherVertreter2RefNr", kPersonCodes,
                {QString(), QStringLiteral("Antragsgegner aus Spalte 1:  Schmidt"),
                 QStringLiteral("Antragsgegner aus Spalte 2: Eva "),
                 QStringLiteral("Antragsgegner aus Spalte 3:  - leer -")}},
        TRefRow{"Kreditgeber3RefNr", kLineCodes,
                {QString(), QStringLiteral("Anspruch aus ZeilenNr 32: 11 Rechnung 4711"),
                 QStringLiteral("Anspruch aus ZeilenNr 33:  Lieferschein"),
                 QStringLiteral("Anspruch aus ZeilenNr 34:  - leer -"),
                 QStringLiteral("Anspruch aus ZeilenNr 36:  - leer -"),
                 QStringLiteral("Anspruch aus ZeilenNr 37: Mahnkosten ")}},
        TRefRow{"ForderungsuebergangLaufendeZinsenZeilenNr1", kLineCodes,
                {QString(), QStringLiteral("Anspruch aus ZeilenNr 32: 11 Rechnung 4711"),
                 QStringLiteral("Anspruch aus ZeilenNr 33:  Lieferschein"),
                 QStringLiteral("Anspruch aus ZeilenNr 34:  - leer -"),
                 QStringLiteral("Anspruch aus ZeilenNr 36:  - leer -"),
                 QStringLiteral("Anspruch aus ZeilenNr 37: Mahnkosten ")}}));

TEST(ReferenceLists, NonReferenceFieldGetsNothing) {
  TChoiceList l;
  l.DropDownWidth = 7;
  EXPECT_FALSE(ReferenceChoiceList(QStringLiteral("AntragstellerNachnameSp1"), FilledSteps(), &l));
  EXPECT_FALSE(IsReferenceField(QStringLiteral("antragstellerVertreter1RefNr")));
  EXPECT_EQ(l.DropDownWidth, 7);
}

TEST(ReferenceLists, MissingSourceStepGivesEmptyEntries) {
  // A definition with only one step: the respondent and claim groups read from steps that do not exist.
  const TFieldLists lists = MakeLists({{{"AntragstellerNachnameSp1", K::Edit, QStringLiteral("Müller")}}});
  TChoiceList l;
  ASSERT_TRUE(ReferenceChoiceList(QStringLiteral("Kreditgeber1RefNr"), lists, &l));
  EXPECT_EQ(l.Texts.at(5), QStringLiteral("Anspruch aus ZeilenNr 37:  - leer -"));
  ASSERT_TRUE(ReferenceChoiceList(QStringLiteral("AntragstellerVertreter2RefNr"), lists, &l));
  EXPECT_EQ(l.Texts.at(1), QStringLiteral("Antragsteller aus Spalte 1:  Müller"));
  ASSERT_TRUE(ReferenceChoiceList(QStringLiteral("AntragsGegnerGesetzlicherVertreter1RefNr"), TFieldLists(), &l));
  EXPECT_EQ(l.Texts.at(3), QStringLiteral("Antragsgegner aus Spalte 3:  - leer -"));
}

struct TItemRow {
  QString A, B;
  const char* Expected;
};

class ReferenceItem : public ::testing::TestWithParam<TItemRow> {};

TEST_P(ReferenceItem, Text) {
  const TItemRow& r = GetParam();
  TFormFieldList l;
  AddField(l, QStringLiteral("A"), K::Edit, r.A);
  AddField(l, QStringLiteral("B"), K::Edit, r.B);
  EXPECT_EQ(ReferenceItemText(QStringLiteral("X: "), &l, QStringLiteral("A"), QStringLiteral("B")),
            QString::fromUtf8(r.Expected));
}

INSTANTIATE_TEST_SUITE_P(Values, ReferenceItem,
                         ::testing::Values(TItemRow{QStringLiteral("Anna"), QStringLiteral("Berg"), "X: Anna Berg"},
                                           TItemRow{QString(), QString(), "X:  - leer -"},
                                           TItemRow{QStringLiteral(" \t"), QStringLiteral("\r\n"), "X:  - leer -"},
                                           TItemRow{QStringLiteral(" Anna"), QString(), "X:  Anna "},
                                           TItemRow{QString(), QStringLiteral("Berg "), "X:  Berg "}));

TEST(ReferenceItem, UnknownNamesAndNoListAreEmpty) {
  TFormFieldList l;
  AddField(l, QStringLiteral("A"), K::Edit, QStringLiteral("Anna"));
  EXPECT_EQ(ReferenceItemText(QStringLiteral("X: "), &l, QStringLiteral("A"), QStringLiteral("Fehlt")),
            QStringLiteral("X: Anna "));
  EXPECT_EQ(ReferenceItemText(QStringLiteral("X: "), nullptr, QStringLiteral("A"), QStringLiteral("B")),
            QStringLiteral("X:  - leer -"));
}

}  // namespace
