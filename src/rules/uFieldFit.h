#pragma once
#include <QString>
#include <vector>

#include "fields/uFormFields.h"

// Whether a value fits the box it is printed into. The court reads the form by machine: a text
// that runs into the neighbouring box or a digit box that silently drops a character makes the
// application wrong. Everything is measured as the print lays the text out: in the field's print
// font at its print size, with the device-independent advances of the font cache. Nothing here
// knows editors, so the editors' length rule and a review of the whole document ask the same
// questions.

// How wide `text` prints in the field's print font, in millimetres.
float PrintedWidthMM(const TFormField& field, const QString& text);
// The widest Windows-1252 character in the field's print font, in millimetres.
float WidestCharacterMM(const TFormField& field);

// A digit box (EditExt with cells) prints one character per cell: how many cells it has (0: the
// field prints as one line) and the step from one cell's left edge to the next.
int DigitCells(const TFormField& field);
float DigitCellPitchMM(const TFormField& field);

// The most characters the field may hold: the definition's length (0: no limit), for a digit box
// no more than its cells.
int LengthCeiling(const TFormField& field);

// The maximum length an editor of the field gets while it holds `text`: the ceiling, lowered so
// that every character that can still be typed or pasted fits the box even if each is the widest
// one. At least 1; a limit below the text's own length keeps the text and only blocks more input.
int EditorMaxLength(const TFormField& field, const QString& text);

// The verdict on one value.
struct TFieldFit {
  int Characters = 0;     // characters of the value
  int MaxCharacters = 0;  // LengthCeiling; 0: no limit
  float WidthMM = 0;      // how far the printed text reaches from the box's left edge
  float BoxWidthMM = 0;
  bool WithinLength = true;  // no more characters than the ceiling, so a digit box prints them all
  bool InsideBox = true;     // the printed text ends inside the box (a digit box: each cell's character in its cell)
  bool Fits() const { return WithinLength && InsideBox; }
};
// For fields that print text (every kind but Button); a Button always fits.
TFieldFit CheckFieldFit(const TFormField& field, const QString& value);
inline TFieldFit CheckFieldFit(const TFormField& field) { return CheckFieldFit(field, field.Value()); }

// Every field of the lists whose value does not fit, in step and field order.
struct TFieldOverflow {
  int Step = 0;
  const TFormField* Field = nullptr;
  TFieldFit Fit;
};
std::vector<TFieldOverflow> FieldsNotFitting(const TFieldLists& lists);
