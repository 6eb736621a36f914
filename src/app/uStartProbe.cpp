#include "app/uStartProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "help/FStartBildMahnbescheid_KALNO.h"
#include "platform/uClock.h"

// The real clock, put forward by the splash minimum once the main window exists.
class TStartProbe::TClock : public ::TClock {
 public:
  TClock() { timer_.start(); }
  qint64 NowMs() override { return timer_.elapsed() + skipped_; }
  void ProcessEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); }
  void SleepMs(int ms) override {
    if (ms > 0) QThread::msleep(ulong(ms));
  }
  void SkipSplashMinimum() { skipped_ = kSplashMinimumMs; }

 private:
  QElapsedTimer timer_;
  qint64 skipped_ = 0;
};

std::unique_ptr<TStartProbe> TStartProbe::FromEnvironment() {
  if (qEnvironmentVariableIsEmpty("KALNO_START_PROBE")) return nullptr;
  return Create();
}

std::unique_ptr<TStartProbe> TStartProbe::Create() { return std::unique_ptr<TStartProbe>(new TStartProbe); }

TStartProbe::TStartProbe() : clock_(std::make_unique<TClock>()) { SetClock(clock_.get()); }

TStartProbe::~TStartProbe() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
  SetClock(nullptr);
}

void TStartProbe::Watch(QWidget* mainWindow) {
  clock_->SkipSplashMinimum();
  window_ = mainWindow;
  if (window_) QCoreApplication::instance()->installEventFilter(this);
}

bool TStartProbe::eventFilter(QObject* watched, QEvent* event) {
  if (!painted_ && event->type() == QEvent::Paint && watched->isWidgetType() && window_->isEnabled() &&
      static_cast<QWidget*>(watched)->window() == window_) {
    painted_ = true;
    // Reported once the whole window, of which this is one widget, has been painted and shown.
    QTimer::singleShot(0, [] {
      std::fputs("painted\n", stdout);
      std::fflush(stdout);
      QCoreApplication::exit(0);
    });
  }
  return false;
}
