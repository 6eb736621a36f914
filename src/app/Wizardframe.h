#pragma once
#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "fields/uFormFields.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QSplitter;
class TDocument;
class TFormularManager;
class THelpPanels;
class THtmlHilfe;
class THtmlView;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTextBrowser;
class QTimer;
class QToolBar;
class QToolButton;
class TWizardDefinition;
class TPanel;
class TRecovery;
class TReviewCommands;

// The title of the main window and of every plain message box.
QString MainTitle();
// A step's information line: the pieces of its text between "||", each without blanks and
// control characters at its ends, on lines of their own (CR LF).
QString InfoLineText(const QString& infoText);

// The main window: tool bar, menus, information line, step column, the form area with the
// step picture and its editors, help panels, promotion panel and the Back/Forward/Print bar.
// It owns every field of every step and the document state.
class TMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // Builds the window in the order the program relies on. Throws EKalnoError when the
  // definition cannot be loaded (the caller reports it and ends the program). `arguments` are
  // the program's arguments with the program name first; the second may name a document.
  explicit TMainFrame(const QStringList& arguments = QStringList(), QWidget* parent = nullptr);
  ~TMainFrame() override;

  // --- State the other parts of the program work on ---
  TFieldLists& FieldLists() { return FieldLists_; }
  const QString& FileName() const;
  void SetFileName(const QString& name);
  bool Dirty() const;
  void SetDirty(bool dirty);
  // The document (file name, unsaved changes, the file commands) and the help panels.
  TDocument& Document() { return *Document_; }
  THelpPanels& HelpPanels() { return *HelpPanels_; }
  // Builds and runs the editors of the shown step on ScrollBox1.
  TFormularManager& FormularManager() { return *FormularManager_; }
  // The recovery copy of unsaved work.
  TRecovery& Recovery() { return *Recovery_; }
  // "Prüfen" and the review before printing and the preview.
  TReviewCommands& ReviewCommands() { return *Review_; }
  int StepCount() const { return StepCount_; }
  int CurrentStep() const { return CurrentStep_; }
  void SetCurrentStep(int step) { CurrentStep_ = step; }
  int ShownStep() const { return ShownStep_; }
  void SetShownStep(int step) { ShownStep_ = step; }
  const QFont& MeasureFont() const { return *MeasureFont_; }
  const QStringList& Arguments() const { return Arguments_; }
  const std::vector<QToolButton*>& NavButtons() const { return NavButtons_; }
  bool HintShown() const { return HintShown_; }
  const QString& HintText() const { return HintText_; }

  // Builds the page of step `n` unless it is the one shown. Callers set CurrentStep first.
  void ShowWizardStep(int n);
  // Gives the focus to the first editor of step `n` that can take it.
  void FocusFirstField(int n);
  // Scrolls the form area so that `control`, an editor on the step picture, is in view.
  void ScrollIntoView(QWidget* control);

  // The wheel rule for every event of the program: true when the event was a wheel turn that
  // scrolled the step picture.
  bool ApplicationMessage(QObject* receiver, QEvent* event);

  // Where the pointer is, in screen coordinates (tests replace it).
  std::function<QPoint()> PointerPosition;

  // --- Components, named as the rest of the program knows them ---
  QToolBar* MainToolBar = nullptr;
  QAction *btnNeu = nullptr, *btnOeffnen = nullptr, *btnSpeichern = nullptr, *btnDrucken = nullptr,
          *btnDruckvorschau = nullptr, *btnPruefen = nullptr, *btnDefaults = nullptr, *btnHilfe = nullptr, *btnHandbuch = nullptr,
          *btnKALNOHomepage = nullptr;
  QMenu *mnuDatei = nullptr, *mnuHilfe = nullptr;
  QAction *smNeu = nullptr, *smNeuVonVorlage = nullptr, *smOeffnen = nullptr, *smSpeichern = nullptr,
          *smSpeichernUnter = nullptr, *smSpeichernAlsVorlage = nullptr, *smDruckposition = nullptr,
          *smDrucken = nullptr, *smDruckvorschau = nullptr, *smPruefen = nullptr, *smPdfExport = nullptr, *smDateiBeenden = nullptr,
          *smHilfe = nullptr, *smKontextHilfe = nullptr, *smHandbuch = nullptr, *smUeber = nullptr, *smKALNOProdukte = nullptr;
  QMenu *NeuPopup = nullptr, *SavePopup = nullptr, *HelpPopup = nullptr;
  QAction *mnuNeuVonVorlage = nullptr, *mnuSichernAlsVorlage = nullptr, *mnuDruckeHelptext = nullptr;

  TPanel* panInfo = nullptr;
  QLabel* InfoText = nullptr;
  QWidget* ButtonImageHelp = nullptr;
  TPanel* panNavigationContainerLeft = nullptr;
  QFrame* Bevel3 = nullptr;
  QWidget* panContainerContext = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  QWidget* panTrenner = nullptr;
  QFrame* panContextHelp = nullptr;
  QLabel* laContextHelp = nullptr;
  QSplitter* Splitter1 = nullptr;
  QFrame* panHelpContainer = nullptr;
  THtmlView* HTMLView = nullptr;
  QWidget* ButtonCloseHelp = nullptr;
  QWidget* panWerbungContent = nullptr;
  QWidget* panWerbungInnerContainer = nullptr;
  THtmlView* HTMLViewerWerbung = nullptr;
  QWidget* ButtonCloseWerbung = nullptr;
  TPanel* panNavigationContainerBottom = nullptr;
  QLabel* Image1 = nullptr;
  QWidget* panButtons = nullptr;
  QPushButton *ButtonBack = nullptr, *ButtonForward = nullptr, *ButtonPrint = nullptr;
  QTimer* TimeHint = nullptr;
  QLabel* HintWindow = nullptr;

 public Q_SLOTS:
  // Commands of the tool bar, the menus and the buttons.
  void btnNeuClick();
  void mnuNeuVonVorlageClick();
  void btnOeffnenClick();
  void btnSpeichernClick();
  void smSpeichernUnterClick();
  void mnuSichernAlsVorlageClick();
  void btnDefaultsClick();
  void ButtonPrintClick();
  void smDruckvorschauClick();
  void smPruefenClick();
  void smPdfExportClick();
  void smDateiBeendenClick();
  void btnHilfeClick();
  void smKontextHilfeClick();
  void ButtonImageHelpClick();
  void ButtonCloseHelpClick();
  void mnuDruckeHelptextClick();
  void btnHandbuchClick();
  void btnKALNOHomepageClick();
  void smKALNOProdukteClick();
  void ButtonCloseWerbungClick();
  void smUeberClick();
  void ButtonBackClick();
  void ButtonForwardClick();
  void OnNavButtonClick(int tag);
  void OnNavButtonMouseMove(int tag);
  void TimeHintTimer();
  void HideStepHint();
  void RestartStepHint();
  // Shows the context help panel (after a hint was put into laContextHelp).
  void ShowContextHelp();

  // The form rules on the editor manager's field events.
  void FormularFieldEnter(QObject* sender, TFormField* field);
  void FormularFieldChange(QObject* sender, TFormField* field);
  void FormularFieldExit(QObject* sender, TFormField* field);
  void FormularFieldDropDown(QObject* sender, TFormField* field);
  void FormularFieldCloseUp(QObject* sender, TFormField* field);
  void FormularButtonClick(QObject* sender, TFormField* field);
  void FormularFieldValidate(QWidget* sender, TFormField* field, bool& accept);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateComponents();
  void CreateActions();
  void CreateNavButtons();
  void ArrangeNavButtons();
  // The close question; true when the window may close.
  bool FormClose();
  void UpdateTitle();
  // Builds the picture and the editors of step n.
  void ShowStepPage(int n);
  void WireFormularManager();
  // Puts the field's hint into the context help; an empty hint only empties the label.
  void ShowFieldHint(const TFormField& field);
  // The focused field's check, before a command reads the values; false: it refused.
  bool FinishFocusedEntry();
  // The editor's accessible description := the field's context hint.
  void DescribeEditor(const TFormField& field);
  void DescribeEditor(const TFormField& field, const QString& hint);
  void CenterButtons();
  void LayoutInfoBar();
  // The print command inside a running command (from the preview): the review's answers stand.
  void RunPrintCommand();

  QStringList Arguments_;
  TFieldLists FieldLists_;
  std::unique_ptr<TDocument> Document_;
  std::unique_ptr<TRecovery> Recovery_;
  std::unique_ptr<TReviewCommands> Review_;
  std::unique_ptr<TFormularManager> FormularManager_;
  THelpPanels* HelpPanels_ = nullptr;
  int StepCount_ = 0;
  int CurrentStep_ = 0;
  int ShownStep_ = -1;
  std::unique_ptr<QFont> MeasureFont_;
  std::vector<QToolButton*> NavButtons_;
  QButtonGroup* NavGroup_ = nullptr;
  bool buildingStep_ = false;
  bool HintShown_ = false;
  QString HintText_;
};

// The main window while it exists, else null.
TMainFrame* MainFrame();

// The parsed definition, held from its first load to the end of the program.
const TWizardDefinition* WizardDefinition();
void ReleaseWizardDefinition();
