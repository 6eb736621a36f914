// Budgets: DrawTextInBox of a 40-character line at 600 dpi under 30 us median once the font is
// cached; measuring a new font under 2 ms; the start-up shadow tile under 1 ms.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>
#include <QPainter>

#include "effects/uShadowBitmap.h"
#include "render/uDrawContext.h"
#include "render/uFontcache.h"
#include "render/uPrinterDrawContext.h"

namespace {

void BM_DrawTextInBox40Chars600Dpi(benchmark::State& state) {
  // A strip of an A4 page at 600 dpi is enough: the text goes to the top left.
  QImage page(4960, 400, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter p(&page);
  TPrinterDrawContext dc(p, QRect(0, 0, 4960, 7016), 600);
  dc.Transformation().Scale(600.0f / 25.4f, 600.0f / 25.4f);
  dc.Font().setPointSize(10);
  const QString line = QStringLiteral("Antragsteller: Müller & Söhne GmbH, Köln");
  dc.DrawTextInBox(line, 0, 10, 5, 200, 12);  // font measured and device font built once
  for (auto _ : state) benchmark::DoNotOptimize(dc.DrawTextInBox(line, 0, 10, 5, 200, 12));
}
BENCHMARK(BM_DrawTextInBox40Chars600Dpi)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DrawTextInBoxWordBreak600Dpi(benchmark::State& state) {
  QImage page(4960, 600, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter p(&page);
  TPrinterDrawContext dc(p, QRect(0, 0, 4960, 7016), 600);
  dc.Transformation().Scale(600.0f / 25.4f, 600.0f / 25.4f);
  dc.Font().setPointSize(10);
  const QString text = QStringLiteral("Forderung aus Warenlieferung gemäß Rechnung Nr. 2026-0815 vom 14.03.2026");
  dc.DrawTextInBox(text, tfWordBreak, 10, 5, 60, 25);
  for (auto _ : state) benchmark::DoNotOptimize(dc.DrawTextInBox(text, tfWordBreak, 10, 5, 60, 25));
}
BENCHMARK(BM_DrawTextInBoxWordBreak600Dpi)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_MeasureNewFont(benchmark::State& state) {
  // A fresh record each time: the font's file is found and its 256 advances read.
  const char* families[] = {"Arial", "Times New Roman", "Courier New"};
  int i = 0;
  for (auto _ : state) {
    QFont f(QString::fromLatin1(families[i % 3]));
    f.setBold((i / 3) % 2 == 1);
    ++i;
    TFontInfo info(f);
    benchmark::DoNotOptimize(info.Width('W'));
  }
}
BENCHMARK(BM_MeasureNewFont)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StartUpShadowTile(benchmark::State& state) {
  for (auto _ : state) {
    CreateShadowTile();
    benchmark::DoNotOptimize(ShadowTile().Image().constBits());
  }
}
BENCHMARK(BM_StartUpShadowTile)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DrawBitsRotated600Dpi(benchmark::State& state) {
  QImage page(1200, 1200, QImage::Format_RGB32);
  page.fill(Qt::white);
  QImage src(64, 64, QImage::Format_ARGB32);
  src.fill(qRgb(10, 120, 200));
  QPainter p(&page);
  TPrinterDrawContext dc(p, page.rect(), 600);
  dc.Transformation().Scale(600.0f / 25.4f, 600.0f / 25.4f);
  dc.Transformation().RotateAbout(25, 25, 30);
  const TBitmapData bits = TBitmapData::FromImage(src);
  for (auto _ : state) dc.DrawBits(bits, 10, 10, 30, 30, 0, 0, 64, 64);
}
BENCHMARK(BM_DrawBitsRotated600Dpi)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

namespace {
// The same call on a PDF device (the print path without rasterising 83-pixel glyphs).
void BM_DrawTextInBox40Chars600DpiPdf(benchmark::State& state) {
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  QPdfWriter pdf(&out);
  pdf.setResolution(600);
  QPainter p(&pdf);
  TPrinterDrawContext dc(p, QRect(0, 0, 4960, 7016), 600);
  dc.Transformation().Scale(600.0f / 25.4f, 600.0f / 25.4f);
  dc.Font().setPointSize(10);
  const QString line = QStringLiteral("Antragsteller: Müller & Söhne GmbH, Köln");
  dc.DrawTextInBox(line, 0, 10, 5, 200, 12);
  for (auto _ : state) benchmark::DoNotOptimize(dc.DrawTextInBox(line, 0, 10, 5, 200, 12));
}
BENCHMARK(BM_DrawTextInBox40Chars600DpiPdf)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Layout only: placement, cache look-up and advances, reported to a recorder instead of a device.
void BM_DrawTextInBox40Chars600DpiLayout(benchmark::State& state) {
  TDrawContext dc;
  dc.Transformation().Scale(600.0f / 25.4f, 600.0f / 25.4f);
  dc.Font().setPointSize(10);
  int n = 0;
  SetTextRunRecorder([&n](const TTextRun& r) { n += r.Advance; });
  const QString line = QStringLiteral("Antragsteller: Müller & Söhne GmbH, Köln");
  dc.DrawTextInBox(line, 0, 10, 5, 200, 12);
  for (auto _ : state) benchmark::DoNotOptimize(dc.DrawTextInBox(line, 0, 10, 5, 200, 12));
  SetTextRunRecorder(nullptr);
  benchmark::DoNotOptimize(n);
}
BENCHMARK(BM_DrawTextInBox40Chars600DpiLayout)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
}  // namespace
