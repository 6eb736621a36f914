#pragma once
#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

class TFormField;

// The link between an editor control and the field it edits (the control's "Tag").
void SetEditorField(QWidget* editor, TFormField* field);
TFormField* EditorField(const QWidget* editor);  // null when the control has none

// The editors of the shown step, in the order they were added. The list owns them: removing a
// control, or destroying the list, destroys it. Editors are found by their field's name.
class TFormEditorList {
 public:
  TFormEditorList() = default;
  ~TFormEditorList();
  TFormEditorList(const TFormEditorList&) = delete;
  TFormEditorList& operator=(const TFormEditorList&) = delete;

  int Add(QWidget* control);  // returns its index
  int Count() const { return int(items_.size()); }
  QWidget* Items(int index) const;  // index in 0 .. Count() - 1
  // The first editor whose field's name equals `name` exactly (case-sensitive), or null.
  QWidget* EditorByName(const QString& name) const;
  // Takes the control out of the list and destroys it; nothing when it is not in the list.
  void Remove(QWidget* control);
  void Clear();

 private:
  // Guarded: a control destroyed with its parent panel leaves a null entry, never a dangling one.
  std::vector<QPointer<QWidget>> items_;
};

// Helpers for the rules, which reach editors only through the list. They work on every editor
// kind the manager builds.

// The face colour of an edit, date edit or combo box (the background of a check box or button).
void SetEditorColor(QWidget* editor, const QColor& color);
QColor EditorColor(const QWidget* editor);
// The text the editor shows: the edit's text, the date edit's masked text, the combo box's shown
// text, the check box's Text, the button's caption.
QString EditorText(const QWidget* editor);
// Sets what the editor shows through its ordinary setter (an edit then reports the change as
// typing would): edit text, masked text, combo box Text, check box Text.
void SetEditorText(QWidget* editor, const QString& text);
// The maximum length of an edit (0: no limit); other kinds ignore it.
void SetEditorMaxLength(QWidget* editor, int maxLength);
void SetEditorReadOnly(QWidget* editor, bool readOnly);
