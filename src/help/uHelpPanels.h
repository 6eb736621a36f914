#pragma once
#include <QObject>
#include <QPointer>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QSplitter;
class QVBoxLayout;
class QWidget;
class THtmlHilfe;
class THtmlView;

// The help panels below the step picture, the general help window and the promotion side panel,
// with their rules. The main window creates one, puts `ContextContainer()` (with its own form
// area inside, see SetFormArea), `ButtonImageHelp()` and `PromotionPanel()` into its layout, adds
// `KontextHilfeAction()` to its "Hilfe" menu and calls the handlers from its commands.
//
// Top to bottom inside ContextContainer(): form area, separator strip `panTrenner` (4 px),
// context help `panContextHelp` (65 px), splitter handle `Splitter1` (4 px), step help
// `panHelpContainer`. Hidden parts take no space; the order never changes.
class THelpPanels : public QObject {
  Q_OBJECT

 public:
  static constexpr int kSeparatorHeight = 4;
  static constexpr int kContextHelpHeight = 65;
  static constexpr int kSplitterHeight = 4;
  static constexpr int kMinStepHelpHeight = 60;
  static constexpr int kPromotionWidth = 208, kPromotionInnerWidth = 202;
  static constexpr int kPromotionShownWidth = 387, kPromotionShownInnerWidth = 382;

  // `mainWindow` parents every widget made here and owns the general help window.
  explicit THelpPanels(QWidget* mainWindow);
  ~THelpPanels() override;

  // --- widgets for the main window's layout
  QWidget* ContextContainer() const { return panContainerContext_; }  // panContainerContext
  // Puts the main window's scroll box (ScrollBox1) at the top of ContextContainer().
  void SetFormArea(QWidget* formArea);
  QWidget* ButtonImageHelp() const { return buttonImageHelp_; }  // "Hilfe ?" for panInfo
  QAction* KontextHilfeAction() const { return smKontextHilfe_; }       // checkable menu item
  QWidget* PromotionPanel() const { return panWerbungContent_; }        // right edge, below toolbar

  // --- parts, for the field handlers and for tests
  QWidget* panTrenner() const { return panTrenner_; }
  QFrame* panContextHelp() const { return panContextHelp_; }
  QLabel* laContextHelp() const { return laContextHelp_; }
  QSplitter* Splitter1() const { return splitter_; }
  QWidget* SplitterHandle() const;
  QFrame* panHelpContainer() const { return panHelpContainer_; }
  THtmlView* HTMLView() const { return htmlView_; }
  QWidget* ButtonCloseHelp() const { return buttonCloseHelp_; }
  QMenu* HelpPopup() const { return helpPopup_; }
  QAction* mnuDruckeHelptext() const { return mnuDruckeHelptext_; }
  // The general help window, made hidden on first use: it reads its page then, not at start.
  THtmlHilfe* HelpWindow();
  QWidget* panWerbungInnerContainer() const { return panWerbungInnerContainer_; }
  THtmlView* HTMLViewerWerbung() const { return htmlViewerWerbung_; }
  QWidget* ButtonCloseWerbung() const { return buttonCloseWerbung_; }

  // --- state (what the user sees once the window is shown)
  bool StepHelpVisible() const;
  bool ContextHelpVisible() const;
  bool SplitterVisible() const;
  bool PromotionVisible() const;

  // --- step help panel and context hint
  void ButtonImageHelpClick();   // opens the step help panel
  void ButtonCloseHelpClick();   // closes it; a shown hint stays, now at the bottom
  void smKontextHilfeClick();    // toggles it
  void ShowContextHelp();        // after a non-empty hint was put into laContextHelp()
  // Puts `hint` (plain text) into the context help and shows it; an empty hint changes nothing.
  void SetContextHint(const QString& hint);
  void HideContextHelp();        // the step page hides the hint of the previous step
  // The step page's help: loads "help/Step<step + 1>.html" (step 0-based) into HTMLView; a
  // missing page keeps the one shown before.
  bool ShowStepHelp(int step);
  // Both of the above, as a new step page needs them.
  void StepShown(int step);
  // Prints the step help page, pages 1 to 99, through the print dialog.
  void mnuDruckeHelptextClick();
  void btnHilfeClick();          // shows the general help window

  // "StepHelp" in "\Help\": opens the panel at start when true (default), stored at the end.
  void RestoreStepHelp();
  void SaveStepHelp() const;

  // --- promotion panel and web links
  void ShowPromotion();  // once at start
  void ButtonCloseWerbungClick();
  void HTMLViewerWerbungHotSpotClick(QObject* sender, const QString& target, bool& handled);
  void btnHandbuchClick();
  void btnKALNOHomepageClick();
  void smKALNOProdukteClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildContextArea(QWidget* mainWindow);
  void BuildPromotion(QWidget* mainWindow);
  void SetCheckMark();
  void ApplyStepHelpHeight();

  QWidget* panContainerContext_ = nullptr;
  QVBoxLayout* topLayout_ = nullptr;
  QWidget* topPane_ = nullptr;
  QPointer<QWidget> formArea_;
  QWidget* panTrenner_ = nullptr;
  QFrame* panContextHelp_ = nullptr;
  QLabel* laContextHelp_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QFrame* panHelpContainer_ = nullptr;
  QWidget* panCloseHelp_ = nullptr;
  THtmlView* htmlView_ = nullptr;
  QWidget* buttonCloseHelp_ = nullptr;
  QWidget* buttonImageHelp_ = nullptr;
  QAction* smKontextHilfe_ = nullptr;
  QMenu* helpPopup_ = nullptr;
  QAction* mnuDruckeHelptext_ = nullptr;
  THtmlHilfe* helpWindow_ = nullptr;
  // Height the step help panel gets when it opens: half the area, then what the user dragged
  // it to.
  int stepHelpHeight_ = -1;
  bool userSized_ = false;

  QWidget* panWerbungContent_ = nullptr;
  QFrame* panWerbungInnerContainer_ = nullptr;
  THtmlView* htmlViewerWerbung_ = nullptr;
  QWidget* buttonCloseWerbung_ = nullptr;
  QWidget* panWerbungBorderBottom_ = nullptr;
};
