#pragma once
// Flight statistics of the panel "Info".

#include "model/FlightData.h"
#include "overlay/SidePanels.h"

#include <QString>

namespace trelvano {

// Duration text: "1 h 2 min 5 s", "1 min 0 s", "0 min 0 s".
QString durationText(double seconds);

// Recomputes the six texts (LabelDauer, LabelHmax, LabelVmax, LabelVmax3,
// LabelNS, LabelOW) into panels.info.
void Infobox(const FlightData& data, SidePanels& panels);

}  // namespace trelvano
