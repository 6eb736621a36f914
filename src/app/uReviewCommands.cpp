#include "app/uReviewCommands.h"

#include <QTimer>
#include <QWidget>

#include "app/Wizardframe.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularManager.h"
#include "platform/UserDialogs.h"
#include "platform/uClock.h"

namespace {
// The fields of the four entries the completeness warning asks about.
bool IsCompletenessFinding(const TFinding& f) {
  static const QStringList names = {QStringLiteral("AntragstellerNachnameSp1"), QStringLiteral("AntragsGegnerNachnameSp1"),
                                    QStringLiteral("HauptAnspruchKatalogNr1"), QStringLiteral("AmtsgerichtPLZOrt")};
  return f.Kind == TFindingKind::Error && names.contains(f.FieldName) && f.Message.startsWith(QStringLiteral("Bitte tragen Sie"));
}
}  // namespace

TReviewCommands::TReviewCommands(TMainFrame& main) : main_(main) {}

TReviewCommands::~TReviewCommands() { delete window_.data(); }

const TFormPlaces& TReviewCommands::Places() const {
  if (!places_) {
    places_ = std::make_unique<TFormPlaces>();
    if (const TWizardDefinition* d = WizardDefinition()) *places_ = TFormPlaces::FromDefinition(*d);
  }
  return *places_;
}

std::vector<TFinding> TReviewCommands::Review() const {
  return ReviewApplication(main_.FieldLists(), Places(), Clock().Today());
}

void TReviewCommands::ShowReview() {
  if (!window_) {
    window_ = new TReviewWindow(TReviewWindow::TMode::Review, &main_);
    window_->setAttribute(Qt::WA_DeleteOnClose);
    window_->RunReview = [this] { return Review(); };
    window_->GoTo = [this](const TFinding& f) { GoTo(f); };
    // Over the lower part of the window, where the help is, so the form's boxes and the step
    // buttons under the help stay in view.
    const QRect frame = main_.geometry();
    window_->move(frame.left() + qMax(0, (frame.width() - window_->width()) / 2),
                  frame.top() + qMax(0, frame.height() - window_->height() - 100));
  }
  window_->Refresh();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void TReviewCommands::ValuesChanged() {
  if (window_ && window_->isVisible()) window_->Refresh();
}

bool TReviewCommands::CompletenessPassed() const {
  // Only what the user saw and let pass counts; a form without those boxes is still asked.
  if (!completenessPassed_) return false;
  for (const TFinding& f : Review())
    if (IsCompletenessFinding(f) && !passed_.contains(FindingLine(f))) return false;
  return true;
}

bool TReviewCommands::PassBeforeOutput(TReviewWindow::TMode mode, bool completenessAnswered) {
  std::vector<TFinding> open;
  for (const TFinding& f : Review()) {
    if (f.Kind != TFindingKind::Error || passed_.contains(FindingLine(f))) continue;
    if (completenessAnswered && IsCompletenessFinding(f)) continue;
    open.push_back(f);
  }
  if (open.empty()) return true;  // hints alone never hold up the output

  TReviewWindow gate(mode, &main_);
  // What the completeness warning has just asked stays out of the list.
  gate.RunReview = [this, completenessAnswered] {
    std::vector<TFinding> shown;
    for (const TFinding& f : Review())
      if (!(completenessAnswered && IsCompletenessFinding(f))) shown.push_back(f);
    return shown;
  };
  gate.Refresh();
  // One list at a time: the open review would only repeat the gate's list behind it.
  if (window_) window_->hide();
  if (Dialogs().ExecDialog(gate) == QDialog::Accepted) {
    for (const TFinding& f : gate.Findings()) {
      if (f.Kind != TFindingKind::Error) continue;
      passed_.insert(FindingLine(f));
      if (IsCompletenessFinding(f)) completenessPassed_ = true;
    }
    return true;
  }
  // Back to the form, with the list beside it and the focus where the user pointed (or on the
  // first error).
  const TFinding target = gate.Chosen().FieldName.isEmpty() ? open.front() : gate.Chosen();
  ShowReview();
  GoTo(target);
  return false;
}

void TReviewCommands::GoTo(const TFinding& finding) {
  if (finding.Step < 0 || finding.Step >= main_.StepCount()) return;
  main_.SetCurrentStep(finding.Step);
  main_.ShowWizardStep(finding.Step);
  QPointer<QWidget> editor = main_.FormularManager().Editors().EditorByName(finding.FieldName);
  if (!editor) return;
  main_.ScrollIntoView(editor);
  // After the click or double-click that asked for it has ended, or the list would keep the
  // focus; the form's window becomes the active one so the user can type at once.
  QTimer::singleShot(0, &main_, [this, editor] {
    if (!editor) return;
    main_.activateWindow();
    editor->setFocus(Qt::OtherFocusReason);
  });
}
