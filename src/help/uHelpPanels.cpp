#include "help/uHelpPanels.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QSplitter>
#include <QSplitterHandle>
#include <QVBoxLayout>

#include "help/FHtmlHilfe.h"
#include "help/uHelpButtons.h"
#include "help/uHelpPages.h"
#include "help/uHtmlView.h"
#include "help/uWebLinks.h"
#include "platform/UserDialogs.h"
#include "platform/uColors.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"

namespace {
const QString kHelpSection = QStringLiteral("\\Help\\");
const QString kPromotionSection = QStringLiteral("\\Werbung\\");

void Paint(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(role, colour);
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

// A click handler that does nothing once the panels are gone (their buttons may outlive them
// while the main window is torn down).
std::function<void()> Guarded(THelpPanels* panels, void (THelpPanels::*handler)()) {
  return [guard = QPointer<THelpPanels>(panels), handler] {
    if (guard) (guard.data()->*handler)();
  };
}

// The viewers' own link rule: web addresses to the browser, other schemes nowhere.
void SafeLinks(THtmlView* view) {
  view->OnHotSpotClick = [](THtmlView*, const QString& target, bool& handled) {
    HandleLinkClick(target, handled);
  };
}
}  // namespace

THelpPanels::THelpPanels(QWidget* mainWindow) : QObject(mainWindow) {
  BuildContextArea(mainWindow);
  BuildPromotion(mainWindow);
}

THelpPanels::~THelpPanels() = default;

void THelpPanels::BuildContextArea(QWidget* mainWindow) {
  panContainerContext_ = new QWidget(mainWindow);
  panContainerContext_->setObjectName(QStringLiteral("panContainerContext"));
  auto* outer = new QVBoxLayout(panContainerContext_);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  splitter_ = new QSplitter(Qt::Vertical, panContainerContext_);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setHandleWidth(kSplitterHeight);
  // The step help panel shrinks to its minimum and no further; only its "x" closes it.
  splitter_->setChildrenCollapsible(false);
  outer->addWidget(splitter_);

  // Form area, separator and context hint move as one pane above the splitter, so the hint can
  // never come between the splitter and the step help.
  topPane_ = new QWidget(splitter_);
  topLayout_ = new QVBoxLayout(topPane_);
  topLayout_->setContentsMargins(0, 0, 0, 0);
  topLayout_->setSpacing(0);
  topLayout_->addStretch(1);  // stands in for the form area until it is set

  panTrenner_ = new QWidget(topPane_);
  panTrenner_->setObjectName(QStringLiteral("panTrenner"));
  panTrenner_->setFixedHeight(kSeparatorHeight);
  panTrenner_->hide();
  topLayout_->addWidget(panTrenner_);

  panContextHelp_ = new QFrame(topPane_);
  panContextHelp_->setObjectName(QStringLiteral("panContextHelp"));
  panContextHelp_->setFrameShape(QFrame::Box);
  panContextHelp_->setFrameShadow(QFrame::Plain);
  panContextHelp_->setLineWidth(1);
  panContextHelp_->setFixedHeight(kContextHelpHeight);
  Paint(panContextHelp_, QPalette::Window, Qt::white);
  Paint(panContextHelp_, QPalette::WindowText, Qt::black);  // its border, also on a dark desktop
  auto* contextLayout = new QVBoxLayout(panContextHelp_);
  contextLayout->setContentsMargins(0, 0, 0, 0);
  laContextHelp_ = new QLabel(panContextHelp_);
  laContextHelp_->setObjectName(QStringLiteral("laContextHelp"));
  laContextHelp_->setWordWrap(true);
  // Hints quote field values; they are never markup.
  laContextHelp_->setTextFormat(Qt::PlainText);
  laContextHelp_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  laContextHelp_->setMargin(2);
  QFont hintFont(QStringLiteral("Verdana"));
  hintFont.setPixelSize(12);
  laContextHelp_->setFont(hintFont);
  Paint(laContextHelp_, QPalette::Window, ColorFromBGR(0xFFFFFF));
  {
    QPalette pal = laContextHelp_->palette();
    pal.setColor(QPalette::WindowText, ColorFromBGR(0x000080));  // maroon
    laContextHelp_->setPalette(pal);
  }
  // Assistive technology reads the hint as the label's text; this says what the text is.
  laContextHelp_->setAccessibleDescription(QStringLiteral("Kontexthilfe zum Feld"));
  contextLayout->addWidget(laContextHelp_);
  panContextHelp_->hide();
  topLayout_->addWidget(panContextHelp_);
  splitter_->addWidget(topPane_);

  panHelpContainer_ = new QFrame(splitter_);
  panHelpContainer_->setObjectName(QStringLiteral("panHelpContainer"));
  panHelpContainer_->setFrameShape(QFrame::Box);
  panHelpContainer_->setFrameShadow(QFrame::Plain);
  panHelpContainer_->setLineWidth(1);
  panHelpContainer_->setMinimumHeight(kMinStepHelpHeight);
  Paint(panHelpContainer_, QPalette::Window, ColorFromBGR(0xC0C0C0));
  auto* helpLayout = new QHBoxLayout(panHelpContainer_);
  helpLayout->setContentsMargins(0, 0, 0, 0);
  helpLayout->setSpacing(0);
  htmlView_ = new THtmlView(panHelpContainer_);
  htmlView_->setObjectName(QStringLiteral("HTMLView"));
  SafeLinks(htmlView_);
  helpLayout->addWidget(htmlView_, 1);
  panCloseHelp_ = new QWidget(panHelpContainer_);
  panCloseHelp_->setObjectName(QStringLiteral("panCloseHelp"));
  panCloseHelp_->setFixedWidth(25);
  Paint(panCloseHelp_, QPalette::Window, ColorFromBGR(0x008000));
  buttonCloseHelp_ = CreateHelpFlatButton(QStringLiteral("x"), panCloseHelp_, Guarded(this, &THelpPanels::ButtonCloseHelpClick));
  buttonCloseHelp_->setObjectName(QStringLiteral("ButtonCloseHelp"));
  buttonCloseHelp_->setGeometry(3, 3, 19, 20);
  helpLayout->addWidget(panCloseHelp_);
  panHelpContainer_->hide();
  splitter_->addWidget(panHelpContainer_);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);

  helpPopup_ = new QMenu(htmlView_);
  helpPopup_->setObjectName(QStringLiteral("HelpPopup"));
  mnuDruckeHelptext_ = helpPopup_->addAction(QStringLiteral("Drucken"));
  mnuDruckeHelptext_->setObjectName(QStringLiteral("mnuDruckeHelptext"));
  htmlView_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(htmlView_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { helpPopup_->popup(htmlView_->viewport()->mapToGlobal(pos)); });
  connect(mnuDruckeHelptext_, &QAction::triggered, this, [this] { mnuDruckeHelptextClick(); });

  buttonImageHelp_ = CreateHelpFlatButton(QStringLiteral("Hilfe ?"), mainWindow, Guarded(this, &THelpPanels::ButtonImageHelpClick));
  buttonImageHelp_->setObjectName(QStringLiteral("ButtonImageHelp"));
  buttonImageHelp_->setFixedSize(65, 30);

  smKontextHilfe_ = new QAction(QStringLiteral("Kontext Hilfe zu den einzelnen Ausfüll-Schritten"), this);
  smKontextHilfe_->setObjectName(QStringLiteral("smKontextHilfe"));
  smKontextHilfe_->setCheckable(true);

  connect(smKontextHilfe_, &QAction::triggered, this, [this] { smKontextHilfeClick(); });
  connect(splitter_, &QSplitter::splitterMoved, this, [this] {
    if (!StepHelpVisible()) return;
    stepHelpHeight_ = panHelpContainer_->height();
    userSized_ = true;
  });
  panContainerContext_->installEventFilter(this);
}

void THelpPanels::BuildPromotion(QWidget* mainWindow) {
  panWerbungContent_ = new QWidget(mainWindow);
  panWerbungContent_->setObjectName(QStringLiteral("panWerbungContent"));
  Paint(panWerbungContent_, QPalette::Window, ColorFromBGR(0x808000));  // teal
  panWerbungContent_->setFixedWidth(kPromotionWidth);
  auto* column = new QVBoxLayout(panWerbungContent_);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addStretch(1);
  panWerbungInnerContainer_ = new QFrame(panWerbungContent_);
  panWerbungInnerContainer_->setObjectName(QStringLiteral("panWerbungInnerContainer"));
  panWerbungInnerContainer_->setFrameShape(QFrame::Box);
  panWerbungInnerContainer_->setFrameShadow(QFrame::Plain);
  panWerbungInnerContainer_->setLineWidth(1);
  panWerbungInnerContainer_->setFixedWidth(kPromotionInnerWidth);
  Paint(panWerbungInnerContainer_, QPalette::Window, Qt::white);
  auto* inner = new QVBoxLayout(panWerbungInnerContainer_);
  inner->setContentsMargins(0, 0, 0, 0);
  htmlViewerWerbung_ = new THtmlView(panWerbungInnerContainer_);
  htmlViewerWerbung_->setObjectName(QStringLiteral("HTMLViewerWerbung"));
  htmlViewerWerbung_->UsePromotionLook();
  htmlViewerWerbung_->OnHotSpotClick = [guard = QPointer<THelpPanels>(this)](THtmlView* sender, const QString& target,
                                                                              bool& handled) {
    if (guard)
      guard->HTMLViewerWerbungHotSpotClick(sender, target, handled);
    else
      handled = true;
  };
  inner->addWidget(htmlViewerWerbung_);
  row->addWidget(panWerbungInnerContainer_);
  column->addLayout(row, 1);
  panWerbungBorderBottom_ = new QWidget(panWerbungContent_);
  panWerbungBorderBottom_->setObjectName(QStringLiteral("panWerbungBorderBottom"));
  panWerbungBorderBottom_->setFixedHeight(40);
  column->addWidget(panWerbungBorderBottom_);

  buttonCloseWerbung_ = CreateHelpFlatButton(QStringLiteral("x"), htmlViewerWerbung_, Guarded(this, &THelpPanels::ButtonCloseWerbungClick));
  buttonCloseWerbung_->setObjectName(QStringLiteral("ButtonCloseWerbung"));
  buttonCloseWerbung_->setFixedSize(19, 20);
  htmlViewerWerbung_->SetTopRightControl(buttonCloseWerbung_, 5, 3);
  panWerbungContent_->hide();
}

void THelpPanels::SetFormArea(QWidget* formArea) {
  if (formArea_ == formArea) return;
  if (formArea_) topLayout_->removeWidget(formArea_);
  QLayoutItem* placeholder = topLayout_->itemAt(0);
  if (placeholder && placeholder->spacerItem()) delete topLayout_->takeAt(0);
  formArea_ = formArea;
  if (formArea) topLayout_->insertWidget(0, formArea, 1);
}

QWidget* THelpPanels::SplitterHandle() const { return splitter_->handle(1); }

bool THelpPanels::StepHelpVisible() const { return !panHelpContainer_->isHidden(); }
bool THelpPanels::ContextHelpVisible() const { return !panContextHelp_->isHidden(); }
bool THelpPanels::SplitterVisible() const { return StepHelpVisible() && !SplitterHandle()->isHidden(); }
bool THelpPanels::PromotionVisible() const { return !panWerbungContent_->isHidden(); }

bool THelpPanels::eventFilter(QObject* watched, QEvent* event) {
  // Half of the area goes to the step help until the user drags the splitter. The area's first
  // sizes are passing ones (the window is laid out before the window manager maximises it), so
  // the half is taken anew whenever the area changes.
  if (watched == panContainerContext_ && event->type() == QEvent::Resize && !userSized_ &&
      panContainerContext_->height() > 0) {
    stepHelpHeight_ = qMax(kMinStepHelpHeight, panContainerContext_->height() / 2);
    ApplyStepHelpHeight();
  }
  return QObject::eventFilter(watched, event);
}

void THelpPanels::ApplyStepHelpHeight() {
  if (!StepHelpVisible() || stepHelpHeight_ < 0) return;
  const int total = splitter_->height() - kSplitterHeight;
  if (total <= 0) return;
  const int help = qMin(stepHelpHeight_, qMax(kMinStepHelpHeight, total - kMinStepHelpHeight));
  splitter_->setSizes({total - help, help});
}

void THelpPanels::SetCheckMark() { smKontextHilfe_->setChecked(StepHelpVisible()); }

void THelpPanels::ButtonImageHelpClick() {
  // A shown hint stays where it is, above the splitter; the pane layout keeps the order.
  panHelpContainer_->show();
  ApplyStepHelpHeight();
  SetCheckMark();
}

void THelpPanels::ButtonCloseHelpClick() {
  if (StepHelpVisible() && panHelpContainer_->height() > 0 && panContainerContext_->isVisible())
    stepHelpHeight_ = panHelpContainer_->height();
  panHelpContainer_->hide();
  SetCheckMark();
}

void THelpPanels::smKontextHilfeClick() {
  if (StepHelpVisible())
    ButtonCloseHelpClick();
  else
    ButtonImageHelpClick();
}

void THelpPanels::ShowContextHelp() {
  if (ContextHelpVisible()) return;
  panTrenner_->show();
  panContextHelp_->show();
}

void THelpPanels::SetContextHint(const QString& hint) {
  if (hint.isEmpty()) return;
  laContextHelp_->setText(hint);
  ShowContextHelp();
}

void THelpPanels::HideContextHelp() {
  panTrenner_->hide();
  panContextHelp_->hide();
}

bool THelpPanels::ShowStepHelp(int step) { return LoadHelpPage(*htmlView_, StepHelpPagePath(step)); }

void THelpPanels::StepShown(int step) {
  ShowStepHelp(step);
  HideContextHelp();
}

void THelpPanels::mnuDruckeHelptextClick() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("Hilfe"));
  printer.setFromTo(1, 99);
  if (!Dialogs().PrintDialog(printer, 0)) return;
  int from = printer.fromPage(), to = printer.toPage();
  if (from <= 0 && to <= 0) {
    from = 1;
    to = 99;
  }
  if (!htmlView_->PrintPages(printer, from, to))
    Dialogs().ShowError(QStringLiteral("Der Hilfetext konnte nicht gedruckt werden."));
}

THtmlHilfe* THelpPanels::HelpWindow() {
  if (!helpWindow_) helpWindow_ = new THtmlHilfe(qobject_cast<QWidget*>(parent()));
  return helpWindow_;
}

void THelpPanels::btnHilfeClick() { HelpWindow()->ShowHelp(); }

void THelpPanels::RestoreStepHelp() {
  if (QVRegIniFile().ReadBool(kHelpSection, QStringLiteral("StepHelp"), true)) ButtonImageHelpClick();
}

void THelpPanels::SaveStepHelp() const {
  QVRegIniFile().WriteBool(kHelpSection, QStringLiteral("StepHelp"), StepHelpVisible());
}

void THelpPanels::ShowPromotion() {
  const int count = QVRegIniFile().ReadInteger(kPromotionSection, QStringLiteral("Count"), 8);
  panWerbungContent_->hide();
  // "count + 1 <= 10", written so that a stored maximum integer cannot overflow.
  if (count < 10) {
    QVRegIniFile().WriteInteger(kPromotionSection, QStringLiteral("Count"), count + 1);
    return;
  }
  panWerbungContent_->show();
  const QString page = RuntimeFolder() + QStringLiteral("w2.htm");
  if (QFileInfo(page).isFile()) {
    htmlViewerWerbung_->Clear();
    htmlViewerWerbung_->LoadFromFile(page);
  }
  panWerbungContent_->setFixedWidth(kPromotionShownWidth);
  panWerbungInnerContainer_->setFixedWidth(kPromotionShownInnerWidth);
  QVRegIniFile().WriteInteger(kPromotionSection, QStringLiteral("Count"), 0);
}

void THelpPanels::ButtonCloseWerbungClick() { panWerbungContent_->hide(); }

void THelpPanels::HTMLViewerWerbungHotSpotClick(QObject*, const QString& target, bool& handled) {
  HandleLinkClick(target, handled);
}

void THelpPanels::btnHandbuchClick() { OpenURL(KalnoManualAddress()); }
void THelpPanels::btnKALNOHomepageClick() { OpenURL(KalnoHomepageAddress()); }
void THelpPanels::smKALNOProdukteClick() { OpenURL(KalnoFormsAddress()); }
