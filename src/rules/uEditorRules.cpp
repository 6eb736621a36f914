#include "rules/uEditorRules.h"

#include <QComboBox>
#include <QWidget>

#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "platform/UserDialogs.h"
#include "platform/uColors.h"
#include "rules/uFieldFit.h"

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
// The editor side: the rules change the shown step's editors only through the editor list.

namespace {

void AssignList(QWidget* editor, const TChoiceList& list) {
  if (auto* combo = qobject_cast<TFormularComboBox*>(editor))
    combo->SetLists(list.DropDownWidth, list.TextCommaText(), list.CodeCommaText());
}

}  // namespace

void ApplyLengthRule(TFormEditorList& editors, const TFormField& field) {
  if (field.Kind() != TFormFieldKind::Edit && field.Kind() != TFormFieldKind::EditExt) return;
  if (QWidget* editor = editors.EditorByName(field.Name()))
    SetEditorMaxLength(editor, EditorMaxLength(field, field.Value()));
}

bool HasFaceColour(TFormFieldKind kind) {
  return kind == TFormFieldKind::Edit || kind == TFormFieldKind::EditExt || kind == TFormFieldKind::DateEdit ||
         kind == TFormFieldKind::Combobox || kind == TFormFieldKind::ComboEdit;
}

void SetEditorFocused(TFormEditorList& editors, const TFormField& field, bool focused) {
  QWidget* w = editors.EditorByName(field.Name());
  if (w && HasFaceColour(field.Kind())) SetEditorColor(w, ColorFromBGR(focused ? kEditorFocusBGR : kEditorNormalBGR));
}

void SetEditorEnabled(TFormEditorList& editors, const QString& name, TFormFieldKind kind, bool enabled) {
  QWidget* w = editors.EditorByName(name);
  if (!w) return;
  w->setEnabled(enabled);
  if (HasFaceColour(kind)) SetEditorColor(w, ColorFromBGR(enabled ? kEditorNormalBGR : kEditorDisabledBGR));
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
