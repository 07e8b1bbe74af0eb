#pragma once
// The user's hand on a running replay: its speed ("Overlay" →
// "Wiedergabe-Tempo"), holding it (space bar) and stepping it point by point
// while held ("." and ","). Held is not stopped: a held replay still ignores
// the track bar's own changes and runs on from where it stands.

#include "model/FlightData.h"
#include "overlay/SidePanels.h"
#include "view3d/View3D.h"

#include <QString>

namespace trelvano {

// One speed: `pointsPerTick` points every `intervalMs`. Faster speeds step
// several points per tick, so a tick never comes sooner than every 40 ms and
// the view is drawn at most 25 times a second.
struct ReplaySpeed {
  const char* caption;  // UTF-8, e.g. "10×"
  int intervalMs;
  int pointsPerTick;
};

// Slowest first; index 0 is the five points a second of one step every 200 ms.
constexpr int kReplaySpeedCount = 6;
extern const ReplaySpeed kReplaySpeeds[kReplaySpeedCount];

// Picks speed `index` (0 … kReplaySpeedCount - 1) for the rest of the run.
void setReplaySpeed(SidePanels& panels, int index);

// Whether timer 2 should run: the replay plays and is not held.
bool replayTimerRuns(const SidePanels& panels);
// Timer 2's interval at the chosen speed, milliseconds.
int replayIntervalMs(const SidePanels& panels);

// One tick of timer 2: as many replay steps as the speed takes per tick, each
// with its own colouring and wrap at the end, then the labels and one redraw.
void replayTick(FlightData& data, View3D& view, SidePanels& panels);

// The space bar: holds a playing replay or lets a held one run on; after the
// track bar (or a chart) stopped the replay, runs it on from the cursor's
// point. Does nothing outside "Flugweg".
void toggleReplayHold(SidePanels& panels);

// "." (+1) and "," (-1): while the replay is held or the track bar has taken
// over, moves the cursor one point (kept within the flight) as the track bar
// would. Does nothing while the replay runs or outside "Flugweg".
void stepReplayCursor(FlightData& data, View3D& view, SidePanels& panels, int direction);

// What the replay bar adds to its hint: "angehalten" whenever the replay
// stands while "Flugweg" is ticked (held, or stopped by the track bar), the speed
// when it is not 1×, both joined by ", "; empty while playing at 1× or when
// the bar is hidden.
QString replayStateText(const SidePanels& panels);

}  // namespace trelvano
