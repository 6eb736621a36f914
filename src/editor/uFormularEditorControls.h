#pragma once
#include <QCheckBox>
#include <QLineEdit>
#include <QStringList>
#include <QValidator>
#include <functional>

#include "editor/uFlatCombobox.h"

// Comma text: the list form the code and display lists are written in. Leading blanks and control
// characters are skipped; a quoted item runs to the next lone double quote ("" inside stands for
// one); an unquoted item ends at a comma, blank or control character; a comma as the very last
// character adds one empty item. So ",1,2" is the three items "", "1", "2".
QStringList CommaTextToStrings(const QString& text);
// The inverse: items with blanks, control characters, commas or quotes are quoted (quotes
// doubled), and so is an empty item, so that every list survives the round trip.
QString StringsToCommaText(const QStringList& items);

// Lets through only what Windows-1252 can hold; other characters of a typed or pasted text are
// dropped, the rest is kept.
class TWin1252Validator : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

// The single-line edit of Edit and EditExt fields. Its maximum length limits what the user types
// or pastes (a paste is cut to what fits), never what the program sets, and lowering it below the
// current length keeps the text: it only blocks further typing.
class TFormularEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TFormularEdit(QWidget* parent = nullptr);
  int MaxLength() const { return maxLength_; }  // 0: no limit
  void SetMaxLength(int maxLength) { maxLength_ = std::max(0, maxLength); }

  // For the validator: whether the change being checked comes from the user, and the text before it.
  bool InUserInput() const { return userInput_ > 0; }
  const QString& TextBeforeChange() const { return lastText_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  int maxLength_ = 0;
  int userInput_ = 0;
  QString lastText_;
};

// A check box whose value is the text "X" (checked) or empty.
class TFormularCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit TFormularCheckBox(QWidget* parent = nullptr);

  // The stored string. Setting it checks the box exactly when it equals "X" (case-sensitive).
  QString Text() const { return text_; }
  void SetText(const QString& text);
  // Text := "X" when checked, else empty; the check state stays.
  void UpdateText();

  // The click notification: raised whenever the check state changes (by the user or by SetText),
  // before Text follows the new state. Unset: skipped.
  std::function<void(TFormularCheckBox* sender)> OnClick;

 private:
  void Clicked();
  QString text_;
};

// A combo box that shows short codes while closed and explanatory texts while its list is open;
// the code is what it stores. Codes and display texts pair up by position.
class TFormularComboBox : public TFlatComboBox {
  Q_OBJECT
 public:
  explicit TFormularComboBox(QWidget* parent = nullptr);

  // fixedWidth > 0: the open list's width; otherwise the widest display text + 20 pixels.
  // The items become the codes; the item equal to Text is selected (none when no item matches).
  void SetLists(int fixedWidth, const QString& displayCommaText, const QString& codeCommaText);

  // The value last assigned by the program (not updated by the user's choice; read the shown
  // text with currentText()). Setting it selects the first item equal to it, if any; an editable
  // box also shows it in its edit part.
  QString Text() const { return text_; }
  void SetText(const QString& value);

  int DropDownFixedWidth() const { return fixedWidth_; }
  QString DropDownCommaText() const { return displayCommaText_; }
  QString SelectedCommaText() const { return codeCommaText_; }
  QStringList CodeItems() const { return codes_; }
  QStringList DisplayItems() const { return displays_; }
  // The width the open list was given the last time it opened.
  int DroppedWidth() const { return droppedWidth_; }
  // The display text of the item at index (what the open list shows).
  QString DisplayTextAt(int index) const;

 protected:
  void DropDown() override;

 private:
  int IndexOfText() const;
  void ApplyItems();

  int fixedWidth_ = 0;
  int droppedWidth_ = 0;
  QString displayCommaText_;
  QString codeCommaText_;
  QStringList codes_;
  QStringList displays_;
  QString text_;
};

// The date edit: mask "99.99.00" with "_" marking empty positions while editing. Day and month
// take up to two digits, the year exactly two.
class TFormularDateEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TFormularDateEdit(QWidget* parent = nullptr);

  // Always eight characters: the separators in place, a blank for every empty position.
  QString MaskedText() const;
  void SetMaskedText(const QString& value);

  // Whether the edit may be left: not when the user changed it and a year digit is missing
  // (unless it was emptied entirely). Shows the refusal message itself.
  bool ValidateEdit();
  // The text as it was when the user started editing; Esc goes back to it.
  void UndoChanges();
  bool Modified() const { return modified_; }

  static QString InvalidInputMessage();

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QString original_;
  bool modified_ = false;
};
