#include "app/Wizardframe.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/uFormPosition.h"
#include "app/uPanels.h"
#include "app/uReviewCommands.h"
#include "app/uToolIcons.h"
#include "definition/WizardSteps.h"
#include "diagnostics/udebug.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularManager.h"
#include "effects/uShadowBitmap.h"
#include "help/FHtmlHilfe.h"
#include "help/FStartBildMahnbescheid_KALNO.h"
#include "help/FInfoFensterKALNO.h"
#include "help/uHelpPanels.h"
#include "help/uHtmlView.h"
#include "platform/UserDialogs.h"
#include "platform/uColors.h"
#include "platform/uErrors.h"
#include "print/FDruckvorschau.h"
#include "print/FMahnungGrundeinstellungen.h"
#include "print/uPrintJob.h"
#include "render/uFontcache.h"
#include "render/uPictureLoader.h"
#include "rules/uEditorRules.h"
#include "storage/uDocuments.h"
#include "storage/uFileHelpers.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"
#include "storage/uRecovery.h"

namespace {
TMainFrame* g_mainFrame = nullptr;
std::unique_ptr<TWizardDefinition> g_definition;

const QString kFormPosition = QStringLiteral("FormPosition");
const QString kFormPositionSection = QStringLiteral("\\FormPosition\\");

// Hint timer intervals: first delay, delay after a hint was hidden, polling while shown.
constexpr int kHintFirstDelayMs = 1000;
constexpr int kHintNextDelayMs = 800;
constexpr int kHintPollMs = 100;
constexpr int kHintMaxWidth = 300;
constexpr int kHintOffset = 16;

QColor ButtonFace() { return QApplication::palette().color(QPalette::Button); }

}  // namespace

QString MainTitle() { return QStringLiteral("KALNO - Beschriftungs-Software für PC-Mahnbescheide"); }

TMainFrame* MainFrame() { return g_mainFrame; }
const TWizardDefinition* WizardDefinition() { return g_definition.get(); }
void ReleaseWizardDefinition() { g_definition.reset(); }

// The information line of a step: the pieces between "||" on lines of their own, each trimmed.
QString InfoLineText(const QString& infoText) {
  QStringList pieces;
  SplitString(infoText, QStringLiteral("||"), pieces);
  if (pieces.isEmpty()) pieces << QString();
  QString line = TrimBlanks(pieces.at(0));
  for (int i = 1; i < pieces.size(); ++i) line += QStringLiteral("\r\n") + TrimBlanks(pieces.at(i));
  return line;
}

TMainFrame::TMainFrame(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), Arguments_(arguments) {
  setObjectName(QStringLiteral("MainFrame"));
  PointerPosition = [] { return QCursor::pos(); };
  resize(900, 667);
  move(101, 196);
  // The help panels make their own widgets; the window places them.
  HelpPanels_ = new THelpPanels(this);
  CreateActions();
  CreateComponents();

  // 1. The wheel rule for every event of the program.
  qApp->installEventFilter(this);
  // 2. - 5. Colours and panels at their starting sizes; all help panels hidden.
  panNavigationContainerBottom->SetColor(ButtonFace());
  panNavigationContainerLeft->SetColor(ButtonFace());
  Bevel3->setVisible(false);  // the style always draws its own frames
  // 6. Titles.
  StepCount_ = 0;
  setWindowTitle(MainTitle());
  // 7. The step hint window.
  HintWindow = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
  HintWindow->setObjectName(QStringLiteral("HintWindow"));
  HintWindow->setWordWrap(true);
  HintWindow->setMargin(3);
  HintWindow->setFrameShape(QFrame::Box);
  {
    QPalette pal = HintWindow->palette();
    pal.setColor(QPalette::Window, ColorFromBGR(0xC6EBFB));
    pal.setColor(QPalette::WindowText, Qt::black);
    HintWindow->setPalette(pal);
    HintWindow->setAutoFillBackground(true);
  }
  HintShown_ = false;
  HintText_.clear();
  // 8. The general help window: made by the help panels when it is first asked for.
  // 9. The definition; a failure ends the program with its message.
  g_definition = TWizardDefinition::Load(DefinitionFileName(RuntimeFolder()));
  // 10. One button per step.
  StepCount_ = g_definition->StepCount();
  CreateNavButtons();
  ArrangeNavButtons();
  // 11. - 13.
  InfoText->setAutoFillBackground(false);
  ShownStep_ = -1;
  CurrentStep_ = 0;
  BuildFieldLists(*g_definition, FieldLists_);
  Document_ = std::make_unique<TDocument>(FieldLists_);
  Document_->OnShowFirstStep = [this] {
    ShownStep_ = -1;
    CurrentStep_ = 0;
    ShowWizardStep(0);
    if (Review_) Review_->ValuesChanged();
  };
  Document_->OnStateChanged = [this] {
    btnSpeichern->setEnabled(Document_->Dirty());
    UpdateTitle();
    if (Recovery_) Recovery_->DocumentChanged();
  };
  Document_->OnFinishEntry = [this] { return FinishFocusedEntry(); };
  Recovery_ = std::make_unique<TRecovery>(*Document_, FieldLists_);
  Review_ = std::make_unique<TReviewCommands>(*this);
  // 14. The editors of the shown step, with the form rules on their events.
  FormularManager_ = std::make_unique<TFormularManager>(ScrollBox1);
  WireFormularManager();
  // 15. The step help panel as it was left.
  HelpPanels_->RestoreStepHelp();
  // 16. Window position.
  if (QVRegIniFile().ReadBool(kFormPosition, QStringLiteral("saved"), false))
    RestoreFormPosition(this, kFormPosition);
  else
    setWindowState(windowState() | Qt::WindowMaximized);
  // 17. The document named on the command line; 18. the promotion panel.
  Document_->OpenCommandLineDocument(Arguments_);
  HelpPanels_->ShowPromotion();
  // 19. The screen's measuring font. What fits a box is measured in the field's print font instead:
  // this one is neither the face nor the size that reaches the paper.
  MeasureFont_ = std::make_unique<QFont>(QStringLiteral("Arial"));
  MeasureFont_->setPointSize(8);
  // Made once now rather than on the first print or shadow paint.
  FontCache();
  CreateShadowTile();
  // 20. - 21.
  ShowWizardStep(CurrentStep_);
  SetDirty(false);
  g_mainFrame = this;
  Dialogs().SetParentWidget(this);
  // 22. Unsaved work of a run that did not end normally; the splash must not hide the question.
  Recovery_->OfferRestore([] {
    if (TStartbild* splash = Startbild()) splash->hide();
  });
}

TMainFrame::~TMainFrame() {
  // What the next start restores.
  HelpPanels_->SaveStepHelp();
  QVRegIniFile().WriteBool(kFormPositionSection, QStringLiteral("saved"), true);
  qApp->removeEventFilter(this);
  if (TimeHint) TimeHint->stop();
  // The editors and the review window point at fields: they go first.
  Review_.reset();
  FormularManager_.reset();
  MeasureFont_.reset();
  for (QToolButton* b : NavButtons_) delete b;
  NavButtons_.clear();
  FreeFieldLists(FieldLists_);
  if (Dialogs().ParentWidget() == this) Dialogs().SetParentWidget(nullptr);
  if (g_mainFrame == this) g_mainFrame = nullptr;
}

void TMainFrame::CreateActions() {
  auto make = [this](const QString& text, void (TMainFrame::*slot)(), const QString& name) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  // Tool bar buttons carry their hint as tool tip; the ones sharing a handler do the same thing.
  btnNeu = make(QStringLiteral("Neu"), &TMainFrame::btnNeuClick, QStringLiteral("btnNeu"));
  btnNeu->setIcon(ToolIcon(TToolIcon::New));
  btnOeffnen = make(QStringLiteral("Öffnen"), &TMainFrame::btnOeffnenClick, QStringLiteral("btnOeffnen"));
  btnOeffnen->setIcon(ToolIcon(TToolIcon::Open));
  btnSpeichern = make(QStringLiteral("Speichern"), &TMainFrame::btnSpeichernClick, QStringLiteral("btnSpeichern"));
  btnSpeichern->setIcon(ToolIcon(TToolIcon::Save));
  btnSpeichern->setToolTip(QString());
  btnDrucken = make(QStringLiteral("Drucken"), &TMainFrame::ButtonPrintClick, QStringLiteral("btnDrucken"));
  btnDrucken->setIcon(ToolIcon(TToolIcon::Print));
  btnDruckvorschau = make(QStringLiteral("Druckvorschau"), &TMainFrame::smDruckvorschauClick, QStringLiteral("btnDruckvorschau"));
  btnDruckvorschau->setIcon(ToolIcon(TToolIcon::PrintPreview));
  btnPruefen = make(QStringLiteral("Prüfen (F9)"), &TMainFrame::smPruefenClick, QStringLiteral("btnPruefen"));
  btnPruefen->setIcon(ToolIcon(TToolIcon::Review));
  btnDefaults = make(QStringLiteral("Druckposition verändern"), &TMainFrame::btnDefaultsClick, QStringLiteral("btnDefaults"));
  btnDefaults->setIcon(ToolIcon(TToolIcon::PrintPosition));
  btnHilfe = make(QStringLiteral("Allgemeine Hilfe"), &TMainFrame::btnHilfeClick, QStringLiteral("btnHilfe"));
  btnHilfe->setIcon(ToolIcon(TToolIcon::GeneralHelp));
  btnHandbuch = make(QStringLiteral("Handbuch anzeigen"), &TMainFrame::btnHandbuchClick, QStringLiteral("btnHandbuch"));
  btnHandbuch->setIcon(ToolIcon(TToolIcon::Manual));
  btnKALNOHomepage = make(QStringLiteral("KALNO Homepage"), &TMainFrame::btnKALNOHomepageClick, QStringLiteral("btnKALNOHomepage"));
  btnKALNOHomepage->setIcon(ToolIcon(TToolIcon::HomePage));

  smNeu = make(QStringLiteral("Neu"), &TMainFrame::btnNeuClick, QStringLiteral("smNeu"));
  smNeuVonVorlage = make(QStringLiteral("Neu von Vorlage..."), &TMainFrame::mnuNeuVonVorlageClick, QStringLiteral("smNeuVonVorlage"));
  smOeffnen = make(QStringLiteral("Öffnen..."), &TMainFrame::btnOeffnenClick, QStringLiteral("smOeffnen"));
  smOeffnen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  smSpeichern = make(QStringLiteral("Speichern"), &TMainFrame::btnSpeichernClick, QStringLiteral("smSpeichern"));
  smSpeichern->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  smSpeichernUnter = make(QStringLiteral("Speichern unter..."), &TMainFrame::smSpeichernUnterClick, QStringLiteral("smSpeichernUnter"));
  smSpeichernAlsVorlage = make(QStringLiteral("Speichern als Vorlage..."), &TMainFrame::mnuSichernAlsVorlageClick,
                               QStringLiteral("smSpeichernAlsVorlage"));
  smDruckposition = make(QStringLiteral("Druckposition..."), &TMainFrame::btnDefaultsClick, QStringLiteral("smDruckposition"));
  smDrucken = make(QStringLiteral("Drucken..."), &TMainFrame::ButtonPrintClick, QStringLiteral("smDrucken"));
  smDrucken->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  smDruckvorschau = make(QStringLiteral("Druckvorschau..."), &TMainFrame::smDruckvorschauClick, QStringLiteral("smDruckvorschau"));
  smPruefen = make(QStringLiteral("Prüfen..."), &TMainFrame::smPruefenClick, QStringLiteral("smPruefen"));
  smPruefen->setShortcut(QKeySequence(Qt::Key_F9));
  smPdfExport = make(QStringLiteral("Als PDF exportieren..."), &TMainFrame::smPdfExportClick, QStringLiteral("smPdfExport"));
  smDateiBeenden = make(QStringLiteral("Beenden"), &TMainFrame::smDateiBeendenClick, QStringLiteral("smDateiBeenden"));
  smHilfe = make(QStringLiteral("Allgemeine Hilfe..."), &TMainFrame::btnHilfeClick, QStringLiteral("smHilfe"));
  smKontextHilfe = HelpPanels_->KontextHilfeAction();
  smHandbuch = make(QStringLiteral("Handbuch..."), &TMainFrame::btnHandbuchClick, QStringLiteral("smHandbuch"));
  smUeber = make(QStringLiteral("Über..."), &TMainFrame::smUeberClick, QStringLiteral("smUeber"));
  smKALNOProdukte = make(QStringLiteral("Weitere KALNO Formulare"), &TMainFrame::smKALNOProdukteClick, QStringLiteral("smKALNOProdukte"));
  mnuNeuVonVorlage = make(QStringLiteral("Neu von Vorlage"), &TMainFrame::mnuNeuVonVorlageClick, QStringLiteral("mnuNeuVonVorlage"));
  mnuSichernAlsVorlage = make(QStringLiteral("Speichern als Vorlage"), &TMainFrame::mnuSichernAlsVorlageClick,
                              QStringLiteral("mnuSichernAlsVorlage"));
  mnuDruckeHelptext = HelpPanels_->mnuDruckeHelptext();

  NeuPopup = new QMenu(this);
  NeuPopup->setObjectName(QStringLiteral("NeuPopup"));
  NeuPopup->addAction(mnuNeuVonVorlage);
  SavePopup = new QMenu(this);
  SavePopup->setObjectName(QStringLiteral("SavePopup"));
  SavePopup->addAction(mnuSichernAlsVorlage);
  HelpPopup = HelpPanels_->HelpPopup();
  btnNeu->setMenu(NeuPopup);
  btnSpeichern->setMenu(SavePopup);

  // Main menu.
  mnuDatei = menuBar()->addMenu(QStringLiteral("Datei"));
  mnuDatei->setObjectName(QStringLiteral("mnuDatei"));
  mnuDatei->addAction(smNeu);
  mnuDatei->addAction(smNeuVonVorlage);
  mnuDatei->addSeparator();
  mnuDatei->addAction(smOeffnen);
  mnuDatei->addSeparator();
  mnuDatei->addAction(smSpeichern);
  mnuDatei->addAction(smSpeichernUnter);
  mnuDatei->addAction(smSpeichernAlsVorlage);
  mnuDatei->addSeparator();
  mnuDatei->addAction(smDruckposition);
  mnuDatei->addAction(smDrucken);
  mnuDatei->addAction(smDruckvorschau);
  mnuDatei->addAction(smPruefen);
  mnuDatei->addAction(smPdfExport);
  mnuDatei->addSeparator();
  mnuDatei->addAction(smDateiBeenden);
  mnuHilfe = menuBar()->addMenu(QStringLiteral("Hilfe"));
  mnuHilfe->setObjectName(QStringLiteral("mnuHilfe"));
  mnuHilfe->addAction(smHilfe);
  mnuHilfe->addAction(smKontextHilfe);
  mnuHilfe->addAction(smHandbuch);
  mnuHilfe->addSeparator();
  mnuHilfe->addAction(smUeber);
  menuBar()->addAction(smKALNOProdukte);

  // Tool bar.
  MainToolBar = addToolBar(QStringLiteral("MainToolBar"));
  MainToolBar->setObjectName(QStringLiteral("MainToolBar"));
  MainToolBar->setMovable(false);
  MainToolBar->setFloatable(false);
  MainToolBar->setIconSize(QSize(16, 16));
  MainToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  MainToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
  MainToolBar->addAction(btnNeu);
  MainToolBar->addAction(btnOeffnen);
  MainToolBar->addAction(btnSpeichern);
  MainToolBar->addSeparator();
  MainToolBar->addAction(btnDrucken);
  MainToolBar->addAction(btnDruckvorschau);
  MainToolBar->addAction(btnPruefen);
  MainToolBar->addSeparator();
  MainToolBar->addAction(btnDefaults);
  MainToolBar->addSeparator();
  MainToolBar->addAction(btnHilfe);
  MainToolBar->addAction(btnHandbuch);
  MainToolBar->addSeparator();
  MainToolBar->addAction(btnKALNOHomepage);
  for (QAction* a : {btnNeu, btnSpeichern})
    if (auto* tb = qobject_cast<QToolButton*>(MainToolBar->widgetForAction(a))) tb->setPopupMode(QToolButton::MenuButtonPopup);
  {
    QPalette pal = MainToolBar->palette();
    pal.setColor(QPalette::Window, ButtonFace());
    MainToolBar->setPalette(pal);
  }
}

void TMainFrame::CreateComponents() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Central"));
  auto* outer = new QHBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  auto* rest = new QWidget(central);
  auto* restLayout = new QVBoxLayout(rest);
  restLayout->setContentsMargins(0, 0, 0, 0);
  restLayout->setSpacing(0);
  outer->addWidget(rest, 1);

  // Information bar.
  panInfo = new TPanel(rest);
  panInfo->setObjectName(QStringLiteral("panInfo"));
  panInfo->SetColor(ColorFromBGR(0x008000));
  panInfo->setMinimumHeight(39);
  panInfo->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  panInfo->setFixedHeight(39);
  auto* infoTopLine = new QFrame(panInfo);
  infoTopLine->setObjectName(QStringLiteral("panInfoTopLine"));
  infoTopLine->setFrameShape(QFrame::HLine);
  infoTopLine->setFrameShadow(QFrame::Sunken);
  InfoText = new QLabel(panInfo);
  InfoText->setObjectName(QStringLiteral("InfoText"));
  {
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(16);
    InfoText->setFont(f);
    QPalette pal = InfoText->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    InfoText->setPalette(pal);
    InfoText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    InfoText->setTextFormat(Qt::PlainText);
    // A long line wraps and the bar grows, rather than losing its end at the window's edge.
    InfoText->setWordWrap(true);
    InfoText->setAccessibleDescription(QStringLiteral("Informationszeile des Schritts"));
  }
  ButtonImageHelp = HelpPanels_->ButtonImageHelp();
  ButtonImageHelp->setParent(panInfo);
  ButtonImageHelp->show();
  panInfo->OnResize = [this, infoTopLine](TPanel* p) {
    infoTopLine->setGeometry(0, 0, p->width(), 2);
    LayoutInfoBar();
  };
  restLayout->addWidget(panInfo);

  // Middle: step column and the form area with its help panels.
  auto* middle = new QWidget(rest);
  auto* middleLayout = new QHBoxLayout(middle);
  middleLayout->setContentsMargins(0, 0, 0, 0);
  middleLayout->setSpacing(0);
  restLayout->addWidget(middle, 1);

  panNavigationContainerLeft = new TPanel(middle);
  panNavigationContainerLeft->setObjectName(QStringLiteral("panNavigationContainerLeft"));
  panNavigationContainerLeft->setFixedWidth(32);
  {
    // A face no system has: the desktop's default face is used, at 11 pixels.
    QFont f(QStringLiteral("Year supply of fairy cakes"));
    f.setPixelSize(11);
    panNavigationContainerLeft->setFont(f);
  }
  Bevel3 = new QFrame(panNavigationContainerLeft);
  Bevel3->setObjectName(QStringLiteral("Bevel3"));
  Bevel3->setFrameShape(QFrame::Box);
  Bevel3->setFrameShadow(QFrame::Sunken);
  panNavigationContainerLeft->OnResize = [this](TPanel* p) { Bevel3->setGeometry(0, 0, p->width(), p->height()); };
  middleLayout->addWidget(panNavigationContainerLeft);

  panContainerContext = HelpPanels_->ContextContainer();
  panContainerContext->setParent(middle);
  middleLayout->addWidget(panContainerContext, 1);

  ScrollBox1 = new QScrollArea(panContainerContext);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  {
    QPalette pal = ScrollBox1->palette();
    pal.setColor(QPalette::Dark, ColorFromBGR(0xC0C0C0));
    pal.setColor(QPalette::Window, ColorFromBGR(0xC0C0C0));
    ScrollBox1->setPalette(pal);
    ScrollBox1->setBackgroundRole(QPalette::Window);
    ScrollBox1->setAutoFillBackground(true);
    ScrollBox1->viewport()->setPalette(pal);
    ScrollBox1->viewport()->setBackgroundRole(QPalette::Window);
    ScrollBox1->viewport()->setAutoFillBackground(true);
  }
  HelpPanels_->SetFormArea(ScrollBox1);
  panTrenner = HelpPanels_->panTrenner();
  panContextHelp = HelpPanels_->panContextHelp();
  laContextHelp = HelpPanels_->laContextHelp();
  Splitter1 = HelpPanels_->Splitter1();
  panHelpContainer = HelpPanels_->panHelpContainer();
  HTMLView = HelpPanels_->HTMLView();
  ButtonCloseHelp = HelpPanels_->ButtonCloseHelp();

  // Bottom bar with Back, Forward and Print, centred.
  panNavigationContainerBottom = new TPanel(rest);
  panNavigationContainerBottom->setObjectName(QStringLiteral("panNavigationContainerBottom"));
  panNavigationContainerBottom->setFixedHeight(40);
  Image1 = new QLabel(panNavigationContainerBottom);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->hide();
  panButtons = new QWidget(panNavigationContainerBottom);
  panButtons->setObjectName(QStringLiteral("panButtons"));
  panButtons->setGeometry(0, 4, 185, 33);
  ButtonBack = new QPushButton(QStringLiteral("<< Zurück"), panButtons);
  ButtonBack->setObjectName(QStringLiteral("ButtonBack"));
  ButtonBack->setGeometry(8, 4, 81, 25);
  ButtonForward = new QPushButton(QStringLiteral("Weiter >>"), panButtons);
  ButtonForward->setObjectName(QStringLiteral("ButtonForward"));
  ButtonForward->setGeometry(96, 4, 81, 25);
  ButtonPrint = new QPushButton(QStringLiteral("Drucken"), panButtons);
  ButtonPrint->setObjectName(QStringLiteral("ButtonPrint"));
  ButtonPrint->setGeometry(96, 4, 81, 25);
  ButtonPrint->hide();
  connect(ButtonBack, &QPushButton::clicked, this, &TMainFrame::ButtonBackClick);
  connect(ButtonForward, &QPushButton::clicked, this, &TMainFrame::ButtonForwardClick);
  connect(ButtonPrint, &QPushButton::clicked, this, &TMainFrame::ButtonPrintClick);
  panNavigationContainerBottom->OnResize = [this](TPanel*) { CenterButtons(); };
  restLayout->addWidget(panNavigationContainerBottom);

  // Promotion panel on the right edge, hidden unless the start counter says otherwise.
  panWerbungContent = HelpPanels_->PromotionPanel();
  panWerbungContent->setParent(central);
  panWerbungInnerContainer = HelpPanels_->panWerbungInnerContainer();
  HTMLViewerWerbung = HelpPanels_->HTMLViewerWerbung();
  ButtonCloseWerbung = HelpPanels_->ButtonCloseWerbung();
  outer->addWidget(panWerbungContent);

  setCentralWidget(central);

  TimeHint = new QTimer(this);
  TimeHint->setObjectName(QStringLiteral("TimeHint"));
  TimeHint->setInterval(kHintFirstDelayMs);
  connect(TimeHint, &QTimer::timeout, this, &TMainFrame::TimeHintTimer);
}

void TMainFrame::LayoutInfoBar() {
  const int w = panInfo->width();
  ButtonImageHelp->setGeometry(w - 65 - 4, 4, 65, 30);
  const int textW = qMax(10, ButtonImageHelp->x() - 8 - 10);
  // A line broken by "||" may need more than the bar's usual height: the bar grows with it.
  const int textH = qMax(24, InfoText->heightForWidth(textW) > 0 ? InfoText->heightForWidth(textW)
                                                                    : InfoText->sizeHint().height());
  InfoText->setGeometry(10, 12, textW, textH);
  const int barH = qMax(39, 12 + textH + 3);
  if (panInfo->height() != barH) panInfo->setFixedHeight(barH);
}

void TMainFrame::CenterButtons() {
  const int w = panNavigationContainerBottom->width();
  // Integer division toward zero, also for a bar narrower than the group.
  const int diff = w - panButtons->width();
  panButtons->move(diff / 2, 4);
}

void TMainFrame::CreateNavButtons() {
  NavGroup_ = new QButtonGroup(this);
  NavGroup_->setExclusive(true);
  for (int i = 0; i < StepCount_; ++i) {
    auto* b = new QToolButton(panNavigationContainerLeft);
    b->setObjectName(QStringLiteral("NavButton%1").arg(i + 1));
    b->setText(QString::number(i + 1));
    // What the step hint says over the button, for those who cannot see the hint.
    if (g_definition) b->setAccessibleName(g_definition->NavigationText(i).trimmed());
    b->setProperty("tag", i);
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFont(panNavigationContainerLeft->font());
    b->setMouseTracking(true);
    b->installEventFilter(this);
    NavGroup_->addButton(b, i);
    NavButtons_.push_back(b);
  }
  connect(NavGroup_, &QButtonGroup::idClicked, this, &TMainFrame::OnNavButtonClick);
}

void TMainFrame::ArrangeNavButtons() {
  for (std::size_t i = 0; i < NavButtons_.size(); ++i) NavButtons_[i]->setGeometry(5, 10 + 27 * int(i), 22, 22);
}

const QString& TMainFrame::FileName() const { return Document_->FileName(); }
void TMainFrame::SetFileName(const QString& name) { Document_->SetFileName(name); }
bool TMainFrame::Dirty() const { return Document_->Dirty(); }

void TMainFrame::SetDirty(bool dirty) {
  Document_->SetDirty(dirty);
  btnSpeichern->setEnabled(dirty);
  // Every change of a value comes through here, also while the document stays changed.
  if (Recovery_) Recovery_->DocumentChanged();
}

void TMainFrame::UpdateTitle() {
  const QString& name = Document_ ? Document_->FileName() : QString();
  setWindowTitle(name.isEmpty() ? MainTitle() : MainTitle() + QStringLiteral(" - ") + name);
}

// ----- Step page -----

void TMainFrame::ShowWizardStep(int n) {
  if (n == ShownStep_) return;
  if (n < 0 || n >= StepCount_) return;
  const TWizardDefinition& def = *g_definition;
  // 1. Information line.
  InfoText->setText(InfoLineText(def.InfoText(n)));
  LayoutInfoBar();
  // 2. Back, Forward, Print.
  const bool last = n + 1 == int(NavButtons_.size());
  ButtonPrint->setVisible(last);
  ButtonForward->setVisible(!last);
  ButtonBack->setEnabled(last ? NavButtons_.size() > 1 : n > 0);
  // 3. Its step button down.
  NavButtons_[std::size_t(n)]->setChecked(true);
  // 4. - 8. Picture and editors.
  ShowStepPage(n);
  // 9. Focus.
  FocusFirstField(n);
  // 10. The step help page; 11. a context hint of the previous step does not carry over.
  HelpPanels_->StepShown(n);
  // 12. Title with the document's path.
  UpdateTitle();
  // 13.
  ShownStep_ = n;
}

void TMainFrame::ShowStepPage(int n) {
  // 4. The picture of the step the user is on (k = CurrentStep + 1); none leaves Image1 empty.
  const QString picture = RuntimeFolder() + QStringLiteral("images/Step%1.jpg").arg(CurrentStep_ + 1);
  // Decoding a step picture costs more than building its editors; the pictures do not change
  // while the program runs, so going back and forth decodes each one once.
  // A damaged or oversized picture is left out (the step still works) and noted in the log.
  QPixmap pm;
  if (!QPixmapCache::find(picture, &pm)) {
    const TStepPicture loaded = LoadStepPicture(picture);
    pm = loaded.Picture;
    if (!pm.isNull()) QPixmapCache::insert(picture, pm);
    if (!loaded.Problem.isEmpty()) Debug().Log(loaded.Problem);
  }
  Image1->setPixmap(pm);
  // 5. - 8.
  const TStepMetric& m = g_definition->StepMetric(n);
  TFormFieldList* fields = std::size_t(n) < FieldLists_.size() ? &FieldLists_[std::size_t(n)] : nullptr;
  // Loading reports a checked box as a click; only a value that really changed (today's date
  // in an empty application date) makes the document changed.
  QStringList before;
  if (fields)
    for (int i = 0; i < fields->Count(); ++i) before << fields->Fields(i)->Value();
  buildingStep_ = true;
  FormularManager_->ShowStep(Image1->pixmap(), fields, m.Left, m.Top, m.Left + m.Width, m.Top + m.Height);
  PrepareStepEditors(FormularManager_->Editors(), FieldLists_);
  FormularManager_->LoadValues();
  buildingStep_ = false;
  // Before the first keystroke too: an empty field reports no change when it is loaded.
  if (fields)
    for (int i = 0; i < fields->Count(); ++i) ApplyLengthRule(FormularManager_->Editors(), *fields->Fields(i));
  if (fields)
    for (int i = 0; i < fields->Count(); ++i) DescribeEditor(*fields->Fields(i));
  if (fields)
    for (int i = 0; i < fields->Count(); ++i)
      if (fields->Fields(i)->Value() != before.at(i)) {
        SetDirty(true);
        break;
      }
}

void TMainFrame::FocusFirstField(int n) {
  if (n < 0 || std::size_t(n) >= FieldLists_.size()) return;
  const TFormFieldList& list = FieldLists_[std::size_t(n)];
  TFormEditorList& editors = FormularManager_->Editors();
  for (int i = 0; i < list.Count(); ++i) {
    const TFormField* field = list.Fields(i);
    QWidget* editor = editors.EditorByName(field->Name());
    if (!editor || !editor->isEnabled() || !editor->isVisibleTo(this)) continue;
    if (field->Kind() == TFormFieldKind::Edit || field->Kind() == TFormFieldKind::EditExt) {
      if (editor->property("readOnly").toBool()) continue;
    }
    editor->setFocus(Qt::OtherFocusReason);
    return;
  }
}

void TMainFrame::ScrollIntoView(QWidget* control) {
  if (!control) return;
  QScrollBar* hs = ScrollBox1->horizontalScrollBar();
  QScrollBar* vs = ScrollBox1->verticalScrollBar();
  if (hs->isVisible()) {
    if (double(control->x()) > double(ScrollBox1->x()) + double(ScrollBox1->width()) / 2.0)
      hs->setValue(hs->maximum());
    else
      hs->setValue(0);
  }
  if (!vs->isVisible()) return;
  const int cy = control->mapToGlobal(QPoint(0, 0)).y();
  const int by = ScrollBox1->viewport()->mapToGlobal(QPoint(0, 0)).y();
  const int ch = ScrollBox1->viewport()->height();
  const int h = control->height();
  if (cy < by + 10)
    vs->setValue(vs->value() - qAbs(cy - by) - 15);
  else if (by + ch - 10 < cy + h)
    vs->setValue(vs->value() + qAbs(cy + h - (by + ch)) + 15);
}

// ----- Navigation -----

void TMainFrame::OnNavButtonClick(int tag) {
  CurrentStep_ = tag;
  ShowWizardStep(CurrentStep_);
}

void TMainFrame::ButtonBackClick() {
  if (CurrentStep_ <= 0) return;
  CurrentStep_ = CurrentStep_ - 1;
  ShowWizardStep(CurrentStep_);
}

void TMainFrame::ButtonForwardClick() {
  if (CurrentStep_ + 1 >= StepCount_) return;
  CurrentStep_ = CurrentStep_ + 1;
  ShowWizardStep(CurrentStep_);
}

void TMainFrame::OnNavButtonMouseMove(int tag) {
  HintText_ = g_definition ? g_definition->NavigationText(tag) : QString();
  RestartStepHint();
}

void TMainFrame::RestartStepHint() {
  if (!HintShown_) {
    if (!TimeHint->isActive()) TimeHint->start();
  } else {
    HintShown_ = false;
    TimeHintTimer();
  }
}

void TMainFrame::TimeHintTimer() {
  if (!HintShown_) {
    if (NavButtons_.empty()) return;
    HintWindow->setText(HintText_);
    const QFontMetrics fm(HintWindow->font());
    const QRect r = fm.boundingRect(QRect(0, 0, kHintMaxWidth, 10000), Qt::TextWordWrap, HintText_);
    const int m = 2 * (HintWindow->margin() + HintWindow->frameWidth());
    HintWindow->resize(qMin(kHintMaxWidth, r.width()) + m + 2, r.height() + m);
    HintWindow->move(PointerPosition() + QPoint(kHintOffset, kHintOffset));
    HintWindow->show();
    HintWindow->raise();
    HintShown_ = true;
    TimeHint->setInterval(kHintPollMs);
    if (!TimeHint->isActive()) TimeHint->start();
    return;
  }
  const QRect column(panNavigationContainerLeft->mapToGlobal(QPoint(0, 0)), panNavigationContainerLeft->size());
  if (!column.contains(PointerPosition())) HideStepHint();
}

void TMainFrame::HideStepHint() {
  TimeHint->stop();
  TimeHint->setInterval(kHintNextDelayMs);
  HintShown_ = false;
  HintWindow->hide();
}

// ----- Events -----

bool TMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    if (auto* b = qobject_cast<QToolButton*>(watched)) {
      const QVariant tag = b->property("tag");
      if (tag.isValid() && b->parentWidget() == panNavigationContainerLeft) OnNavButtonMouseMove(tag.toInt());
    }
  }
  if (ApplicationMessage(watched, event)) return true;
  return QMainWindow::eventFilter(watched, event);
}

bool TMainFrame::ApplicationMessage(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::Wheel) return false;
  auto* w = qobject_cast<QWidget*>(receiver);
  if (!w || w->window() != this || !ScrollBox1) return false;
  const auto* we = static_cast<QWheelEvent*>(event);
  // The notch's target is the widget under the pointer. An event that a widget left unused goes on
  // to its parents, with the position in the parent's coordinates, so the target is found from
  // every receiver alike. Each notch is judged on its own: Qt hands out every wheel event at the
  // same address, so nothing may be remembered from one notch to the next.
  QWidget* target = w->childAt(we->position().toPoint());
  if (!target) target = w;
  // An HTML view scrolls itself.
  for (QWidget* p = target; p; p = p->parentWidget())
    if (qobject_cast<QTextBrowser*>(p)) return false;
  const int delta = we->angleDelta().y();
  if (delta == 0) return false;  // a sideways tilt is not a turn of the wheel
  QScrollBar* vs = ScrollBox1->verticalScrollBar();
  for (int i = 0; i < 3; ++i)
    vs->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
  return true;
}

void TMainFrame::closeEvent(QCloseEvent* event) {
  if (FormClose()) {
    if (Recovery_) Recovery_->Discard();
    event->accept();
  } else {
    event->ignore();
  }
}

bool TMainFrame::FormClose() { return !Document_ || Document_->CanClose(); }


// ----- Commands -----

void TMainFrame::btnNeuClick() { Document_->New(); }
void TMainFrame::mnuNeuVonVorlageClick() { Document_->NewFromTemplate(); }
void TMainFrame::btnOeffnenClick() { Document_->Open(); }
void TMainFrame::btnSpeichernClick() { Document_->Save(); }
void TMainFrame::smSpeichernUnterClick() { Document_->SaveUnder(); }
void TMainFrame::mnuSichernAlsVorlageClick() { Document_->SaveAsTemplate(); }
void TMainFrame::btnDefaultsClick() { ShowPrintPositionDialog(true); }
bool TMainFrame::FinishFocusedEntry() { return !FormularManager_ || FormularManager_->ValidateFocusedEditor(); }

// The commands that read the values first run the check of the field being typed in: a shortcut
// or a tool button does not leave the field, and "31.02.07" must not reach the paper as typed.
void TMainFrame::ButtonPrintClick() {
  if (!FinishFocusedEntry()) return;
  Review_->StartCommand();
  RunPrintCommand();
}

void TMainFrame::RunPrintCommand() {
  TPrintReview review;
  review.CompletenessConfirmed = Review_->CompletenessPassed();
  review.Gate = [this](bool answered) {
    return Review_->PassBeforeOutput(TReviewWindow::TMode::BeforePrint, answered);
  };
  ::ButtonPrintClick(FieldLists_, StepCount_, review);
}

void TMainFrame::smDruckvorschauClick() {
  if (!FinishFocusedEntry()) return;
  Review_->StartCommand();
  if (!Review_->PassBeforeOutput(TReviewWindow::TMode::BeforePreview, false)) return;
  if (ShowPrintPreview(FieldLists_, StepCount_, *g_definition)) RunPrintCommand();
}

void TMainFrame::smPruefenClick() {
  if (!FinishFocusedEntry()) return;
  Review_->ShowReview();
}

void TMainFrame::smPdfExportClick() {
  if (!FinishFocusedEntry()) return;
  ExportFormPdf(FieldLists_, StepCount_, *g_definition, FileName());
}

void TMainFrame::smDateiBeendenClick() {
  SaveFormPosition(this, kFormPosition);
  close();
}

void TMainFrame::btnHilfeClick() { HelpPanels_->btnHilfeClick(); }
void TMainFrame::smKontextHilfeClick() { HelpPanels_->smKontextHilfeClick(); }
void TMainFrame::ButtonImageHelpClick() { HelpPanels_->ButtonImageHelpClick(); }
void TMainFrame::ButtonCloseHelpClick() { HelpPanels_->ButtonCloseHelpClick(); }
void TMainFrame::ShowContextHelp() { HelpPanels_->ShowContextHelp(); }
void TMainFrame::mnuDruckeHelptextClick() { HelpPanels_->mnuDruckeHelptextClick(); }
void TMainFrame::btnHandbuchClick() { HelpPanels_->btnHandbuchClick(); }
void TMainFrame::btnKALNOHomepageClick() { HelpPanels_->btnKALNOHomepageClick(); }
void TMainFrame::smKALNOProdukteClick() { HelpPanels_->smKALNOProdukteClick(); }
void TMainFrame::ButtonCloseWerbungClick() { HelpPanels_->ButtonCloseWerbungClick(); }
void TMainFrame::smUeberClick() { ShowAbout(); }

// ----- Form rules on the field events -----

void TMainFrame::WireFormularManager() {
  TFormularManager& m = *FormularManager_;
  m.OnFieldEnter = [this](QObject* s, TFormField* f) { FormularFieldEnter(s, f); };
  m.OnFieldChange = [this](QObject* s, TFormField* f) { FormularFieldChange(s, f); };
  m.OnFieldExit = [this](QObject* s, TFormField* f) { FormularFieldExit(s, f); };
  m.OnFieldDropDown = [this](QObject* s, TFormField* f) { FormularFieldDropDown(s, f); };
  m.OnFieldCloseUp = [this](QObject* s, TFormField* f) { FormularFieldCloseUp(s, f); };
  m.OnButtonClick = [this](QObject* s, TFormField* f) { FormularButtonClick(s, f); };
  m.OnFieldValidate = [this](QWidget* s, TFormField* f, bool& accept) { FormularFieldValidate(s, f, accept); };
}

void TMainFrame::ShowFieldHint(const TFormField& field) {
  const QString text = GetContextHelpText(field);
  laContextHelp->setText(text);
  DescribeEditor(field, text);
  if (!text.isEmpty()) ShowContextHelp();
}

void TMainFrame::DescribeEditor(const TFormField& field) { DescribeEditor(field, GetContextHelpText(field)); }

void TMainFrame::DescribeEditor(const TFormField& field, const QString& hint) {
  // A screen reader gives the field's context hint as its description.
  if (QWidget* editor = FormularManager_->Editors().EditorByName(field.Name()))
    if (editor->accessibleDescription() != hint) editor->setAccessibleDescription(hint);
}

void TMainFrame::FormularFieldEnter(QObject*, TFormField* field) {
  if (!field) return;
  TFormEditorList& editors = FormularManager_->Editors();
  ProtectCourtName(editors, *field);
  if (QWidget* editor = editors.EditorByName(field->Name())) ScrollIntoView(editor);
  SetEditorFocused(editors, *field, true);
  ShowFieldHint(*field);
}

void TMainFrame::FormularFieldChange(QObject*, TFormField* field) {
  if (!field) return;
  TFormEditorList& editors = FormularManager_->Editors();
  ShowFieldHint(*field);
  ApplyLengthRule(editors, *field);
  EnableSecondColumns(editors, *field);
  ApplyDerivedFields(editors, *field);
  if (!buildingStep_) SetDirty(true);
  if (!buildingStep_) Review_->ValuesChanged();
}

void TMainFrame::FormularFieldExit(QObject*, TFormField* field) {
  if (!field) return;
  SetEditorFocused(FormularManager_->Editors(), *field, false);
}

void TMainFrame::FormularFieldDropDown(QObject*, TFormField* field) {
  if (field) BuildReferenceLists(FormularManager_->Editors(), *field, FieldLists_);
}

void TMainFrame::FormularFieldCloseUp(QObject*, TFormField* field) {
  if (!field) return;
  ShowFieldHint(*field);
  ApplyDerivedFields(FormularManager_->Editors(), *field);
}

void TMainFrame::FormularButtonClick(QObject*, TFormField*) {}

void TMainFrame::FormularFieldValidate(QWidget* sender, TFormField* field, bool& accept) {
  if (!field) return;
  const QString before = field->Value();
  accept = ValidateDateField(FormularManager_->Editors(), *field, FieldLists_);
  // The check may rewrite the value ("rest" to "Rest"); not every editor reports that as a change.
  if (field->Value() != before) FormularFieldChange(sender, field);
}
