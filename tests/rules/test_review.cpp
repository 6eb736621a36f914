#include <gtest/gtest.h>

#include <QDate>
#include <memory>
#include <utility>
#include <vector>

#include "definition/WizardSteps.h"
#include "rules/uFormReview.h"
#include "storage/uDocumentValues.h"

namespace {

// This program links the rules alone, without the test support of the widget tests.
QString SourceRuntimeFolder() { return QStringLiteral(KALNO_SOURCE_DIR "/data/Mahnbescheid Runtime/"); }

// The shipped definition and sample document, the day the tests call today.
const QDate kToday(2026, 12, 11);

struct TShipped {
  std::unique_ptr<TWizardDefinition> Definition;
  TFormPlaces Places;
};

const TShipped& Shipped() {
  static const TShipped s = [] {
    TShipped x;
    x.Definition = TWizardDefinition::Load(DefinitionFileName(SourceRuntimeFolder()));
    x.Places = TFormPlaces::FromDefinition(*x.Definition);
    return x;
  }();
  return s;
}

TFieldLists SampleLists() {
  TFieldLists lists;
  BuildFieldLists(*Shipped().Definition, lists);
  bool exists = false;
  QString why;
  EXPECT_TRUE(ReadDocumentValues(SourceRuntimeFolder() + QStringLiteral("/examples/Beispiel.kln"), lists, &exists, &why))
      << why.toStdString();
  EXPECT_TRUE(exists);
  return lists;
}

QStringList Review(const TFieldLists& lists) {
  QStringList out;
  for (const TFinding& f : ReviewApplication(lists, Shipped().Places, kToday)) out << FindingLine(f);
  return out;
}

struct TCase {
  const char* Name;
  std::vector<std::pair<const char*, const char*>> Values;  // changes to the sample document
  std::vector<const char*> Expected;                        // the finding lines, in form order
};

void PrintTo(const TCase& c, std::ostream* os) { *os << c.Name; }

// A valid German IBAN (DE89 3704 0044 0532 0130 00) in the form's boxes.
const std::vector<std::pair<const char*, const char*>> kGermanBank = {
    {"ProzessbevollmaechtigterIBAN", "DE89"},
    {"ProzessbevollmaechtigterBLZ", "37040044"},
    {"ProzessbevollmaechtigterKontoNr", "0532013000"},
    {"ProzessbevollmaechtigterBIC", "COBADEFFXXX"}};

std::vector<std::pair<const char*, const char*>> Bank(std::vector<std::pair<const char*, const char*>> changes) {
  std::vector<std::pair<const char*, const char*>> all = kGermanBank;
  all.insert(all.end(), changes.begin(), changes.end());
  return all;
}

const char* const kCourtAbroad =
    "Fehler: PLZ und Ort des zentralen Mahngerichts: Hat der Antragsteller keinen Sitz in Deutschland, ist allein das "
    "Amtsgericht Wedding zuständig: Bitte wählen Sie „Ausland“ (13357 Berlin).";

const TCase kCases[] = {
    {"SampleIsClean", {}, {}},
    // The four entries without which the application makes no sense.
    {"NoApplicant",
     {{"AntragstellerNachnameSp1", ""}},
     {"Fehler: Zeile 4: Nachname: Bitte tragen Sie mindestens einen Antragsteller ein (Nachname in Spalte 1 oder "
      "Firma in Spalte 3)."}},
    {"CompanyIsAnApplicant", {{"AntragstellerNachnameSp1", ""}, {"AntragstellerFirmaBezeichnung1Sp3", "Schreiner GmbH"}}, {}},
    {"NoRespondent",
     {{"AntragsGegnerNachnameSp1", ""}},
     {"Fehler: Zeile 19: Nachname: Bitte tragen Sie mindestens einen Antragsgegner ein (Nachname in Spalte 1 oder "
      "Firma in Spalte 3)."}},
    {"NoClaimInLine32",
     {{"HauptAnspruchKatalogNr1", ""}},
     {"Fehler: Zeile 32: Kat.-Nr.: Bitte tragen Sie mindestens einen Anspruch ein: der erste gehört in Zeile 32."}},
    {"NoCourt",
     {{"AmtsgerichtPLZOrt", ""}},
     {"Fehler: PLZ und Ort des zentralen Mahngerichts: Bitte tragen Sie das Amtsgericht ein."}},
    // Boxes and cells.
    {"LongerThanTheBoxTakes",
     {{"AntragstellerStrasseHNrSp1", "Lindenstraße 12, Hinterhaus, 3. Stock"}},
     {"Fehler: Zeile 5: Straße und Hausnummer: Das Feld nimmt höchstens 35 Zeichen auf, eingetragen sind 37. Bitte "
      "kürzen Sie den Eintrag."}},
    {"WiderThanTheBoxInItsPrintFont",
     {{"AmtsgerichtName", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"}},
     {"Fehler: Amtsgericht: Der Eintrag ist in der Druckschrift breiter als das Feld auf dem Formular und würde über "
      "den Rand gedruckt. Bitte kürzen Sie ihn."}},
    {"MoreCharactersThanCells",
     {{"HauptAnspruchBetrag1", "1.234.567,89"}},
     {"Fehler: Zeile 32: Betrag EUR (mit Komma): Das Feld hat 11 Kästchen, eingetragen sind 12 Zeichen; gedruckt "
      "würde nur „1.234.567,8“. Bitte kürzen Sie den Eintrag."}},
    // Codes from their lists.
    {"CodeNotInItsList",
     {{"AntragstellerGeschlechtSp1", "7"}},
     {"Fehler: Zeile 2: Anrede: „7“ ist keine Kennziffer dieses Feldes. Bitte wählen Sie einen Eintrag aus der "
      "Liste."}},
    {"CatalogueNumberUnknown",
     {{"HauptAnspruchKatalogNr1", "99"}},
     {"Fehler: Zeile 32: Kat.-Nr.: „99“ ist keine Kennziffer dieses Feldes. Bitte wählen Sie einen Eintrag aus der "
      "Liste."}},
    // Postcodes.
    {"GermanPostcodeOfFourDigits",
     {{"AntragsGegnerPLZSp1", "3411"}},
     {"Fehler: Zeile 21: PLZ: Eine deutsche Postleitzahl hat fünf Ziffern. Liegt die Anschrift im Ausland, tragen "
      "Sie das Länderkennzeichen unter „Ausl.-Kz.“ ein."}},
    {"ForeignPostcodeWithItsMark", {{"AntragsGegnerPLZSp1", "1010"}, {"AntragsGegnerKzSp1", "A"}}, {}},
    {"CountryMarkDIsGermany",
     {{"AntragsGegnerPLZSp1", "3411"}, {"AntragsGegnerKzSp1", "D"}},
     {"Fehler: Zeile 21: PLZ: Eine deutsche Postleitzahl hat fünf Ziffern. Liegt die Anschrift im Ausland, tragen "
      "Sie das Länderkennzeichen unter „Ausl.-Kz.“ ein."}},
    {"PostcodeWithoutMarkBox",
     {{"AntragstellerVertreter1PLZ", "3411"}},
     {"Fehler: Zeile 16: PLZ: Eine deutsche Postleitzahl hat fünf Ziffern."}},
    // Dates.
    {"NoSuchDay",
     {{"DatumAntrag", "31.02.2026"}},
     {"Fehler: Zeile 1: Datum des Antrags: „31.02.2026“ ist kein gültiges Datum. Bitte geben Sie Tag, Monat und "
      "Jahr ein (z. B. 31.01.26)."}},
    {"DateWithoutYear",
     {{"HauptAnspruchDatumVon1", "14.08."}},
     {"Fehler: Zeile 32: Datum / vom: „14.08.“ ist kein gültiges Datum. Bitte geben Sie Tag, Monat und Jahr ein "
      "(z. B. 31.01.26)."}},
    {"ApplicationDateTomorrow",
     {{"DatumAntrag", "12.12.2026"}},
     {"Fehler: Zeile 1: Datum des Antrags: Das Datum 12.12.2026 liegt in der Zukunft."}},
    {"ApplicationDateToday", {{"DatumAntrag", "11.12.2026"}}, {}},
    {"ClaimDateInTheFuture",
     {{"HauptAnspruchDatumVon1", "12.12.26"}},
     {"Fehler: Zeile 32: Datum / vom: Das Datum 12.12.2026 liegt in der Zukunft.",
      "Hinweis: Zeile 38: ab Datum: Die Zinsen sollen vor dem Datum des Anspruchs in Zeile 32 (12.12.2026) beginnen. "
      "Bitte prüfen Sie das Datum."}},
    {"UntilBeforeFrom",
     {{"HauptAnspruchDatumBis1", "13.08.26"}},
     {"Fehler: Zeile 32: bis / Rest / Teil: Das Ende des Zeitraums liegt vor seinem Beginn (14.08.2026)."}},
    {"UntilRestOrPart", {{"HauptAnspruchDatumBis1", "Rest"}, {"SonstigerAnspruchDatumBis", "Teil"}}, {}},
    {"UntilNeitherDateNorWord",
     {{"HauptAnspruchDatumBis1", "REST"}},
     {"Fehler: Zeile 32: bis / Rest / Teil: „REST“ ist kein gültiges Datum. Bitte geben Sie Tag, Monat und Jahr ein "
      "(z. B. 31.01.26) oder „Rest“ bzw. „Teil“."}},
    {"InterestBeforeTheClaim",
     {{"ForderungsuebergangLaufendeZinsenAb1", "13.08.26"}},
     {"Hinweis: Zeile 38: ab Datum: Die Zinsen sollen vor dem Datum des Anspruchs in Zeile 32 (14.08.2026) beginnen. "
      "Bitte prüfen Sie das Datum."}},
    // Amounts.
    {"AmountWithoutDecimals",
     {{"HauptAnspruchBetrag1", "1785"}},
     {"Fehler: Zeile 32: Betrag EUR (mit Komma): Bitte schreiben Sie den Betrag mit Komma und zwei "
      "Nachkommastellen, z. B. 1250,00 (ohne €-Zeichen)."}},
    {"AmountWithDecimalPoint",
     {{"AuslagenVordruckPorto", "4.50"}},
     {"Fehler: Zeile 42: Betrag EUR (mit Komma): Bitte schreiben Sie den Betrag mit Komma und zwei "
      "Nachkommastellen, z. B. 1250,00 (ohne €-Zeichen)."}},
    {"AmountWithThousandsDots", {{"HauptAnspruchBetrag1", "1.785,00"}}, {}},
    {"AmountZero",
     {{"SonstigeNebenforderungBetrag1", "0,00"}},
     {"Fehler: Zeile 43: Betrag EUR (mit Komma): Der Betrag muss größer als 0,00 sein; ist nichts zu fordern, lassen "
      "Sie das Feld leer."}},
    // Interest.
    {"RateAboveNinePoints",
     {{"ForderungsuebergangLaufendeZinsenZinssatz1", "12,00"}},
     {"Hinweis: Zeile 38: Zinssatz %: Mehr als 9 Prozentpunkte über dem Basiszinssatz: Das Gesetz gibt 5 "
      "Prozentpunkte (§ 288 Abs. 1 BGB), bei Geschäften ohne Verbraucher 9 Prozentpunkte (§ 288 Abs. 2 BGB). Einen "
      "höheren Satz muss eine Vereinbarung tragen."}},
    {"NinePointsAreLegal", {{"ForderungsuebergangLaufendeZinsenZinssatz1", "9,00"}}, {}},
    {"HighFixedRateIsNoBaseRate",
     {{"ForderungsuebergangLaufendeZinsenZinssatz1", "12,00"}, {"ForderungsuebergangLaufendeZinsenUeberBasiszins1", ""}},
     {}},
    {"RateNotANumber",
     {{"ForderungsuebergangLaufendeZinsenZinssatz1", "fünf"}},
     {"Fehler: Zeile 38: Zinssatz %: Bitte geben Sie den Zinssatz als Zahl mit Komma ein, z. B. 5 oder 5,00."}},
    // The form's numbers have no thousands dots: "1.500" is a mistyped 1,5, not 1500 points.
    {"RateWithADot",
     {{"ForderungsuebergangLaufendeZinsenZinssatz1", "1.500"}},
     {"Fehler: Zeile 38: Zinssatz %: Bitte geben Sie den Zinssatz als Zahl mit Komma ein, z. B. 5 oder 5,00."}},
    {"InterestOnAnEmptyClaimLine",
     {{"ForderungsuebergangLaufendeZinsenZeilenNr1", "33"}},
     {"Fehler: Zeile 38: Zeilen-Nr.: Die Zeile 33 enthält keinen Anspruch. Bitte wählen Sie die Zeile des verzinsten "
      "Anspruchs oder tragen Sie ihn in Zeile 33 ein."}},
    {"InterestWithoutClaimLine",
     {{"ForderungsuebergangLaufendeZinsenZeilenNr1", ""}},
     {"Fehler: Zeile 38: Zeilen-Nr.: Bitte wählen Sie die Zeile des Anspruchs, für den diese Zinsen gelten."}},
    {"ThreeInterestLines",
     {{"ForderungsuebergangLaufendeZinsenZeilenNr2", "32"},
      {"ForderungsuebergangLaufendeZinsenZinssatz2", "5,00"},
      {"ForderungsuebergangLaufendeZinsenZeilenNr3", "32"},
      {"ForderungsuebergangLaufendeZinsenZinssatz3", "5,00"}},
     {"Hinweis: Zeile 40: Zeilen-Nr.: Alle drei Zinszeilen sind belegt. Weitere Zinsforderungen passen nicht auf das "
      "Formular; sie gehören auf ein Ergänzungsblatt zum Antrag."}},
    // Catalogue numbers.
    {"Catalogue28WithoutContractType",
     {{"HauptAnspruchKatalogNr1", "28"}},
     {"Fehler: Zeile 35: Nur bei Kat.-Nr. 28: Vertragsart: Zu Katalog-Nr. 28 in Zeile 32 gehört die Vertragsart in "
      "Zeile 35 (rechte Hälfte)."}},
    {"Catalogue28WithContractType",
     {{"HauptAnspruchKatalogNr1", "28"}, {"HauptAnspruchZeile35Vertragsart", "Werkvertrag"}},
     {}},
    {"Catalogue19WithoutPremises",
     {{"HauptAnspruchKatalogNr1", "19"}},
     {"Fehler: Zeile 35: Nur bei Kat.-Nr. 17, 19, 20, 90: PLZ und Ort der Räume: Zu Katalog-Nr. 19 in Zeile 32 "
      "gehören Postleitzahl und Ort der Räume in Zeile 35 (linke Hälfte)."}},
    {"Catalogue90WithPremises",
     {{"HauptAnspruchKatalogNr1", "90"}, {"HauptAnspruchZeile35PLZOrt", "34117 Kassel"}},
     {}},
    {"Catalogue36WithoutAccount",
     {{"HauptAnspruchKatalogNr1", "36"}, {"HauptAnspruchNummer1", ""}},
     {"Fehler: Zeile 32: Nr. der Rechnung / des Kontos: Zu Katalog-Nr. 36 gehört die Kontonummer in diese Spalte."}},
    {"Catalogue42WithoutMeter",
     {{"HauptAnspruchKatalogNr1", "42"}, {"HauptAnspruchNummer1", ""}},
     {"Fehler: Zeile 32: Nr. der Rechnung / des Kontos: Zu Katalog-Nr. 42 gehört die Abrechnungs- oder "
      "Zählernummer in diese Spalte."}},
    {"AmountWithoutClaim",
     {{"HauptAnspruchBetrag2", "100,00"}},
     {"Fehler: Zeile 33: Kat.-Nr.: Zu dem Betrag in Zeile 33 fehlt der Anspruch: Bitte wählen Sie eine Katalog-Nr. "
      "und tragen Sie Rechnung, Aufstellung oder Vertrag ein."}},
    {"OtherClaimAmountWithoutDescription",
     {{"SonstigerAnspruchBetrag2", "10,00"}},
     {"Fehler: Zeile 37: Bezeichnung eines weiteren Anspruchs: Zu dem Betrag in Zeile 37 fehlt die Bezeichnung des "
      "Anspruchs."}},
    // Bank details.
    {"GermanIbanValid", Bank({}), {}},
    {"IbanCheckDigitsWrong",
     Bank({{"ProzessbevollmaechtigterIBAN", "DE88"}}),
     {"Fehler: Zeile 49: IBAN: Die Prüfziffern der IBAN passen nicht zu den übrigen Stellen. Bitte vergleichen Sie "
      "die IBAN Stelle für Stelle mit Ihren Bankunterlagen."}},
    {"IbanHeadMalformed",
     Bank({{"ProzessbevollmaechtigterIBAN", "8937"}}),
     {"Fehler: Zeile 49: IBAN: Hier stehen die ersten vier Stellen der IBAN: das Länderkennzeichen und die zwei "
      "Prüfziffern, z. B. DE89."}},
    {"GermanAccountNumberShort",
     Bank({{"ProzessbevollmaechtigterKontoNr", "532013000"}}),
     {"Fehler: Zeile 49: Kontonummer (IBAN 13-22): Bei einer deutschen IBAN stehen hier ihre Stellen 13 bis 22: die "
      "zehnstellige Kontonummer, vorn mit Nullen aufgefüllt."}},
    {"GermanBankCodeWithLetter",
     Bank({{"ProzessbevollmaechtigterBLZ", "3704004O"}}),
     {"Fehler: Zeile 49: Bankleitzahl (IBAN 5-12): Bei einer deutschen IBAN stehen hier ihre Stellen 5 bis 12: die "
      "achtstellige Bankleitzahl."}},
    {"GermanIbanContinued",
     Bank({{"ProzessbevollmaechtigterKontoNrExt", "12"}}),
     {"Fehler: Zeile 49: IBAN-Fortsetzung (nur Ausland): Eine deutsche IBAN hat 22 Stellen; die IBAN-Fortsetzung "
      "bleibt leer."}},
    {"AustrianIbanValid",
     {{"ProzessbevollmaechtigterIBAN", "AT61"},
      {"ProzessbevollmaechtigterBLZ", "19043002"},
      {"ProzessbevollmaechtigterKontoNr", "34573201"}},
     {}},
    {"AustrianIbanTooShort",
     {{"ProzessbevollmaechtigterIBAN", "AT61"},
      {"ProzessbevollmaechtigterBLZ", "19043002"},
      {"ProzessbevollmaechtigterKontoNr", "3457320"}},
     {"Fehler: Zeile 49: IBAN: Eine IBAN aus AT hat 20 Stellen, eingetragen sind 19."}},
    {"BicOfSevenCharacters",
     Bank({{"ProzessbevollmaechtigterBIC", "COBADEF"}}),
     {"Fehler: Zeile 49: BIC: Eine BIC hat 8 oder 11 Zeichen: 4 Buchstaben für die Bank, 2 für das Land, 2 "
      "Buchstaben oder Ziffern für den Ort und wahlweise 3 für die Filiale."}},
    {"BicOfEightCharacters", Bank({{"ProzessbevollmaechtigterBIC", "COBADEFF"}}), {}},
    // Greyed-out second column.
    {"SecondColumnWithoutFirst",
     {{"AntragstellerNachnameSp1", ""},
      {"AntragstellerFirmaBezeichnung1Sp3", "Schreiner GmbH"},
      {"AntragstellerOrtSp2", "Kassel"},
      {"AntragstellerKzSp2", "F"}},
     {"Hinweis: Zeile 6: Ort: Spalte 2 ist gesperrt, solange in Spalte 1 kein Nachname steht; ihre Angaben werden "
      "trotzdem gedruckt. Tragen Sie die Person in Spalte 1 ein oder leeren Sie Spalte 2."}},
    // Applicants abroad.
    {"ApplicantAbroadWithHomeCourt", {{"AntragstellerPLZSp1", "1010"}, {"AntragstellerKzSp1", "A"}}, {kCourtAbroad}},
    {"ApplicantAbroadWithWedding",
     {{"AntragstellerPLZSp1", "1010"}, {"AntragstellerKzSp1", "A"}, {"AmtsgerichtPLZOrt", "13357 Berlin"}},
     {}},
    {"OneApplicantAtHome",
     {{"AntragstellerKzSp1", "A"}, {"AntragstellerPLZSp1", "1010"}, {"AntragstellerNachnameSp2", "Schreiner"}},
     {}},
    // Several findings come in the form's order, whatever the order of the rules.
    {"FormOrder",
     {{"AmtsgerichtPLZOrt", ""}, {"HauptAnspruchBetrag1", "1785"}, {"DatumAntrag", "12.12.2026"}},
     {"Fehler: Zeile 1: Datum des Antrags: Das Datum 12.12.2026 liegt in der Zukunft.",
      "Fehler: Zeile 32: Betrag EUR (mit Komma): Bitte schreiben Sie den Betrag mit Komma und zwei "
      "Nachkommastellen, z. B. 1250,00 (ohne €-Zeichen).",
      "Fehler: PLZ und Ort des zentralen Mahngerichts: Bitte tragen Sie das Amtsgericht ein."}},
};

class ReviewRules : public ::testing::TestWithParam<TCase> {};

TEST_P(ReviewRules, FindingLines) {
  const TCase& c = GetParam();
  TFieldLists lists = SampleLists();
  for (const auto& [name, value] : c.Values) {
    TFormField* f = FieldByName(lists, QString::fromLatin1(name));
    ASSERT_NE(f, nullptr) << name;
    f->SetValue(QString::fromUtf8(value));
  }
  QStringList expected;
  for (const char* line : c.Expected) expected << QString::fromUtf8(line);
  EXPECT_EQ(Review(lists).join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Table, ReviewRules, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TCase>& i) { return std::string(i.param.Name); });

TEST(ReviewFinding, KindStepFieldAndCaptionForTheWindow) {
  TFieldLists lists = SampleLists();
  FieldByName(lists, QStringLiteral("HauptAnspruchBetrag1"))->SetValue(QStringLiteral("0,00"));
  FieldByName(lists, QStringLiteral("ForderungsuebergangLaufendeZinsenZinssatz1"))->SetValue(QStringLiteral("10"));
  const std::vector<TFinding> f = ReviewApplication(lists, Shipped().Places, kToday);
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].Kind, TFindingKind::Error);
  EXPECT_EQ(f[0].Step, 2);
  EXPECT_EQ(f[0].Line, 32);
  EXPECT_EQ(f[0].FieldName, QStringLiteral("HauptAnspruchBetrag1"));
  EXPECT_EQ(f[0].Caption, QStringLiteral("Betrag EUR (mit Komma)"));
  EXPECT_EQ(f[1].Kind, TFindingKind::Hint);
  EXPECT_EQ(f[1].Step, 3);
  EXPECT_TRUE(HasErrors(f));
  EXPECT_FALSE(HasErrors({f[1]}));
}

TEST(ReviewFinding, TodayDecidesTheFuture) {
  TFieldLists lists = SampleLists();
  // The sample's application date is 01.12.2026: a day earlier it lies in the future.
  const std::vector<TFinding> f = ReviewApplication(lists, Shipped().Places, QDate(2026, 11, 30));
  ASSERT_FALSE(f.empty());
  EXPECT_EQ(FindingLine(f[0]), QStringLiteral("Fehler: Zeile 1: Datum des Antrags: Das Datum 01.12.2026 liegt in der Zukunft."));
}

TEST(ReviewFinding, EveryLineOfTheShippedDefinitionIsKnown) {
  // Lines and captions come from the definition; a box without a caption would show its name.
  TFieldLists lists;
  BuildFieldLists(*Shipped().Definition, lists);
  for (const TFormFieldList& l : lists)
    for (int i = 0; i < l.Count(); ++i) {
      const TFormPlaces::TPlace p = Shipped().Places.Place(l.Fields(i)->Name());
      EXPECT_GE(p.Step, 0) << l.Fields(i)->Name().toStdString();
    }
}

struct TIbanCase {
  const char* Iban;
  bool Valid;
};

TEST(ReviewSingleRules, IbanCheckDigits) {
  const TIbanCase cases[] = {
      {"DE89370400440532013000", true},  {"DE88370400440532013000", false}, {"GB82WEST12345698765432", true},
      {"AT611904300234573201", true},    {"FR1420041010050500013M02606", true}, {"NL91ABNA0417164300", true},
      {"DE89370400440532013001", false}, {"DE89-370400440532013000", false}, {"", false},
  };
  for (const TIbanCase& c : cases) EXPECT_EQ(IbanCheckDigitsValid(QString::fromLatin1(c.Iban)), c.Valid) << c.Iban;
  EXPECT_EQ(IbanLengthForCountry(QStringLiteral("DE")), 22);
  EXPECT_EQ(IbanLengthForCountry(QStringLiteral("XX")), 0);
}

TEST(ReviewSingleRules, BicForm) {
  const TIbanCase cases[] = {{"COBADEFFXXX", true}, {"COBADEFF", true},  {"COBADEF", false},   {"COBADEFF1", false},
                             {"1OBADEFF", false},   {"COBA1EFF", false}, {"DEUTDEDB123", true}, {"cobadeff", false}};
  for (const TIbanCase& c : cases) EXPECT_EQ(BicWellFormed(QString::fromLatin1(c.Iban)), c.Valid) << c.Iban;
}

TEST(ReviewSingleRules, GermanAmounts) {
  struct TAmount {
    const char* Text;
    bool Valid;
    qint64 Cents;
  };
  const TAmount cases[] = {{"1785,00", true, 178500}, {"1.785,00", true, 178500}, {"0,01", true, 1},
                           {"12.345.678,90", true, 1234567890}, {"1785", false, 0},  {"1785,0", false, 0},
                           {"1,785.00", false, 0},  {"17.85,00", false, 0}, {"-5,00", false, 0}, {" 5,00", false, 0}};
  for (const TAmount& c : cases) {
    qint64 cents = -1;
    EXPECT_EQ(ParseGermanAmount(QString::fromLatin1(c.Text), &cents), c.Valid) << c.Text;
    if (c.Valid) {
      EXPECT_EQ(cents, c.Cents) << c.Text;
    }
  }
}

}  // namespace
