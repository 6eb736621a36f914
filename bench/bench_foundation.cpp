#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <vector>

#include "support/BenchProcess.h"
#include "definition/WizardSteps.h"
#include "storage/uFileHelpers.h"

namespace {
// A definition of `steps` steps with `fields` fields in all, of every kind in turn.
QByteArray MakeDefinition(int steps, int fields) {
  static const char* const kinds[] = {"Edit", "EditExt", "DateEdit", "Combobox", "ComboEdit", "Checkbox", "Button"};
  QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<wizardSteps Art=\"Mahnbescheid\">\n");
  int n = 0;
  for (int s = 0; s < steps; ++s) {
    xml += QStringLiteral(
               "<wizardStep Step=\"%1\"><infoText>Schritt %1||Zweite Zeile</infoText>"
               "<navigationText>Hinweis %1</navigationText>"
               "<stepMetric><left>0</left><top>0</top><width>210</width><height>148,5</height></stepMetric>"
               "<font><size>10</size><family>Courier New</family><style>Bold</style></font><fields>\n")
               .arg(s + 1);
    const int here = fields / steps + (s < fields % steps ? 1 : 0);
    for (int f = 0; f < here; ++f, ++n)
      xml += QStringLiteral(
                 "<field Name=\"Feld%1\"><type>%2</type>"
                 "<fieldMetric><left>%3,5</left><top>%4</top><width>60</width><height>4,5</height></fieldMetric>"
                 "<validation><length>35</length></validation>"
                 "<extraParameters><numberOfDigits>8</numberOfDigits></extraParameters>"
                 "%5</field>\n")
                 .arg(n)
                 .arg(QLatin1String(kinds[n % 7]))
                 .arg(10 + f % 3 * 60)
                 .arg(10 + f / 3 * 6)
                 .arg(n % 5 == 0 ? QStringLiteral("<usePrivateFont>True</usePrivateFont><privateFont><size>8</size>"
                                                  "<family>Arial</family><style>Italic</style></privateFont>")
                                 : QString());
    xml += QStringLiteral("</fields></wizardStep>\n");
  }
  xml += QStringLiteral("</wizardSteps>\n");
  return xml.toUtf8();
}
}  // namespace

// Start-up: parse the definition and build the field lists (budget: under 5 ms median).
static void BM_LoadDefinitionAndBuildFieldLists(benchmark::State& state) {
  const QByteArray xml = MakeDefinition(10, 400);
  for (auto _ : state) {
    auto def = TWizardDefinition::Parse(xml, QStringLiteral("WizardSteps.xml"));
    TFieldLists lists;
    BuildFieldLists(*def, lists);
    benchmark::DoNotOptimize(lists.data());
  }
}
BENCHMARK(BM_LoadDefinitionAndBuildFieldLists)->Unit(benchmark::kMillisecond);

// The shipped definition (some 65 KB) read from disk, parsed and turned into field lists, as the
// main window and --print-pdf do at start: budget 2 ms median.
static void BM_LoadShippedDefinitionAndBuildFieldLists(benchmark::State& state) {
  const QString file = QStringLiteral(KALNO_BUILD_DIR "/Mahnbescheid Runtime/WizardSteps.xml");
  if (!QFile::exists(file)) return state.SkipWithError("no WizardSteps.xml in the build folder");
  std::vector<double> ms;
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    auto def = TWizardDefinition::Load(file);
    TFieldLists lists;
    BuildFieldLists(*def, lists);
    benchmark::DoNotOptimize(lists.data());
    ms.push_back(double(timer.nsecsElapsed()) / 1e6);
  }
  state.counters["median_ms"] = Median(ms);
  state.counters["budget_ms"] = 2.0;
  state.SetLabel(BudgetLabel("median", Median(ms), 2.0, " ms"));
}
BENCHMARK(BM_LoadShippedDefinitionAndBuildFieldLists)->Unit(benchmark::kMillisecond);

// The change handler measures the field text on every keystroke (budget: under 20 us).
static void BM_TextWidthMM35(benchmark::State& state) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(8);
  const QString text = QStringLiteral("Müller-Lüdenscheidt Handwerks GmbH ");
  int i = 0;
  for (auto _ : state) {
    // A different last character each time, as typing does, so no text-level cache helps.
    QString t = text;
    t[34] = QChar(u'a' + (i++ % 26));
    benchmark::DoNotOptimize(TextWidthMM(t, font));
  }
}
BENCHMARK(BM_TextWidthMM35)->Unit(benchmark::kMicrosecond);

static void BM_ParseDefinitionOnly(benchmark::State& state) {
  const QByteArray xml = MakeDefinition(10, 400);
  for (auto _ : state) benchmark::DoNotOptimize(TWizardDefinition::Parse(xml, QStringLiteral("WizardSteps.xml")));
}
BENCHMARK(BM_ParseDefinitionOnly)->Unit(benchmark::kMillisecond);
