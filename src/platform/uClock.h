#pragma once
#include <QDate>
#include <QtGlobal>

// Time source for the waits that must last a minimum time (splash, page pause); tests install a
// fake one that advances on each ProcessEvents call.
class TClock {
 public:
  virtual ~TClock();
  virtual qint64 NowMs() = 0;              // monotonic milliseconds
  virtual void ProcessEvents() = 0;        // one round of window messages while waiting
  virtual void SleepMs(int ms) = 0;        // a short pause between rounds
  // The calendar date the rules compare with ("not in the future").
  virtual QDate Today();
  // Waits until NowMs() >= deadlineMs, processing window messages meanwhile.
  void WaitUntil(qint64 deadlineMs);
};

TClock& Clock();
void SetClock(TClock* clock);  // not owned; nullptr restores the real clock
