#pragma once
// The built program folder with the shipped form as the program's own, for main-window tests.
#include <QDir>

#include "TestSupport.h"
#include "storage/uProgramPaths.h"

inline void UseShippedForm() {
  ClearTestSettings();
  QDir runtime(BuildRuntimeFolder());
  runtime.cdUp();
  SetProgramFolderForTesting(runtime.absolutePath() + QLatin1Char('/'));
}

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>

#include "app/Wizardframe.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularManager.h"

// The main window over the shipped form, shown in its normal state at 1280 x 960, with scripted
// dialogs: for tests of what the user sees and hears on each step.
class TShippedFormWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseShippedForm();
    frame = std::make_unique<TMainFrame>();
    frame->setWindowState(Qt::WindowNoState);
    frame->resize(1280, 960);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  }
  void TearDown() override {
    frame.reset();
    ReleaseWizardDefinition();
    SetProgramFolderForTesting(QString());
  }
  // As a click on the step's button does.
  void Show(int step) {
    frame->OnNavButtonClick(step);
    QApplication::processEvents();
  }
  // Shows each step in turn and calls `fn` on each of its editors, in field order.
  void ForEachEditor(const std::function<void(int step, QWidget* editor)>& fn) {
    for (int step = 0; step < frame->StepCount(); ++step) {
      Show(step);
      TFormEditorList& list = frame->FormularManager().Editors();
      for (int i = 0; i < list.Count(); ++i) fn(step, list.Items(i));
    }
  }
  std::unique_ptr<TMainFrame> frame;
  TScriptedDialogs dialogs;
};
