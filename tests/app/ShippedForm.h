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
