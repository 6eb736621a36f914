#pragma once
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

#include "fields/uFormFields.h"

// The form's official code lists and the central dunning courts: what the code boxes may hold
// and what their lists show. Knows no widgets.

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

// True when `name` is one of `names`, compared exactly (field names are case-sensitive).
bool NameIsOneOf(const QString& name, std::initializer_list<const char*> names);
bool NameIsOneOf(const QString& name, const std::vector<const char*>& names);
