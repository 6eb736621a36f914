#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "app/uCommandLine.h"
#include "app/uStartup.h"

int main(int argc, char** argv) {
  // Batch printing to PDF and the review need no window and no display.
  const char* unknown = nullptr;
  const TCommandLineAction action = CommandLineAction(argc, argv, &unknown);
  switch (action) {
    case TCommandLineAction::PrintPdf:
    case TCommandLineAction::Check: return RunWithoutWindow(argc, argv, action);
    case TCommandLineAction::Help:
      std::printf("%s", CommandLineHelp().toLocal8Bit().constData());
      return 0;
    case TCommandLineAction::Version:
      std::printf("%s\n", qPrintable(ProgramVersionLine()));
      return 0;
    case TCommandLineAction::Unknown:
      std::fprintf(stderr, "Unbekannte Option: %s\n\n%s", unknown, CommandLineHelp().toLocal8Bit().constData());
      return 2;
    case TCommandLineAction::Window: break;
  }
  return RunProgram(argc, argv);
}
