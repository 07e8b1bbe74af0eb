// The real save dialog: the proposed name filters, an existing file is only
// replaced after a yes, and a name without a suffix gets the filter's.
#include "ui/widgets/GermanTranslations.h"
#include "ui/widgets/QtFileDialogs.h"
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
#include <vector>

namespace {

// Runs the steps one after another while a modal dialog is open; a step
// returns false while what it waits for is not there yet.
class ModalScript {
 public:
  explicit ModalScript(std::vector<std::function<bool()>> steps) : steps_(std::move(steps)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (next_ < steps_.size() && steps_[next_]()) ++next_;
    });
    timer_.start();
  }
  bool finished() const { return next_ == steps_.size(); }

 private:
  std::vector<std::function<bool()>> steps_;
  size_t next_ = 0;
  QTimer timer_;
};

QFileDialog* openFileDialog() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }

// Types a name into the open dialog and presses its button.
std::function<bool()> typeAndAccept(const QString& name, QString* shownBefore = nullptr) {
  return [=] {
    QFileDialog* d = openFileDialog();
    if (!d) return false;
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (shownBefore) *shownBefore = edit->text();
    // As the user types it: into the focused field, which also drops the selection a name made before.
    QApplication::setActiveWindow(d);
    edit->setFocus();
    edit->setText(name);
    QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    return true;
  };
}

TEST(SaveDialog, AsksBeforeReplacingAndAddsTheSuffix) {
  QTranslator* translator = installGermanQtTranslations();
  QTemporaryDir dir;
  const QString flight = writeBytes(dir.filePath(QStringLiteral("rundflug.igc")), "B-Datensätze");
  QString proposed, question;
  ModalScript script({
      typeAndAccept(QStringLiteral("*.png"), &proposed),  // a pattern only filters
      typeAndAccept(flight),
      [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return false;
        question = box->text();
        box->button(QMessageBox::No)->click();
        return true;
      },
      typeAndAccept(dir.filePath(QStringLiteral("bild1"))),
  });
  QtFileDialogs dialogs(nullptr);
  const QString chosen = dialogs.saveFile(QStringLiteral("*.png"), QStringLiteral("Bild speichern"), QStringLiteral("*.png"));
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(proposed, QStringLiteral("*.png"));
  EXPECT_TRUE(question.contains(QStringLiteral("existiert bereits"))) << question.toStdString();
  EXPECT_EQ(chosen, dir.filePath(QStringLiteral("bild1.png")));
  EXPECT_EQ(readBytes(flight), QByteArray("B-Datensätze"));
  EXPECT_EQ(defaultSuffixOf(QStringLiteral("Bilder (*.png *.bmp)")), QStringLiteral("png"));
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
}

}  // namespace
