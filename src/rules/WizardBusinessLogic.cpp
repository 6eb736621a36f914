#include "rules/WizardBusinessLogic.h"

#include <algorithm>
#include <cstdint>

#include <QComboBox>
#include <QWidget>

#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "platform/UserDialogs.h"
#include "platform/uColors.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct TPair {
  const char16_t* Code;
  const char16_t* Text;
};

// Builds a list with its leading empty pair.
TChoiceList MakeList(int width, std::initializer_list<TPair> pairs) {
  TChoiceList l;
  l.DropDownWidth = width;
  l.Codes << QString();
  l.Texts << QString();
  for (const TPair& p : pairs) {
    l.Codes << QString::fromUtf16(p.Code);
    l.Texts << QString::fromUtf16(p.Text);
  }
  return l;
}

struct TCourt {
  const char16_t* Text;
  const char16_t* Code;
  const char16_t* Name;
};

// The central dunning courts by federal state. Some entries only explain the one above them;
// they can be chosen like the others and carry the same court.
const TCourt kCourts[] = {
    {u"", u"", u""},
    {u"Ausland", u"13357 Berlin", u"Wedding"},
    {u"Baden-Württemberg", u"70154 Stuttgart", u"Stuttgart"},
    {u"Bayern", u"96441 Coburg", u"Coburg"},
    {u"Berlin", u"13357 Berlin", u"Wedding"},
    {u"Brandenburg", u"13357 Berlin", u"Wedding"},
    {u"Bremen", u"28184 Bremen", u"Bremen"},
    {u"Hamburg", u"22747 Hamburg", u"Hamburg"},
    {u"Mecklenburg Vorpommern", u"22747 Hamburg", u"Hamburg"},
    {u"Hessen", u"36084 Hünfeld", u"Hünfeld"},
    {u"Niedersachsen", u"29503 Uelzen", u"Uelzen"},
    {u"Nordrhein-Westfalen - für die OLG Bezirke Hamm und Düsseldorf", u"58081 Hagen", u"Hagen"},
    {u"    d.h. die Landgerichtsbezirke:", u"58081 Hagen", u"Hagen"},
    {u"  - Arnsberg, Bielefeld, Bochum, Dortmund, Essen, Hagen, Münster, Paderborn", u"58081 Hagen", u"Hagen"},
    {u"  - Siegen, Düsseldorf, Duisburg, Kleve, Krefeld, Mönchengladbach, Wuppertal", u"58081 Hagen", u"Hagen"},
    {u"Nordrhein-Westfalen - für den OLG-Bezirk Köln", u"53878 Euskirchen", u"Euskirchen"},
    {u"    d.h. die Landgerichtsbezirke:", u"53878 Euskirchen", u"Euskirchen"},
    {u"  - Aachen, Bonn, Köln", u"53878 Euskirchen", u"Euskirchen"},
    {u"Rheinland-Pfalz", u"56723 Mayen", u"Mayen"},
    {u"Saarland", u"56723 Mayen", u"Mayen"},
    {u"Sachsen-Anhalt", u"39418 Staßfurt", u"Aschersleben"},
    {u"Sachsen", u"39418 Staßfurt", u"Aschersleben"},
    {u"Thüringen", u"39418 Staßfurt", u"Aschersleben"},
    {u"Schleswig-Holstein", u"24821 Schleswig", u"Schleswig"},
};
constexpr int kCourtCount = int(sizeof(kCourts) / sizeof(kCourts[0]));
static_assert(kCourtCount == 24, "the court list has 24 entries");

// The claim catalogue in the order of the paper form's leaflet (mostly alphabetical by text, so
// the numbers are not sorted). Some texts end in a blank, as on the leaflet.
const TPair kCatalogue[] = {
    {u"1", u"Anzeigen in Zeitungen u. a."},
    {u"2", u"Ärztliche oder Zahnärztliche Leistungen"},
    {u"95", u"Beiträge zur privaten Pflegeversicherung"},
    {u"3", u"Bürgschaft"},
    {u"4", u"Darlehensrückzahlung"},
    {u"5", u"Dienstleistungsvertrag"},
    {u"6", u"Frachtkosten"},
    {u"7", u"Geschäftsbesorgungen durch Selbständige z. B. Rechtsanwälte, Steuerberater"},
    {u"8", u"Handwerkerleistung"},
    {u"9", u"Heimunterbringung"},
    {u"10", u"Hotelkosten z. B. Übernachtungen, Verzehr , Getränke"},
    {u"11", u"Kaufvertrag"},
    {u"70", u"Kindertagesstättenbeitrag"},
    {u"12", u"Kontokorrentabrechnung"},
    {u"13", u"Krankenhauskosten - Pflege/Behandlung -"},
    {u"77", u"Krankentransportkosten "},
    {u"74", u"Kreditkartenvertrag "},
    {u"14", u"Lagerkosten"},
    {u"15", u"Leasing/Mietkauf"},
    {u"16", u"Lehrgangs-/ Unterrichtskosten"},
    {u"17", u"Miete für Geschäftsraum einschl. Nebenkosten"},
    {u"18", u"Miete für Kraftfahrzeug"},
    {u"19", u"Miete für Wohnraum einschl. Nebenkosten"},
    {u"20", u"Mietnebenkosten - auch Renovierungskosten -"},
    {u"21", u"Miete (sonstige)"},
    {u"22", u"Mitgliedsbeitrag"},
    {u"23", u"Pacht"},
    {u"24", u"Rechtsanwalt-/Rechtsbeistandshonorar"},
    {u"75", u"Reisevertag"},
    {u"25", u"Rentenrückstände"},
    {u"26", u"Reparaturleistung"},
    {u"80", u"Rückgriff aus Bürgschaft oder Garantie "},
    {u"27", u"Rückgriff aus Versicherungsvertrag wegen Unfall/Vorfall"},
    {u"28", u"Schadensersatz aus - Vertrag"},
    {u"29", u"Schadensersatz aus Unfall/Vorfall"},
    {u"30", u"Scheck/Wechsel"},
    {u"31", u"Scheck-/Wechselprovision (1/3%)"},
    {u"32", u"Scheck-/Wechselunkosten - Spesen/Protest -"},
    {u"33", u"Schuldanerkenntnis"},
    {u"34", u"Speditionskosten"},
    {u"76", u"Telekommunikationsleistungen "},
    {u"78", u"Tierärtztliche Leistung"},
    {u"35", u"Tilgungs-/Zinsraten"},
    {u"36", u"Überziehung des Bankkontos"},
    {u"37", u"Ungerechtfertigte Bereicherung"},
    {u"38", u"Unterhaltsrückstände"},
    {u"39", u"Vergleich, außergerichtlich"},
    {u"40", u"Vermittlungs-/Maklerprovision (nicht aus Ehemaklervertrag)"},
    {u"79", u"Verpflegungskosten"},
    {u"41", u"Versicherungsprämie/-beitrag"},
    {u"42", u"Versorgungsleistung - Strom, Wasser, Gas, Wärme-"},
    {u"61", u"Wahlleistungen bei stationärer Behandlung "},
    {u"43", u"Warenlieferungen"},
    {u"44", u"Werkvertrag/Werklieferungsvertrag"},
    {u"90", u"Wohngeld/Hausgeld für Wohnungseigentümergemeinschaft"},
    {u"45", u"Zeitungs-/Zeitschriftenbezug"},
    {u"46", u"Zinsrückstände/Verzugszinsen"},
};
static_assert(sizeof(kCatalogue) / sizeof(kCatalogue[0]) == 57, "the catalogue has 57 numbers");

bool NeedsQuotes(const QString& item) {
  for (QChar c : item)
    if (c.unicode() <= 0x20 || c == QLatin1Char(',') || c == QLatin1Char('"')) return true;
  return false;
}

QString Quoted(const QString& item) {
  QString s = item;
  s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + s + QLatin1Char('"');
}

template <class Names>
bool IsIn(const QString& name, const Names& names) {
  for (const char* n : names)
    if (name == QLatin1String(n)) return true;
  return false;
}

bool IsOneOf(const QString& name, std::initializer_list<const char*> names) { return IsIn(name, names); }

}  // namespace

// ---------------------------------------------------------------------------------------------

QString ToCommaText(const QStringList& items, bool quoteAll) {
  QString out;
  for (int i = 0; i < items.size(); ++i) {
    if (i > 0) out += quoteAll ? QStringLiteral(", ") : QStringLiteral(",");
    const QString& item = items.at(i);
    out += (quoteAll || NeedsQuotes(item)) ? Quoted(item) : item;
  }
  // A single empty item would read back as no item at all.
  if (items.size() == 1 && items.first().isEmpty()) out = QStringLiteral("\"\"");
  return out;
}

QString TChoiceList::CodeCommaText() const { return ToCommaText(Codes, false); }
QString TChoiceList::TextCommaText() const { return ToCommaText(Texts, true); }

const TChoiceList& SalutationList() {
  static const TChoiceList l = MakeList(50, {{u"1", u"1 = Herr"}, {u"2", u"2 = Frau"}});
  return l;
}

const TChoiceList& CompanyTypeList() {
  static const TChoiceList l = MakeList(120, {{u"3", u"3 = nur Einzelfirma"}, {u"4", u"4 = nur GmbH u. Co KG"}});
  return l;
}

const TChoiceList& InterestPeriodList() {
  static const TChoiceList l =
      MakeList(50, {{u"1", u"1 = jährl."}, {u"2", u"2 = mtl."}, {u"3", u"3 = tägl."}});
  return l;
}

const TChoiceList& ContestedCourtList() {
  static const TChoiceList l = MakeList(160, {{u"1", u"1 = Amtsgericht"},
                                               {u"2", u"2 = Landgericht"},
                                               {u"3", u"3 = Landgericht-KfH"},
                                               {u"6", u"6 = Amtsgericht-Familiengericht"},
                                               {u"8", u"8 = Sozialgericht"}});
  return l;
}

const TChoiceList& RepresentativeTypeList() {
  static const TChoiceList l = MakeList(180, {{u"3", u"3 = Rechtsbeistand"},
                                               {u"4", u"4 = Herr, Frau"},
                                               {u"9", u"9 = Verbraucherzentrale, -verband"}});
  return l;
}

const TChoiceList& CourtList() {
  static const TChoiceList l = [] {
    TChoiceList c;
    c.DropDownWidth = 500;
    for (const TCourt& court : kCourts) {
      c.Codes << QString::fromUtf16(court.Code);
      c.Texts << QString::fromUtf16(court.Text);
    }
    return c;
  }();
  return l;
}

const TChoiceList& ClaimCatalogueList() {
  static const TChoiceList l = [] {
    TChoiceList c;
    c.DropDownWidth = 415;
    c.Codes << QString();
    c.Texts << QString();
    for (const TPair& p : kCatalogue) {
      c.Codes << QString::fromUtf16(p.Code);
      c.Texts << QString::fromUtf16(p.Text);
    }
    return c;
  }();
  return l;
}

const TChoiceList& RestPartList() {
  static const TChoiceList l = MakeList(50, {{u"Rest", u"Rest"}, {u"Teil", u"Teil"}});
  return l;
}

const TChoiceList* FixedChoiceList(const QString& name, TFormFieldKind kind) {
  if (kind == TFormFieldKind::ComboEdit) {
    if (IsOneOf(name, {"HauptAnspruchDatumBis1", "HauptAnspruchDatumBis2", "HauptAnspruchDatumBis3",
                       "SonstigerAnspruchDatumBis"}))
      return &RestPartList();
    return nullptr;
  }
  if (kind != TFormFieldKind::Combobox) return nullptr;
  if (IsOneOf(name, {"AntragstellerGeschlechtSp1", "AntragstellerGeschlechtSp2", "AntragsGegnerGeschlechtSp1",
                     "AntragsGegnerGeschlechtSp2"}))
    return &SalutationList();
  if (IsOneOf(name, {"AntragstellerFirmaTypSp3", "AntragsGegnerFirmaTypSp3"})) return &CompanyTypeList();
  if (IsOneOf(name, {"ForderungsuebergangLaufendeZinsenZeitraum1", "ForderungsuebergangLaufendeZinsenZeitraum2",
                     "ForderungsuebergangLaufendeZinsenZeitraum3"}))
    return &InterestPeriodList();
  if (name == QLatin1String("StreitigesVerfahrenGericht")) return &ContestedCourtList();
  if (name == QLatin1String("ProzessbevollmaechtigterTyp")) return &RepresentativeTypeList();
  if (name == QLatin1String("AmtsgerichtPLZOrt")) return &CourtList();
  if (IsOneOf(name, {"HauptAnspruchKatalogNr1", "HauptAnspruchKatalogNr2", "HauptAnspruchKatalogNr3"}))
    return &ClaimCatalogueList();
  return nullptr;
}

QString CourtNameForIndex(int index) {
  if (index < 0 || index >= kCourtCount) return QString();
  return QString::fromUtf16(kCourts[index].Name);
}

// ---------------------------------------------------------------------------------------------

const TFormFieldList* StepList(const TFieldLists& lists, int index) {
  if (index < 0 || std::size_t(index) >= lists.size()) return nullptr;
  return &lists[std::size_t(index)];
}

QString StepValue(const TFieldLists& lists, int index, const QString& name) {
  const TFormFieldList* l = StepList(lists, index);
  return l ? l->ValueByName(name) : QString();
}

QString TrimBlanks(const QString& text) {
  int b = 0, e = int(text.size());
  while (b < e && text.at(b).unicode() <= 0x20) ++b;
  while (e > b && text.at(e - 1).unicode() <= 0x20) --e;
  return text.mid(b, e - b);
}

// ---------------------------------------------------------------------------------------------

namespace {

// nameB null: the entry has a single value.
QString EntryText(const QString& prefix, const TFormFieldList* list, const QString& nameA, const QString* nameB) {
  const QString a = list ? list->ValueByName(nameA) : QString();
  const QString b = list && nameB ? list->ValueByName(*nameB) : QString();
  if (TrimBlanks(a).isEmpty() && TrimBlanks(b).isEmpty()) return prefix + QStringLiteral(" - leer -");
  return prefix + a + QLatin1Char(' ') + b;
}

}  // namespace

QString ReferenceItemText(const QString& prefix, const TFormFieldList* list, const QString& nameA,
                          const QString& nameB) {
  return EntryText(prefix, list, nameA, &nameB);
}

namespace {

struct TReferenceEntry {
  const char* Code;
  const char* Label;
  const char* NameA;
  const char* NameB;  // null: the entry has one value only
};

struct TReferenceGroup {
  std::vector<const char*> Fields;
  int SourceStep;
  std::vector<TReferenceEntry> Entries;
};

const std::vector<TReferenceGroup>& ReferenceGroups() {
  static const std::vector<TReferenceGroup> groups = {
      {{"AntragstellerVertreter1RefNr", "AntragstellerVertreter2RefNr"},
       kApplicantStep,
       {{"1", "Antragsteller aus Spalte 1", "AntragstellerVornameSp1", "AntragstellerNachnameSp1"},
        {"2", "Antragsteller aus Spalte 2", "AntragstellerVornameSp2", "AntragstellerNachnameSp2"},
        {"3", "Antragsteller aus Spalte 3", "AntragstellerFirmaBezeichnung1Sp3", nullptr}}},
      {{"AntragsGegnerGesetzlicherVertreter1RefNr", "AntragsGegnerGesetzlicherVertreter2RefNr"},
       kRespondentStep,
       {{"1", "Antragsgegner aus Spalte 1", "AntragsGegnerVornameSp1", "AntragsGegnerNachnameSp1"},
        {"2", "Antragsgegner aus Spalte 2", "AntragsGegnerVornameSp2", "AntragsGegnerNachnameSp2"},
        {"3", "Antragsgegner aus Spalte 3", "AntragsGegnerFirmaBezeichnung1Sp3", nullptr}}},
      {{"ForderungsuebergangLaufendeZinsenZeilenNr1", "ForderungsuebergangLaufendeZinsenZeilenNr2",
        "ForderungsuebergangLaufendeZinsenZeilenNr3", "Kreditgeber1RefNr", "Kreditgeber2RefNr",
        "Kreditgeber3RefNr"},
       kClaimStep,
       {{"32", "Anspruch aus ZeilenNr 32", "HauptAnspruchKatalogNr1", "HauptAnspruchBezeichnung1"},
        {"33", "Anspruch aus ZeilenNr 33", "HauptAnspruchKatalogNr2", "HauptAnspruchBezeichnung2"},
        {"34", "Anspruch aus ZeilenNr 34", "HauptAnspruchKatalogNr3", "HauptAnspruchBezeichnung3"},
        {"36", "Anspruch aus ZeilenNr 36", "SonstigerAnspruchZeile1", nullptr},
        {"37", "Anspruch aus ZeilenNr 37", "SonstigerAnspruchZeile2", nullptr}}},
  };
  return groups;
}

const TReferenceGroup* ReferenceGroupOf(const QString& fieldName) {
  for (const TReferenceGroup& g : ReferenceGroups())
    if (IsIn(fieldName, g.Fields)) return &g;
  return nullptr;
}

}  // namespace

bool IsReferenceField(const QString& fieldName) { return ReferenceGroupOf(fieldName) != nullptr; }

bool ReferenceChoiceList(const QString& fieldName, const TFieldLists& lists, TChoiceList* out) {
  const TReferenceGroup* g = ReferenceGroupOf(fieldName);
  if (!g) return false;
  const TFormFieldList* source = StepList(lists, g->SourceStep);
  TChoiceList l;
  l.DropDownWidth = 0;
  l.Codes << QString();
  l.Texts << QString();
  for (const TReferenceEntry& e : g->Entries) {
    l.Codes << QLatin1String(e.Code);
    const QString nameB = e.NameB ? QString(QLatin1String(e.NameB)) : QString();
    l.Texts << EntryText(QLatin1String(e.Label) + QStringLiteral(": "), source, QLatin1String(e.NameA),
                         e.NameB ? &nameB : nullptr);
  }
  *out = l;
  return true;
}

// ---------------------------------------------------------------------------------------------

const std::vector<TBankFieldLink>& BankFieldChain() {
  static const std::vector<TBankFieldLink> chain = {
      {QStringLiteral("ProzessbevollmaechtigterIBAN"), 4, QStringLiteral("ProzessbevollmaechtigterBLZ")},
      {QStringLiteral("ProzessbevollmaechtigterBLZ"), 8, QStringLiteral("ProzessbevollmaechtigterKontoNr")},
      {QStringLiteral("ProzessbevollmaechtigterKontoNr"), 10, QStringLiteral("ProzessbevollmaechtigterKontoNrExt")},
      {QStringLiteral("ProzessbevollmaechtigterKontoNrExt"), 12, QStringLiteral("ProzessbevollmaechtigterBIC")},
      {QStringLiteral("ProzessbevollmaechtigterBIC"), 11, QStringLiteral("Kreditgeber1RefNr")},
  };
  return chain;
}

const TBankFieldLink* BankFieldAdvance(const QString& fieldName, const QString& text, QString* cut) {
  for (const TBankFieldLink& link : BankFieldChain()) {
    if (link.Name != fieldName) continue;
    if (text.size() < link.Length) return nullptr;
    if (cut) *cut = text.left(link.Length);
    return &link;
  }
  return nullptr;
}

std::vector<TDependentField> SecondColumnFields(const QString& surnameField) {
  QString prefix;
  if (surnameField == QLatin1String("AntragstellerNachnameSp1"))
    prefix = QStringLiteral("Antragsteller");
  else if (surnameField == QLatin1String("AntragsGegnerNachnameSp1"))
    prefix = QStringLiteral("AntragsGegner");
  else
    return {};
  std::vector<TDependentField> out;
  out.push_back({prefix + QStringLiteral("GeschlechtSp2"), TFormFieldKind::Combobox});
  for (const char* part : {"VornameSp2", "NachnameSp2", "StrasseHNrSp2", "PLZSp2", "OrtSp2", "KzSp2"})
    out.push_back({prefix + QLatin1String(part), TFormFieldKind::Edit});
  return out;
}

QString ApplicationDateText(const QDate& date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }

bool ApplyApplicationDateDefault(TFormField& field, const QDate& today) {
  if (field.Name() != QLatin1String("DatumAntrag") || !field.Value().isEmpty()) return false;
  field.SetValue(ApplicationDateText(today));
  return true;
}

// ---------------------------------------------------------------------------------------------

bool CheckCompleteness(const TFieldLists& lists, QString& message) {
  message.clear();
  const auto v = [&](int step, const char* name) { return StepValue(lists, step, QLatin1String(name)); };
  // Blanks count as an entry: the user typed something there.
  const bool applicant = !v(kApplicantStep, "AntragstellerNachnameSp1").isEmpty() ||
                         !v(kApplicantStep, "AntragstellerFirmaBezeichnung1Sp3").isEmpty();
  const bool respondent = !v(kRespondentStep, "AntragsGegnerNachnameSp1").isEmpty() ||
                          !v(kRespondentStep, "AntragsGegnerFirmaBezeichnung1Sp3").isEmpty();
  const bool claim = !v(kClaimStep, "HauptAnspruchKatalogNr1").isEmpty();
  const bool court = !v(kCourtStep, "AmtsgerichtPLZOrt").isEmpty();
  if (applicant && respondent && claim && court) return true;
  if (!applicant) message += QStringLiteral("Bitte tragen Sie mindestens einen Antragsteller ein. (Schritt1)") + kCrLf;
  if (!respondent) message += QStringLiteral("Bitte tragen Sie mindestens einen Antragsgegner ein. (Schritt2)") + kCrLf;
  if (!claim) message += QStringLiteral("Bitte tragen Sie mindestens einen Anspruch ein. (Schritt3)") + kCrLf;
  if (!court) message += QStringLiteral("Bitte tragen Sie das Amtsgericht ein. (Schritt7)") + kCrLf;
  message += kCrLf + QStringLiteral("Wollen Sie trotz der fehlenden Angaben drucken?");
  return false;
}

TDateFieldRule DateFieldRule(const QString& name) {
  if (name.startsWith(QLatin1String("HauptAnspruchDatumBis"), Qt::CaseInsensitive) ||
      name == QLatin1String("SonstigerAnspruchDatumBis"))
    return TDateFieldRule::UntilOrRestPart;
  if (name.startsWith(QLatin1String("HauptAnspruchDatumVon"), Qt::CaseInsensitive) ||
      name == QLatin1String("SonstigerAnspruchDatumVom"))
    return TDateFieldRule::From;
  return TDateFieldRule::None;
}

namespace {

// Digits only, 1 to maxDigits of them.
bool ReadNumber(const QString& part, int maxDigits, int* value, int* digits) {
  const QString t = TrimBlanks(part);
  if (t.isEmpty() || t.size() > maxDigits) return false;
  int v = 0;
  for (QChar c : t) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    v = v * 10 + (c.unicode() - '0');
  }
  *value = v;
  *digits = int(t.size());
  return true;
}

// A two-digit year lies within fifty years before or after today.
int FullYear(int twoDigits, int currentYear) {
  const int base = currentYear - 50;
  int y = base / 100 * 100 + twoDigits;
  if (y < base) y += 100;
  return y;
}

}  // namespace

bool ParseGermanDate(const QString& text, const QDate& today, QDate* date) {
  QStringList parts = TrimBlanks(text).split(QLatin1Char('.'));
  // "1.3." is the habitual German way of writing a date of this year.
  if (parts.size() == 3 && TrimBlanks(parts.at(2)).isEmpty()) parts.removeLast();
  if (parts.size() != 2 && parts.size() != 3) return false;
  int d = 0, m = 0, y = today.year(), digits = 0;
  if (!ReadNumber(parts.at(0), 2, &d, &digits) || !ReadNumber(parts.at(1), 2, &m, &digits)) return false;
  if (parts.size() == 3) {
    if (!ReadNumber(parts.at(2), 4, &y, &digits)) return false;
    if (digits == 2)
      y = FullYear(y, today.year());
    else if (digits != 4 || y < 1)
      return false;
  }
  const QDate result(y, m, d);
  if (!result.isValid()) return false;
  *date = result;
  return true;
}

QString ShortDateText(const QDate& date) {
  return QStringLiteral("%1.%2.%3")
      .arg(date.day(), 2, 10, QLatin1Char('0'))
      .arg(date.month(), 2, 10, QLatin1Char('0'))
      .arg(date.year() % 100, 2, 10, QLatin1Char('0'));
}

QString DateMessageUntil() {
  return QStringLiteral(
      "Bitte geben Sie in dieses Feld ein gültiges Datum ein, oder alternativ den Text \"Rest\" oder \"Teil\".");
}

QString DateMessageFrom() { return QStringLiteral("Bitte geben Sie in dieses Feld ein gültiges Datum ein."); }

TDateCheck CheckDateEntry(const QString& fieldName, const QString& editorText, const QDate& today) {
  TDateCheck r;
  const TDateFieldRule rule = DateFieldRule(fieldName);
  if (rule == TDateFieldRule::None) return r;
  const QString t = TrimBlanks(editorText);
  if (t.isEmpty()) return r;
  if (rule == TDateFieldRule::UntilOrRestPart) {
    if (t == QLatin1String("Rest") || t == QLatin1String("Teil")) return r;
    if (t == QLatin1String("rest") || t == QLatin1String("teil")) {
      r.Rewrite = true;
      r.NewText = t.at(0).toUpper() + t.mid(1);
      return r;
    }
  }
  QDate d;
  if (ParseGermanDate(t, today, &d)) {
    r.Rewrite = true;
    r.NewText = ShortDateText(d);
    return r;
  }
  r.Accept = false;
  r.Message = rule == TDateFieldRule::UntilOrRestPart ? DateMessageUntil() : DateMessageFrom();
  return r;
}

bool ValidateDateText(TFormField& field, const QString& editorText, QString* newEditorText) {
  if (newEditorText) newEditorText->clear();
  const TDateCheck c = CheckDateEntry(field.Name(), editorText);
  if (!c.Accept) {
    Dialogs().ShowWarning(c.Message);
    return false;
  }
  if (c.Rewrite) {
    field.SetValue(c.NewText);
    if (newEditorText) *newEditorText = c.NewText;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

QString CatalogueHint(const QString& number) {
  static const QString kPremisesHint = QStringLiteral(
      "Tragen Sie bitte die Postleitzahl und den Ort der Wohnung bzw. des Hauses in die Zeile 35 (1. Hälfte) ein.");
  struct THint {
    const char* Number;
    QString Text;
  };
  static const std::vector<THint> hints = {
      {"5", QStringLiteral("Achtung! Keine Ansprüche aus Arbeitsverträgen. Hier ist das Arbeitsgericht zuständig.")},
      {"17", QStringLiteral("Tragen Sie bitte die Postleitzahl und den Ort des Geschäftsraums in die Zeile 35 (1. "
                            "Hälfte) ein.")},
      {"19", QStringLiteral("Tragen Sie bitte die Postleitzahl und den Ort der Wohnung bzw. des Hauses in die Zeile "
                            "35 (1. Hälfte) ein. Wenn Sie Nebenkosten getrennt geltend machen möchten, fügen Sie als "
                            "weitere Forderung die Katalognummer 20 (Mietnebenkosten) hinzu.")},
      {"20", kPremisesHint},
      {"28", QStringLiteral("Tragen Sie bitte die Vertragsart in die Zeile 35, 2. Hälfte ein.")},
      {"30", QStringLiteral("Fügen Sie bitte keine Scheck-/Wechselabschrift")},
      {"36", QStringLiteral("Geben Sie die Kontonummer in Zeile 32-34 in der 3. Spalte an.")},
      {"41", QStringLiteral("Achtung! Für Pflegeversicherung gilt Katalognummer 95 (Beiträge zur privaten "
                            "Pflegeversicherung).")},
      {"42", QStringLiteral("Geben Sie hier die Abrechnungs-/Zählernummer in Zeile 32-34, 2. Hälfte an.")},
      {"46", QStringLiteral("Gilt nur für Zinsen, die nicht für die Hauptforderung geltend gemacht werden.")},
      {"61", QStringLiteral("Tragen Sie die Art der Wahlleistung in Zeile 32-34 in die 3. Spalte ein.")},
      {"70", QStringLiteral("Geben Sie den Zeitraum von - bis ein.")},
      {"90", kPremisesHint},
      {"95", QStringLiteral("Tragen Sie im Schritt 4 der Software beim Auswahl des Gerichts für ein streitiges "
                            "Verfahren das Sozialgericht ein.")},
  };
  for (const THint& h : hints)
    if (number == QLatin1String(h.Number)) return h.Text;
  return QString();
}

QString GetContextHelpText(const TFormField& field) {
  QString text;
  const QString& name = field.Name();
  if (IsOneOf(name, {"GegenleistungAbhaengt", "GegenleistungNichtAbhaengt", "GegenleistungUnterschrift"}))
    text = QStringLiteral("Vergessen Sie nicht das Formular vor dem Absenden zu unterschreiben.");
  if (field.Kind() == TFormFieldKind::Combobox &&
      IsOneOf(name, {"HauptAnspruchKatalogNr1", "HauptAnspruchKatalogNr2", "HauptAnspruchKatalogNr3"})) {
    const QString hint = CatalogueHint(field.Value());
    if (!hint.isEmpty()) text = QStringLiteral("Ausfüllhilfe zu Katalog Nr. ") + field.Value() + QLatin1Char(':') + kCrLf + hint;
  }
  return text;
}

// ---------------------------------------------------------------------------------------------
// The editor side: the rules change the shown step's editors only through the editor list.

namespace {

const std::uint32_t kColorNormal = 0x00FFFFFF;
const std::uint32_t kColorDisabled = 0x00C0C0C0;

bool HasFaceColour(TFormFieldKind kind) {
  return kind == TFormFieldKind::Edit || kind == TFormFieldKind::EditExt || kind == TFormFieldKind::DateEdit ||
         kind == TFormFieldKind::Combobox || kind == TFormFieldKind::ComboEdit;
}

void AssignList(QWidget* editor, const TChoiceList& list) {
  if (auto* combo = qobject_cast<TFormularComboBox*>(editor))
    combo->SetLists(list.DropDownWidth, list.TextCommaText(), list.CodeCommaText());
}

}  // namespace

void SetEditorEnabled(TFormEditorList& editors, const QString& name, TFormFieldKind kind, bool enabled) {
  QWidget* w = editors.EditorByName(name);
  if (!w) return;
  w->setEnabled(enabled);
  if (HasFaceColour(kind)) SetEditorColor(w, ColorFromBGR(enabled ? kColorNormal : kColorDisabled));
}

void SetEditorReadOnly(TFormEditorList& editors, const QString& name) {
  if (QWidget* w = editors.EditorByName(name)) SetEditorReadOnly(w, true);
}

void ProtectCourtName(TFormEditorList& editors, const TFormField& field) {
  if (field.Name() == QLatin1String("AmtsgerichtName")) SetEditorReadOnly(editors, field.Name());
}

void BuildReferenceLists(TFormEditorList& editors, const TFormField& field, const TFieldLists& lists) {
  if (!IsReferenceField(field.Name())) return;
  QWidget* w = editors.EditorByName(field.Name());
  if (!w) return;
  TChoiceList list;
  if (!ReferenceChoiceList(field.Name(), lists, &list)) return;
  // The list selects the field's value as it is now, not the one loaded with the step: a choice
  // made since then must still show after the list was opened and left with Escape.
  if (auto* combo = qobject_cast<TFormularComboBox*>(w)) combo->SetText(field.Value());
  AssignList(w, list);
}

void EnableSecondColumns(TFormEditorList& editors, const TFormField& field) {
  const std::vector<TDependentField> fields = SecondColumnFields(field.Name());
  if (fields.empty()) return;
  // Untrimmed on purpose: a blank surname is an entry the user made.
  const bool enabled = !field.Value().isEmpty();
  for (const TDependentField& f : fields) SetEditorEnabled(editors, f.Name, f.Kind, enabled);
}

void ApplyDerivedFields(TFormEditorList& editors, const TFormField& field) {
  if (QWidget* w = editors.EditorByName(field.Name())) {
    QString cut;
    if (const TBankFieldLink* link = BankFieldAdvance(field.Name(), EditorText(w), &cut)) {
      // Writing back a shorter text comes round here again and then finds nothing to cut.
      if (EditorText(w) != cut) SetEditorText(w, cut);
      if (QWidget* next = editors.EditorByName(link->Next)) next->setFocus(Qt::OtherFocusReason);
    }
  }
  if (field.Name() == QLatin1String("AmtsgerichtPLZOrt")) {
    QWidget* nameEditor = editors.EditorByName(QStringLiteral("AmtsgerichtName"));
    if (!nameEditor) return;
    // By selection index, not by code: several entries share a code.
    auto* court = qobject_cast<QComboBox*>(editors.EditorByName(field.Name()));
    const QString name = CourtNameForIndex(court ? court->currentIndex() : -1);
    if (EditorText(nameEditor) != name) SetEditorText(nameEditor, name);
  }
}

void PrepareStepEditors(TFormEditorList& editors, TFieldLists& lists) {
  for (int i = 0; i < editors.Count(); ++i) {
    QWidget* w = editors.Items(i);
    TFormField* f = w ? EditorField(w) : nullptr;
    if (!f) continue;
    if (f->Kind() == TFormFieldKind::Combobox) {
      if (const TChoiceList* l = FixedChoiceList(f->Name(), f->Kind())) AssignList(w, *l);
      BuildReferenceLists(editors, *f, lists);
    } else if (f->Kind() == TFormFieldKind::ComboEdit) {
      if (const TChoiceList* l = FixedChoiceList(f->Name(), f->Kind())) AssignList(w, *l);
    }
    ApplyApplicationDateDefault(*f);
    EnableSecondColumns(editors, *f);
    ProtectCourtName(editors, *f);
  }
}

bool ValidateDateField(TFormEditorList& editors, TFormField& field, const TFieldLists& lists) {
  if (DateFieldRule(field.Name()) == TDateFieldRule::None) return true;
  QWidget* w = editors.EditorByName(field.Name());
  QString text = w ? EditorText(w) : field.Value();
  // An untouched date edit shows only its separators.
  if (field.Kind() == TFormFieldKind::DateEdit &&
      TrimBlanks(QString(text).remove(QLatin1Char('.')).remove(QLatin1Char('_'))).isEmpty())
    text.clear();
  QString newText;
  if (!ValidateDateText(field, text, &newText)) return false;
  if (w && !newText.isEmpty() && EditorText(w) != newText) SetEditorText(w, newText);
  return true;
}
