#pragma once
// Whole processes timed from their start, and the budgets the benchmarks report.
#include <benchmark/benchmark.h>

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// With this option and "gui" or "window" a benchmark program is an empty yardstick process:
// a QGuiApplication up and down, or a QMainWindow shown until it has painted.
inline constexpr char kEmptyProcessOption[] = "--empty-process=";

// Milliseconds from starting `program` to its end, or with `untilPainted` to the "painted" line
// of its standard output (the start probe's); negative when it failed or took over a minute.
double ProcessMs(const QString& program, const QStringList& arguments, bool untilPainted,
                 const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
// The yardstick process of this benchmark program ("gui" or "window").
double EmptyProcessMs(const char* kind);

double Median(std::vector<double> values);

// Times `real` and `yardstick` alternately, so both see the same load. The iteration time is the
// real process's; the counters are the medians "ms" and "yardstick_ms", their "ratio" and its
// "budget"; the label says whether the ratio is within it.
void CompareProcesses(benchmark::State& state, const std::function<double()>& real,
                      const std::function<double()>& yardstick, double budgetRatio);

// The label of a figure against its budget: "median 1.23 ms, budget 2 ms: ok".
std::string BudgetLabel(const char* what, double value, double budget, const char* unit);
