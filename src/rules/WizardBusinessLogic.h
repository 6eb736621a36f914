#pragma once
#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "fields/uFormFields.h"

class TFormEditorList;

// The form rules of the payment-order application: official code lists, the central dunning
// courts, references between sections, derived fields, checks and hints. Everything here works
// on field values; the editor side (lists on combo boxes, enabling, focus) sits on top of it.

// ---------------------------------------------------------------------------------------------
// Choice lists

// Codes and display texts paired by position. Every list starts with an empty pair, so that an
// empty value means "nothing chosen". Display texts are never stored, only codes.
struct TChoiceList {
  int DropDownWidth = 0;  // pixels; 0: the open list is as wide as its widest entry
  QStringList Codes;
  QStringList Texts;

  int Count() const { return int(Codes.size()); }
  // The two lists in string-list comma-text form, as the combo boxes take them.
  QString CodeCommaText() const;
  QString TextCommaText() const;
};

// Comma text of a string list: items with blanks, commas, double quotes or control characters are
// quoted, inner double quotes doubled, so that reading the text back gives the same items.
// With quoteAll every item is quoted (display lists, whose texts carry blanks).
QString ToCommaText(const QStringList& items, bool quoteAll = false);

// The fixed lists of the form.
const TChoiceList& SalutationList();          // Geschlecht: 1 = Herr, 2 = Frau
const TChoiceList& CompanyTypeList();         // FirmaTyp: 3 = nur Einzelfirma, 4 = nur GmbH u. Co KG
const TChoiceList& InterestPeriodList();      // Zeitraum: 1 = jährl., 2 = mtl., 3 = tägl.
const TChoiceList& ContestedCourtList();      // StreitigesVerfahrenGericht
const TChoiceList& RepresentativeTypeList();  // ProzessbevollmaechtigterTyp
const TChoiceList& CourtList();               // AmtsgerichtPLZOrt, 24 entries
const TChoiceList& ClaimCatalogueList();      // HauptAnspruchKatalogNr1..3, 58 entries
const TChoiceList& RestPartList();            // the Bis date fields: empty, Rest, Teil

// The fixed list a field gets when its step is shown, or null. A list belongs to a field name and
// to the kind the form gives that field; the same name with another kind gets none.
const TChoiceList* FixedChoiceList(const QString& fieldName, TFormFieldKind kind);

// The court name that `AmtsgerichtName` takes for the court list entry at `index`; empty for no
// selection (-1) or an index outside the list.
QString CourtNameForIndex(int index);

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

// Applies CheckDateEntry to `field` with the text its editor shows: writes the normalised value
// into the field (and into *newEditorText, empty when nothing is to be written back), or shows the
// message in a warning box (Dialogs()). True when the editor may be left.
bool ValidateDateText(TFormField& field, const QString& editorText, QString* newEditorText);

// The short context hint of a field: the signature reminder or a claim catalogue hint; may be empty.
QString GetContextHelpText(const TFormField& field);
// The hint of one catalogue number (compared exactly as text), or empty.
QString CatalogueHint(const QString& number);

// ---------------------------------------------------------------------------------------------
// The editors of the shown step, reached only through the manager's editor list. Every rule skips
// an editor that the shown step does not have.

// After ShowStep, before LoadValues: fixed and reference lists, today's date in an empty
// `DatumAntrag`, the second-column rule, the read-only court name.
void PrepareStepEditors(TFormEditorList& editors, TFieldLists& lists);
// `AmtsgerichtName` is derived: its edit is read-only (it still takes the focus).
void ProtectCourtName(TFormEditorList& editors, const TFormField& field);
// Rebuilds the list of a reference field from the current values of its source step.
void BuildReferenceLists(TFormEditorList& editors, const TFormField& field, const TFieldLists& lists);
// Column 2 of applicants/respondents is usable only while the column-1 surname is entered.
void EnableSecondColumns(TFormEditorList& editors, const TFormField& field);
// The bank-field advance and the court name of the chosen court list entry.
void ApplyDerivedFields(TFormEditorList& editors, const TFormField& field);
// Enables or disables the named editor; editors of the kinds with a face colour also turn
// white / grey. `kind` is the caller's, not read from the field.
void SetEditorEnabled(TFormEditorList& editors, const QString& name, TFormFieldKind kind, bool enabled);
void SetEditorReadOnly(TFormEditorList& editors, const QString& name);
// When a date field is left: checks the text its editor shows, writes the normalised value into the
// field and the editor or shows the warning. False keeps the focus in the editor.
bool ValidateDateField(TFormEditorList& editors, TFormField& field, const TFieldLists& lists);
