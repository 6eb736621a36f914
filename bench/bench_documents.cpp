#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "platform/UserDialogs.h"
#include "storage/uDocuments.h"
#include "storage/uProfileFile.h"

// A document of 400 fields in 20 steps, with values of typical lengths, some empty.
namespace {
TFieldLists MakeLists() {
  TFieldLists lists(20);
  const QFont f = TFormField::DefaultFont();
  for (int s = 0; s < 20; ++s)
    for (int i = 0; i < 20; ++i) {
      TFormField* field = lists[std::size_t(s)].AddEdit(QStringLiteral("Schritt%1Feld%2").arg(s).arg(i), 35, 0, 0, 1, 1, f);
      if (i % 3 != 0) field->SetValue(QStringLiteral("Müller-Lüdenscheidt %1").arg(s * 20 + i));
    }
  return lists;
}

// Saving into an existing document: read it, replace 400 entries, write it in one step.
void BM_SaveDocument400(benchmark::State& state) {
  QTemporaryDir dir;
  TFieldLists lists = MakeLists();
  TDocument doc(lists);
  const QString path = dir.filePath("bench.kln");
  doc.WriteDocument(path);
  for (auto _ : state) {
    if (!doc.WriteDocument(path)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveDocument400)->Unit(benchmark::kMicrosecond);

void BM_LoadDocument400(benchmark::State& state) {
  QTemporaryDir dir;
  TFieldLists lists = MakeLists();
  TDocument doc(lists);
  const QString path = dir.filePath("bench.kln");
  doc.WriteDocument(path);
  for (auto _ : state) {
    if (!doc.LoadDocument(path)) state.SkipWithError("load failed");
  }
}
BENCHMARK(BM_LoadDocument400)->Unit(benchmark::kMicrosecond);

// The same save without the disk: building the new file's bytes only.
void BM_ProfileWrite400(benchmark::State& state) {
  QTemporaryDir dir;
  TFieldLists lists = MakeLists();
  TDocument doc(lists);
  const QString path = dir.filePath("bench.kln");
  doc.WriteDocument(path);
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  const QByteArray data = f.readAll();
  std::vector<std::pair<QString, QString>> entries;
  for (const auto& l : lists)
    for (int i = 0; i < l.Count(); ++i) entries.emplace_back(l.Fields(i)->Name(), l.Fields(i)->Value());
  for (auto _ : state) {
    TProfileFile file(data);
    file.WriteStrings(QStringLiteral("Mahnbescheid"), entries);
    benchmark::DoNotOptimize(file.Data());
  }
}
BENCHMARK(BM_ProfileWrite400)->Unit(benchmark::kMicrosecond);
}  // namespace
