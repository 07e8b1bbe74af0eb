// The real save dialog: the proposed name only filters, an existing file is
// replaced only after a yes, and a name without a suffix gets the filter's.
#include "ui/GermanTranslations.h"
#include "ui/QtFileDialogs.h"
#include "common/TestPaths.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace save_dialog_test {

using namespace trelvano;

TEST(SaveDialog, AsksBeforeReplacingAndAddsTheSuffix) {
  std::unique_ptr<QTranslator> translator(installGermanQtTranslations());
  QTemporaryDir dir;
  const QString flight = writeBytes(dir.filePath(QStringLiteral("rundflug.igc")), "B-Datensätze");
  QString proposed, question;
  // What the user does in the open dialog, as each step's dialog comes up.
  auto type = [&](const QString& name) -> std::function<bool()> {
    return [&, name] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!d) return false;
      auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (proposed.isEmpty()) proposed = edit->text();
      QApplication::setActiveWindow(d);  // typed into the focused field, as by hand
      edit->setFocus();
      edit->setText(name);
      QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
      return true;
    };
  };
  const std::vector<std::function<bool()>> steps = {type(QStringLiteral("*.png")), type(flight),
                                                    [&] {
                                                      auto* box =
                                                          qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                                                      if (box)
                                                        question = box->text(), box->button(QMessageBox::No)->click();
                                                      return box != nullptr;
                                                    },
                                                    type(dir.filePath(QStringLiteral("bild1")))};
  size_t next = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (next < steps.size() && steps[next]()) ++next;
  });
  timer.start(10);

  QtFileDialogs dialogs(nullptr);
  const QString chosen =
      dialogs.saveFile(QStringLiteral("*.png"), QStringLiteral("Bild speichern"), QStringLiteral("*.png"));
  EXPECT_EQ(next, steps.size());
  EXPECT_EQ(proposed, QStringLiteral("*.png"));
  EXPECT_TRUE(question.contains(QStringLiteral("existiert bereits"))) << question.toStdString();
  EXPECT_EQ(chosen, dir.filePath(QStringLiteral("bild1.png")));
  EXPECT_EQ(readBytes(flight), QByteArray("B-Datensätze"));
  EXPECT_EQ(defaultSuffixOf(QStringLiteral("Bilder (*.png *.bmp)")), QStringLiteral("png"));
}

}  // namespace save_dialog_test
