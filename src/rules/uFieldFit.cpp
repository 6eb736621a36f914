#include "rules/uFieldFit.h"

#include <algorithm>
#include <cmath>

#include <QHash>

#include "render/uFontcache.h"
#include "storage/uWin1252.h"

namespace {

// Float noise of the millimetre arithmetic; far below what a printer can show.
constexpr float kSlackMM = 0.001f;

bool PrintsText(const TFormField& field) { return field.Kind() != TFormFieldKind::Button; }

// In the field's print font: the same measure the print places text with.
struct TMeasure {
  explicit TMeasure(const TFormField& field) : font(field.Font()) {}
  float Width(const QString& text) const { return PrintedTextWidthMM(font, text); }
  QFont font;
};

float Widest(TMeasure& m) {
  // Asked at every keystroke: measured once per print font.
  static QHash<QString, float> known;
  const QString key = m.font.key();
  const auto it = known.constFind(key);
  if (it != known.constEnd()) return it.value();
  float widest = 0.0f;
  for (int code = 0x20; code <= 0xFF; ++code) {
    const QChar c = Win1252ToUnicode(static_cast<unsigned char>(code));
    // DEL and the five bytes the code page leaves undefined come out as controls: nobody types them.
    if (c.unicode() == 0x7F || (c.unicode() >= 0x80 && c.unicode() < 0xA0)) continue;
    widest = std::max(widest, m.Width(QString(c)));
  }
  known.insert(key, widest);
  return widest;
}

}  // namespace

float PrintedWidthMM(const TFormField& field, const QString& text) { return TMeasure(field).Width(text); }

float WidestCharacterMM(const TFormField& field) {
  TMeasure m(field);
  return Widest(m);
}

int DigitCells(const TFormField& field) {
  return field.Kind() == TFormFieldKind::EditExt && field.NumberOfDigits() > 0 ? int(field.NumberOfDigits()) : 0;
}

float DigitCellPitchMM(const TFormField& field) {
  const int cells = DigitCells(field);
  // The print steps by a tenth of a millimetre more than the box divided by its cells.
  return cells > 0 ? field.Width() / float(cells) + 0.1f : 0.0f;
}

int LengthCeiling(const TFormField& field) {
  const int length = std::max(0, int(field.MaxLength()));
  const int cells = DigitCells(field);
  if (cells == 0) return length;
  return length > 0 ? std::min(length, cells) : cells;
}

int EditorMaxLength(const TFormField& field, const QString& text) {
  const int ceiling = LengthCeiling(field);
  // A digit box prints every character in its own cell: the cells are the whole rule.
  if (DigitCells(field) > 0) return ceiling;
  TMeasure m(field);
  const float widest = Widest(m);
  const float room = field.Width() - m.Width(text);
  int more = 0;
  if (widest > 0.0f && room > 0.0f) more = int(std::floor((room + kSlackMM) / widest));
  int limit = int(text.size()) + more;
  if (ceiling > 0) limit = std::min(limit, ceiling);
  return std::max(1, limit);
}

TFieldFit CheckFieldFit(const TFormField& field, const QString& value) {
  TFieldFit fit;
  fit.Characters = int(value.size());
  fit.MaxCharacters = LengthCeiling(field);
  fit.BoxWidthMM = field.Width();
  if (!PrintsText(field)) return fit;
  fit.WithinLength = fit.MaxCharacters == 0 || fit.Characters <= fit.MaxCharacters;
  TMeasure m(field);
  const int cells = DigitCells(field);
  if (cells == 0) {
    fit.WidthMM = m.Width(value);
    fit.InsideBox = fit.WidthMM <= field.Width() + kSlackMM;
    return fit;
  }
  // A digit box: each printed character starts at its cell and must end before the next cell and
  // inside the box.
  const float pitch = DigitCellPitchMM(field);
  const int printed = std::min(cells, fit.Characters);
  for (int k = 0; k < printed; ++k) {
    const float start = float(k) * pitch;
    const float end = start + m.Width(QString(value.at(k)));
    fit.WidthMM = std::max(fit.WidthMM, end);
    if (end > std::min(start + pitch, field.Width()) + kSlackMM) fit.InsideBox = false;
  }
  return fit;
}

std::vector<TFieldOverflow> FieldsNotFitting(const TFieldLists& lists) {
  std::vector<TFieldOverflow> out;
  for (std::size_t s = 0; s < lists.size(); ++s) {
    const TFormFieldList& list = lists[s];
    for (int i = 0; i < list.Count(); ++i) {
      const TFormField* f = list.Fields(i);
      const TFieldFit fit = CheckFieldFit(*f);
      if (!fit.Fits()) out.push_back({int(s), f, fit});
    }
  }
  return out;
}
