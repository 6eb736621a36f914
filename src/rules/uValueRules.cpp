#include "rules/uValueRules.h"

#include <QStringList>
#include <vector>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}  // namespace

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
    if (NameIsOneOf(fieldName, g.Fields)) return &g;
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
  if (NameIsOneOf(name, {"GegenleistungAbhaengt", "GegenleistungNichtAbhaengt", "GegenleistungUnterschrift"}))
    text = QStringLiteral("Vergessen Sie nicht das Formular vor dem Absenden zu unterschreiben.");
  if (field.Kind() == TFormFieldKind::Combobox &&
      NameIsOneOf(name, {"HauptAnspruchKatalogNr1", "HauptAnspruchKatalogNr2", "HauptAnspruchKatalogNr3"})) {
    const QString hint = CatalogueHint(field.Value());
    if (!hint.isEmpty()) text = QStringLiteral("Ausfüllhilfe zu Katalog Nr. ") + field.Value() + QLatin1Char(':') + kCrLf + hint;
  }
  return text;
}
