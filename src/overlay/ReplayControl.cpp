#include "overlay/ReplayControl.h"

#include "overlay/Replay.h"

#include <QStringList>

namespace trelvano {

const ReplaySpeed kReplaySpeeds[kReplaySpeedCount] = {
    {"1×", 200, 1}, {"2×", 100, 1}, {"5×", 40, 1}, {"10×", 40, 2}, {"25×", 40, 5}, {"100×", 40, 20},
};

namespace {
const ReplaySpeed& chosenSpeed(const SidePanels& panels) {
  return kReplaySpeeds[checkIndex(panels.replaySpeed, kReplaySpeedCount)];
}
}  // namespace

void setReplaySpeed(SidePanels& panels, int index) { panels.replaySpeed = checkIndex(index, kReplaySpeedCount); }

bool replayTimerRuns(const SidePanels& panels) { return panels.timer2Enabled && !panels.replayHeld; }

int replayIntervalMs(const SidePanels& panels) { return chosenSpeed(panels).intervalMs; }

void replayTick(FlightData& data, View3D& view, SidePanels& panels) {
  for (int k = 0; k < chosenSpeed(panels).pointsPerTick; ++k) replayStep(data, panels);
  Track(data, view, panels);
}

void toggleReplayHold(SidePanels& panels) {
  if (panels.timer2Enabled) {
    panels.replayHeld = !panels.replayHeld;
  } else if (panels.overlayChecked[kModeFlugweg - 1]) {
    // The track bar (or a chart) stopped it: run on from the cursor it left.
    panels.timer2Enabled = true;
    panels.replayHeld = false;
  }
}

void stepReplayCursor(FlightData& data, View3D& view, SidePanels& panels, int direction) {
  if (data.OverlayMode != kModeFlugweg || replayTimerRuns(panels)) return;
  showCursorAt(data, view, panels, static_cast<long long>(data.CursorPoint) + (direction < 0 ? -1 : 1));
}

QString replayStateText(const SidePanels& panels) {
  if (!panels.trackPanelVisible) return {};
  QStringList parts;
  if (!replayTimerRuns(panels) && panels.overlayChecked[kModeFlugweg - 1]) parts << QStringLiteral("angehalten");
  if (panels.replaySpeed != 0) parts << QStringLiteral("Tempo ") + QString::fromUtf8(chosenSpeed(panels).caption);
  return parts.join(QStringLiteral(", "));
}

}  // namespace trelvano
