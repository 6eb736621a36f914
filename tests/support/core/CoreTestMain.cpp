#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLocale>

// The main of the widget-free test programs: a GUI application for the fonts the rules measure
// with (offscreen, no display), German defaults, and nothing of Qt Widgets.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
