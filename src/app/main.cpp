#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "app/uStartup.h"
#include "print/uPrintPdfCommand.h"

int main(int argc, char** argv) {
  // Batch printing to PDF, with or without the blank form, needs no window and no GUI application.
  if (IsPrintPdfCommand(argc, argv)) return RunPrintPdfCommand(argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (qstrcmp(argv[i], "--version") == 0) {
      std::printf("%s\n", qPrintable(ProgramVersionLine()));
      return 0;
    }
  }
  return RunProgram(argc, argv);
}
