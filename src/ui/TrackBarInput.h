#pragma once
// The user's own hand on a track bar, told apart from focus that merely comes
// back to it when a menu, a dialog or another window closes.

#include <QObject>
#include <functional>

class QSlider;

namespace trelvano {

// Calls `onUserInput` before the slider handles a mouse press, a wheel turn
// or a key that moves it (arrows, page keys, Home, End), and when focus reaches it by Tab, Backtab or the
// mouse; never for focus given back by a popup or on window activation.
// A left click on the groove puts the handle where the user clicked.
void watchUserInput(QSlider* slider, std::function<void()> onUserInput);

}  // namespace trelvano
