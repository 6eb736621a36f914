#pragma once
// Hand-made field lists for the rule tests: steps of named fields with values.
#include <QString>
#include <QStringList>
#include <initializer_list>

#include "fields/uFormFields.h"

struct TFieldSpec {
  const char* Name;
  TFormFieldKind Kind;
  QString Value;
};

inline TFormField* AddField(TFormFieldList& l, const QString& name, TFormFieldKind kind, const QString& value,
                            float left = 10, float top = 10, float width = 40, float height = 5) {
  const QFont font = TFormField::DefaultFont();
  TFormField* f = nullptr;
  switch (kind) {
    case TFormFieldKind::Edit: f = l.AddEdit(name, 0, left, top, width, height, font); break;
    case TFormFieldKind::EditExt: f = l.AddEditExt(name, 0, left, top, width, height, 4, font); break;
    case TFormFieldKind::Combobox: f = l.AddCombobox(name, left, top, width, height, font); break;
    case TFormFieldKind::ComboEdit: f = l.AddComboEdit(name, left, top, width, height, font); break;
    case TFormFieldKind::DateEdit: f = l.AddDateEdit(name, left, top, width, height, font); break;
    case TFormFieldKind::Checkbox: f = l.AddCheckbox(name, left, top, width, height); break;
    case TFormFieldKind::Button: f = l.AddButton(name, left, top, width, height); break;
  }
  f->SetValue(value);
  return f;
}

// `steps` lists of fields; the lists have as many steps as given.
inline TFieldLists MakeLists(std::initializer_list<std::initializer_list<TFieldSpec>> steps) {
  TFieldLists lists;
  for (const auto& step : steps) {
    TFormFieldList l;
    for (const TFieldSpec& s : step) AddField(l, QString::fromUtf8(s.Name), s.Kind, s.Value);
    lists.push_back(std::move(l));
  }
  return lists;
}

// Reads a comma text the way the string lists of the combo boxes do: blanks skipped before an
// item, quoted items with doubled quotes, unquoted items ending at a comma or blank, a trailing
// comma giving one more empty item.
inline QStringList ReadCommaText(const QString& text) {
  QStringList out;
  int i = 0;
  const int n = int(text.size());
  auto skipBlanks = [&] {
    while (i < n && text.at(i).unicode() <= 0x20) ++i;
  };
  skipBlanks();
  while (i < n) {
    QString item;
    if (text.at(i) == QLatin1Char('"')) {
      ++i;
      while (i < n) {
        if (text.at(i) == QLatin1Char('"')) {
          if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
            item += QLatin1Char('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text.at(i++);
      }
    } else {
      while (i < n && text.at(i) != QLatin1Char(',') && text.at(i).unicode() > 0x20) item += text.at(i++);
    }
    out << item;
    skipBlanks();
    if (i < n && text.at(i) == QLatin1Char(',')) {
      if (i == n - 1) out << QString();
      ++i;
      skipBlanks();
    }
  }
  return out;
}
