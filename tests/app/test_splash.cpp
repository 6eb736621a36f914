#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include "TestSupport.h"
#include "help/FStartBildMahnbescheid_KALNO.h"
#include "platform/uColors.h"

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
