#pragma once
#include <QFont>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

// The kind of a form field; the codes are those the definition and the rest of the program use.
enum class TFormFieldKind : std::uint8_t {
  Edit = 0,
  Combobox = 1,
  Checkbox = 2,
  Button = 3,
  DateEdit = 4,
  EditExt = 5,
  ComboEdit = 6,
};

// One box of the paper form: where it lies in millimetres, how it prints, and its value, the one
// place where the value lives (editors only mirror it).
class TFormField {
 public:
  TFormField();

  const QFont& Font() const { return Font_; }
  const QFont& ScreenFont() const { return ScreenFont_; }
  std::int32_t MaxLength() const { return MaxLength_; }
  std::int32_t NumberOfDigits() const { return NumberOfDigits_; }
  float Left() const { return Left_; }
  float Top() const { return Top_; }
  float Width() const { return Width_; }
  float Height() const { return Height_; }
  const QString& Value() const { return Value_; }
  void SetValue(const QString& value) { Value_ = value; }
  const QString& Name() const { return Name_; }
  TFormFieldKind Kind() const { return Kind_; }

  // What the printed form says about the box: its caption and line number ("Zeile"; 0: none).
  const QString& Caption() const { return Caption_; }
  int FormLine() const { return FormLine_; }
  void SetFormLabel(const QString& caption, int formLine) {
    Caption_ = caption;
    FormLine_ = formLine;
  }
  // "Zeile 4, Nachname": how a screen reader names the box; the caption alone for a box outside
  // the numbered lines, the field's name when the definition gives neither.
  QString SpokenLabel() const;

  // Copies the font's attributes; the argument stays the caller's.
  void SetFont(const QFont& font) { Font_ = font; }

  // The default font of every field: Arial 10 pt, regular.
  static QFont DefaultFont();

 private:
  friend class TFormFieldList;
  QFont Font_;
  QFont ScreenFont_;
  std::int32_t MaxLength_ = 0;
  std::int32_t NumberOfDigits_ = 0;
  float Left_ = 0, Top_ = 0, Width_ = 0, Height_ = 0;
  QString Value_;
  QString Name_;
  QString Caption_;
  int FormLine_ = 0;
  TFormFieldKind Kind_ = TFormFieldKind::Edit;
};

// The fields of one wizard step, in definition order; owns them.
class TFormFieldList {
 public:
  TFormFieldList() = default;
  TFormFieldList(const TFormFieldList&) = delete;
  TFormFieldList& operator=(const TFormFieldList&) = delete;
  TFormFieldList(TFormFieldList&&) = default;
  TFormFieldList& operator=(TFormFieldList&&) = default;

  TFormField* AddButton(const QString& name, float left, float top, float width, float height);
  TFormField* AddCheckbox(const QString& name, float left, float top, float width, float height);
  TFormField* AddCombobox(const QString& name, float left, float top, float width, float height, const QFont& font);
  TFormField* AddComboEdit(const QString& name, float left, float top, float width, float height, const QFont& font);
  TFormField* AddDateEdit(const QString& name, float left, float top, float width, float height, const QFont& font);
  TFormField* AddEdit(const QString& name, std::int32_t maxLength, float left, float top, float width, float height,
                      const QFont& font);
  TFormField* AddEditExt(const QString& name, std::int32_t maxLength, float left, float top, float width,
                         float height, std::int32_t numberOfDigits, const QFont& font);

  int Count() const { return int(fields_.size()); }
  // index in 0 .. Count() - 1
  TFormField* Fields(int index) const { return fields_.at(std::size_t(index)).get(); }
  // The value of the first field of that exact name; empty when none has it.
  QString ValueByName(const QString& name) const;
  // The first field of that exact name, or null.
  TFormField* FieldByName(const QString& name) const;

 private:
  TFormField* Add(const QString& name, TFormFieldKind kind, float left, float top, float width, float height);
  std::vector<std::unique_ptr<TFormField>> fields_;
};

// One list per wizard step, in step order.
using TFieldLists = std::vector<TFormFieldList>;

// The value of the first field of that name in any step (steps in order); empty when none has it.
QString ValueByName(const TFieldLists& lists, const QString& name);
TFormField* FieldByName(const TFieldLists& lists, const QString& name);
