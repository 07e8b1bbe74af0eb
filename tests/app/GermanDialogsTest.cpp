// Standard dialogs speak German like the rest of the program.
#include "ui/GermanTranslations.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

namespace german_dialogs_test {

using namespace trelvano;

TEST(GermanDialogs, FileDialogAndMessageBoxTexts) {
  QTranslator* translator = installGermanQtTranslations();
  ASSERT_NE(translator, nullptr) << "qtbase_de.qm missing (package qt6-translations-l10n)";

  QFileDialog dialog(nullptr, QStringLiteral("Flug-Datei laden"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
  ASSERT_NE(lookIn, nullptr);
  EXPECT_EQ(lookIn->text(), QStringLiteral("Suchen in:"));
  auto* fileName = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
  ASSERT_NE(fileName, nullptr);
  EXPECT_EQ(fileName->text(), QStringLiteral("Datei&name:"));

  QMessageBox box(QMessageBox::Critical, QStringLiteral("Trelvano"), QStringLiteral("x"),
                  QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Abbrechen"));

  QCoreApplication::removeTranslator(translator);
  delete translator;
}

}  // namespace german_dialogs_test
