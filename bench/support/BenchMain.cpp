#include <benchmark/benchmark.h>
#include <QApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QMainWindow>
#include <cstring>

#include "BenchProcess.h"
#include "app/uStartProbe.h"

namespace {
// The yardsticks of the whole-process benchmarks, this program started again with one option:
// an empty QGuiApplication up and down, or an empty QMainWindow shown until it has painted
// (reported on standard output as the program's start probe does).
int RunEmptyProcess(int argc, char** argv, const char* kind) {
  if (std::strcmp(kind, "gui") == 0) {
    QGuiApplication app(argc, argv);
    return 0;
  }
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(900, 667);
  const std::unique_ptr<TStartProbe> probe = TStartProbe::Create();
  probe->Watch(&window);
  window.show();
  return app.exec();
}
}  // namespace

// Google Benchmark's own main, but inside a QApplication: fonts and widgets need one.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  const std::size_t optionLength = std::strlen(kEmptyProcessOption);
  if (argc == 2 && std::strncmp(argv[1], kEmptyProcessOption, optionLength) == 0)
    return RunEmptyProcess(argc, argv, argv[1] + optionLength);
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
