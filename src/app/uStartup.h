#pragma once
#include <QString>

// "KALNO Mahnbescheid 1.0.0"
QString ProgramVersionLine();
// Names, German locale and Qt's German texts of the application object; before any window.
void SetUpApplication();
// The program: module start-up work, the application object, the main loop, the orderly end.
int RunProgram(int argc, char** argv);
