#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <vector>

#include "app/Wizardframe.h"
#include "definition/WizardSteps.h"
#include "storage/uProgramPaths.h"
#include "storage/uQVRegistry.h"

namespace {
// The built runtime folder beside the program, and settings in a folder of their own so the
// benchmark never touches the user's.
bool PrepareRuntime(benchmark::State& state) {
  static QTemporaryDir settings;
  static bool once = false;
  if (!once) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    TQVRegIniFile::ResetForTesting();
    SetProgramFolderForTesting(QStringLiteral(KALNO_BUILD_DIR));
    once = true;
  }
  if (!QFileInfo(DefinitionFileName(RuntimeFolder())).isFile()) {
    state.SkipWithError("no WizardSteps.xml in the built runtime folder");
    return false;
  }
  return true;
}

double ShowEmptyMainWindow() {
  const auto t0 = std::chrono::steady_clock::now();
  {
    QMainWindow w;
    w.resize(900, 667);
    w.show();
    QCoreApplication::processEvents();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double ShowMainFrame() {
  const auto t0 = std::chrono::steady_clock::now();
  {
    TMainFrame f;
    f.show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(f.ShownStep());
  }
  ReleaseWizardDefinition();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}
}  // namespace

// The yardstick: an empty main window shown and gone.
static void BM_EmptyMainWindow(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(ShowEmptyMainWindow());
}
BENCHMARK(BM_EmptyMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

// The main window built up to step 0 shown (no splash wait), and its ratio to an empty
// QMainWindow measured in the same iterations.
static void BM_MainFrameToStep0(benchmark::State& state) {
  if (!PrepareRuntime(state)) return;
  double frame = 0, empty = 0;
  for (auto _ : state) {
    empty += ShowEmptyMainWindow();
    const double t = ShowMainFrame();
    frame += t;
    state.SetIterationTime(t);
  }
  state.counters["ratio_to_empty"] = empty > 0 ? frame / empty : 0;
}
BENCHMARK(BM_MainFrameToStep0)->UseManualTime()->Unit(benchmark::kMillisecond);

// Switching between the two steps with the most fields.
static void BM_SwitchLargestSteps(benchmark::State& state) {
  if (!PrepareRuntime(state)) return;
  TMainFrame f;
  f.show();
  QCoreApplication::processEvents();
  std::vector<int> order;
  for (int i = 0; i < f.StepCount(); ++i) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
    return f.FieldLists()[std::size_t(x)].Count() > f.FieldLists()[std::size_t(y)].Count();
  });
  const int a = order[0], b = order.size() > 1 ? order[1] : order[0];
  bool toA = true;
  for (auto _ : state) {
    const int n = toA ? a : b;
    f.SetCurrentStep(n);
    f.ShowWizardStep(n);
    QCoreApplication::processEvents();
    toA = !toA;
  }
  state.counters["fields_a"] = f.FieldLists()[std::size_t(a)].Count();
  state.counters["fields_b"] = f.FieldLists()[std::size_t(b)].Count();
}
BENCHMARK(BM_SwitchLargestSteps)->Unit(benchmark::kMillisecond);
