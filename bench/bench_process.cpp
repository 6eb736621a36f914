// Whole processes of the program, each against an empty Qt process started in the same run:
//   --print-pdf of the sample      against an empty QGuiApplication          budget 1.5x
//   --preview-pdf of the sample    against an empty QApplication+QMainWindow budget 3x, PDF <= 600 KB
//   start to step 0 painted        against an empty QMainWindow painted      budget 2x
// (the start without the splash's minimum time: KALNO_START_PROBE).
// Each row alternates the two processes and compares medians; a few dozen runs keep a single slow
// run (a busy disk, another process) from moving the ratio.
#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "support/BenchProcess.h"

namespace {
constexpr double kPreviewPdfBudgetKB = 600;

QString Program() { return QStringLiteral(KALNO_BUILD_DIR "/mahnbescheid"); }
QString Sample() { return QStringLiteral(KALNO_BUILD_DIR "/Mahnbescheid Runtime/examples/Beispiel.kln"); }

// Settings and data of the runs in a folder of their own, never the user's.
QProcessEnvironment Isolated(const QTemporaryDir& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), home.path());
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
  env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
  return env;
}

bool HaveProgram(benchmark::State& state) {
  if (QFileInfo(Program()).isExecutable() && QFileInfo(Sample()).isFile()) return true;
  state.SkipWithError("the program or its sample document is missing in the build folder");
  return false;
}

void BM_PrintPdfProcess(benchmark::State& state) {
  if (!HaveProgram(state)) return;
  QTemporaryDir home;
  const QString out = home.filePath(QStringLiteral("druck.pdf"));
  CompareProcesses(
      state, [&] { return ProcessMs(Program(), {QStringLiteral("--print-pdf"), out, Sample()}, false, Isolated(home)); },
      [] { return EmptyProcessMs("gui"); }, 1.5);
}
BENCHMARK(BM_PrintPdfProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(31);

void BM_PreviewPdfProcess(benchmark::State& state) {
  if (!HaveProgram(state)) return;
  QTemporaryDir home;
  const QString out = home.filePath(QStringLiteral("vorschau.pdf"));
  CompareProcesses(
      state, [&] { return ProcessMs(Program(), {QStringLiteral("--preview-pdf"), out, Sample()}, false, Isolated(home)); },
      [] { return EmptyProcessMs("window"); }, 3.0);
  const double kb = double(QFileInfo(out).size()) / 1024.0;
  state.counters["pdf_kb"] = kb;
  state.counters["budget_kb"] = kPreviewPdfBudgetKB;
  state.SetLabel(state.counters.count("ratio") ? BudgetLabel("ratio", state.counters["ratio"], 3.0, "x") + "; " +
                                                     BudgetLabel("PDF", kb, kPreviewPdfBudgetKB, " KB")
                                               : std::string());
}
BENCHMARK(BM_PreviewPdfProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(21);

void BM_StartToStep0Painted(benchmark::State& state) {
  if (!HaveProgram(state)) return;
  QTemporaryDir home;
  QProcessEnvironment env = Isolated(home);
  env.insert(QStringLiteral("KALNO_START_PROBE"), QStringLiteral("1"));
  CompareProcesses(
      state, [&] { return ProcessMs(Program(), {}, true, env); }, [] { return EmptyProcessMs("window"); }, 2.0);
}
BENCHMARK(BM_StartToStep0Painted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(31);
}  // namespace
