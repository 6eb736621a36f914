#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include "MainFrameTestData.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "app/uPanels.h"
#include "help/uHelpButtons.h"
#include "help/uHelpPanels.h"
#include "help/uHtmlView.h"
#include "definition/WizardSteps.h"
#include "storage/uQVRegistry.h"

namespace {
const QString kQuestion = QStringLiteral("Sie haben Ihre Änderungen noch nicht gespeichert. Wollen Sie dies jetzt tun.");

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearTestSettings(); }
  void TearDown() override {
    frame.reset();
    ReleaseWizardDefinition();
    runtime.reset();
  }
  TMainFrame& Make(const std::vector<TTestStep>& steps = ThreeSteps()) {
    runtime = std::make_unique<TTestRuntime>(steps);
    frame = std::make_unique<TMainFrame>();
    return *frame;
  }
  std::unique_ptr<TTestRuntime> runtime;
  std::unique_ptr<TMainFrame> frame;
  TScriptedDialogs dialogs;
};

std::vector<TTestStep> Steps(int n) {
  std::vector<TTestStep> s;
  for (int i = 0; i < n; ++i)
    s.push_back({QStringLiteral("Info %1").arg(i + 1), QStringLiteral("Hinweis %1").arg(i + 1),
                 TestField(QStringLiteral("F%1").arg(i), QStringLiteral("Edit"), 10, 10)});
  return s;
}
}  // namespace

TEST_F(MainWindowTest, LayoutTitleMenusAndToolBar) {
  TMainFrame& f = Make();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("KALNO - Beschriftungs-Software für PC-Mahnbescheide"));
  QStringList tool;
  for (QAction* a : f.MainToolBar->actions()) tool << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
  EXPECT_EQ(tool.join(QLatin1Char(' ')),
            QStringLiteral("btnNeu btnOeffnen btnSpeichern | btnDrucken btnDruckvorschau btnPruefen | btnDefaults | btnHilfe btnHandbuch | "
                           "btnKALNOHomepage"));
  EXPECT_EQ(f.btnDefaults->toolTip(), QStringLiteral("Druckposition verändern"));
  EXPECT_EQ(f.btnHandbuch->toolTip(), QStringLiteral("Handbuch anzeigen"));
  QStringList datei;
  for (QAction* a : f.mnuDatei->actions()) datei << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(datei.join(QLatin1Char('/')),
            QStringLiteral("Neu/Neu von Vorlage.../-/Öffnen.../-/Speichern/Speichern unter.../Speichern als Vorlage.../-/"
                           "Druckposition.../Drucken.../Druckvorschau.../Prüfen.../Als PDF exportieren.../-/Beenden"));
  EXPECT_EQ(f.smOeffnen->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
  EXPECT_EQ(f.smSpeichern->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
  EXPECT_EQ(f.smDrucken->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
  QStringList top;
  for (QAction* a : f.menuBar()->actions()) top << a->text();
  EXPECT_EQ(top.join(QLatin1Char('/')), QStringLiteral("Datei/Hilfe/Weitere KALNO Formulare"));
  EXPECT_EQ(HelpFlatButtonCaption(f.ButtonImageHelp), QStringLiteral("Hilfe ?"));
  EXPECT_EQ(f.ButtonBack->text(), QStringLiteral("<< Zurück"));
  EXPECT_EQ(f.ButtonForward->text(), QStringLiteral("Weiter >>"));
  EXPECT_EQ(f.ButtonPrint->text(), QStringLiteral("Drucken"));
  // Steps buttons: numbered, 22 x 22 at left 5, 27 apart from top 10.
  ASSERT_EQ(f.NavButtons().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(f.NavButtons()[std::size_t(i)]->text(), QString::number(i + 1));
    EXPECT_EQ(f.NavButtons()[std::size_t(i)]->geometry(), QRect(5, 10 + 27 * i, 22, 22));
  }
  EXPECT_EQ(f.MeasureFont().family(), QStringLiteral("Arial"));
  EXPECT_EQ(f.MeasureFont().pointSize(), 8);
  EXPECT_FALSE(f.Dirty());
  EXPECT_FALSE(f.btnSpeichern->isEnabled());
  EXPECT_EQ(f.ShownStep(), 0);
}

TEST_F(MainWindowTest, DirtyEnablesSaveButton) {
  TMainFrame& f = Make();
  f.SetDirty(true);
  EXPECT_TRUE(f.btnSpeichern->isEnabled());
  EXPECT_TRUE(f.smSpeichern->isEnabled());
  f.SetDirty(false);
  EXPECT_FALSE(f.btnSpeichern->isEnabled());
  EXPECT_TRUE(f.smSpeichern->isEnabled());
}

TEST_F(MainWindowTest, BottomButtonsCentred) {
  TMainFrame& f = Make();
  f.show();
  f.panNavigationContainerBottom->resize(601, 40);
  EXPECT_EQ(f.panButtons->x(), (601 - 185) / 2);
  f.panNavigationContainerBottom->resize(100, 40);
  EXPECT_EQ(f.panButtons->x(), (100 - 185) / 2);  // toward zero: -42
}

// Button states on every kind of step.
struct TButtonCase {
  int steps, step;
  bool back, forward, print;
};
class ButtonStates : public MainWindowTest, public ::testing::WithParamInterface<TButtonCase> {};

TEST_P(ButtonStates, BackForwardPrint) {
  const TButtonCase c = GetParam();
  TMainFrame& f = Make(Steps(c.steps));
  f.show();
  f.SetCurrentStep(c.step);
  f.ShowWizardStep(c.step);
  EXPECT_EQ(f.ButtonBack->isEnabled(), c.back);
  EXPECT_EQ(f.ButtonForward->isVisible(), c.forward);
  EXPECT_EQ(f.ButtonPrint->isVisible(), c.print);
  for (int i = 0; i < c.steps; ++i) EXPECT_EQ(f.NavButtons()[std::size_t(i)]->isChecked(), i == c.step);
}

INSTANTIATE_TEST_SUITE_P(Steps, ButtonStates,
                         ::testing::Values(TButtonCase{1, 0, false, false, true}, TButtonCase{3, 0, false, true, false},
                                           TButtonCase{3, 1, true, true, false}, TButtonCase{3, 2, true, false, true}));

TEST_F(MainWindowTest, BackForwardAndStepButtonsMove) {
  TMainFrame& f = Make();
  f.show();
  QTest::mouseClick(f.ButtonForward, Qt::LeftButton);
  EXPECT_EQ(f.CurrentStep(), 1);
  EXPECT_EQ(f.ShownStep(), 1);
  QTest::mouseClick(f.NavButtons()[2], Qt::LeftButton);
  EXPECT_EQ(f.ShownStep(), 2);
  EXPECT_TRUE(f.ButtonPrint->isVisible());
  QTest::mouseClick(f.ButtonBack, Qt::LeftButton);
  EXPECT_EQ(f.ShownStep(), 1);
  EXPECT_TRUE(f.NavButtons()[1]->isChecked());
  EXPECT_FALSE(f.NavButtons()[2]->isChecked());
}

TEST_F(MainWindowTest, ClickingTheShownStepChangesNothing) {
  std::vector<TTestStep> steps = ThreeSteps();
  steps[0].Picture = QSize(2000, 3000);
  TMainFrame& f = Make(steps);
  f.show();
  f.ScrollBox1->verticalScrollBar()->setValue(120);
  f.InfoText->setText(QStringLiteral("unverändert"));
  QTest::mouseClick(f.NavButtons()[0], Qt::LeftButton);
  EXPECT_EQ(f.ShownStep(), 0);
  EXPECT_TRUE(f.NavButtons()[0]->isChecked());
  EXPECT_EQ(f.ScrollBox1->verticalScrollBar()->value(), 120);  // no rebuild
  EXPECT_EQ(f.InfoText->text(), QStringLiteral("unverändert"));
}

TEST_F(MainWindowTest, ShownStepMinusOneForcesRebuild) {
  TMainFrame& f = Make();
  f.InfoText->setText(QStringLiteral("alt"));
  f.SetShownStep(-1);
  f.SetCurrentStep(0);
  f.ShowWizardStep(0);
  EXPECT_EQ(f.InfoText->text(), QStringLiteral("Antragsteller\r\nSpalte 1 und 2"));
}

struct TInfoCase {
  const char* in;
  const char* out;
};
class InfoLine : public ::testing::TestWithParam<TInfoCase> {};
TEST_P(InfoLine, SplitAtDoubleBar) {
  EXPECT_EQ(InfoLineText(QString::fromUtf8(GetParam().in)), QString::fromUtf8(GetParam().out));
}
INSTANTIATE_TEST_SUITE_P(Texts, InfoLine,
                         ::testing::Values(TInfoCase{"Antragsteller || Spalte", "Antragsteller\r\nSpalte"},
                                           TInfoCase{"Ende||", "Ende\r\n"}, TInfoCase{"", ""},
                                           TInfoCase{"  nur eins\t", "nur eins"},
                                           TInfoCase{"a||b||c", "a\r\nb\r\nc"}, TInfoCase{"a|b", "a|b"},
                                           TInfoCase{"||", "\r\n"}));

TEST_F(MainWindowTest, InfoBarGrowsForTwoLines) {
  TMainFrame& f = Make();
  f.show();
  EXPECT_TRUE(f.InfoText->text().contains(QStringLiteral("\r\n")));
  EXPECT_GE(f.InfoText->height(), 2 * QFontMetrics(f.InfoText->font()).lineSpacing());
  f.SetCurrentStep(1);
  f.ShowWizardStep(1);
  EXPECT_EQ(f.panInfo->height(), 39);
}

TEST_F(MainWindowTest, TitleCarriesDocumentPath) {
  TMainFrame& f = Make();
  f.SetFileName(QStringLiteral("/home/anna/Mahnbescheide/Miete.kln"));
  f.SetShownStep(-1);
  f.ShowWizardStep(0);
  EXPECT_EQ(f.windowTitle(),
            QStringLiteral("KALNO - Beschriftungs-Software für PC-Mahnbescheide - /home/anna/Mahnbescheide/Miete.kln"));
}

TEST_F(MainWindowTest, StepPictureNumberedFromOne) {
  std::vector<TTestStep> steps = ThreeSteps();
  steps[0].Picture = QSize(300, 200);
  steps[1].Picture = QSize();  // no picture file
  TMainFrame& f = Make(steps);
  ASSERT_NE(f.Image1->pixmap().isNull(), true);
  EXPECT_EQ(f.Image1->pixmap().size(), QSize(300, 200));
  f.SetCurrentStep(1);
  f.ShowWizardStep(1);
  EXPECT_TRUE(f.Image1->pixmap().isNull());
}

TEST_F(MainWindowTest, ContextHelpHiddenOnEveryStep) {
  TMainFrame& f = Make();
  f.show();
  f.laContextHelp->setText(QStringLiteral("Hinweis"));
  f.ShowContextHelp();
  EXPECT_TRUE(f.panContextHelp->isVisible());
  f.SetCurrentStep(1);
  f.ShowWizardStep(1);
  EXPECT_FALSE(f.panContextHelp->isVisible());
  EXPECT_FALSE(f.panTrenner->isVisible());
}

TEST_F(MainWindowTest, MissingDefinitionThrowsItsMessage) {
  runtime = std::make_unique<TTestRuntime>(ThreeSteps());
  QFile::remove(runtime->Runtime() + QStringLiteral("WizardSteps.xml"));
  try {
    TMainFrame f;
    FAIL() << "no exception";
  } catch (const EDefinitionMissing& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Die Formatbeschreibung der Wizarddatei konnte nicht gefunden werden!"));
  }
}

// ----- Window position at start and end -----

TEST_F(MainWindowTest, FirstStartOpensMaximized) {
  TMainFrame& f = Make();
  EXPECT_TRUE(f.windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowTest, SavedMaximizedIgnoresStoredPosition) {
  QVRegIniFile().WriteBool(QStringLiteral("FormPosition"), QStringLiteral("saved"), true);
  QVRegIniFile().WriteInteger(QStringLiteral("FormPosition"), QStringLiteral("WindowState"), 2);
  QVRegIniFile().WriteInteger(QStringLiteral("FormPosition"), QStringLiteral("Left"), 40);
  TMainFrame& f = Make();
  EXPECT_TRUE(f.windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowTest, SavedNormalRestoresClampedPosition) {
  QVRegIniFile().WriteBool(QStringLiteral("FormPosition"), QStringLiteral("saved"), true);
  QVRegIniFile().WriteInteger(QStringLiteral("FormPosition"), QStringLiteral("WindowState"), 0);
  QVRegIniFile().WriteInteger(QStringLiteral("FormPosition"), QStringLiteral("Left"), -50);
  QVRegIniFile().WriteInteger(QStringLiteral("FormPosition"), QStringLiteral("Top"), 30);
  QVRegIniFile().WriteInteger(QStringLiteral("FormPosition"), QStringLiteral("Width"), 500);
  QVRegIniFile().WriteInteger(QStringLiteral("FormPosition"), QStringLiteral("Height"), 400);
  TMainFrame& f = Make();
  EXPECT_FALSE(f.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(f.pos(), QPoint(0, 30));
  EXPECT_EQ(f.size(), QSize(500, 400));
}

TEST_F(MainWindowTest, DestructionStoresHelpStateAndSavedFlag) {
  {
    TMainFrame& f = Make();
    EXPECT_FALSE(f.panHelpContainer->isHidden());  // "StepHelp" defaults to true
    EXPECT_TRUE(f.smKontextHilfe->isChecked());
    f.ButtonCloseHelpClick();
    frame.reset();
  }
  EXPECT_FALSE(QVRegIniFile().ReadBool(QStringLiteral("\\Help\\"), QStringLiteral("StepHelp"), true));
  EXPECT_TRUE(QVRegIniFile().ReadBool(QStringLiteral("FormPosition"), QStringLiteral("saved"), false));
  // Position values exist only after "Beenden".
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("FormPosition"), QStringLiteral("Left"), -999), -999);
  frame = std::make_unique<TMainFrame>();
  EXPECT_TRUE(frame->panHelpContainer->isHidden());
  EXPECT_FALSE(frame->smKontextHilfe->isChecked());
  // Not maximized now: "saved" is true and no state was stored, so the window keeps its own.
  EXPECT_FALSE(frame->windowState() & Qt::WindowMaximized);
}

// ----- Closing -----

struct TCloseCase {
  bool dirty;
  TDialogButton answer;
  bool closes;
  int questions;
};
class CloseQuestion : public MainWindowTest, public ::testing::WithParamInterface<TCloseCase> {};

TEST_P(CloseQuestion, Answers) {
  const TCloseCase c = GetParam();
  TMainFrame& f = Make();
  f.show();
  f.SetDirty(c.dirty);
  dialogs.AnswerMessage(c.answer);
  const bool closed = f.close();
  EXPECT_EQ(closed, c.closes);
  EXPECT_EQ(f.isVisible(), !c.closes);
  ASSERT_GE(dialogs.Messages.size(), std::size_t(c.questions));
  if (c.questions > 0) {
    EXPECT_EQ(dialogs.Messages[0].Text, kQuestion);
    EXPECT_EQ(dialogs.Messages[0].Caption, QStringLiteral("Bestätigung"));
    EXPECT_EQ(dialogs.Messages[0].Buttons, TDialogButtons(dbYes | dbNo | dbCancel));
  } else {
    EXPECT_TRUE(dialogs.Messages.empty());
  }
  if (!c.closes) {
    EXPECT_EQ(f.Dirty(), c.dirty);
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseQuestion,
                         ::testing::Values(TCloseCase{false, dbYes, true, 0}, TCloseCase{true, dbNo, true, 1},
                                           TCloseCase{true, dbCancel, false, 1},
                                           // Yes, then the save does not happen (no name chosen): stays open.
                                           TCloseCase{true, dbYes, false, 1}));

TEST_F(MainWindowTest, BeendenSavesPositionBeforeTheQuestion) {
  TMainFrame& f = Make();
  f.setWindowState(Qt::WindowNoState);
  f.move(120, 80);
  f.resize(640, 480);
  f.show();
  f.SetDirty(true);
  dialogs.AnswerMessage(dbCancel);
  f.smDateiBeenden->trigger();
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("FormPosition"), QStringLiteral("WindowState"), -1), 0);
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("FormPosition"), QStringLiteral("Width"), -1), 640);
  EXPECT_EQ(QVRegIniFile().ReadInteger(QStringLiteral("FormPosition"), QStringLiteral("Height"), -1), 480);
}

// ----- Wheel -----

TEST_F(MainWindowTest, WheelScrollsThePictureThreeLinesANotch) {
  std::vector<TTestStep> steps = ThreeSteps();
  steps[0].Picture = QSize(600, 4000);
  TMainFrame& f = Make(steps);
  f.setWindowState(Qt::WindowNoState);
  f.resize(800, 600);
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  QScrollBar* vs = f.ScrollBox1->verticalScrollBar();
  ASSERT_GT(vs->maximum(), 0);
  const int line = vs->singleStep();
  // The wheel turned over the bottom bar, far from the picture, still scrolls the picture.
  auto turn = [&](QWidget* target, int delta) {
    QWheelEvent e(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
  };
  turn(f.ButtonBack, -120);
  EXPECT_EQ(vs->value(), 3 * line);
  turn(f.ScrollBox1->widget(), -120);
  EXPECT_EQ(vs->value(), 6 * line);
  turn(f.panInfo, 120);
  EXPECT_EQ(vs->value(), 3 * line);
  // Over the step help the help text scrolls, the picture stays.
  f.HTMLView->setHtml(QString(QStringLiteral("<p>Zeile</p>")).repeated(300));
  turn(f.HTMLView->viewport(), -120);
  EXPECT_EQ(vs->value(), 3 * line);
  EXPECT_GT(f.HTMLView->verticalScrollBar()->value(), 0);
}

// ----- Step hint -----

TEST_F(MainWindowTest, HintTimerSequence) {
  TMainFrame& f = Make();
  f.show();
  QPoint pointer = f.NavButtons()[0]->mapToGlobal(QPoint(5, 5));
  f.PointerPosition = [&] { return pointer; };
  EXPECT_FALSE(f.TimeHint->isActive());
  EXPECT_EQ(f.TimeHint->interval(), 1000);

  QTest::mouseMove(f.NavButtons()[0], QPoint(5, 5));
  f.OnNavButtonMouseMove(0);
  EXPECT_TRUE(f.TimeHint->isActive());
  EXPECT_EQ(f.HintText(), QStringLiteral("Angaben zum Antragsteller"));
  EXPECT_FALSE(f.HintShown());
  // The delay passes: the hint appears 16 px right of and below the pointer; polling starts.
  f.TimeHintTimer();
  EXPECT_TRUE(f.HintShown());
  EXPECT_TRUE(f.HintWindow->isVisible());
  EXPECT_EQ(f.HintWindow->text(), QStringLiteral("Angaben zum Antragsteller"));
  EXPECT_EQ(f.HintWindow->pos(), pointer + QPoint(16, 16));
  EXPECT_EQ(f.TimeHint->interval(), 100);
  EXPECT_TRUE(f.TimeHint->isActive());
  EXPECT_LE(f.HintWindow->width(), 300 + 16);

  // Over the next button the hint follows at once with the new text.
  pointer = f.NavButtons()[1]->mapToGlobal(QPoint(5, 5));
  f.OnNavButtonMouseMove(1);
  EXPECT_TRUE(f.HintShown());
  EXPECT_EQ(f.HintWindow->text(), QStringLiteral("Angaben zum Antragsgegner"));
  EXPECT_EQ(f.HintWindow->pos(), pointer + QPoint(16, 16));

  // Anywhere in the column it stays.
  pointer = f.panNavigationContainerLeft->mapToGlobal(QPoint(3, f.panNavigationContainerLeft->height() - 3));
  f.TimeHintTimer();
  EXPECT_TRUE(f.HintShown());

  // Outside the column it goes; the next delay is 800 ms.
  pointer = f.ScrollBox1->mapToGlobal(QPoint(50, 50));
  f.TimeHintTimer();
  EXPECT_FALSE(f.HintShown());
  EXPECT_FALSE(f.HintWindow->isVisible());
  EXPECT_FALSE(f.TimeHint->isActive());
  EXPECT_EQ(f.TimeHint->interval(), 800);

  pointer = f.NavButtons()[2]->mapToGlobal(QPoint(5, 5));
  f.OnNavButtonMouseMove(2);
  EXPECT_TRUE(f.TimeHint->isActive());
  EXPECT_EQ(f.TimeHint->interval(), 800);
  EXPECT_FALSE(f.HintShown());
}

TEST_F(MainWindowTest, HintDelayIsNotRestartedByFurtherMoves) {
  TMainFrame& f = Make();
  f.show();
  f.TimeHint->setInterval(50);
  f.OnNavButtonMouseMove(0);
  ASSERT_TRUE(f.TimeHint->isActive());
  const int remaining = f.TimeHint->remainingTime();
  QTest::qWait(20);
  f.OnNavButtonMouseMove(0);
  EXPECT_LE(f.TimeHint->remainingTime(), remaining);
}

TEST_F(MainWindowTest, MouseMoveOverStepButtonStartsHint) {
  TMainFrame& f = Make();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), f.NavButtons()[2]->mapToGlobal(QPointF(4, 4)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(f.NavButtons()[2], &move);
  EXPECT_EQ(f.HintText(), QStringLiteral("Angaben zum Anspruch"));
  EXPECT_TRUE(f.TimeHint->isActive());
}

// ----- Help panel toggles -----

TEST_F(MainWindowTest, StepHelpToggleKeepsCheckMark) {
  TMainFrame& f = Make();
  f.show();
  const bool first = f.panHelpContainer->isVisible();
  f.smKontextHilfe->trigger();
  EXPECT_NE(f.panHelpContainer->isVisible(), first);
  EXPECT_EQ(f.smKontextHilfe->isChecked(), f.panHelpContainer->isVisible());
  f.smKontextHilfe->trigger();
  EXPECT_EQ(f.panHelpContainer->isVisible(), first);
  EXPECT_EQ(f.smKontextHilfe->isChecked(), first);
}

// Drags the splitter handle by `dy` pixels with the left mouse button, as the user does.
void DragHandle(QWidget* handle, int dy) {
  const QPointF from(handle->width() / 2.0, handle->height() / 2.0), to = from + QPointF(0, dy);
  QMouseEvent press(QEvent::MouseButtonPress, from, handle->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(handle, &press);
  QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(handle, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, to, handle->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(handle, &release);
  QApplication::processEvents();
}

TEST_F(MainWindowTest, StepHelpOpensAtHalfTheAreaOfTheShownWindowAndKeepsADraggedHeight) {
  TMainFrame& f = Make();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  QApplication::processEvents();
  // Maximised on the screen, as at a first start.
  ASSERT_TRUE(f.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(f.frameGeometry(), f.screen()->availableGeometry());
  QWidget* area = f.HelpPanels().ContextContainer();
  ASSERT_TRUE(f.panHelpContainer->isVisible());
  EXPECT_GT(area->height(), 300);
  EXPECT_EQ(f.panHelpContainer->height(), area->height() / 2);
  // A window made smaller before any drag: still half.
  f.showNormal();
  f.resize(700, 560);
  QApplication::processEvents();
  EXPECT_EQ(f.panHelpContainer->height(), area->height() / 2);
  // The user drags the splitter up by 40 pixels: the help keeps that height through window
  // changes and through closing and opening it.
  const int dragged = f.panHelpContainer->height() + 40;
  DragHandle(f.HelpPanels().SplitterHandle(), -40);
  EXPECT_EQ(f.panHelpContainer->height(), dragged);
  f.showMaximized();
  QApplication::processEvents();
  EXPECT_EQ(f.panHelpContainer->height(), dragged);
  f.ButtonCloseHelpClick();
  f.ButtonImageHelpClick();
  QApplication::processEvents();
  EXPECT_EQ(f.panHelpContainer->height(), dragged);
}

TEST_F(MainWindowTest, AboutBoxFromTheMenu) {
  TMainFrame& f = Make();
  QString caption;
  dialogs.AnswerDialog([&](QDialog& d) {
    caption = d.windowTitle();
    return int(QDialog::Accepted);
  });
  f.smUeber->trigger();
  EXPECT_EQ(dialogs.DialogsRun, 1);
  EXPECT_EQ(caption, QStringLiteral("Infos"));
}

TEST_F(MainWindowTest, CommandLineDocumentOpensBeforeTheFirstPage) {
  runtime = std::make_unique<TTestRuntime>(ThreeSteps());
  const QString doc = runtime->Folder() + QStringLiteral("Miete.kln");
  QFile f(doc);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Mahnbescheid]\r\nA1=Anna\r\nC1=Rechnung 17\r\n");
  f.close();
  frame = std::make_unique<TMainFrame>(QStringList{QStringLiteral("mahnbescheid"), doc});
  EXPECT_EQ(frame->FileName(), doc);
  EXPECT_FALSE(frame->Dirty());
  EXPECT_EQ(frame->windowTitle(), MainTitle() + QStringLiteral(" - ") + doc);
  EXPECT_EQ(ValueByName(frame->FieldLists(), QStringLiteral("A1")), QStringLiteral("Anna"));
  EXPECT_EQ(ValueByName(frame->FieldLists(), QStringLiteral("C1")), QStringLiteral("Rechnung 17"));
}

TEST_F(MainWindowTest, CloseWithYesSavesANamedDocument) {
  TMainFrame& f = Make();
  f.show();
  const QString doc = runtime->Folder() + QStringLiteral("neu.kln");
  f.SetFileName(doc);
  FieldByName(f.FieldLists(), QStringLiteral("B1"))->SetValue(QStringLiteral("Berta"));
  f.SetDirty(true);
  dialogs.AnswerMessage(dbYes);
  EXPECT_TRUE(f.close());
  QFile file(doc);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("B1=Berta"));
}
