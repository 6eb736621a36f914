#include "editor/uFormularEditorControls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QContextMenuEvent>
#include <memory>
#include <QStyledItemDelegate>

#include "platform/UserDialogs.h"
#include "storage/uGermanLocale.h"
#include "storage/uWin1252.h"

// ---------------------------------------------------------------------------------------------
// Comma text

namespace {

bool IsBlankOrControl(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

}  // namespace

QStringList CommaTextToStrings(const QString& text) {
  QStringList items;
  const int n = text.size();
  int i = 0;
  // A NUL ends the text, as it does for the platform's strings.
  auto at = [&](int k) -> QChar { return k < n ? text.at(k) : QChar(0); };
  while (at(i).unicode() != 0 && IsBlankOrControl(at(i))) ++i;
  while (at(i).unicode() != 0) {
    QString item;
    if (at(i) == QLatin1Char('"')) {
      ++i;
      while (at(i).unicode() != 0) {
        if (at(i) == QLatin1Char('"')) {
          if (at(i + 1) == QLatin1Char('"')) {
            item += QLatin1Char('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += at(i);
        ++i;
      }
    } else {
      const int start = i;
      while (at(i).unicode() > 32 && at(i) != QLatin1Char(',')) ++i;
      item = text.mid(start, i - start);
    }
    items << item;
    while (at(i).unicode() != 0 && IsBlankOrControl(at(i))) ++i;
    if (at(i) == QLatin1Char(',')) {
      if (at(i + 1).unicode() == 0) items << QString();
      do {
        ++i;
      } while (at(i).unicode() != 0 && IsBlankOrControl(at(i)));
    }
  }
  return items;
}

QString StringsToCommaText(const QStringList& items) {
  QStringList parts;
  for (const QString& item : items) {
    bool quote = item.isEmpty();
    for (QChar c : item)
      if (c.unicode() <= 32 || c == QLatin1Char(',') || c == QLatin1Char('"')) quote = true;
    if (!quote) {
      parts << item;
    } else {
      QString q = item;
      q.replace(QLatin1String("\""), QLatin1String("\"\""));
      parts << QLatin1Char('"') + q + QLatin1Char('"');
    }
  }
  return parts.join(QLatin1Char(','));
}

// ---------------------------------------------------------------------------------------------
// Windows-1252 input

QValidator::State TWin1252Validator::validate(QString& input, int& pos) const {
  if (IsWin1252Text(input)) return Acceptable;
  QString kept;
  kept.reserve(input.size());
  int newPos = pos;
  for (int i = 0; i < input.size(); ++i) {
    if (UnicodeToWin1252(input.at(i)) >= 0)
      kept += input.at(i);
    else if (i < pos)
      --newPos;
  }
  input = kept;
  pos = std::max(0, newPos);
  return Acceptable;
}

// ---------------------------------------------------------------------------------------------
// Edit

namespace {

class TEditInputValidator : public TWin1252Validator {
 public:
  explicit TEditInputValidator(TFormularEdit* edit) : TWin1252Validator(edit), edit_(edit) {}
  State validate(QString& input, int& pos) const override {
    TWin1252Validator::validate(input, pos);
    const int limit = edit_->MaxLength();
    if (limit <= 0 || !edit_->InUserInput()) return Acceptable;
    const int allowed = std::max(limit, int(edit_->TextBeforeChange().size()));
    const int excess = int(input.size()) - allowed;
    if (excess > 0 && input.size() > edit_->TextBeforeChange().size()) {
      // The characters just typed or pasted sit before the cursor; drop those that do not fit.
      const int from = std::max(0, pos - excess);
      input.remove(from, pos - from);
      pos = from;
      if (input.size() > allowed) return Invalid;
    }
    return Acceptable;
  }

 private:
  TFormularEdit* edit_;
};

struct TUserInputScope {
  explicit TUserInputScope(int& counter) : counter_(counter) { ++counter_; }
  ~TUserInputScope() { --counter_; }
  int& counter_;
};

}  // namespace

TFormularEdit::TFormularEdit(QWidget* parent) : QLineEdit(parent) {
  QLineEdit::setMaxLength(32767);
  setValidator(new TEditInputValidator(this));
  connect(this, &QLineEdit::textChanged, this, [this](const QString& t) { lastText_ = t; });
}

void TFormularEdit::keyPressEvent(QKeyEvent* e) {
  TUserInputScope scope(userInput_);
  QLineEdit::keyPressEvent(e);
}

void TFormularEdit::inputMethodEvent(QInputMethodEvent* e) {
  TUserInputScope scope(userInput_);
  QLineEdit::inputMethodEvent(e);
}

void TFormularEdit::dropEvent(QDropEvent* e) {
  TUserInputScope scope(userInput_);
  QLineEdit::dropEvent(e);
}

void TFormularEdit::contextMenuEvent(QContextMenuEvent* e) {
  // Run the menu here, so that its paste counts as the user's input.
  std::unique_ptr<QMenu> menu(createStandardContextMenu());
  TUserInputScope scope(userInput_);
  menu->exec(e->globalPos());
}

// ---------------------------------------------------------------------------------------------
// Check box

TFormularCheckBox::TFormularCheckBox(QWidget* parent) : QCheckBox(parent) {
  connect(this, &QCheckBox::toggled, this, [this](bool) { Clicked(); });
}

void TFormularCheckBox::SetText(const QString& text) {
  text_ = text;
  setChecked(text == QLatin1String("X"));
}

void TFormularCheckBox::UpdateText() { text_ = isChecked() ? QStringLiteral("X") : QString(); }

void TFormularCheckBox::Clicked() {
  if (OnClick) OnClick(this);
  UpdateText();
}

// ---------------------------------------------------------------------------------------------
// Code-list combo box

namespace {

// The open list shows each item's display text; the items themselves stay the codes, so the
// selected pair and the row indexes never move while the list opens and closes.
class TDisplayTextDelegate : public QStyledItemDelegate {
 public:
  explicit TDisplayTextDelegate(TFormularComboBox* combo) : QStyledItemDelegate(combo), combo_(combo) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = combo_->DisplayTextAt(index.row());
  }

 private:
  TFormularComboBox* combo_;
};

// Typing in the open list looks for the texts it shows, not for the codes behind them: "K" finds
// "Kaufvertrag" in the claim catalogue, where the codes are numbers. As in any list, the letters
// typed in quick succession make one search, and the same letter again moves on to the next entry.
class TDisplayTextSearch : public QObject {
 public:
  explicit TDisplayTextSearch(TFormularComboBox* combo) : QObject(combo), combo_(combo) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isPrint()) return false;
    Search(text);
    return true;
  }

 private:
  void Search(const QString& text) {
    QAbstractItemView* view = combo_->view();
    const int rows = combo_->count();
    const bool fresh = !typed_.isValid() || typed_.elapsed() > QApplication::keyboardInputInterval();
    typed_.start();
    input_ = fresh ? text : input_ + text;
    if (rows == 0) return;
    const int current = view->currentIndex().row();
    // A new search starts after the highlighted entry, so that the same letter walks through
    // the entries that begin with it.
    bool skip = fresh;
    QString needle = input_;
    const QString lower = input_.toLower();
    if (lower.size() > 1 && lower.count(lower.back()) == lower.size()) {
      needle = lower.back();
      skip = true;
    }
    const int start = current < 0 ? 0 : (skip ? current + 1 : current) % rows;
    for (int i = 0; i < rows; ++i) {
      const int row = (start + i) % rows;
      if (!combo_->DisplayTextAt(row).startsWith(needle, Qt::CaseInsensitive)) continue;
      const QModelIndex index = combo_->model()->index(row, combo_->modelColumn());
      view->setCurrentIndex(index);
      view->scrollTo(index);
      return;
    }
  }

  TFormularComboBox* combo_;
  QElapsedTimer typed_;
  QString input_;
};

}  // namespace

TFormularComboBox::TFormularComboBox(QWidget* parent) : TFlatComboBox(parent) {
  view()->installEventFilter(new TDisplayTextSearch(this));
  setItemDelegate(new TDisplayTextDelegate(this));
  setInsertPolicy(QComboBox::NoInsert);
  setDuplicatesEnabled(true);
}

QString TFormularComboBox::DisplayTextAt(int index) const {
  if (index >= 0 && index < displays_.size()) return displays_.at(index);
  // A display list shorter than the code list: the code stands for itself.
  if (index >= 0 && index < codes_.size()) return codes_.at(index);
  return QString();
}

int TFormularComboBox::IndexOfText() const { return codes_.indexOf(text_); }

void TFormularComboBox::ApplyItems() {
  const QSignalBlocker block(this);
  const QString edit = isEditable() ? currentText() : QString();
  clear();
  addItems(codes_);
  setCurrentIndex(IndexOfText());
  if (isEditable()) setEditText(edit);
}

void TFormularComboBox::SetLists(int fixedWidth, const QString& displayCommaText, const QString& codeCommaText) {
  fixedWidth_ = fixedWidth;
  displayCommaText_ = displayCommaText;
  codeCommaText_ = codeCommaText;
  displays_ = CommaTextToStrings(displayCommaText);
  codes_ = CommaTextToStrings(codeCommaText);
  ApplyItems();
  update();
}

void TFormularComboBox::SetText(const QString& value) {
  text_ = value;
  const QSignalBlocker block(this);
  const int index = IndexOfText();
  if (index >= 0) setCurrentIndex(index);
  if (isEditable()) setEditText(value);
  update();
}

void TFormularComboBox::DropDown() {
  TFlatComboBox::DropDown();  // the handler may replace the lists here
  int w = 0;
  if (fixedWidth_ > 0) {
    w = fixedWidth_;
  } else if (count() > 0) {
    const QFontMetrics fm(font());
    for (int i = 0; i < count(); ++i) w = std::max(w, fm.horizontalAdvance(DisplayTextAt(i)));
    w += 20;
  }
  droppedWidth_ = w;
  // Never narrower than the box itself; the platform does that part.
  if (QWidget* container = view()->parentWidget()) container->setMinimumWidth(w);
  view()->setMinimumWidth(0);
}

// ---------------------------------------------------------------------------------------------
// Date edit

TFormularDateEdit::TFormularDateEdit(QWidget* parent) : QLineEdit(parent) {
  const QString sep = GermanLocale().dateFormat(QLocale::ShortFormat).contains(QLatin1Char('/'))
                          ? QStringLiteral("/")
                          : QStringLiteral(".");
  setInputMask(QStringLiteral("99") + sep + QStringLiteral("99") + sep + QStringLiteral("00;_"));
  connect(this, &QLineEdit::textEdited, this, [this](const QString&) { modified_ = true; });
}

QString TFormularDateEdit::InvalidInputMessage() {
  return QStringLiteral("Ung\u00fcltiger Eingabewert. Mit der Taste ESC machen Sie die \u00c4nderungen r\u00fcckg\u00e4ngig.");
}

QString TFormularDateEdit::MaskedText() const {
  QString shown = displayText();
  shown.replace(QLatin1Char('_'), QLatin1Char(' '));
  return shown;
}

void TFormularDateEdit::SetMaskedText(const QString& value) {
  // Blanks stand for empty positions; the mask takes the digits at their places.
  setText(value);
  original_ = MaskedText();
  modified_ = false;
}

bool TFormularDateEdit::ValidateEdit() {
  if (!modified_) return true;
  const QString t = MaskedText();
  if (t.trimmed().remove(QLatin1Char('.')).remove(QLatin1Char('/')).trimmed().isEmpty()) return true;
  if (t.size() >= 8 && t.at(6) != QLatin1Char(' ') && t.at(7) != QLatin1Char(' ')) return true;
  Dialogs().Message(TDialogKind::Error, InvalidInputMessage(), dbOk, dbOk);
  return false;
}

void TFormularDateEdit::UndoChanges() {
  if (!modified_) return;
  setText(original_);
  modified_ = false;
}

void TFormularDateEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (!modified_) original_ = MaskedText();
}

void TFormularDateEdit::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && modified_) {
    UndoChanges();
    e->accept();
    return;
  }
  QLineEdit::keyPressEvent(e);
}
