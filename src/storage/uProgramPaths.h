#pragma once
#include <QString>

// The folder of the running program, with a trailing separator; also valid before the
// application object exists.
QString ProgramFolder();
// The runtime data folder "Mahnbescheid Runtime" beside the program, with a trailing separator.
QString RuntimeFolder();
// For tests and tools: take this folder as the program folder instead of the executable's.
void SetProgramFolderForTesting(const QString& folder);
// The program folder in the registry's spelling: native separators and a trailing backslash
// on Windows, a trailing slash elsewhere.
QString NativeProgramFolder();
