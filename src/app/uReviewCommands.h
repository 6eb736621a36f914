#pragma once
#include <QPointer>
#include <QSet>
#include <QString>
#include <memory>
#include <vector>

#include "app/uReviewWindow.h"
#include "rules/uFormReview.h"

class TMainFrame;

// The review as the main window offers it: the "Prüfen" command with its window that follows the
// user's corrections, and the review that the print command and the preview ask before output.
// Within one command (preview, then printing from it) an error the user has let pass is not put
// before him again.
class TReviewCommands {
 public:
  explicit TReviewCommands(TMainFrame& main);
  ~TReviewCommands();

  // The current findings of the main window's values, today by the program's clock.
  std::vector<TFinding> Review() const;

  // "Prüfen": shows the review window (or brings it to the front) with fresh findings.
  void ShowReview();
  // After every change of a value: the open window follows.
  void ValuesChanged();
  // The review window while it is open, else null.
  TReviewWindow* Window() const { return window_; }

  // A new command begins: nothing has been let pass yet.
  void StartCommand() {
    passed_.clear();
    completenessPassed_ = false;
  }
  // Before printing (BeforePrint) or the preview (BeforePreview): true when output may go on:
  // no error, or the user chose "Trotzdem ...". With `completenessAnswered` the four
  // completeness errors were just asked about and are not asked again. "Zurück zum Formular"
  // and "Gehe zu" leave the review window open beside the form.
  bool PassBeforeOutput(TReviewWindow::TMode mode, bool completenessAnswered);
  // Whether the user has let the completeness errors pass in this command.
  bool CompletenessPassed() const;

  // Shows the finding's step and puts the focus into its box.
  void GoTo(const TFinding& finding);

 private:
  const TFormPlaces& Places() const;

  TMainFrame& main_;
  mutable std::unique_ptr<TFormPlaces> places_;
  QPointer<TReviewWindow> window_;
  QSet<QString> passed_;  // finding lines let pass in this command
  bool completenessPassed_ = false;  // a review with completeness errors was answered "Trotzdem"
};
