#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "rules/uFormReview.h"

class QLabel;
class QPushButton;
class QTreeWidget;

// The review window ("Prüfen"): one row per finding with its kind, step, form line, the box's
// caption and what to do; "Gehe zu" or a double-click shows that step with the focus in that
// box. Under the list stands the signature reminder, which is no finding.
//
// As a window of its own (Review) it stays open beside the form and follows every correction
// (the main window calls Refresh on each change). Before printing or the preview it is asked
// modally: "Trotzdem drucken" (or "Trotzdem anzeigen") accepts, "Zurück zum Formular" and
// "Gehe zu" reject; ChosenField then names the box to go to, if any.
class TReviewWindow : public QDialog {
  Q_OBJECT
 public:
  enum class TMode { Review, BeforePrint, BeforePreview };
  explicit TReviewWindow(TMode mode, QWidget* parent = nullptr);

  // Runs the review on the current values; set before the first Refresh.
  std::function<std::vector<TFinding>()> RunReview;
  // Shows the finding's step and puts the focus in its box (Review mode).
  std::function<void(const TFinding&)> GoTo;

  // Runs the review again and fills the list; the selected row stays on its box where it can.
  void Refresh();
  const std::vector<TFinding>& Findings() const { return findings_; }
  TMode Mode() const { return mode_; }
  // The finding chosen with "Gehe zu" in a modal mode; empty field name when none.
  const TFinding& Chosen() const { return chosen_; }

  QTreeWidget* List = nullptr;
  QLabel* Summary = nullptr;
  QLabel* Detail = nullptr;  // the selected finding's whole message, which the list may cut
  QLabel* Reminder = nullptr;
  QPushButton* ButtonGoTo = nullptr;
  QPushButton* ButtonContinue = nullptr;  // "Trotzdem drucken" / "Trotzdem anzeigen"; null in Review mode
  QPushButton* ButtonBack = nullptr;      // "Zurück zum Formular"; "Schließen" in Review mode

  // Column texts of one finding, as the list shows them.
  static QString StepText(const TFinding& f);
  static QString LineText(const TFinding& f);

 public Q_SLOTS:
  void GoToSelected();

 private:
  TMode mode_;
  std::vector<TFinding> findings_;
  TFinding chosen_;
};
