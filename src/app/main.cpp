// Trelvano: shows the recordings of a flight data logger as a 3D flight.
#include "app/MainWindow.h"
#include "ui/GermanTranslations.h"

#include <QApplication>
#include <QSettings>

using namespace trelvano;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  installGermanQtTranslations();
  MainWindow form;
  // Recent flights, dialog folders and the window's place; nothing else.
  QSettings settings(QStringLiteral("Trelvano"), QStringLiteral("Trelvano"));
  form.keepBetweenRuns(&settings);
  // Files named on the command line open instead of the start-up dialog.
  form.startUp(QStringLiteral("default.par"), app.arguments().mid(1));
  form.show();
  return app.exec();
}
