#pragma once
#include <QString>

#include "fields/uFormFields.h"
#include "rules/uValueRules.h"

class QWidget;
class TFormEditorList;

// The form rules on the editors of the shown step: lists into the code boxes, enabling and
// read-only, colours, the length rule and the date check with its warning. The editors are
// reached only through the manager's editor list.

// Applies CheckDateEntry to `field` with the text its editor shows: writes the normalised value
// into the field (and into *newEditorText, empty when nothing is to be written back), or shows the
// message in a warning box (Dialogs()). True when the editor may be left.
bool ValidateDateText(TFormField& field, const QString& editorText, QString* newEditorText);

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

// The most characters the field's edit takes while it holds its value: what still fits its box
// on paper, measured as the print lays the text out. Only Edit and EditExt; others are left.
void ApplyLengthRule(TFormEditorList& editors, const TFormField& field);

// The kinds whose editors show a face colour (white, highlighted, grey); check boxes do not.
bool HasFaceColour(TFormFieldKind kind);
// The face of the field's editor while the focus is in it, or again white when it left.
void SetEditorFocused(TFormEditorList& editors, const TFormField& field, bool focused);
// Enables or disables the named editor; editors of the kinds with a face colour also turn
// white / grey. `kind` is the caller's, not read from the field.
void SetEditorEnabled(TFormEditorList& editors, const QString& name, TFormFieldKind kind, bool enabled);
void SetEditorReadOnly(TFormEditorList& editors, const QString& name);
// When a date field is left: checks the text its editor shows, writes the normalised value into the
// field and the editor or shows the warning. False keeps the focus in the editor.
bool ValidateDateField(TFormEditorList& editors, TFormField& field, const TFieldLists& lists);
