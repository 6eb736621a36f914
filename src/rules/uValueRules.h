#pragma once
#include <QDate>
#include <QString>
#include <vector>

#include "fields/uFormFields.h"
#include "rules/uCodeLists.h"

// The value rules of the payment-order form: steps and values, references between sections,
// derived values, the completeness and date checks and the context hints. They read the field
// lists and know nothing of editors, so the review and "--check" run them without a window.

// ---------------------------------------------------------------------------------------------
// Steps and values

// Fixed positions of the steps the rules read from.
constexpr int kApplicantStep = 0;
constexpr int kRespondentStep = 1;
constexpr int kClaimStep = 2;
constexpr int kCourtStep = 6;

// The field list of step `index`, or null when the definition has no such step.
const TFormFieldList* StepList(const TFieldLists& lists, int index);
// The value of `name` in step `index`; empty when the step or the field is missing.
QString StepValue(const TFieldLists& lists, int index, const QString& name);

// Removes blanks and control characters (everything up to U+0020) at both ends.
QString TrimBlanks(const QString& text);

// ---------------------------------------------------------------------------------------------
// References between sections

// One entry text of a reference list: prefix + " - leer -" when both values are blank, otherwise
// prefix + a + " " + b with the values as entered. A null list or a missing field gives an empty
// value.
QString ReferenceItemText(const QString& prefix, const TFormFieldList* list, const QString& nameA,
                          const QString& nameB);

// True for the fields whose list is built from entered data (the Vertreter/RefNr/ZeilenNr fields).
bool IsReferenceField(const QString& fieldName);

// The current reference list of `fieldName`, built from the values of its source step; false (and
// `out` untouched) when the field is no reference field.
bool ReferenceChoiceList(const QString& fieldName, const TFieldLists& lists, TChoiceList* out);

// ---------------------------------------------------------------------------------------------
// Derived fields

// One link of the representative's bank-detail chain: when the box `Name` holds `Length`
// characters, the cursor moves on to `Next`.
struct TBankFieldLink {
  QString Name;
  int Length;
  QString Next;
};
const std::vector<TBankFieldLink>& BankFieldChain();
// The link of `fieldName` when `text` fills its box: the text cut to the box is in *cut.
const TBankFieldLink* BankFieldAdvance(const QString& fieldName, const QString& text, QString* cut);

// The column-2 fields that follow a column-1 surname (`AntragstellerNachnameSp1`,
// `AntragsGegnerNachnameSp1`), each with the kind it is switched as; empty for other fields.
struct TDependentField {
  QString Name;
  TFormFieldKind Kind;
};
std::vector<TDependentField> SecondColumnFields(const QString& surnameField);

// Today's date for `DatumAntrag`, German short form with four-digit year ("05.03.2007").
QString ApplicationDateText(const QDate& date);
// Gives an empty `DatumAntrag` field today's date; true when it set it.
bool ApplyApplicationDateDefault(TFormField& field, const QDate& today = QDate::currentDate());

// ---------------------------------------------------------------------------------------------
// Checks and hints

// Before printing: true with an empty message when applicant, respondent, first claim and court
// are entered; otherwise false and the question whether to print anyway (lines end in CR LF).
bool CheckCompleteness(const TFieldLists& lists, QString& message);

// Which date rule a field follows.
enum class TDateFieldRule { None, UntilOrRestPart, From };
TDateFieldRule DateFieldRule(const QString& fieldName);

// A German date as typed: day.month with an optional year of two or four digits (no year: the year
// of `today`); blanks around the parts are allowed, impossible dates are refused.
bool ParseGermanDate(const QString& text, const QDate& today, QDate* date);
// The date as the claim-period boxes take it: "dd.mm.yy".
QString ShortDateText(const QDate& date);

// The outcome of checking the text of a date field being left.
struct TDateCheck {
  bool Accept = true;
  bool Rewrite = false;  // NewText replaces the field's value and the editor's text
  QString NewText;
  QString Message;  // shown in a warning box when refused
};
TDateCheck CheckDateEntry(const QString& fieldName, const QString& editorText,
                          const QDate& today = QDate::currentDate());

// The messages of the date check.
QString DateMessageUntil();
QString DateMessageFrom();


// The short context hint of a field: the signature reminder or a claim catalogue hint; may be empty.
QString GetContextHelpText(const TFormField& field);
// The hint of one catalogue number (compared exactly as text), or empty.
QString CatalogueHint(const QString& number);

// ---------------------------------------------------------------------------------------------
