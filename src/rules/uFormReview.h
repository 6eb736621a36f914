#pragma once
#include <QDate>
#include <QHash>
#include <QString>
#include <vector>

#include "fields/uFormFields.h"

class TWizardDefinition;

// The review of a whole application before it goes to paper: every value rule of the form at
// once, without editors, so that the review window, the print command and "--check" share it.

enum class TFindingKind { Error, Hint };

// One thing the user should look at, tied to the field where it is mended.
struct TFinding {
  TFindingKind Kind = TFindingKind::Error;
  int Step = -1;        // position of the field's step in the field lists
  int Line = 0;         // the form's line number ("Zeile"); 0 when the box has none
  QString FieldName;
  QString Caption;      // the box's caption on the form
  QString Message;      // what to do, in German

  bool operator==(const TFinding& o) const {
    return Kind == o.Kind && Step == o.Step && Line == o.Line && FieldName == o.FieldName && Caption == o.Caption &&
           Message == o.Message;
  }
};

// "Fehler" or "Hinweis".
QString FindingKindText(TFindingKind kind);
// "Fehler: Zeile 32: Kat.-Nr.: <message>"; without a line "Fehler: <caption>: <message>".
QString FindingLine(const TFinding& finding);
bool HasErrors(const std::vector<TFinding>& findings);

// Where each box sits on the paper form: its line and caption, read from the definition (the
// program's field lists do not carry them), and its place in the form's order.
class TFormPlaces {
 public:
  struct TPlace {
    int Step = -1;
    int Order = 0;  // definition order over all steps
    int Line = 0;
    QString Caption;
  };
  TFormPlaces() = default;
  static TFormPlaces FromDefinition(const TWizardDefinition& definition);
  void Add(const QString& fieldName, int step, int line, const QString& caption);
  // A field the definition does not name gets step -1, line 0 and its name as caption.
  TPlace Place(const QString& fieldName) const;

 private:
  QHash<QString, TPlace> places_;
};

// Every finding for the values of `lists`, errors and hints mixed, in the order of the form
// (line by line, boxes of one line in definition order, findings of one box in rule order).
// `today` decides what lies in the future; callers pass Clock().Today().
std::vector<TFinding> ReviewApplication(const TFieldLists& lists, const TFormPlaces& places, const QDate& today);

// The reminder that stands under the review's list; it is no finding, a signature cannot be
// checked.
QString SignatureReminder();

// --- Single rules, for the editors' hints and the tests -------------------------------------------

// An IBAN without blanks: letters, digits, the length its country has (any length 15..34 for a
// country not in the table) and check digits that pass ISO 7064 modulo 97.
int IbanLengthForCountry(const QString& countryCode);  // 0 when unknown
bool IbanCheckDigitsValid(const QString& iban);
// The ISO 9362 form: four letters, the country's two letters, two letters or digits, and three
// more for a branch.
bool BicWellFormed(const QString& bic);
// A German amount as the form takes it: digits (thousands dots allowed) with a decimal comma and
// two decimals; the value in cents in *cents.
bool ParseGermanAmount(const QString& text, qint64* cents);
