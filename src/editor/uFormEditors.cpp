#include "editor/uFormEditors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

#include "editor/uFormularEditorControls.h"
#include "fields/uFormFields.h"

namespace {
const char* const kTagProperty = "Tag";
}

void SetEditorField(QWidget* editor, TFormField* field) {
  if (editor) editor->setProperty(kTagProperty, QVariant::fromValue(static_cast<void*>(field)));
}

TFormField* EditorField(const QWidget* editor) {
  if (!editor) return nullptr;
  return static_cast<TFormField*>(editor->property(kTagProperty).value<void*>());
}

TFormEditorList::~TFormEditorList() { Clear(); }

int TFormEditorList::Add(QWidget* control) {
  items_.emplace_back(control);
  return int(items_.size()) - 1;
}

QWidget* TFormEditorList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[std::size_t(index)].data();
}

QWidget* TFormEditorList::EditorByName(const QString& name) const {
  for (const auto& item : items_) {
    const TFormField* f = EditorField(item.data());
    if (f && f->Name() == name) return item.data();
  }
  return nullptr;
}

void TFormEditorList::Remove(QWidget* control) {
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->data() == control) {
      items_.erase(it);
      delete control;
      return;
    }
  }
}

void TFormEditorList::Clear() {
  std::vector<QPointer<QWidget>> items;
  items.swap(items_);
  for (auto& item : items) delete item.data();
}

void SetEditorColor(QWidget* editor, const QColor& color) {
  if (!editor) return;
  QPalette pal = editor->palette();
  pal.setColor(QPalette::Base, color);
  if (qobject_cast<QCheckBox*>(editor) || qobject_cast<QPushButton*>(editor)) {
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::Button, color);
    editor->setAutoFillBackground(true);
  }
  editor->setPalette(pal);
}

QColor EditorColor(const QWidget* editor) {
  if (!editor) return QColor();
  if (qobject_cast<const QCheckBox*>(editor)) return editor->palette().color(QPalette::Window);
  if (qobject_cast<const QPushButton*>(editor)) return editor->palette().color(QPalette::Button);
  return editor->palette().color(QPalette::Base);
}

QString EditorText(const QWidget* editor) {
  if (auto* d = qobject_cast<const TFormularDateEdit*>(editor)) return d->MaskedText();
  if (auto* e = qobject_cast<const QLineEdit*>(editor)) return e->text();
  if (auto* c = qobject_cast<const QComboBox*>(editor)) return c->currentText();
  if (auto* x = qobject_cast<const TFormularCheckBox*>(editor)) return x->Text();
  if (auto* b = qobject_cast<const QPushButton*>(editor)) return b->text();
  return QString();
}

void SetEditorText(QWidget* editor, const QString& text) {
  if (auto* d = qobject_cast<TFormularDateEdit*>(editor))
    d->SetMaskedText(text);
  else if (auto* e = qobject_cast<QLineEdit*>(editor))
    e->setText(text);
  else if (auto* c = qobject_cast<TFormularComboBox*>(editor))
    c->SetText(text);
  else if (auto* x = qobject_cast<TFormularCheckBox*>(editor))
    x->SetText(text);
  else if (auto* b = qobject_cast<QPushButton*>(editor))
    b->setText(text);
}

void SetEditorMaxLength(QWidget* editor, int maxLength) {
  if (auto* e = qobject_cast<TFormularEdit*>(editor)) e->SetMaxLength(maxLength);
}

void SetEditorReadOnly(QWidget* editor, bool readOnly) {
  if (auto* e = qobject_cast<QLineEdit*>(editor)) e->setReadOnly(readOnly);
}
