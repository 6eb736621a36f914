#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include "help/uHelpPages.h"
#include "help/uHelpPanels.h"
#include "help/uHtmlView.h"
#include "storage/uProgramPaths.h"

// A program folder with a style sheet and a step help page of the size the shipped pages have
// (a heading, a table of twelve rows, a note and a list; about 4 KB).
namespace {
class TBenchFolder {
 public:
  TBenchFolder() {
    const QString help = dir_.path() + QStringLiteral("/Mahnbescheid Runtime/help/");
    QDir().mkpath(help);
    Write(help + QStringLiteral("Mahnbescheid.css"),
          "body { font-family: Verdana; font-size: 9pt; } h1 { font-size: 13pt; color: #a83c1a; }"
          "table.zeilen td { padding: 3px; border: 1px solid #d99a7c; } .hinweis { background-color: #fdebdd; }");
    QByteArray page = "<html><head>CSSFILENAMEPATH</head><body>\r\n<h1>Schritt 1: Antragsteller</h1>\r\n"
                      "<p>Antragsteller ist, wem das Geld zusteht.</p>\r\n<table class=\"zeilen\">\r\n";
    for (int i = 1; i <= 12; ++i)
      page += "<tr><td class=\"zeile\">" + QByteArray::number(i) +
              "</td><td>Bis zu zwei <b>nat&uuml;rliche Personen</b> in Spalte 1 und Spalte 2: Anrede, Vorname, "
              "Nachname, Stra&szlig;e und Hausnummer, Postleitzahl und Ort.</td></tr>\r\n";
    page += "</table>\r\n<div class=\"hinweis\">Spalte 2 wird erst freigegeben, wenn in Spalte 1 ein Nachname "
            "steht.</div>\r\n<ul><li>Ein Postfach statt Stra&szlig;e</li><li>Die Firma ohne Rechtsform</li></ul>"
            "</body></html>\r\n";
    Write(help + QStringLiteral("Step1.html"), page);
    SetProgramFolderForTesting(dir_.path());
  }
  ~TBenchFolder() { SetProgramFolderForTesting(QString()); }

 private:
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
  }
  QTemporaryDir dir_;
};

// Reading, resolving the placeholder and parsing one step help page (step page step 10).
void BM_LoadHelpPage(benchmark::State& state) {
  TBenchFolder folder;
  THtmlView view;
  view.resize(800, 400);
  for (auto _ : state) {
    if (!LoadHelpPage(view, StepHelpPagePath(0))) state.SkipWithError("page missing");
  }
}
BENCHMARK(BM_LoadHelpPage)->Unit(benchmark::kMicrosecond);

// What a new step page costs the help panels in a shown window: load, drop the hint, lay out
// and paint the step help once.
void BM_StepShownAndPainted(benchmark::State& state) {
  TBenchFolder folder;
  QWidget window;
  THelpPanels panels(&window);
  auto* layout = new QVBoxLayout(&window);
  panels.SetFormArea(new QScrollArea(&window));
  layout->addWidget(panels.ContextContainer());
  window.resize(1000, 800);
  window.show();
  panels.ButtonImageHelpClick();
  QImage target(1000, 800, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    panels.StepShown(0);
    panels.SetContextHint(QStringLiteral("Tragen Sie hier den Nachnamen ein."));
    QApplication::processEvents();
    panels.HTMLView()->render(&target);
  }
}
BENCHMARK(BM_StepShownAndPainted)->Unit(benchmark::kMicrosecond);
}  // namespace
