#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QScrollArea>

#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "fields/uFormFields.h"

namespace {

// A step of 60 fields of mixed kinds, laid out in rows like a real form page, with values.
void BuildStep(TFormFieldList& fields) {
  const QFont f = TFormField::DefaultFont();
  for (int i = 0; i < 60; ++i) {
    const float x = 12.5f + float(i % 3) * 62.0f;
    const float y = 8.25f + float(i / 3) * 6.5f;
    const QString name = QStringLiteral("Feld%1").arg(i);
    TFormField* field = nullptr;
    switch (i % 10) {
      case 0: case 1: case 2: case 3:
        field = fields.AddEdit(name, 35, x, y, 58, 5, f);
        field->SetValue(QStringLiteral("Mustermann %1").arg(i));
        break;
      case 4:
        field = fields.AddEditExt(name, 5, x, y, 25, 5, 5, f);
        field->SetValue(QStringLiteral("12345"));
        break;
      case 5:
        field = fields.AddDateEdit(name, x, y, 20, 5, f);
        field->SetValue(QStringLiteral("05.03.07"));
        break;
      case 6:
        field = fields.AddCombobox(name, x, y, 12, 5, f);
        field->SetValue(QStringLiteral("2"));
        break;
      case 7:
        field = fields.AddComboEdit(name, x, y, 20, 5, f);
        field->SetValue(QStringLiteral("Rest"));
        break;
      case 8:
        field = fields.AddCheckbox(name, x, y, 4, 4);
        field->SetValue(QStringLiteral("X"));
        break;
      default:
        field = fields.AddButton(name, x, y, 20, 5);
        break;
    }
  }
}

// What the form rules do between building and loading: fill the code lists.
void FillLists(TFormularManager& m) {
  for (int i = 0; i < m.Editors().Count(); ++i)
    if (auto* c = qobject_cast<TFormularComboBox*>(m.Editors().Items(i)))
      c->SetLists(0, QStringLiteral("\"\", \"1 = Herr\", \"2 = Frau\""), QStringLiteral(",1,2"));
}

void BM_ShowStepAndLoadValues(benchmark::State& state) {
  QScrollArea scroll;
  scroll.resize(1000, 800);
  scroll.show();
  TFormularManager manager(&scroll);
  TFormFieldList fields;
  BuildStep(fields);
  QPixmap picture(794, 560);
  picture.fill(QColor(250, 245, 230));
  QApplication::processEvents();
  for (auto _ : state) {
    manager.ShowStep(picture, &fields, 0, 0, 200, 141);
    FillLists(manager);
    manager.LoadValues();
    state.PauseTiming();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetLabel("60 fields");
}
BENCHMARK(BM_ShowStepAndLoadValues)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same with the first paint of the step included, for comparison.
void BM_ShowStepLoadAndPaint(benchmark::State& state) {
  QScrollArea scroll;
  scroll.resize(1000, 800);
  scroll.show();
  TFormularManager manager(&scroll);
  TFormFieldList fields;
  BuildStep(fields);
  QPixmap picture(794, 560);
  picture.fill(QColor(250, 245, 230));
  for (auto _ : state) {
    manager.ShowStep(picture, &fields, 0, 0, 200, 141);
    FillLists(manager);
    manager.LoadValues();
    benchmark::DoNotOptimize(scroll.grab());
  }
}
BENCHMARK(BM_ShowStepLoadAndPaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
