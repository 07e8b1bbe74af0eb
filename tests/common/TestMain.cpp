// Test entry: a QGuiApplication (QApplication for the window tests) on the
// offscreen platform, so drawing text into a QImage works without a display.
#ifdef TRELVANO_WIDGETS_TEST
#include <QApplication>

using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif
#include <QLocale>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Settings a test might write go to a scratch place, never the user's.
  QStandardPaths::setTestModeEnabled(true);
  TestApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
