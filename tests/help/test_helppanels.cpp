#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QScrollArea>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include "TestSupport.h"
#include "help/FHtmlHilfe.h"
#include "help/uHelpButtons.h"
#include "help/uHelpPanels.h"
#include "help/uHtmlView.h"
#include "help/uWebLinks.h"
#include "platform/uShell.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"

// Readable failure output.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  f.write(bytes);
}

// A stand-in main window: the form area and the panels' container in a shown window.
class HelpPanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ClearTestSettings();
    program_ = dir_.path() + QStringLiteral("/");
    runtime_ = program_ + QStringLiteral("Mahnbescheid Runtime/");
    QDir().mkpath(runtime_ + QStringLiteral("help"));
    SetProgramFolderForTesting(program_);
  }
  void TearDown() override {
    panels_ = nullptr;
    window_.reset();
    SetProgramFolderForTesting(QString());
  }

  void Build() {
    window_ = std::make_unique<QWidget>();
    panels_ = new THelpPanels(window_.get());
    scroll_ = new QScrollArea(window_.get());
    panels_->SetFormArea(scroll_);
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panels_->ContextContainer());
    window_->resize(600, 800);
    window_->show();
    Settle();
  }
  void Settle() {
    QApplication::processEvents();
    if (window_->layout()) window_->layout()->activate();
  }

  // The shown parts from top to bottom with their heights; checks that they fill the area
  // without gaps or overlaps.
  std::vector<std::pair<QString, int>> Stack() {
    Settle();
    std::vector<std::pair<QString, QWidget*>> order = {
        {QStringLiteral("form"), scroll_},
        {QStringLiteral("separator"), panels_->panTrenner()},
        {QStringLiteral("context"), panels_->panContextHelp()},
        {QStringLiteral("splitter"), panels_->SplitterHandle()},
        {QStringLiteral("help"), panels_->panHelpContainer()},
    };
    QWidget* area = panels_->ContextContainer();
    std::vector<std::pair<QString, int>> shown;
    int y = 0;
    for (auto& [name, w] : order) {
      if (!w->isVisible()) continue;
      const QRect r(w->mapTo(area, QPoint(0, 0)), w->size());
      EXPECT_EQ(r.top(), y) << name.toStdString() << " does not follow the part above it";
      y = r.top() + r.height();
      shown.emplace_back(name, r.height());
    }
    EXPECT_EQ(y, area->height()) << "the parts do not reach the bottom of the area";
    return shown;
  }
  QStringList Names() {
    QStringList out;
    for (auto& [name, h] : Stack()) out << name;
    return out;
  }

  QTemporaryDir dir_;
  QString program_, runtime_;
  std::unique_ptr<QWidget> window_;
  THelpPanels* panels_ = nullptr;
  QScrollArea* scroll_ = nullptr;
};

TEST_F(HelpPanelsTest, AtStartOnlyTheFormAreaShows) {
  Build();
  EXPECT_EQ(Names(), QStringList{QStringLiteral("form")});
  EXPECT_FALSE(panels_->KontextHilfeAction()->isChecked());
  EXPECT_EQ(panels_->KontextHilfeAction()->text(), QStringLiteral("Kontext Hilfe zu den einzelnen Ausfüll-Schritten"));
  EXPECT_EQ(HelpFlatButtonCaption(panels_->ButtonImageHelp()), QStringLiteral("Hilfe ?"));
  EXPECT_EQ(HelpFlatButtonCaption(panels_->ButtonCloseHelp()), QStringLiteral("x"));
}

TEST_F(HelpPanelsTest, PartsHaveTheirHeightsAndTheHelpGetsHalfTheArea) {
  Build();
  panels_->ButtonImageHelpClick();
  panels_->SetContextHint(QStringLiteral("Bitte den Nachnamen eintragen."));
  const auto stack = Stack();
  ASSERT_EQ(stack.size(), 5u);
  EXPECT_EQ(stack[1].second, THelpPanels::kSeparatorHeight);
  EXPECT_EQ(stack[2].second, THelpPanels::kContextHelpHeight);
  EXPECT_EQ(stack[3].second, THelpPanels::kSplitterHeight);
  EXPECT_EQ(stack[4].second, 800 / 2);
  EXPECT_EQ(panels_->laContextHelp()->text(), QStringLiteral("Bitte den Nachnamen eintragen."));
  EXPECT_EQ(panels_->laContextHelp()->textFormat(), Qt::PlainText);
}

// Every sequence of up to four actions, checked against the rules: the step help is open after
// an open and closed after a close; a hint once shown stays until the next step page; the parts
// keep their order.
enum class TAct { Open, Close, Hint, Toggle, NewStep };

TEST_F(HelpPanelsTest, OrderHoldsForEverySequenceOfOpenCloseHintToggleAndStep) {
  Build();
  const std::vector<TAct> acts = {TAct::Open, TAct::Close, TAct::Hint, TAct::Toggle, TAct::NewStep};
  int sequences = 0;
  std::function<void(std::vector<TAct>&)> run = [&](std::vector<TAct>& seq) {
    // Start from the state after creation.
    panels_->ButtonCloseHelpClick();
    panels_->HideContextHelp();
    bool help = false, hint = false;
    for (TAct a : seq) {
      switch (a) {
        case TAct::Open: panels_->ButtonImageHelpClick(); help = true; break;
        case TAct::Close: panels_->ButtonCloseHelpClick(); help = false; break;
        case TAct::Hint: panels_->SetContextHint(QStringLiteral("Hinweis")); hint = true; break;
        case TAct::Toggle: panels_->smKontextHilfeClick(); help = !help; break;
        case TAct::NewStep: panels_->StepShown(0); hint = false; break;
      }
    }
    QStringList expected{QStringLiteral("form")};
    if (hint) expected << QStringLiteral("separator") << QStringLiteral("context");
    if (help) expected << QStringLiteral("splitter") << QStringLiteral("help");
    EXPECT_EQ(Names(), expected) << "after sequence #" << sequences;
    EXPECT_EQ(panels_->KontextHilfeAction()->isChecked(), help);
    EXPECT_EQ(panels_->StepHelpVisible(), help);
    EXPECT_EQ(panels_->SplitterVisible(), help);
    EXPECT_EQ(panels_->ContextHelpVisible(), hint);
    ++sequences;
    if (seq.size() == 4) return;
    for (TAct a : acts) {
      seq.push_back(a);
      run(seq);
      seq.pop_back();
    }
  };
  std::vector<TAct> seq;
  run(seq);
  EXPECT_EQ(sequences, 1 + 5 + 25 + 125 + 625);
}

TEST_F(HelpPanelsTest, ShowContextHelpWhenShownChangesNothing) {
  Build();
  panels_->ButtonImageHelpClick();
  panels_->SetContextHint(QStringLiteral("erster Hinweis"));
  const auto before = Stack();
  panels_->ShowContextHelp();
  EXPECT_EQ(Stack(), before);
  // A new hint replaces the text in place; an empty one changes nothing.
  panels_->SetContextHint(QStringLiteral("zweiter Hinweis"));
  panels_->SetContextHint(QString());
  EXPECT_EQ(Stack(), before);
  EXPECT_EQ(panels_->laContextHelp()->text(), QStringLiteral("zweiter Hinweis"));
}

TEST_F(HelpPanelsTest, TogglingTwiceRestoresStateAndCheckMark) {
  Build();
  for (bool startOpen : {false, true}) {
    for (bool hint : {false, true}) {
      if (startOpen) panels_->ButtonImageHelpClick(); else panels_->ButtonCloseHelpClick();
      if (hint) panels_->SetContextHint(QStringLiteral("Hinweis")); else panels_->HideContextHelp();
      const auto before = Stack();
      const bool checked = panels_->KontextHilfeAction()->isChecked();
      EXPECT_EQ(checked, startOpen);
      panels_->KontextHilfeAction()->trigger();  // the menu item, as the user picks it
      EXPECT_NE(panels_->KontextHilfeAction()->isChecked(), checked);
      EXPECT_NE(panels_->StepHelpVisible(), startOpen);
      panels_->KontextHilfeAction()->trigger();
      EXPECT_EQ(panels_->KontextHilfeAction()->isChecked(), checked);
      EXPECT_EQ(Stack(), before);
    }
  }
}

TEST_F(HelpPanelsTest, ButtonsOpenAndCloseTheStepHelp) {
  Build();
  QTest::mouseClick(panels_->ButtonImageHelp(), Qt::LeftButton);
  EXPECT_TRUE(panels_->StepHelpVisible());
  QTest::mouseClick(panels_->ButtonCloseHelp(), Qt::LeftButton);
  EXPECT_FALSE(panels_->StepHelpVisible());
  EXPECT_FALSE(panels_->KontextHilfeAction()->isChecked());
}

TEST_F(HelpPanelsTest, DraggedHeightIsKeptWhenTheHelpOpensAgain) {
  Build();
  panels_->ButtonImageHelpClick();
  QSplitter* s = panels_->Splitter1();
  const int total = s->sizes().at(0) + s->sizes().at(1);
  s->setSizes({total - 150, 150});
  Q_EMIT s->splitterMoved(total - 150, 1);
  panels_->ButtonCloseHelpClick();
  panels_->ButtonImageHelpClick();
  EXPECT_EQ(Stack().back().second, 150);
  // The step help never goes below its minimum.
  s->setSizes({total, 0});
  EXPECT_GE(Stack().back().second, THelpPanels::kMinStepHelpHeight);
}

TEST_F(HelpPanelsTest, StepHelpSettingIsReadAndStored) {
  Build();
  panels_->RestoreStepHelp();  // no value: open
  EXPECT_TRUE(panels_->StepHelpVisible());
  EXPECT_TRUE(panels_->KontextHilfeAction()->isChecked());
  panels_->ButtonCloseHelpClick();
  panels_->SaveStepHelp();
  EXPECT_FALSE(QVRegIniFile().ReadBool(QStringLiteral("\\Help\\"), QStringLiteral("StepHelp"), true));
  Build();
  panels_->RestoreStepHelp();
  EXPECT_FALSE(panels_->StepHelpVisible());
}

TEST_F(HelpPanelsTest, StepPageLoadsItsHelpAndDropsTheHint) {
  WriteFile(runtime_ + QStringLiteral("help/Step1.html"), "<p>Hilfe zu Schritt 1</p>");
  WriteFile(runtime_ + QStringLiteral("help/Step3.html"), "<p>Hilfe zu Schritt 3</p>");
  Build();
  panels_->SetContextHint(QStringLiteral("alt"));
  panels_->StepShown(0);
  EXPECT_EQ(panels_->HTMLView()->toPlainText().trimmed(), QStringLiteral("Hilfe zu Schritt 1"));
  EXPECT_FALSE(panels_->ContextHelpVisible());
  panels_->StepShown(1);  // no Step2.html
  EXPECT_EQ(panels_->HTMLView()->toPlainText().trimmed(), QStringLiteral("Hilfe zu Schritt 1"));
  panels_->StepShown(2);
  EXPECT_EQ(panels_->HTMLView()->toPlainText().trimmed(), QStringLiteral("Hilfe zu Schritt 3"));
}

// --- general help window

TEST_F(HelpPanelsTest, HelpWindowReadsItsPageOnceAndOnlyHidesOnClose) {
  const QString page = runtime_ + QStringLiteral("help/General.html");
  WriteFile(page, "<p>Allgemeine Hilfe</p>");
  Build();
  THtmlHilfe* help = panels_->HelpWindow();
  EXPECT_EQ(help->parentWidget(), window_.get());
  EXPECT_TRUE(help->isHidden());
  EXPECT_EQ(help->windowTitle(), QStringLiteral("Hilfe"));
  EXPECT_TRUE(help->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(help->isWindow());
  WriteFile(page, "<p>geaendert</p>");
  panels_->btnHilfeClick();
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->frameGeometry().size(), QSize(536, 562));
  EXPECT_FALSE(help->isModal());
  EXPECT_EQ(help->HTMLViewer1()->toPlainText().trimmed(), QStringLiteral("Allgemeine Hilfe"));
  QPointer<THtmlHilfe> alive(help);
  EXPECT_TRUE(help->close());
  QApplication::processEvents();
  ASSERT_TRUE(alive);
  EXPECT_TRUE(help->isHidden());
  QFile::remove(page);
  panels_->btnHilfeClick();
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->HTMLViewer1()->toPlainText().trimmed(), QStringLiteral("Allgemeine Hilfe"));
}

TEST_F(HelpPanelsTest, HelpWindowIsMadeAndReadsItsPageWhenFirstOpened) {
  // Nothing of it at start: the window and its page cost time before the main window shows.
  Build();
  EXPECT_EQ(window_->findChild<THtmlHilfe*>(), nullptr);
  WriteFile(runtime_ + QStringLiteral("help/General.html"), "<p>Erst jetzt gelesen</p>");
  panels_->btnHilfeClick();
  const QList<THtmlHilfe*> made = window_->findChildren<THtmlHilfe*>();
  ASSERT_EQ(made.size(), 1);
  EXPECT_EQ(made[0], panels_->HelpWindow());
  EXPECT_TRUE(made[0]->isVisible());
  EXPECT_EQ(made[0]->HTMLViewer1()->toPlainText().trimmed(), QStringLiteral("Erst jetzt gelesen"));
  panels_->btnHilfeClick();
  EXPECT_EQ(window_->findChildren<THtmlHilfe*>().size(), 1);
}

TEST_F(HelpPanelsTest, HelpWindowIsCentredOnTheScreen) {
  Build();
  THtmlHilfe* help = panels_->HelpWindow();
  help->ShowHelp();
  const QRect avail = help->screen()->availableGeometry();
  EXPECT_LE(std::abs(help->frameGeometry().center().x() - avail.center().x()), 1);
  EXPECT_LE(std::abs(help->frameGeometry().center().y() - avail.center().y()), 1);
}

// --- printing the step help

class TPdfPrintDialogs : public TScriptedDialogs {
 public:
  explicit TPdfPrintDialogs(QString pdf) : pdf_(std::move(pdf)) {}
  bool PrintDialog(QPrinter& printer, int pageCount) override {
    Range = {printer.fromPage(), printer.toPage()};
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf_);
    return TScriptedDialogs::PrintDialog(printer, pageCount);
  }
  std::pair<int, int> Range;

 private:
  QString pdf_;
};

QString PdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  p.waitForFinished();
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(HelpPanelsTest, PrintingTheStepHelpGoesThroughThePrintDialog) {
  WriteFile(runtime_ + QStringLiteral("help/Step1.html"), "<p>Hilfe zum Antragsteller</p>");
  Build();
  panels_->StepShown(0);
  const QString pdf = dir_.path() + QStringLiteral("/hilfe.pdf");
  {
    TPdfPrintDialogs dialogs(pdf);
    dialogs.AnswerPrintDialog(false);  // cancelled: nothing printed
    panels_->mnuDruckeHelptext()->trigger();
    EXPECT_EQ(dialogs.PrintDialogs, 1);
    EXPECT_FALSE(QFile::exists(pdf));
    dialogs.AnswerPrintDialog(true);
    panels_->mnuDruckeHelptextClick();
    EXPECT_EQ(dialogs.Range, std::make_pair(1, 99));
    EXPECT_TRUE(dialogs.Messages.empty());
  }
  EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("Hilfe zum Antragsteller")));
  EXPECT_EQ(panels_->mnuDruckeHelptext()->text(), QStringLiteral("Drucken"));
}

TEST_F(HelpPanelsTest, PrintFailureIsReported) {
  Build();
  panels_->HTMLView()->LoadFromString(QStringLiteral("<p>x</p>"));
  TPdfPrintDialogs dialogs(dir_.path() + QStringLiteral("/kein/ordner/x.pdf"));
  dialogs.AnswerPrintDialog(true);
  panels_->mnuDruckeHelptextClick();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Error);
  EXPECT_EQ(dialogs.Messages[0].Text, QStringLiteral("Der Hilfetext konnte nicht gedruckt werden."));
}

// --- promotion panel

struct TCountCase {
  const char* Stored;  // nullptr: no value
  bool Shown;
  int After;
};

class PromotionCountTest : public HelpPanelsTest, public ::testing::WithParamInterface<TCountCase> {};

TEST_P(PromotionCountTest, CountDecidesAndIsStored) {
  const TCountCase c = GetParam();
  WriteFile(runtime_ + QStringLiteral("w2.htm"), "<p>Angebot</p>");
  if (c.Stored) QVRegIniFile().WriteString(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), QString::fromLatin1(c.Stored));
  Build();
  panels_->ShowPromotion();
  Settle();
  EXPECT_EQ(panels_->PromotionVisible(), c.Shown);
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 12345), c.After);
  if (c.Shown) {
    EXPECT_EQ(panels_->PromotionPanel()->width(), 387);
    EXPECT_EQ(panels_->panWerbungInnerContainer()->width(), 382);
    EXPECT_EQ(panels_->HTMLViewerWerbung()->toPlainText().trimmed(), QStringLiteral("Angebot"));
  } else {
    EXPECT_TRUE(panels_->HTMLViewerWerbung()->toPlainText().trimmed().isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Table, PromotionCountTest,
                         ::testing::Values(TCountCase{nullptr, false, 9}, TCountCase{"9", false, 10},
                                           TCountCase{"10", true, 0}, TCountCase{"-3", false, -2},
                                           TCountCase{"abc", false, 9}, TCountCase{"11", true, 0},
                                           TCountCase{"2147483647", true, 0}));

TEST_F(HelpPanelsTest, PromotionShowsOnTheThirdStartAndThenEveryEleventh) {
  WriteFile(runtime_ + QStringLiteral("w2.htm"), "<p>Angebot</p>");
  QString starts;
  for (int i = 0; i < 25; ++i) {
    Build();
    panels_->ShowPromotion();
    const bool shown = panels_->PromotionVisible();
    if (shown && i % 2 == 0) panels_->ButtonCloseWerbungClick();  // closing leaves the counter alone
    starts += shown ? QLatin1Char('X') : QLatin1Char('.');
  }
  EXPECT_EQ(starts, QStringLiteral("..X..........X..........X"));
}

TEST_F(HelpPanelsTest, PromotionWithoutPageIsAnEmptyWhitePanel) {
  QVRegIniFile().WriteInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 10);
  Build();
  panels_->ShowPromotion();
  EXPECT_TRUE(panels_->PromotionVisible());
  EXPECT_TRUE(panels_->HTMLViewerWerbung()->toPlainText().trimmed().isEmpty());
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 12345), 0);
  EXPECT_EQ(panels_->HTMLViewerWerbung()->palette().color(QPalette::Base), QColor(Qt::white));
}

TEST_F(HelpPanelsTest, PromotionCloseButtonSitsInTheViewerAndHidesThePanel) {
  QVRegIniFile().WriteInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 10);
  Build();
  panels_->ShowPromotion();
  QWidget* close = panels_->ButtonCloseWerbung();
  EXPECT_EQ(close->parentWidget(), panels_->HTMLViewerWerbung());
  EXPECT_EQ(HelpFlatButtonCaption(close), QStringLiteral("x"));
  EXPECT_EQ(close->size(), QSize(19, 20));
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_FALSE(panels_->PromotionVisible());
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("\\Werbung\\"), QStringLiteral("Count"), 12345), 0);
}

}  // namespace

namespace {
// The main window may tear the panels' controller down before its widgets.
TEST(HelpPanelsLifetime, ButtonsAndLinksOutlivingTheControllerDoNothing) {
  QWidget window;
  auto* panels = new THelpPanels(&window);
  QWidget* open = panels->ButtonImageHelp();
  QWidget* help = panels->panHelpContainer();
  THtmlView* promotion = panels->HTMLViewerWerbung();
  delete panels;
  QTest::mouseClick(open, Qt::LeftButton);
  EXPECT_TRUE(help->isHidden());
  bool handled = false;
  promotion->OnHotSpotClick(promotion, QStringLiteral("javascript:x"), handled);
  EXPECT_TRUE(handled);
}
}  // namespace
