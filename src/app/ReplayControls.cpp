#include "app/ReplayControls.h"

#include "overlay/ReplayControl.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>

namespace trelvano {

namespace {

class ReplayKeyFilter : public QObject {
 public:
  ReplayKeyFilter(QObject* parent, std::function<void()> onHold, std::function<void(int)> onStep)
      : QObject(parent), onHold_(std::move(onHold)), onStep_(std::move(onStep)) {}

  // Keys a child left unused travel up to the window and pass here.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (key->key()) {
      case Qt::Key_Space:
        if (!key->isAutoRepeat()) onHold_();  // a held-down bar toggles once
        return true;
      case Qt::Key_Period: onStep_(+1); return true;
      case Qt::Key_Comma: onStep_(-1); return true;
      default: return false;
    }
  }

 private:
  std::function<void()> onHold_;
  std::function<void(int)> onStep_;
};

}  // namespace

void addReplaySpeedMenu(QMenu* overlay, std::function<void(int index)> onSpeed) {
  overlay->addSeparator();
  QMenu* speeds = overlay->addMenu(QStringLiteral("Wiedergabe-Tempo"));
  speeds->setObjectName(QStringLiteral("WiedergabeTempo1"));
  auto* group = new QActionGroup(speeds);
  for (int k = 0; k < kReplaySpeedCount; ++k) {
    QAction* item = speeds->addAction(QString::fromUtf8(kReplaySpeeds[k].caption));
    item->setObjectName(QStringLiteral("Tempo%1").arg(k));
    item->setCheckable(true);
    item->setChecked(k == 0);
    group->addAction(item);
    QObject::connect(item, &QAction::triggered, speeds, [onSpeed, k] { onSpeed(k); });
  }
}

void watchReplayKeys(QWidget* window, std::function<void()> onHold, std::function<void(int direction)> onStep) {
  window->installEventFilter(new ReplayKeyFilter(window, std::move(onHold), std::move(onStep)));
}

}  // namespace trelvano
