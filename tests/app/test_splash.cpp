#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include "MainFrameTestData.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "help/FStartBildMahnbescheid_KALNO.h"
#include "platform/uColors.h"
#include "storage/uDocuments.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"

namespace {
// A main window stand-in with two edits, the second focused.
struct TWindow {
  TWindow() {
    auto* l = new QVBoxLayout(&w);
    l->addWidget(a = new QLineEdit(&w));
    l->addWidget(b = new QLineEdit(&w));
    b->setFocus();
  }
  QWidget w;
  QLineEdit *a, *b;
};
}  // namespace

TEST(Splash, LooksAsItShould) {
  TFakeClock clock;
  ShowSplash();
  TStartbild* s = Startbild();
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->isVisible());
  EXPECT_EQ(s->size(), QSize(400, 300));
  EXPECT_TRUE(s->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(s->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(s->palette().color(QPalette::Window), ColorFromBGR(0x00DDF3FF));
  EXPECT_FALSE(s->Image1->pixmap().isNull());
  EXPECT_EQ(s->font().pointSize(), 8);
  CloseSplash(nullptr);
  EXPECT_EQ(Startbild(), nullptr);
}

// The picture the build draws is the one shown, not the stand-in for a runtime folder without one.
TEST(Splash, ShowsThePictureOfTheRuntimeFolder) {
  SetProgramFolderForTesting(QDir(BuildRuntimeFolder()).filePath(QStringLiteral("..")));
  const QImage shown = StartPicture().toImage().convertToFormat(QImage::Format_RGB32);
  SetProgramFolderForTesting(QString());
  const QImage file(BuildRuntimeFolder() + QStringLiteral("images/Splash.jpg"));
  ASSERT_FALSE(file.isNull());
  EXPECT_EQ(shown, file.convertToFormat(QImage::Format_RGB32));
  EXPECT_NE(shown, StartPicture().toImage().convertToFormat(QImage::Format_RGB32));
}

TEST(Splash, FastStartKeepsItUpTwoSeconds) {
  TFakeClock clock;
  clock.Advance(123456);
  ShowSplash();
  TWindow win;
  clock.Advance(500);  // the main window is ready after 500 ms
  bool disabledMeanwhile = true, splashMeanwhile = true, shownMeanwhile = true;
  clock.OnProcessEvents = [&] {
    disabledMeanwhile = disabledMeanwhile && !win.w.isEnabled();
    shownMeanwhile = shownMeanwhile && win.w.isVisible();
    splashMeanwhile = splashMeanwhile && Startbild() && Startbild()->isVisible();
  };
  CloseSplash(&win.w);
  EXPECT_EQ(clock.NowMs(), 123456 + 2000);  // 1500 ms more
  EXPECT_GT(clock.ProcessEventsCalls, 0);
  EXPECT_TRUE(disabledMeanwhile);
  EXPECT_TRUE(shownMeanwhile);
  EXPECT_TRUE(splashMeanwhile);
  EXPECT_TRUE(win.w.isEnabled());
  EXPECT_EQ(win.w.focusWidget(), win.b);
  EXPECT_EQ(Startbild(), nullptr);
}

TEST(Splash, SlowStartClosesAtOnce) {
  TFakeClock clock;
  ShowSplash();
  TWindow win;
  clock.Advance(3000);
  CloseSplash(&win.w);
  EXPECT_EQ(clock.ProcessEventsCalls, 0);
  EXPECT_EQ(clock.NowMs(), 3000);
  EXPECT_TRUE(win.w.isVisible());
  EXPECT_TRUE(win.w.isEnabled());
  EXPECT_EQ(Startbild(), nullptr);
}

TEST(Splash, FailedMainWindowStillReleasesTheSplash) {
  TFakeClock clock;
  ShowSplash();
  clock.Advance(100);
  CloseSplash(nullptr);
  EXPECT_EQ(clock.NowMs(), 2000);
  EXPECT_EQ(Startbild(), nullptr);
}

// ----- The start with the real main window: splash, window built, the wait behind the splash -----

namespace {
class SplashStart : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTestSettings();
    runtime = std::make_unique<TTestRuntime>(ThreeSteps());
  }
  void TearDown() override {
    frame.reset();
    ReleaseWizardDefinition();
    runtime.reset();
  }
  TFakeClock clock;
  std::unique_ptr<TTestRuntime> runtime;
  std::unique_ptr<TMainFrame> frame;
};

// Closes the window the way the window manager does for the title bar's close button, once the
// window waits behind the splash.
struct TCloseWhileWaiting {
  explicit TCloseWhileWaiting(TFakeClock& clock, std::unique_ptr<TMainFrame>& frame) {
    clock.OnProcessEvents = [this, &frame] {
      if (Done || !frame->isVisible() || frame->isEnabled() || !Startbild()) return;
      Done = true;
      frame->windowHandle()->close();
      WindowAfterRequest = frame->isVisible();
    };
  }
  bool Done = false;
  bool WindowAfterRequest = false;
};
}  // namespace

TEST_F(SplashStart, CloseDuringTheWaitEndsTheProgramOnceItRuns) {
  TScriptedDialogs dialogs;
  ShowSplash();
  frame = std::make_unique<TMainFrame>();
  clock.Advance(300);
  clock.StepMs = 50;
  TCloseWhileWaiting closer(clock, frame);
  CloseSplash(frame.get());
  ASSERT_TRUE(closer.Done);
  // Never a process without a window: the window stays while it waits, and takes input after.
  EXPECT_TRUE(closer.WindowAfterRequest);
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(frame->isEnabled());
  EXPECT_EQ(Startbild(), nullptr);
  EXPECT_GE(clock.NowMs(), kSplashMinimumMs);  // the wait itself is not cut short
  // Once the message loop runs the close is made; the last window closing ends the program.
  QApplication::processEvents();
  EXPECT_FALSE(frame->isVisible());
  EXPECT_TRUE(dialogs.Messages.empty());
  // The program's end then stores what the next start restores.
  frame.reset();
  EXPECT_TRUE(QVRegIniFile().ReadBool(QStringLiteral("FormPosition"), QStringLiteral("saved"), false));
  EXPECT_TRUE(QVRegIniFile().ReadBool(QStringLiteral("\\Help\\"), QStringLiteral("StepHelp"), false));
}

TEST_F(SplashStart, CloseDuringTheWaitAsksAboutUnsavedWorkAfterTheSplash) {
  TScriptedDialogs dialogs;
  ShowSplash();
  frame = std::make_unique<TMainFrame>();
  frame->SetDirty(true);  // as after unsaved work was restored at start
  TCloseWhileWaiting closer(clock, frame);
  clock.StepMs = 50;
  dialogs.AnswerMessage(dbCancel);
  CloseSplash(frame.get());
  ASSERT_TRUE(closer.Done);
  EXPECT_TRUE(dialogs.Messages.empty());  // no question behind the splash
  QApplication::processEvents();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Confirmation);
  // Cancel: the window stays, usable.
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(frame->isEnabled());
  EXPECT_TRUE(frame->Dirty());
}

TEST_F(SplashStart, ErrorAboutTheCommandLineDocumentShowsAboveTheSplash) {
  const QString path = runtime->Folder() + QStringLiteral("riesig.kln");
  {
    QFile big(path);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kMaxDocumentFileSize + 1));  // sparse
  }
  // The real message box: the one the user would have to find.
  QString boxText;
  bool splashShownWithBox = true;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    boxText = box->text();
    splashShownWithBox = Startbild() && Startbild()->isVisible();
    box->reject();
  });
  poll.start(5);
  ShowSplash();
  ASSERT_TRUE(Startbild()->isVisible());
  frame = std::make_unique<TMainFrame>(QStringList{QStringLiteral("mahnbescheid"), path});
  poll.stop();
  EXPECT_TRUE(boxText.contains(QStringLiteral("zu groß"))) << boxText.toStdString();
  EXPECT_FALSE(splashShownWithBox);
  CloseSplash(frame.get());
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(frame->isEnabled());
}

TEST(Splash, AnyDialogShownDuringTheStartHidesIt) {
  TFakeClock clock;
  ShowSplash();
  QWidget plain;
  plain.show();  // an ordinary window (the main window) stays behind it
  EXPECT_TRUE(Startbild()->isVisible());
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Warnung"), QStringLiteral("Text"));
  box.show();
  EXPECT_FALSE(Startbild()->isVisible());
  box.hide();
  CloseSplash(nullptr);
  EXPECT_EQ(Startbild(), nullptr);
  // Without a splash, dialogs change nothing.
  box.show();
  EXPECT_TRUE(box.isVisible());
}
