// Printing a fully filled document: both pages drawn at 600 dpi (the whole --print-pdf process
// is in bench_process).
#include <benchmark/benchmark.h>

#include <QFile>
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

}  // namespace
