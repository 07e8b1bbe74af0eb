#pragma once
// The flight-point cursor: replay, track bar, shown section and the
// navigation and channel labels.

#include "model/FlightData.h"
#include "overlay/SidePanels.h"
#include "view3d/View3D.h"

#include <QString>

namespace trelvano {

// Climb rate in tenths with a comma (whatever the locale) and a hyphen-minus
// for sinking: -1.26 -> "-1,3 m/s", -0.04 -> "0,0 m/s", 12 -> "12,0 m/s".
// Halves go to the even tenth (0.25 -> "0,2 m/s").
QString climbRateText(double metresPerSecond);

// A channel value beside the point: rounded to tenths as the climb rate, in
// the general number format with the locale's separator (7199.49661 ->
// "7199,5" in German settings, 12 -> "12").
QString pointValueText(double v);

// Fills the labels for CursorPoint, follows it with the camera while
// "Flugweg zentrieren" is checked, redraws.
void Track(FlightData& data, View3D& view, SidePanels& panels);

// One replay step (every 200 ms while timer 2 runs).
void stepReplay(FlightData& data, View3D& view, SidePanels& panels);
// Its first part without the labels and the redraw: the cursor one point on
// (back to 0 with the whole path blue after the last), that point red, the
// track bar's position.
void replayStep(FlightData& data, SidePanels& panels);

// The track bar's position changed (by the user or the program): moves the
// cursor unless the replay runs. Sets panels.trackBarPosition.
void moveTrackBar(FlightData& data, View3D& view, SidePanels& panels, int position);

// The track bar got the input focus: the replay stops.
void takeTrackBar(SidePanels& panels);

// The user picked a flight point elsewhere (in a chart window): as a hand on
// the track bar, the replay stops and the cursor goes there (held in
// 0 … LastPoint); in the replay overlay the path is red up to it and blue
// after it; the track bar follows; then Track.
void moveCursorTo(FlightData& data, View3D& view, SidePanels& panels, long long point);

// moveCursorTo without stopping the replay: the cursor (held in 0 …
// LastPoint), the flown path's colours in the replay overlay, the track bar,
// then Track. Nothing happens on an empty flight.
void showCursorAt(FlightData& data, View3D& view, SidePanels& panels, long long point);

// SpeedButton1 … 4: "ab Anfang anzeigen", "ab hier anzeigen",
// "bis hier anzeigen", "bis ende anzeigen"; then redraw.
void showSection(FlightData& data, View3D& view, int button);

}  // namespace trelvano
