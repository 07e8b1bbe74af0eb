// Trelvano: shows the recordings of a flight data logger as a 3D flight.
#include "app/TForm1.h"
#include "ui/widgets/GermanTranslations.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  installGermanQtTranslations();
  TForm1 form;
  form.FormCreate();
  form.show();
  return app.exec();
}
