#pragma once
// The widest text each label of the main window can come to show, so the
// window can give every label room for it: figures of a flight around the
// world, durations of many days, 15-character channel names and channel
// values of 15 significant digits with an exponent.

#include "overlay/SidePanels.h"

#include <QStringList>

namespace trelvano {

// Side panels filled with the longest texts of each label.
SidePanels longestSidePanelTexts();
// Every text the altitude label HLabel can show.
QStringList altitudeLabelTexts();

}  // namespace trelvano
