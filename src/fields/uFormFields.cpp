#include "fields/uFormFields.h"

QFont TFormField::DefaultFont() {
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(10);
  f.setBold(false);
  f.setItalic(false);
  return f;
}

TFormField::TFormField() : Font_(DefaultFont()), ScreenFont_(DefaultFont()) {}

QString TFormField::SpokenLabel() const {
  const QString caption = Caption_.isEmpty() ? Name_ : Caption_;
  if (FormLine_ <= 0) return caption;
  return QStringLiteral("Zeile %1, %2").arg(FormLine_).arg(caption);
}

TFormField* TFormFieldList::Add(const QString& name, TFormFieldKind kind, float left, float top, float width,
                                float height) {
  auto f = std::make_unique<TFormField>();
  f->Name_ = name;
  f->Left_ = left;
  f->Top_ = top;
  f->Width_ = width;
  f->Height_ = height;
  f->Kind_ = kind;
  fields_.push_back(std::move(f));
  return fields_.back().get();
}

TFormField* TFormFieldList::AddButton(const QString& name, float left, float top, float width, float height) {
  return Add(name, TFormFieldKind::Button, left, top, width, height);
}

TFormField* TFormFieldList::AddCheckbox(const QString& name, float left, float top, float width, float height) {
  return Add(name, TFormFieldKind::Checkbox, left, top, width, height);
}

TFormField* TFormFieldList::AddCombobox(const QString& name, float left, float top, float width, float height,
                                        const QFont& font) {
  TFormField* f = Add(name, TFormFieldKind::Combobox, left, top, width, height);
  f->SetFont(font);
  return f;
}

TFormField* TFormFieldList::AddComboEdit(const QString& name, float left, float top, float width, float height,
                                         const QFont& font) {
  TFormField* f = Add(name, TFormFieldKind::ComboEdit, left, top, width, height);
  f->SetFont(font);
  return f;
}

TFormField* TFormFieldList::AddDateEdit(const QString& name, float left, float top, float width, float height,
                                        const QFont& font) {
  TFormField* f = Add(name, TFormFieldKind::DateEdit, left, top, width, height);
  f->SetFont(font);
  return f;
}

TFormField* TFormFieldList::AddEdit(const QString& name, std::int32_t maxLength, float left, float top, float width,
                                    float height, const QFont& font) {
  TFormField* f = Add(name, TFormFieldKind::Edit, left, top, width, height);
  f->MaxLength_ = maxLength;
  f->SetFont(font);
  return f;
}

TFormField* TFormFieldList::AddEditExt(const QString& name, std::int32_t maxLength, float left, float top,
                                       float width, float height, std::int32_t numberOfDigits, const QFont& font) {
  TFormField* f = Add(name, TFormFieldKind::EditExt, left, top, width, height);
  f->MaxLength_ = maxLength;
  f->NumberOfDigits_ = numberOfDigits;
  f->SetFont(font);
  return f;
}

TFormField* TFormFieldList::FieldByName(const QString& name) const {
  for (const auto& f : fields_)
    if (f->Name() == name) return f.get();
  return nullptr;
}

QString TFormFieldList::ValueByName(const QString& name) const {
  const TFormField* f = FieldByName(name);
  return f ? f->Value() : QString();
}

TFormField* FieldByName(const TFieldLists& lists, const QString& name) {
  for (const TFormFieldList& l : lists)
    if (TFormField* f = l.FieldByName(name)) return f;
  return nullptr;
}

QString ValueByName(const TFieldLists& lists, const QString& name) {
  const TFormField* f = FieldByName(lists, name);
  return f ? f->Value() : QString();
}
