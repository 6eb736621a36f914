#include "rules/uFormReview.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <tuple>

#include "definition/WizardSteps.h"
#include "rules/uValueRules.h"
#include "rules/uFieldFit.h"
#include "storage/uGermanLocale.h"

namespace {

QString L(const char* latin1) { return QString::fromLatin1(latin1); }
QString Quote(const QString& text) { return QStringLiteral("\u201E") + text + QStringLiteral("\u201C"); }

// The paper form's claim lines and the boxes that make them up.
struct TClaimLine {
  int Number;              // the form's line: 32, 33, 34, 36, 37
  const char* Catalogue;   // null for the other claims of lines 36 and 37
  const char* Description;
  const char* Detail;      // the number column of lines 32 to 34
  const char* From;        // null: the line has no date
  const char* Until;
  const char* Amount;
};

const TClaimLine kClaimLines[] = {
    {32, "HauptAnspruchKatalogNr1", "HauptAnspruchBezeichnung1", "HauptAnspruchNummer1", "HauptAnspruchDatumVon1",
     "HauptAnspruchDatumBis1", "HauptAnspruchBetrag1"},
    {33, "HauptAnspruchKatalogNr2", "HauptAnspruchBezeichnung2", "HauptAnspruchNummer2", "HauptAnspruchDatumVon2",
     "HauptAnspruchDatumBis2", "HauptAnspruchBetrag2"},
    {34, "HauptAnspruchKatalogNr3", "HauptAnspruchBezeichnung3", "HauptAnspruchNummer3", "HauptAnspruchDatumVon3",
     "HauptAnspruchDatumBis3", "HauptAnspruchBetrag3"},
    {36, nullptr, "SonstigerAnspruchZeile1", nullptr, "SonstigerAnspruchDatumVom", "SonstigerAnspruchDatumBis",
     "SonstigerAnspruchBetrag1"},
    {37, nullptr, "SonstigerAnspruchZeile2", nullptr, nullptr, nullptr, "SonstigerAnspruchBetrag2"},
};

const char* const kAmountFields[] = {
    "HauptAnspruchBetrag1", "HauptAnspruchBetrag2", "HauptAnspruchBetrag3", "SonstigerAnspruchBetrag1",
    "SonstigerAnspruchBetrag2", "ForderungsuebergangLaufendeZinsenBetrag1", "ForderungsuebergangLaufendeZinsenBetrag2",
    "ForderungsuebergangLaufendeZinsenBetrag3", "AusgerechneteZinsenBetrag", "AuslagenVordruckPorto",
    "SonstigeNebenforderungBetrag1", "SonstigeNebenforderungBetrag2",
};

// Postcode boxes, each with the foreign country mark beside it (null where the form has none).
struct TPostcode {
  const char* Postcode;
  const char* CountryMark;
};
const TPostcode kPostcodes[] = {
    {"AntragstellerPLZSp1", "AntragstellerKzSp1"},
    {"AntragstellerPLZSp2", "AntragstellerKzSp2"},
    {"AntragstellerPLZSp3", "AntragstellerKzSp3"},
    {"AntragstellerVertreter1PLZ", nullptr},
    {"AntragstellerVertreter2PLZ", nullptr},
    {"AntragsGegnerPLZSp1", "AntragsGegnerKzSp1"},
    {"AntragsGegnerPLZSp2", "AntragsGegnerKzSp2"},
    {"AntragsGegnerPLZSp3", "AntragsGegnerKzSp3"},
    {"AntragsGegnerGesetzlicherVertreter1PLZ", nullptr},
    {"AntragsGegnerGesetzlicherVertreter2PLZ", nullptr},
    {"StreitigesVerfahrenPLZ", nullptr},
    {"ProzessbevollmaechtigterPLZ", nullptr},
};

class TReview {
 public:
  TReview(const TFieldLists& lists, const TFormPlaces& places, const QDate& today)
      : lists_(lists), places_(places), today_(today) {}

  std::vector<TFinding> Run() {
    Completeness();
    Widths();
    Codes();
    Postcodes();
    Dates();
    Amounts();
    Interest();
    Catalogue();
    Bank();
    SecondColumns();
    ForeignApplicant();
    std::stable_sort(findings_.begin(), findings_.end(), [&](const TFinding& a, const TFinding& b) {
      return SortKey(a) < SortKey(b);
    });
    return findings_;
  }

 private:
  QString V(const char* name) const { return ValueByName(lists_, L(name)); }
  QString V(const QString& name) const { return ValueByName(lists_, name); }
  bool Filled(const char* name) const { return !TrimBlanks(V(name)).isEmpty(); }
  bool Has(const char* name) const { return FieldByName(lists_, L(name)) != nullptr; }

  void Add(TFindingKind kind, const QString& field, const QString& message) {
    // A box the definition does not have cannot be shown or printed: nothing to report.
    if (!FieldByName(lists_, field)) return;
    const TFormPlaces::TPlace p = places_.Place(field);
    TFinding f;
    f.Kind = kind;
    f.Step = p.Step >= 0 ? p.Step : StepOf(field);
    f.Line = p.Line;
    f.FieldName = field;
    f.Caption = p.Caption;
    f.Message = message;
    findings_.push_back(f);
  }
  void Error(const char* field, const QString& message) { Add(TFindingKind::Error, L(field), message); }
  void Hint(const char* field, const QString& message) { Add(TFindingKind::Hint, L(field), message); }

  int StepOf(const QString& field) const {
    for (std::size_t i = 0; i < lists_.size(); ++i)
      if (lists_[i].FieldByName(field)) return int(i);
    return -1;
  }

  std::tuple<int, int, int> SortKey(const TFinding& f) const {
    const TFormPlaces::TPlace p = places_.Place(f.FieldName);
    // Boxes without a line number close their step, after its numbered lines.
    return {f.Step, f.Line > 0 ? f.Line : 1000, p.Order};
  }

  // --- The four entries without which the application makes no sense ---------------------------
  void Completeness() {
    // Blanks count as an entry here as in the question before printing.
    const auto present = [&](int step, const char* name) { return !StepValue(lists_, step, L(name)).isEmpty(); };
    if (!present(kApplicantStep, "AntragstellerNachnameSp1") && !present(kApplicantStep, "AntragstellerFirmaBezeichnung1Sp3"))
      Error("AntragstellerNachnameSp1",
            QStringLiteral("Bitte tragen Sie mindestens einen Antragsteller ein (Nachname in Spalte 1 oder Firma in Spalte 3)."));
    if (!present(kRespondentStep, "AntragsGegnerNachnameSp1") && !present(kRespondentStep, "AntragsGegnerFirmaBezeichnung1Sp3"))
      Error("AntragsGegnerNachnameSp1",
            QStringLiteral("Bitte tragen Sie mindestens einen Antragsgegner ein (Nachname in Spalte 1 oder Firma in Spalte 3)."));
    if (!present(kClaimStep, "HauptAnspruchKatalogNr1"))
      Error("HauptAnspruchKatalogNr1",
            QStringLiteral("Bitte tragen Sie mindestens einen Anspruch ein: der erste gehört in Zeile 32."));
    if (!present(kCourtStep, "AmtsgerichtPLZOrt"))
      Error("AmtsgerichtPLZOrt", QStringLiteral("Bitte tragen Sie das Amtsgericht ein."));
  }

  // --- What does not fit its box is cut or printed over the next one -----------------------------
  // Measured as the print lays the text out (CheckFieldFit), as the editors' length rule does.
  void Widths() {
    for (const TFormFieldList& list : lists_) {
      for (int i = 0; i < list.Count(); ++i) {
        const TFormField& f = *list.Fields(i);
        if (f.Value().isEmpty() || f.Kind() == TFormFieldKind::Checkbox) continue;
        const TFieldFit fit = CheckFieldFit(f);
        if (!fit.WithinLength && DigitCells(f) > 0)
          Add(TFindingKind::Error, f.Name(),
              QStringLiteral("Das Feld hat %1 Kästchen, eingetragen sind %2 Zeichen; gedruckt würde nur %3. Bitte "
                             "kürzen Sie den Eintrag.")
                  .arg(DigitCells(f))
                  .arg(fit.Characters)
                  .arg(Quote(f.Value().left(DigitCells(f)))));
        else if (!fit.WithinLength)
          Add(TFindingKind::Error, f.Name(),
              QStringLiteral("Das Feld nimmt höchstens %1 Zeichen auf, eingetragen sind %2. Bitte kürzen Sie den "
                             "Eintrag.")
                  .arg(fit.MaxCharacters)
                  .arg(fit.Characters));
        else if (!fit.InsideBox)
          Add(TFindingKind::Error, f.Name(),
              QStringLiteral("Der Eintrag ist in der Druckschrift breiter als das Feld auf dem Formular und würde "
                             "über den Rand gedruckt. Bitte kürzen Sie ihn."));
      }
    }
  }

  // --- Codes only from their lists -----------------------------------------------------------------
  void Codes() {
    for (const TFormFieldList& list : lists_) {
      for (int i = 0; i < list.Count(); ++i) {
        const TFormField& f = *list.Fields(i);
        if (f.Kind() != TFormFieldKind::Combobox || f.Value().isEmpty()) continue;
        QStringList codes;
        TChoiceList refs;
        if (const TChoiceList* l = FixedChoiceList(f.Name(), f.Kind()))
          codes = l->Codes;
        else if (ReferenceChoiceList(f.Name(), lists_, &refs))
          codes = refs.Codes;
        else
          continue;
        if (!codes.contains(f.Value()))
          Add(TFindingKind::Error, f.Name(),
              QStringLiteral("%1 ist keine Kennziffer dieses Feldes. Bitte wählen Sie einen Eintrag aus der Liste.")
                  .arg(Quote(f.Value())));
      }
    }
  }

  // --- Postcodes ------------------------------------------------------------------------------------
  static bool IsGermanMark(const QString& mark) {
    const QString m = TrimBlanks(mark).toUpper();
    return m.isEmpty() || m == QLatin1String("D") || m == QLatin1String("DE");
  }

  void Postcodes() {
    static const QRegularExpression fiveDigits(QStringLiteral("^[0-9]{5}$"));
    for (const TPostcode& p : kPostcodes) {
      const QString v = V(p.Postcode);
      if (TrimBlanks(v).isEmpty()) continue;
      if (p.CountryMark && !IsGermanMark(V(p.CountryMark))) continue;
      if (fiveDigits.match(v).hasMatch()) continue;
      Error(p.Postcode, p.CountryMark
                            ? QStringLiteral("Eine deutsche Postleitzahl hat fünf Ziffern. Liegt die Anschrift im "
                                             "Ausland, tragen Sie das Länderkennzeichen unter \u201EAusl.-Kz.\u201C ein.")
                            : QStringLiteral("Eine deutsche Postleitzahl hat fünf Ziffern."));
    }
  }

  // --- Dates ----------------------------------------------------------------------------------------
  // A complete date: day, month and year, as the form is read without knowing today's year.
  bool ReadDate(const QString& text, QDate* date) const {
    const QStringList parts = TrimBlanks(text).split(QLatin1Char('.'));
    if (parts.size() != 3 || TrimBlanks(parts.at(2)).isEmpty()) return false;
    return ParseGermanDate(text, today_, date);
  }

  enum class TDateUse { Past, Any };
  // Checks one date box; the date when it holds a valid one.
  QDate CheckDate(const char* field, TDateUse use, bool restOrPart = false) {
    const QString v = TrimBlanks(V(field));
    if (v.isEmpty()) return QDate();
    if (restOrPart && (v == QLatin1String("Rest") || v == QLatin1String("Teil"))) return QDate();
    QDate d;
    if (!ReadDate(v, &d)) {
      Error(field, restOrPart ? QStringLiteral("%1 ist kein gültiges Datum. Bitte geben Sie Tag, Monat und Jahr ein "
                                               "(z. B. 31.01.26) oder \u201ERest\u201C bzw. \u201ETeil\u201C.")
                                    .arg(Quote(v))
                              : QStringLiteral("%1 ist kein gültiges Datum. Bitte geben Sie Tag, Monat und Jahr ein "
                                               "(z. B. 31.01.26).")
                                    .arg(Quote(v)));
      return QDate();
    }
    if (use == TDateUse::Past && d > today_)
      Error(field, QStringLiteral("Das Datum %1 liegt in der Zukunft.").arg(d.toString(QStringLiteral("dd.MM.yyyy"))));
    return d;
  }

  void Dates() {
    CheckDate("DatumAntrag", TDateUse::Past);
    for (const TClaimLine& c : kClaimLines) {
      if (!c.From) continue;
      const QDate from = CheckDate(c.From, TDateUse::Past);
      const QDate until = CheckDate(c.Until, TDateUse::Any, true);
      if (from.isValid() && until.isValid() && until < from)
        Error(c.Until, QStringLiteral("Das Ende des Zeitraums liegt vor seinem Beginn (%1).")
                           .arg(from.toString(QStringLiteral("dd.MM.yyyy"))));
    }
    const QDate from = CheckDate("AusgerechneteZinsenVom", TDateUse::Any);
    const QDate until = CheckDate("AusgerechneteZinsenBis", TDateUse::Any);
    if (from.isValid() && until.isValid() && until < from)
      Error("AusgerechneteZinsenBis", QStringLiteral("Das Ende des Zeitraums liegt vor seinem Beginn (%1).")
                                          .arg(from.toString(QStringLiteral("dd.MM.yyyy"))));
    for (const char* f : {"Kreditgeber1Vertragsdatum", "Kreditgeber2Vertragsdatum", "Kreditgeber3Vertragsdatum"})
      CheckDate(f, TDateUse::Any);
    // The interest lines' "ab" dates are read with the interest rules.
  }

  // --- Amounts --------------------------------------------------------------------------------------
  void Amounts() {
    for (const char* field : kAmountFields) {
      const QString v = V(field);
      if (TrimBlanks(v).isEmpty()) continue;
      qint64 cents = 0;
      if (!ParseGermanAmount(v, &cents))
        Error(field, QStringLiteral("Bitte schreiben Sie den Betrag mit Komma und zwei Nachkommastellen, z. B. "
                                    "1250,00 (ohne \u20AC-Zeichen)."));
      else if (cents <= 0)
        Error(field, QStringLiteral("Der Betrag muss größer als 0,00 sein; ist nichts zu fordern, lassen Sie das "
                                    "Feld leer."));
    }
  }

  // --- Claim lines ----------------------------------------------------------------------------------
  const TClaimLine* ClaimLine(const QString& number) const {
    for (const TClaimLine& c : kClaimLines)
      if (number == QString::number(c.Number)) return &c;
    return nullptr;
  }
  bool ClaimLineEmpty(const TClaimLine& c) const {
    for (const char* f : {c.Catalogue, c.Description, c.Detail, c.From, c.Until, c.Amount})
      if (f && Filled(f)) return false;
    return true;
  }

  // --- Interest -------------------------------------------------------------------------------------
  void Interest() {
    int used = 0;
    for (int n = 1; n <= 3; ++n) {
      const QByteArray line = "ForderungsuebergangLaufendeZinsenZeilenNr" + QByteArray::number(n);
      const QByteArray rate = "ForderungsuebergangLaufendeZinsenZinssatz" + QByteArray::number(n);
      const QByteArray base = "ForderungsuebergangLaufendeZinsenUeberBasiszins" + QByteArray::number(n);
      const QByteArray period = "ForderungsuebergangLaufendeZinsenZeitraum" + QByteArray::number(n);
      const QByteArray amount = "ForderungsuebergangLaufendeZinsenBetrag" + QByteArray::number(n);
      const QByteArray from = "ForderungsuebergangLaufendeZinsenAb" + QByteArray::number(n);
      bool any = false;
      for (const QByteArray& f : {line, rate, base, period, amount, from}) any = any || Filled(f.constData());
      const QDate start = CheckDate(from.constData(), TDateUse::Any);
      if (!any) continue;
      ++used;
      const QString claim = TrimBlanks(V(line.constData()));
      const TClaimLine* c = ClaimLine(claim);
      if (claim.isEmpty()) {
        Error(line.constData(), QStringLiteral("Bitte wählen Sie die Zeile des Anspruchs, für den diese Zinsen gelten."));
      } else if (c && ClaimLineEmpty(*c)) {
        Error(line.constData(), QStringLiteral("Die Zeile %1 enthält keinen Anspruch. Bitte wählen Sie die Zeile des "
                                               "verzinsten Anspruchs oder tragen Sie ihn in Zeile %1 ein.")
                                    .arg(c->Number));
      } else if (c && c->From && start.isValid()) {
        QDate claimDate;
        if (ReadDate(V(c->From), &claimDate) && start < claimDate)
          Hint(from.constData(), QStringLiteral("Die Zinsen sollen vor dem Datum des Anspruchs in Zeile %1 (%2) "
                                                "beginnen. Bitte prüfen Sie das Datum.")
                                     .arg(c->Number)
                                     .arg(claimDate.toString(QStringLiteral("dd.MM.yyyy"))));
      }
      const QString rateText = TrimBlanks(V(rate.constData()));
      if (rateText.isEmpty()) {
        Error(rate.constData(), QStringLiteral("Bitte tragen Sie den Zinssatz ein."));
        continue;
      }
      bool ok = false;
      const double r = GermanLocale().toDouble(rateText, &ok);
      if (!ok || r <= 0) {
        Error(rate.constData(), QStringLiteral("Bitte geben Sie den Zinssatz als Zahl mit Komma ein, z. B. 5 oder 5,00."));
      } else if (Filled(base.constData()) && r > 9.0) {
        Hint(rate.constData(),
             QStringLiteral("Mehr als 9 Prozentpunkte über dem Basiszinssatz: Das Gesetz gibt 5 Prozentpunkte "
                            "(§ 288 Abs. 1 BGB), bei Geschäften ohne Verbraucher 9 Prozentpunkte (§ 288 Abs. 2 BGB). "
                            "Einen höheren Satz muss eine Vereinbarung tragen."));
      }
    }
    if (used == 3)
      Hint("ForderungsuebergangLaufendeZinsenZeilenNr3",
           QStringLiteral("Alle drei Zinszeilen sind belegt. Weitere Zinsforderungen passen nicht auf das Formular; "
                          "sie gehören auf ein Ergänzungsblatt zum Antrag."));
  }

  // --- Catalogue numbers -------------------------------------------------------------------------
  void Catalogue() {
    for (const TClaimLine& c : kClaimLines) {
      const bool amount = Filled(c.Amount);
      if (!c.Catalogue) {
        if (amount && !Filled(c.Description))
          Error(c.Description, QStringLiteral("Zu dem Betrag in Zeile %1 fehlt die Bezeichnung des Anspruchs.")
                                   .arg(c.Number));
        continue;
      }
      const QString number = TrimBlanks(V(c.Catalogue));
      if (number.isEmpty()) {
        if (amount && !Filled(c.Description))
          Error(c.Catalogue, QStringLiteral("Zu dem Betrag in Zeile %1 fehlt der Anspruch: Bitte wählen Sie eine "
                                            "Katalog-Nr. und tragen Sie Rechnung, Aufstellung oder Vertrag ein.")
                                 .arg(c.Number));
        continue;
      }
      if (number == QLatin1String("28") && !Filled("HauptAnspruchZeile35Vertragsart"))
        Error("HauptAnspruchZeile35Vertragsart",
              QStringLiteral("Zu Katalog-Nr. 28 in Zeile %1 gehört die Vertragsart in Zeile 35 (rechte Hälfte).")
                  .arg(c.Number));
      if ((number == QLatin1String("17") || number == QLatin1String("19") || number == QLatin1String("20") ||
           number == QLatin1String("90")) &&
          !Filled("HauptAnspruchZeile35PLZOrt"))
        Error("HauptAnspruchZeile35PLZOrt",
              QStringLiteral("Zu Katalog-Nr. %1 in Zeile %2 gehören Postleitzahl und Ort der Räume in Zeile 35 "
                             "(linke Hälfte).")
                  .arg(number)
                  .arg(c.Number));
      QString detail;
      if (number == QLatin1String("36")) detail = QStringLiteral("die Kontonummer");
      if (number == QLatin1String("42")) detail = QStringLiteral("die Abrechnungs- oder Zählernummer");
      if (number == QLatin1String("61")) detail = QStringLiteral("die Art der Wahlleistung");
      if (!detail.isEmpty() && !Filled(c.Detail))
        Error(c.Detail, QStringLiteral("Zu Katalog-Nr. %1 gehört %2 in diese Spalte.").arg(number, detail));
    }
  }

  // --- Bank details ---------------------------------------------------------------------------------
  static QString Compact(const QString& s) {
    QString out;
    for (QChar c : s)
      if (!c.isSpace()) out += c.toUpper();
    return out;
  }

  void Bank() {
    const QString head = Compact(V("ProzessbevollmaechtigterIBAN"));
    const QString code = Compact(V("ProzessbevollmaechtigterBLZ"));
    const QString account = Compact(V("ProzessbevollmaechtigterKontoNr"));
    const QString rest = Compact(V("ProzessbevollmaechtigterKontoNrExt"));
    const QString bic = Compact(V("ProzessbevollmaechtigterBIC"));
    if (!bic.isEmpty() && !BicWellFormed(bic))
      Error("ProzessbevollmaechtigterBIC",
            QStringLiteral("Eine BIC hat 8 oder 11 Zeichen: 4 Buchstaben für die Bank, 2 für das Land, 2 Buchstaben "
                           "oder Ziffern für den Ort und wahlweise 3 für die Filiale."));
    if (head.isEmpty() && code.isEmpty() && account.isEmpty() && rest.isEmpty()) return;
    static const QRegularExpression headForm(QStringLiteral("^[A-Z]{2}[0-9]{2}$"));
    if (!headForm.match(head).hasMatch()) {
      Error("ProzessbevollmaechtigterIBAN",
            QStringLiteral("Hier stehen die ersten vier Stellen der IBAN: das Länderkennzeichen und die zwei "
                           "Prüfziffern, z. B. DE89."));
      return;
    }
    const QString iban = head + code + account + rest;
    bool boxes = true;
    if (head.startsWith(QLatin1String("DE"))) {
      static const QRegularExpression eight(QStringLiteral("^[0-9]{8}$")), ten(QStringLiteral("^[0-9]{10}$"));
      if (!eight.match(code).hasMatch()) {
        boxes = false;
        Error("ProzessbevollmaechtigterBLZ", QStringLiteral("Bei einer deutschen IBAN stehen hier ihre Stellen 5 bis "
                                                            "12: die achtstellige Bankleitzahl."));
      }
      if (!ten.match(account).hasMatch()) {
        boxes = false;
        Error("ProzessbevollmaechtigterKontoNr",
              QStringLiteral("Bei einer deutschen IBAN stehen hier ihre Stellen 13 bis 22: die zehnstellige "
                             "Kontonummer, vorn mit Nullen aufgefüllt."));
      }
      if (!rest.isEmpty()) {
        boxes = false;
        Error("ProzessbevollmaechtigterKontoNrExt",
              QStringLiteral("Eine deutsche IBAN hat 22 Stellen; die IBAN-Fortsetzung bleibt leer."));
      }
    }
    if (!boxes) return;
    const int expected = IbanLengthForCountry(head.left(2));
    if ((expected > 0 && iban.size() != expected) || (expected == 0 && (iban.size() < 15 || iban.size() > 34))) {
      Error("ProzessbevollmaechtigterIBAN",
            expected > 0 ? QStringLiteral("Eine IBAN aus %1 hat %2 Stellen, eingetragen sind %3.")
                               .arg(head.left(2))
                               .arg(expected)
                               .arg(iban.size())
                         : QStringLiteral("Eine IBAN hat 15 bis 34 Stellen, eingetragen sind %1.").arg(iban.size()));
      return;
    }
    if (!IbanCheckDigitsValid(iban))
      Error("ProzessbevollmaechtigterIBAN",
            QStringLiteral("Die Prüfziffern der IBAN passen nicht zu den übrigen Stellen. Bitte vergleichen Sie die "
                           "IBAN Stelle für Stelle mit Ihren Bankunterlagen."));
  }

  // --- Column 2 while column 1 has no surname -----------------------------------------------------
  void SecondColumns() {
    for (const char* surname : {"AntragstellerNachnameSp1", "AntragsGegnerNachnameSp1"}) {
      // Untrimmed, as the editors decide: a blank surname is an entry.
      if (!V(surname).isEmpty()) continue;
      for (const TDependentField& d : SecondColumnFields(L(surname))) {
        if (V(d.Name).isEmpty()) continue;
        Add(TFindingKind::Hint, d.Name,
            QStringLiteral("Spalte 2 ist gesperrt, solange in Spalte 1 kein Nachname steht; ihre Angaben werden "
                           "trotzdem gedruckt. Tragen Sie die Person in Spalte 1 ein oder leeren Sie Spalte 2."));
        break;  // once per column
      }
    }
  }

  // --- Applicants abroad go to Berlin-Wedding ----------------------------------------------------
  void ForeignApplicant() {
    struct TColumn {
      const char* Name;
      const char* Mark;
    };
    const TColumn columns[] = {{"AntragstellerNachnameSp1", "AntragstellerKzSp1"},
                               {"AntragstellerNachnameSp2", "AntragstellerKzSp2"},
                               {"AntragstellerFirmaBezeichnung1Sp3", "AntragstellerKzSp3"}};
    bool abroad = false, home = false;
    for (const TColumn& c : columns) {
      if (!IsGermanMark(V(c.Mark)))
        abroad = true;
      else if (Filled(c.Name))
        home = true;
    }
    const QString court = TrimBlanks(V("AmtsgerichtPLZOrt"));
    // The dunning court follows the applicant's seat; with none in Germany it is Wedding alone.
    if (abroad && !home && !court.isEmpty() && court != QLatin1String("13357 Berlin"))
      Error("AmtsgerichtPLZOrt",
            QStringLiteral("Hat der Antragsteller keinen Sitz in Deutschland, ist allein das Amtsgericht Wedding "
                           "zuständig: Bitte wählen Sie \u201EAusland\u201C (13357 Berlin)."));
  }

  const TFieldLists& lists_;
  const TFormPlaces& places_;
  QDate today_;
  std::vector<TFinding> findings_;
};

}  // namespace

QString FindingKindText(TFindingKind kind) {
  return kind == TFindingKind::Error ? QStringLiteral("Fehler") : QStringLiteral("Hinweis");
}

QString FindingLine(const TFinding& f) {
  QString s = FindingKindText(f.Kind) + QStringLiteral(": ");
  if (f.Line > 0) s += QStringLiteral("Zeile %1: ").arg(f.Line);
  return s + f.Caption + QStringLiteral(": ") + f.Message;
}

bool HasErrors(const std::vector<TFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(),
                     [](const TFinding& f) { return f.Kind == TFindingKind::Error; });
}

TFormPlaces TFormPlaces::FromDefinition(const TWizardDefinition& definition) {
  TFormPlaces places;
  const TXMLWizardStepsType& steps = definition.WizardDefinition();
  for (int s = 0; s < steps.Count(); ++s) {
    const TXMLFieldsType fields = steps.Items(s).Fields();
    for (int i = 0; i < fields.Count(); ++i) {
      const TXMLFieldType field = fields.Items(i);
      places.Add(field.Name(), s, field.FormLine(), field.Caption().simplified());
    }
  }
  return places;
}

void TFormPlaces::Add(const QString& fieldName, int step, int line, const QString& caption) {
  TPlace p;
  p.Step = step;
  p.Order = int(places_.size());
  p.Line = line;
  p.Caption = caption.isEmpty() ? fieldName : caption;
  places_.insert(fieldName, p);
}

TFormPlaces::TPlace TFormPlaces::Place(const QString& fieldName) const {
  const auto it = places_.constFind(fieldName);
  if (it != places_.constEnd()) return *it;
  TPlace p;
  p.Order = int(places_.size());
  p.Caption = fieldName;
  return p;
}

std::vector<TFinding> ReviewApplication(const TFieldLists& lists, const TFormPlaces& places, const QDate& today) {
  return TReview(lists, places, today).Run();
}

QString SignatureReminder() {
  return QStringLiteral("Vergessen Sie nicht das Formular vor dem Absenden zu unterschreiben.");
}

int IbanLengthForCountry(const QString& country) {
  // The SEPA countries and the neighbours most often met; others are checked for 15 to 34 places.
  static const QHash<QString, int> lengths = {
      {QStringLiteral("AD"), 24}, {QStringLiteral("AT"), 20}, {QStringLiteral("BE"), 16}, {QStringLiteral("BG"), 22},
      {QStringLiteral("CH"), 21}, {QStringLiteral("CY"), 28}, {QStringLiteral("CZ"), 24}, {QStringLiteral("DE"), 22},
      {QStringLiteral("DK"), 18}, {QStringLiteral("EE"), 20}, {QStringLiteral("ES"), 24}, {QStringLiteral("FI"), 18},
      {QStringLiteral("FR"), 27}, {QStringLiteral("GB"), 22}, {QStringLiteral("GI"), 23}, {QStringLiteral("GR"), 27},
      {QStringLiteral("HR"), 21}, {QStringLiteral("HU"), 28}, {QStringLiteral("IE"), 22}, {QStringLiteral("IS"), 26},
      {QStringLiteral("IT"), 27}, {QStringLiteral("LI"), 21}, {QStringLiteral("LT"), 20}, {QStringLiteral("LU"), 20},
      {QStringLiteral("LV"), 21}, {QStringLiteral("MC"), 27}, {QStringLiteral("MT"), 31}, {QStringLiteral("NL"), 18},
      {QStringLiteral("NO"), 15}, {QStringLiteral("PL"), 28}, {QStringLiteral("PT"), 25}, {QStringLiteral("RO"), 24},
      {QStringLiteral("SE"), 24}, {QStringLiteral("SI"), 19}, {QStringLiteral("SK"), 24}, {QStringLiteral("SM"), 27},
      {QStringLiteral("TR"), 26}, {QStringLiteral("VA"), 22},
  };
  return lengths.value(country.toUpper(), 0);
}

bool IbanCheckDigitsValid(const QString& iban) {
  if (iban.size() < 5) return false;
  // Country and check digits go to the end; letters count as 10 to 35; the remainder must be 1.
  const QString moved = iban.mid(4) + iban.left(4);
  int remainder = 0;
  for (QChar ch : moved) {
    const char16_t c = ch.toUpper().unicode();
    if (c >= u'0' && c <= u'9') {
      remainder = (remainder * 10 + (c - u'0')) % 97;
    } else if (c >= u'A' && c <= u'Z') {
      remainder = (remainder * 100 + (c - u'A' + 10)) % 97;
    } else {
      return false;
    }
  }
  return remainder == 1;
}

bool BicWellFormed(const QString& bic) {
  static const QRegularExpression form(QStringLiteral("^[A-Z]{4}[A-Z]{2}[A-Z0-9]{2}([A-Z0-9]{3})?$"));
  return form.match(bic).hasMatch();
}

bool ParseGermanAmount(const QString& text, qint64* cents) {
  static const QRegularExpression form(QStringLiteral("^([0-9]{1,3}(?:\\.[0-9]{3})+|[0-9]+),([0-9]{2})$"));
  const QRegularExpressionMatch m = form.match(text);
  if (!m.hasMatch()) return false;
  const QString whole = m.captured(1).remove(QLatin1Char('.'));
  // Eleven cells hold at most eight digits before the comma: no overflow to fear, but a file may
  // hold anything.
  if (whole.size() > 15) return false;
  *cents = whole.toLongLong() * 100 + m.captured(2).toInt();
  return true;
}
