#pragma once
// Shared by the fuzz harnesses: the application object the Qt parts need, and a check that
// stops the run with a message when a property of the code under test does not hold.
#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                          \
  do {                                                                            \
    if (!(cond)) {                                                                \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                               \
    }                                                                             \
  } while (0)

// One offscreen application for the whole run; fonts, images and text documents need it.
inline void EnsureFuzzApplication() {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's warnings about the broken inputs would drown the fuzzer's own output.
  qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

inline QByteArray FuzzBytes(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
