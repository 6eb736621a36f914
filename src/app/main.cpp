#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "app/uStartup.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (qstrcmp(argv[i], "--version") == 0) {
      std::printf("%s\n", qPrintable(ProgramVersionLine()));
      return 0;
    }
  }
  return RunProgram(argc, argv);
}
