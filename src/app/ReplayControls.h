#pragma once
// The replay's speed menu and keys on the main window.

#include <functional>

class QMenu;
class QWidget;

namespace trelvano {

// Appends "Wiedergabe-Tempo" with one radio item per replay speed ("1×"
// checked) to `overlay`; a choice calls `onSpeed` with its index.
void addReplaySpeedMenu(QMenu* overlay, std::function<void(int index)> onSpeed);

// Space (`onHold`), "." and "," (`onStep` with +1 and -1) pressed anywhere in
// `window` that does not use the key itself: the 3D view and the track bar
// pass them on.
void watchReplayKeys(QWidget* window, std::function<void()> onHold, std::function<void(int direction)> onStep);

}  // namespace trelvano
