#include "platform/uClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

TClock::~TClock() = default;

QDate TClock::Today() { return QDate::currentDate(); }

void TClock::WaitUntil(qint64 deadlineMs) {
  while (NowMs() < deadlineMs) {
    ProcessEvents();
    if (NowMs() < deadlineMs) SleepMs(int(qMin<qint64>(10, deadlineMs - NowMs())));
  }
}

namespace {
class TRealClock : public TClock {
 public:
  TRealClock() { timer_.start(); }
  qint64 NowMs() override { return timer_.elapsed(); }
  void ProcessEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); }
  void SleepMs(int ms) override {
    if (ms > 0) QThread::msleep(ulong(ms));
  }

 private:
  QElapsedTimer timer_;
};

TClock* g_clock = nullptr;
}  // namespace

TClock& Clock() {
  if (g_clock) return *g_clock;
  static TRealClock real;
  return real;
}

void SetClock(TClock* clock) { g_clock = clock; }
