#pragma once
#include <QObject>
#include <memory>

class QWidget;

// For the start benchmark: with the environment variable KALNO_START_PROBE set, the splash's
// minimum time is left out, and as soon as the main window has painted its first step the
// program writes "painted" to standard output and ends its message loop. So a process can be
// timed from its start to the moment the user could see step 0. Without the variable nothing
// of this happens.
class TStartProbe : public QObject {
 public:
  // A probe when KALNO_START_PROBE is set, else null. Call before ShowSplash.
  static std::unique_ptr<TStartProbe> FromEnvironment();
  // A probe in any case (the benchmark's empty window uses it as yardstick).
  static std::unique_ptr<TStartProbe> Create();
  ~TStartProbe() override;
  // Call after the main window was built and before CloseSplash: the splash minimum counts as
  // passed, and the first paint of `mainWindow` once it is enabled ends the run.
  void Watch(QWidget* mainWindow);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TStartProbe();
  class TClock;
  std::unique_ptr<TClock> clock_;
  QWidget* window_ = nullptr;
  bool painted_ = false;
};
