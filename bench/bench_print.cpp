// Printing a fully filled document: both pages drawn at 600 dpi, and --print-pdf as a whole
// process against an empty QApplication process of the same run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "definition/WizardSteps.h"
#include "platform/uPrintDevice.h"
#include "print/uPrintJob.h"

namespace {
QString RuntimeDefinition() {
  // The definition beside the built program; the source tree's when that is missing.
  const QString built = QStringLiteral(KALNO_BUILD_DIR "/Mahnbescheid Runtime/WizardSteps.xml");
  if (QFile::exists(built)) return built;
  return QStringLiteral(KALNO_SOURCE_DIR "/data/Mahnbescheid Runtime/WizardSteps.xml");
}

// Every field of the real definition at its full length.
bool FullyFilled(TFieldLists& lists, int* steps) {
  try {
    auto def = TWizardDefinition::Load(RuntimeDefinition());
    BuildFieldLists(*def, lists);
    *steps = def->StepCount();
  } catch (const EKalnoError&) {
    return false;
  }
  for (TFormFieldList& l : lists)
    for (int i = 0; i < l.Count(); ++i) {
      TFormField* f = l.Fields(i);
      int n = qMax(f->MaxLength(), f->NumberOfDigits());
      if (n <= 0) n = 12;
      f->SetValue(f->Kind() == TFormFieldKind::Checkbox ? QStringLiteral("X")
                                                        : QString(QStringLiteral("Wg8ÄÖÜß0123456789")).repeated(6).left(n));
    }
  return true;
}

void BM_BothPages600dpiImage(benchmark::State& state) {
  TFieldLists lists;
  int steps = 0;
  if (!FullyFilled(lists, &steps)) return state.SkipWithError("no definition");
  TImagePrintDevice device(600, 0.0, true);
  device.SetReusePages(true);
  for (auto _ : state) benchmark::DoNotOptimize(PrintPagesToOneJob(lists, steps, device, {}, QStringLiteral("b")));
}
BENCHMARK(BM_BothPages600dpiImage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BothPages600dpiPdf(benchmark::State& state) {
  TFieldLists lists;
  int steps = 0;
  if (!FullyFilled(lists, &steps)) return state.SkipWithError("no definition");
  QTemporaryDir dir;
  TPdfPrintDevice device(dir.filePath(QStringLiteral("b.pdf")), 600);
  for (auto _ : state) benchmark::DoNotOptimize(PrintPagesToOneJob(lists, steps, device, {}, QStringLiteral("b")));
}
BENCHMARK(BM_BothPages600dpiPdf)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void RunProcess(benchmark::State& state, const QString& program, const QStringList& args) {
  for (auto _ : state) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
      return state.SkipWithError("process failed");
  }
}

// This benchmark program itself, started to run no benchmark: a QApplication up and down.
void BM_EmptyQApplicationProcess(benchmark::State& state) {
  RunProcess(state, QCoreApplication::applicationFilePath(), {QStringLiteral("--benchmark_filter=^$")});
}
BENCHMARK(BM_EmptyQApplicationProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_PrintPdfProcess(benchmark::State& state) {
  TFieldLists lists;
  int steps = 0;
  if (!FullyFilled(lists, &steps)) return state.SkipWithError("no definition");
  QTemporaryDir dir;
  const QString doc = dir.filePath(QStringLiteral("voll.kln"));
  QFile f(doc);
  if (!f.open(QIODevice::WriteOnly)) return state.SkipWithError("no document");
  f.write("[Mahnbescheid]\r\n");
  for (const TFormFieldList& l : lists)
    for (int i = 0; i < l.Count(); ++i)
      f.write((l.Fields(i)->Name() + QLatin1Char('=') + l.Fields(i)->Value() + QStringLiteral("\r\n")).toLatin1());
  f.close();
  RunProcess(state, QStringLiteral(KALNO_BUILD_DIR "/mahnbescheid"),
             {QStringLiteral("--print-pdf"), dir.filePath(QStringLiteral("voll.pdf")), doc});
}
BENCHMARK(BM_PrintPdfProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
}  // namespace
