#include "editor/uFormularManager.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>

#include "diagnostics/udebug.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uVisualStyles.h"
#include "fields/uFormFields.h"
#include "platform/uColors.h"
#include "platform/uErrors.h"
#include "render/uDrawContext.h"

namespace {

// Shows the panel again however the building ends.
struct TShowAgain {
  QWidget* panel;
  ~TShowAgain() {
    if (panel) panel->show();
  }
};

struct TQuiet {
  bool& flag;
  bool old;
  explicit TQuiet(bool& f) : flag(f), old(f) { flag = true; }
  ~TQuiet() { flag = old; }
};

// On a scaled desktop the picture is resampled smoothly once to the screen's own pixels; drawn
// as it is, every paint would repeat whole pixels unevenly (at 1.5 every other one twice). Its
// size in the window, and so the mapping of the boxes, stays that of the picture file.
QPixmap ForScreen(const QPixmap& picture, qreal dpr) {
  if (picture.isNull() || qFuzzyCompare(dpr, 1.0) || dpr <= 0) return picture;
  const QSize device(int(std::lround(picture.width() * dpr)), int(std::lround(picture.height() * dpr)));
  QPixmap shown = picture.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  shown.setDevicePixelRatio(dpr);
  return shown;
}

}  // namespace

TFormularManager::TFormularManager(QScrollArea* scrollBox) : scrollBox_(scrollBox) {
  if (!scrollBox) throw EKalnoError(QStringLiteral("Scrollbox darf nicht nil sein"));
  context_ = std::make_unique<TDrawContext>();
  scrollBox->horizontalScrollBar()->setTracking(true);
  scrollBox->verticalScrollBar()->setTracking(true);
  scrollBox->horizontalScrollBar()->setValue(0);
  scrollBox->verticalScrollBar()->setValue(0);
  // The scroll box's content: the panel sits on it at the margin, as on the desktop's scroll box.
  host_ = scrollBox->widget();
  if (!host_) {
    scrollBox->setWidgetResizable(false);
    host_ = new QWidget;
    host_->resize(0, 0);
    scrollBox->setWidget(host_);
  }
  panel_ = new QWidget(host_);
  panel_->setObjectName(QStringLiteral("FormularPanel"));
  panel_->setGeometry(0, 0, 100, 100);
  // The editors lie on a picture of a white sheet: a dark desktop must not darken them.
  panel_->setPalette(FormPalette());
  picture_ = new QLabel(panel_);
  picture_->setGeometry(0, 0, 100, 100);
  picture_->setScaledContents(false);
  overlay_ = new QWidget(panel_);
  overlay_->setGeometry(picture_->geometry());
  overlay_->setAttribute(Qt::WA_TransparentForMouseEvents);
  overlay_->setAttribute(Qt::WA_NoSystemBackground);
}

TFormularManager::~TFormularManager() {
  quiet_ = true;
  editors_.Clear();
}

void TFormularManager::Raise(const TFormFieldEvent& event, TFormField* field) {
  if (event && field) event(this, field);
}

TRect TFormularManager::FieldPixelRect(const TFormField& field) {
  float x1, y1, x2, y2;
  TTransformation& t = Transformation();
  t.TransformPoint(field.Left(), field.Top(), x1, y1);
  t.TransformPoint(field.Left() + field.Width(), field.Top() + field.Height(), x2, y2);
  return TRect(RoundHalfEven(x1), RoundHalfEven(y1), RoundHalfEven(x2), RoundHalfEven(y2));
}

TTransformation& TFormularManager::Transformation() { return context_->Transformation(); }

int TFormularManager::EditorFontHeight(int pointSize) {
  // The em height the context computes, taken as a positive cell height.
  return std::abs(context_->FontHeightForSize(pointSize));
}

void TFormularManager::ShowStep(const QPixmap& picture, TFormFieldList* fields, float left, float top, float right,
                                float bottom) {
  scrollBox_->horizontalScrollBar()->setValue(0);
  scrollBox_->verticalScrollBar()->setValue(0);

  picture_->setPixmap(ForScreen(picture, scrollBox_->devicePixelRatioF()));
  picture_->setGeometry(0, 0, picture.width(), picture.height());
  panel_->resize(picture_->size());
  overlay_->setGeometry(picture_->geometry());

  fields_ = fields;
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  TTransformation& t = Transformation();
  t.Reset();
  if (right - left != 0 && bottom - top != 0)
    t.Scale(float(picture.width()) / (right - left), float(picture.height()) / (bottom - top));
  t.Translate(-left, -top);

  panel_->setGeometry(20, 20, panel_->width() + 20, panel_->height() + 20);
  host_->resize(panel_->geometry().right() + 1, panel_->geometry().bottom() + 1);

  panel_->hide();
  scrollBox_->update();
  TShowAgain showAgain{panel_};
  BuildEditors();
}

void TFormularManager::BuildEditors() {
  {
    TQuiet quiet(quiet_);
    entered_ = nullptr;
    editors_.Clear();
  }
  if (!fields_) return;
  for (int i = 0; i < fields_->Count(); ++i) {
    TFormField* field = fields_->Fields(i);
    const TRect r = FieldPixelRect(*field);
    QFont font = field->ScreenFont();
    const int points = font.pointSize() > 0 ? font.pointSize() : qRound(font.pixelSize() * 72.0 / 96.0);
    const int cell = EditorFontHeight(points);
    // The height is the character cell (internal leading included), as the desktop takes a
    // positive font height; Qt sizes the em, so scale it down by the font's cell/em ratio.
    font.setPixelSize(cell);
    const qreal cellAtCell = QFontMetricsF(font).height();
    if (cellAtCell > 0) font.setPixelSize(std::max(1, int(std::lround(cell * cell / cellAtCell))));
    QWidget* editor = CreateEditor(field, r, font);
    editors_.Add(editor);
    AttachHandlers(editor, field);
    editor->show();
  }
}

QWidget* TFormularManager::CreateEditor(TFormField* field, const TRect& r, const QFont& font) {
  QWidget* editor = nullptr;
  const QString& value = field->Value();
  switch (field->Kind()) {
    case TFormFieldKind::Edit:
    case TFormFieldKind::EditExt: {
      auto* e = new TFormularEdit(panel_);
      e->setFont(font);
      e->setFrame(false);
      e->SetMaxLength(field->MaxLength());
      e->setText(value);
      e->setGeometry(r.Left, r.Top + 2, r.Width(), r.Height() - 4);
      SetEditorColor(e, ColorFromBGR(kEditorNormalBGR));
      editor = e;
      break;
    }
    case TFormFieldKind::DateEdit: {
      auto* d = new TFormularDateEdit(panel_);
      d->setFont(font);
      d->setFrame(false);
      d->SetMaskedText(value);
      d->setGeometry(r.Left, r.Top + 2, r.Width(), r.Height() - 4);
      SetEditorColor(d, ColorFromBGR(kEditorNormalBGR));
      editor = d;
      break;
    }
    case TFormFieldKind::Combobox:
    case TFormFieldKind::ComboEdit: {
      auto* c = new TFormularComboBox(panel_);
      if (field->Kind() == TFormFieldKind::ComboEdit) {
        c->setEditable(true);
        c->setCompleter(nullptr);
        c->lineEdit()->setValidator(new TWin1252Validator(c->lineEdit()));
        c->setEditText(value);
      }
      c->setFont(font);
      c->setMaxVisibleItems(30);
      c->setGeometry(r.Left, r.Top, r.Width(), r.Height());
      SetEditorColor(c, ColorFromBGR(kEditorNormalBGR));
      editor = c;
      break;
    }
    case TFormFieldKind::Checkbox: {
      auto* x = new TFormularCheckBox(panel_);
      x->setFont(font);
      x->setGeometry(r.Left, r.Top, r.Width(), r.Height());
      editor = x;
      break;
    }
    case TFormFieldKind::Button: {
      auto* b = new QPushButton(field->Name(), panel_);
      b->setFont(font);
      b->setAutoDefault(false);
      b->setGeometry(r.Left, r.Top, r.Width(), r.Height());
      editor = b;
      break;
    }
  }
  editor->setToolTip(QString());
  // A screen reader names the box as the printed form does; a sighted user reads it off the picture.
  editor->setAccessibleName(field->SpokenLabel());
  SetEditorField(editor, field);
  return editor;
}

void TFormularManager::AttachHandlers(QWidget* editor, TFormField* field) {
  switch (field->Kind()) {
    case TFormFieldKind::Edit:
    case TFormFieldKind::EditExt: {
      auto* e = static_cast<TFormularEdit*>(editor);
      connect(e, &QLineEdit::textChanged, this, [this, field](const QString& text) {
        field->SetValue(text);
        Raise(OnFieldChange, field);
      });
      break;
    }
    case TFormFieldKind::DateEdit: {
      auto* d = static_cast<TFormularDateEdit*>(editor);
      connect(d, &QLineEdit::textChanged, this, [this, d, field](const QString&) {
        field->SetValue(d->MaskedText());
        Raise(OnFieldChange, field);
      });
      break;
    }
    case TFormFieldKind::Combobox:
    case TFormFieldKind::ComboEdit: {
      auto* c = static_cast<TFormularComboBox*>(editor);
      auto chosen = std::make_shared<bool>(false);
      auto change = [this, c, field, chosen] {
        *chosen = true;
        if (field->Value() == c->currentText()) return;
        field->SetValue(c->currentText());
        Raise(OnFieldChange, field);
      };
      connect(c, qOverload<int>(&QComboBox::activated), this, [change](int) { change(); });
      if (c->lineEdit()) connect(c->lineEdit(), &QLineEdit::textEdited, this, [change](const QString&) { change(); });
      c->OnDropDown = [this, field, chosen](TFlatComboBox*) {
        *chosen = false;
        Raise(OnFieldDropDown, field);
      };
      c->OnCloseUp = [this, c, field, chosen](TFlatComboBox*) {
        // Only a choice made in the list is stored: merely opening and closing it must not
        // replace a value that is not among the codes.
        if (*chosen) field->SetValue(c->currentText());
        *chosen = false;
        Raise(OnFieldCloseUp, field);
      };
      if (c->lineEdit()) c->lineEdit()->installEventFilter(this);
      break;
    }
    case TFormFieldKind::Checkbox: {
      auto* x = static_cast<TFormularCheckBox*>(editor);
      x->OnClick = [this, field](TFormularCheckBox* box) {
        box->UpdateText();
        field->SetValue(box->Text());
        Raise(OnFieldChange, field);
      };
      break;
    }
    case TFormFieldKind::Button: {
      auto* b = static_cast<QPushButton*>(editor);
      connect(b, &QPushButton::clicked, this, [this, field] { Raise(OnButtonClick, field); });
      return;  // no focus or key handling of its own
    }
  }
  editor->installEventFilter(this);
}

void TFormularManager::LoadValues() {
  for (int i = 0; i < editors_.Count(); ++i) {
    QWidget* editor = editors_.Items(i);
    TFormField* field = EditorField(editor);
    if (!editor || !field) continue;
    switch (field->Kind()) {
      case TFormFieldKind::Edit:
      case TFormFieldKind::EditExt:
        static_cast<QLineEdit*>(editor)->setText(field->Value());
        break;
      case TFormFieldKind::DateEdit:
        static_cast<TFormularDateEdit*>(editor)->SetMaskedText(field->Value());
        break;
      case TFormFieldKind::Checkbox:
        static_cast<TFormularCheckBox*>(editor)->SetText(field->Value());
        break;
      case TFormFieldKind::ComboEdit:
        Debug().LogFmt("%s: %s", field->Name().toUtf8().constData(), field->Value().toUtf8().constData());
        static_cast<TFormularComboBox*>(editor)->SetText(field->Value());
        break;
      case TFormFieldKind::Combobox:
        static_cast<TFormularComboBox*>(editor)->SetText(field->Value());
        break;
      case TFormFieldKind::Button:
        break;
    }
  }
}

QWidget* TFormularManager::EditorOf(QObject* object) const {
  for (QObject* o = object; o; o = o->parent()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (w && w->parentWidget() == panel_ && EditorField(w)) return w;
    if (w == panel_) break;
  }
  return nullptr;
}

void TFormularManager::EditorEntered(QWidget* editor) {
  if (entered_ == editor) return;
  entered_ = editor;
  Raise(OnFieldEnter, EditorField(editor));
}

bool TFormularManager::Validate(QWidget* editor) {
  bool accept = true;
  if (auto* d = qobject_cast<TFormularDateEdit*>(editor)) accept = d->ValidateEdit();
  if (accept && OnFieldValidate) OnFieldValidate(editor, EditorField(editor), accept);
  if (!accept) {
    // Put the focus back before anyone else gets it; the focus change under way is dropped.
    TQuiet quiet(quiet_);
    editor->setFocus(Qt::OtherFocusReason);
  }
  return accept;
}

void TFormularManager::EditorLeft(QWidget* editor) {
  if (entered_ != editor) return;
  if (!Validate(editor)) return;
  entered_ = nullptr;
  Raise(OnFieldExit, EditorField(editor));
}

bool TFormularManager::ValidateFocusedEditor() {
  QWidget* editor = entered_.data();
  return !editor || Validate(editor);
}

bool TFormularManager::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      if (quiet_) break;
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      // A list opening or another window becoming active is no leaving of the editor.
      if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) break;
      if (QApplication::activePopupWidget()) break;
      QWidget* editor = EditorOf(watched);
      if (!editor) break;
      if (event->type() == QEvent::FocusIn)
        EditorEntered(editor);
      else
        EditorLeft(editor);
      break;
    }
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      QWidget* editor = EditorOf(watched);
      if (!editor) break;
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Return acts as Tab (Shift+Return as Shift+Tab) and is swallowed.
        const bool back = key->modifiers() & Qt::ShiftModifier;
        QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                      back ? Qt::ShiftModifier : Qt::NoModifier);
        QApplication::sendEvent(editor, &tab);
        return true;
      }
      if (auto* box = qobject_cast<TFormularCheckBox*>(editor)) {
        box->UpdateText();
        if (TFormField* field = EditorField(box)) field->SetValue(box->Text());
      }
      break;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
