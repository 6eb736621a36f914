#include "rules/uCodeLists.h"

namespace {

struct TPair {
  const char16_t* Code;
  const char16_t* Text;
};

// A list of `items` (each with a Code and a Text), after an empty pair where the box may stay empty.
template <typename TItems>
TChoiceList ListOf(int width, const TItems& items, bool leadingEmptyPair) {
  TChoiceList l;
  l.DropDownWidth = width;
  if (leadingEmptyPair) {
    l.Codes << QString();
    l.Texts << QString();
  }
  for (const auto& item : items) {
    l.Codes << QString::fromUtf16(item.Code);
    l.Texts << QString::fromUtf16(item.Text);
  }
  return l;
}

// Builds a list with its leading empty pair.
TChoiceList MakeList(int width, std::initializer_list<TPair> pairs) { return ListOf(width, pairs, true); }

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

}  // namespace

bool NameIsOneOf(const QString& name, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (name == QLatin1String(n)) return true;
  return false;
}

bool NameIsOneOf(const QString& name, const std::vector<const char*>& names) {
  for (const char* n : names)
    if (name == QLatin1String(n)) return true;
  return false;
}

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
  static const TChoiceList l = ListOf(500, kCourts, false);
  return l;
}

const TChoiceList& ClaimCatalogueList() {
  static const TChoiceList l = ListOf(415, kCatalogue, true);
  return l;
}

const TChoiceList& RestPartList() {
  static const TChoiceList l = MakeList(50, {{u"Rest", u"Rest"}, {u"Teil", u"Teil"}});
  return l;
}

const TChoiceList* FixedChoiceList(const QString& name, TFormFieldKind kind) {
  if (kind == TFormFieldKind::ComboEdit) {
    if (NameIsOneOf(name, {"HauptAnspruchDatumBis1", "HauptAnspruchDatumBis2", "HauptAnspruchDatumBis3",
                       "SonstigerAnspruchDatumBis"}))
      return &RestPartList();
    return nullptr;
  }
  if (kind != TFormFieldKind::Combobox) return nullptr;
  if (NameIsOneOf(name, {"AntragstellerGeschlechtSp1", "AntragstellerGeschlechtSp2", "AntragsGegnerGeschlechtSp1",
                     "AntragsGegnerGeschlechtSp2"}))
    return &SalutationList();
  if (NameIsOneOf(name, {"AntragstellerFirmaTypSp3", "AntragsGegnerFirmaTypSp3"})) return &CompanyTypeList();
  if (NameIsOneOf(name, {"ForderungsuebergangLaufendeZinsenZeitraum1", "ForderungsuebergangLaufendeZinsenZeitraum2",
                     "ForderungsuebergangLaufendeZinsenZeitraum3"}))
    return &InterestPeriodList();
  if (name == QLatin1String("StreitigesVerfahrenGericht")) return &ContestedCourtList();
  if (name == QLatin1String("ProzessbevollmaechtigterTyp")) return &RepresentativeTypeList();
  if (name == QLatin1String("AmtsgerichtPLZOrt")) return &CourtList();
  if (NameIsOneOf(name, {"HauptAnspruchKatalogNr1", "HauptAnspruchKatalogNr2", "HauptAnspruchKatalogNr3"}))
    return &ClaimCatalogueList();
  return nullptr;
}

QString CourtNameForIndex(int index) {
  if (index < 0 || index >= kCourtCount) return QString();
  return QString::fromUtf16(kCourts[index].Name);
}
