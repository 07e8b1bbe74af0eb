#include "overlay/Replay.h"

#include "import/ChannelConversion.h"
#include "model/Numbers.h"
#include "overlay/FlightPoints.h"
#include "overlay/FlightSpeed.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trelvano {

namespace {

QString withUnit(int64_t value, const char* unit) { return QString::number(value) + QLatin1String(unit); }

// Follows the cursor with the camera's sideways and vertical shift, settled
// to whole metres; the distance CamY stays. Track redraws after it.
void centreCamera(View3D& view, const FlightPoint& point) {
  view.cam.CamX = point.X;
  view.cam.CamZ = point.Z;
  view.cam = view.cam.settled();
}

// Red up to the cursor, blue after it.
void colourFlownPath(FlightData& data) {
  colourPoints(data, 0, std::min(data.CursorPoint, data.LastPoint), colours::kRed);
  colourPoints(data, data.CursorPoint + 1, data.LastPoint, colours::kBlue);
}

// The track bar's position for the cursor; a single point has no scale: 0.
int trackBarPositionOfCursor(const FlightData& data) {
  return data.LastPoint > 0 ? RoundToInt32(static_cast<double>(kTrackBarMax) / data.LastPoint * data.CursorPoint) : 0;
}

}  // namespace

QString climbRateText(double metresPerSecond) {
  const int64_t tenths = Round(10 * metresPerSecond);
  const int64_t a = std::llabs(tenths);
  QString text = QString::number(a / 10) + QLatin1Char(',') + QString::number(a % 10) + QLatin1String(" m/s");
  if (tenths < 0) text.prepend(QLatin1Char('-'));
  return text;
}

QString pointValueText(double v) { return formatGeneral(roundHalfEven(v * 10) / 10); }

void Track(FlightData& data, View3D& view, SidePanels& panels) {
  const int32_t c = data.CursorPoint;
  const FlightPoint& here = data.FlightPath[c];
  panels.nav[kNavEntfernung] = withUnit(Round(std::sqrt(here.X * here.X + here.Y * here.Y)), " m");
  panels.nav[kNavHoehe] = withUnit(Round(here.Z), " m");

  if (c > data.RangeStart) {
    const FlightPoint& before = data.FlightPath[c - 1];
    // Two fixes in the same second have no speed; they show as standing still.
    const SegmentSpeed v = segmentSpeed(before, here);
    panels.nav[kNavSpeed] = v.defined ? withUnit(Round(v.air), " m/s") : QStringLiteral("0 m/s");
    panels.nav[kNavVario] = v.defined ? climbRateText((here.Z - before.Z) / here.TimeStep) : QStringLiteral("0 m/s");
    double elapsed = 0;
    for (int32_t j = data.RangeStart + 1; j <= c; ++j) elapsed += data.FlightPath[j].TimeStep;
    panels.nav[kNavFlugzeit] = withUnit(Round(elapsed), " s");
  } else {
    panels.nav[kNavSpeed] = QStringLiteral("0 m/s");
    panels.nav[kNavVario] = QStringLiteral("0 m/s");
    panels.nav[kNavFlugzeit] = QStringLiteral("0 s");
  }

  if (data.LoggerNG) {
    for (int k = 0; k < kChannelCount; ++k) {
      panels.channelCaption[k] = data.ChannelParams[k].Name;
      panels.channelValue[k] = pointValueText(channelNumberAt(data, c, k));
    }
  }

  if (view.layers.FollowReplay) centreCamera(view, here);
  view.Grafikupdate();
}

void replayStep(FlightData& data, SidePanels& panels) {
  data.CursorPoint = checkedAdd(data.CursorPoint, 1);
  if (data.CursorPoint > data.LastPoint) {
    data.CursorPoint = 0;  // start over with the whole path blue
    colourPoints(data, 0, data.LastPoint, colours::kBlue);
  }
  if (data.LastPoint >= 0) colourPoints(data, data.CursorPoint, data.CursorPoint, colours::kRed);
  // The track bar's change handler ignores this while the replay runs.
  panels.trackBarPosition = trackBarPositionOfCursor(data);
  panels.cursorPlaced = true;
}

void stepReplay(FlightData& data, View3D& view, SidePanels& panels) {
  replayStep(data, panels);
  Track(data, view, panels);
}

void moveTrackBar(FlightData& data, View3D& view, SidePanels& panels, int position) {
  panels.trackBarPosition = std::clamp(position, 0, kTrackBarMax);
  if (panels.timer2Enabled) return;
  const int32_t last = data.LastPoint;
  data.CursorPoint = last > 0 ? RoundToInt32(static_cast<double>(panels.trackBarPosition) / kTrackBarMax * last) : 0;
  colourFlownPath(data);
  panels.cursorPlaced = true;
  Track(data, view, panels);
}

void takeTrackBar(SidePanels& panels) { panels.timer2Enabled = false; }

void moveCursorTo(FlightData& data, View3D& view, SidePanels& panels, long long point) {
  if (data.LastPoint < 0) return;
  panels.timer2Enabled = false;
  showCursorAt(data, view, panels, point);
}

void showCursorAt(FlightData& data, View3D& view, SidePanels& panels, long long point) {
  const int32_t last = data.LastPoint;
  if (last < 0) return;
  data.CursorPoint = static_cast<int32_t>(std::clamp<long long>(point, 0, last));
  if (data.OverlayMode == kModeFlugweg) colourFlownPath(data);
  panels.trackBarPosition = trackBarPositionOfCursor(data);
  panels.cursorPlaced = true;
  Track(data, view, panels);
}

void showSection(FlightData& data, View3D& view, int button) {
  switch (button) {
    case 1: data.RangeStart = 0; break;
    case 2: data.RangeStart = data.CursorPoint; break;
    case 3: data.RangeEnd = data.CursorPoint; break;
    case 4: data.RangeEnd = data.LastPoint; break;
    default: return;
  }
  view.Grafikupdate();
}

}  // namespace trelvano
