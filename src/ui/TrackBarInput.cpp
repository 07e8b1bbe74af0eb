#include "ui/TrackBarInput.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QSlider>

namespace trelvano {

namespace {

class UserInputFilter : public QObject {
 public:
  UserInputFilter(QObject* parent, std::function<void()> onUserInput)
      : QObject(parent), onUserInput_(std::move(onUserInput)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (byUser(event)) onUserInput_();
    return QObject::eventFilter(watched, event);
  }

 private:
  static bool byUser(QEvent* event) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel: return true;
      case QEvent::KeyPress: return movesTheBar(static_cast<QKeyEvent*>(event)->key());
      case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason;
      }
      default: return false;
    }
  }

  // The keys a slider acts on; others (the replay's space, "." and ",") pass
  // through it to the window.
  static bool movesTheBar(int key) {
    switch (key) {
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_Home:
      case Qt::Key_End: return true;
      default: return false;
    }
  }

  std::function<void()> onUserInput_;
};

// A left click on the groove jumps there instead of paging towards it.
class AbsoluteClickStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_Slider_AbsoluteSetButtons) return Qt::LeftButton | Qt::MiddleButton;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

void watchUserInput(QSlider* slider, std::function<void()> onUserInput) {
  slider->installEventFilter(new UserInputFilter(slider, std::move(onUserInput)));
  auto* style = new AbsoluteClickStyle;
  style->setParent(slider);
  slider->setStyle(style);
}

}  // namespace trelvano
