#include "BenchProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>

double ProcessMs(const QString& program, const QStringList& arguments, bool untilPainted,
                 const QProcessEnvironment& environment) {
  QProcess p;
  p.setProcessEnvironment(environment);
  p.setProcessChannelMode(QProcess::SeparateChannels);
  p.setStandardErrorFile(QProcess::nullDevice());
  QElapsedTimer timer;
  timer.start();
  p.start(program, arguments);
  double ms = -1;
  if (untilPainted) {
    QByteArray out;
    while (!out.contains("painted\n") && timer.elapsed() < 60000 && p.waitForReadyRead(60000)) out += p.readAllStandardOutput();
    if (out.contains("painted\n")) ms = double(timer.nsecsElapsed()) / 1e6;
  }
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return -1;
  return untilPainted ? ms : double(timer.nsecsElapsed()) / 1e6;
}

double EmptyProcessMs(const char* kind) {
  const bool window = qstrcmp(kind, "window") == 0;
  return ProcessMs(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kEmptyProcessOption) + QLatin1String(kind)},
                   window);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string BudgetLabel(const char* what, double value, double budget, const char* unit) {
  return QStringLiteral("%1 %2%3, budget %4%3: %5")
      .arg(QLatin1String(what))
      .arg(value, 0, 'f', 2)
      .arg(QLatin1String(unit))
      .arg(budget, 0, 'g', 3)
      .arg(value <= budget ? QStringLiteral("ok") : QStringLiteral("OVER BUDGET"))
      .toStdString();
}

void CompareProcesses(benchmark::State& state, const std::function<double()>& real,
                      const std::function<double()>& yardstick, double budgetRatio) {
  std::vector<double> reals, yardsticks;
  for (auto _ : state) {
    const double y = yardstick();
    const double r = real();
    if (r < 0 || y < 0) return state.SkipWithError("a process failed");
    yardsticks.push_back(y);
    reals.push_back(r);
    state.SetIterationTime(r / 1000.0);
  }
  const double ratio = Median(reals) / Median(yardsticks);
  state.counters["ms"] = Median(reals);
  state.counters["yardstick_ms"] = Median(yardsticks);
  state.counters["ratio"] = ratio;
  state.counters["budget"] = budgetRatio;
  state.SetLabel(BudgetLabel("ratio", ratio, budgetRatio, "x"));
}
