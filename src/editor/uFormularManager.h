#pragma once
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <functional>
#include <memory>

#include "editor/uFormEditors.h"
#include "render/uTransformation.h"

class QLabel;
class QScrollArea;
class TDrawContext;
class TFormField;
class TFormFieldList;

// Sender: the manager. Unset events are skipped.
using TFormFieldEvent = std::function<void(QObject* sender, TFormField* field)>;
// Sender: the editor being left; accept comes in true, false keeps the focus in the editor.
using TFormFieldValidateEvent = std::function<void(QWidget* sender, TFormField* field, bool& accept)>;

// Puts a wizard step on screen as an editable form: the step picture in the scroll box with one
// editor laid exactly over each field box, values copied between fields and editors, and every
// field event reported through the seven events.
class TFormularManager : public QObject {
  Q_OBJECT
 public:
  // Throws EKalnoError("Scrollbox darf nicht nil sein") without a scroll box.
  explicit TFormularManager(QScrollArea* scrollBox);
  ~TFormularManager() override;

  // Shows `picture` (may be null) and builds one hidden-then-shown editor per field of `fields`
  // (not owned), mapping the step metric left, top, right, bottom (mm) onto the picture.
  void ShowStep(const QPixmap& picture, TFormFieldList* fields, float left, float top, float right, float bottom);
  // Copies every field's Value into its editor.
  void LoadValues();
  // The check an editor runs when it is left, run on the editor the focus is in without leaving
  // it: a command that reads the values must not take a half-typed date as it stands. True when
  // there is no such editor or its check accepts (a date may have been normalised); false when
  // it refused (its message was shown) and the focus stays in it.
  bool ValidateFocusedEditor();

  TFormEditorList& Editors() { return editors_; }
  TFormFieldList* Fields() const { return fields_; }

  TFormFieldEvent OnFieldChange;
  TFormFieldEvent OnButtonClick;
  TFormFieldEvent OnFieldEnter;
  TFormFieldEvent OnFieldExit;
  TFormFieldEvent OnFieldDropDown;
  TFormFieldEvent OnFieldCloseUp;
  TFormFieldValidateEvent OnFieldValidate;

  // The field's box in panel pixels: left, top, right, bottom, halves to even.
  TRect FieldPixelRect(const TFormField& field);
  // The pixel height of an editor font for `pointSize` points under the current mapping.
  int EditorFontHeight(int pointSize);

  QScrollArea* ScrollBox() const { return scrollBox_; }
  QWidget* Panel() const { return panel_; }
  QLabel* Picture() const { return picture_; }
  QWidget* Overlay() const { return overlay_; }
  TTransformation& Transformation();
  // Only its transformation and its point-size conversion are used; nothing is drawn on screen.
  TDrawContext& DrawContext() { return *context_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildEditors();
  QWidget* CreateEditor(TFormField* field, const TRect& r, const QFont& font);
  void AttachHandlers(QWidget* editor, TFormField* field);
  QWidget* EditorOf(QObject* object) const;
  void Raise(const TFormFieldEvent& event, TFormField* field);
  void EditorEntered(QWidget* editor);
  void EditorLeft(QWidget* editor);
  // The leaving check of `editor`; a refusal puts the focus back into it.
  bool Validate(QWidget* editor);

  QScrollArea* scrollBox_;
  QWidget* host_ = nullptr;
  QPointer<QWidget> panel_;
  QLabel* picture_ = nullptr;
  QWidget* overlay_ = nullptr;
  TFormFieldList* fields_ = nullptr;
  float left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  // The millimetre-to-pixel mapping of the shown step.
  std::unique_ptr<TDrawContext> context_;
  TFormEditorList editors_;
  QPointer<QWidget> entered_;  // the editor the focus is in, as far as events were raised
  bool quiet_ = false;         // building, destroying or putting the focus back: no events
};
