#include "import/GpxReader.h"

#include "import/AltitudeSource.h"
#include "import/Coordinates.h"
#include "import/GpxPoints.h"
#include "import/LoadStagingData.h"
#include "import/LocalFrame.h"

#include <cmath>

namespace {

constexpr double kFirstStep = 2.0;        // as the IGC reader's first fix
constexpr double kStepWithoutTime = 1.0;  // a point or its predecessor has no time

double timeStep(const StagedGpxPoint* pts, int32_t i) {
  if (i == 0) return kFirstStep;
  const double step = pts[i].time - pts[i - 1].time;
  if (std::isnan(step)) return kStepWithoutTime;
  return step > 0 ? step : 0;  // a time that goes back counts 0 s, as a recorder's clock correction
}

void commit(FlightData& data, const LoadStaging& st, int32_t count) {
  const StagedGpxPoint* const pts = st.gpxPoints;
  const int32_t last = count - 1;
  const double startLatRaw = loggerForm(pts[0].lat);
  const double startLonRaw = loggerForm(pts[0].lon);

  data.LoggerNG = false;
  data.Igc.clear();
  if (count >= 2) data.SampleInterval = timeStep(pts, last);
  data.StartLatRaw = startLatRaw;
  data.StartLonRaw = startLonRaw;
  data.StartAltitude = pts[0].altitude;
  data.LastPoint = last;
  data.RangeStart = 0;
  data.RangeEnd = last;
  writeFlightFrameOnTwoCores(data, last, FrameOrigin{pts[0].lat, pts[0].lon, pts[0].altitude},
                             [&](int32_t i, FlightPoint& p) {
                               p.Lat = pts[i].lat;
                               p.Lon = pts[i].lon;
                               p.Altitude = pts[i].altitude;
                               p.Pen = i == 0 ? kPenMove : kPenLine;
                               p.Color = colours::kBlue;
                               p.TimeStep = timeStep(pts, i);
                               data.PointTime[i] = pts[i].time;
                             });
  bool anyTime = false;
  for (int32_t i = 0; i <= last && !anyTime; ++i) anyTime = !std::isnan(pts[i].time);
  data.HasPointTimes = anyTime;
}

}  // namespace

bool isGpxFileName(const QString& path) { return path.endsWith(QLatin1String(".gpx"), Qt::CaseInsensitive); }

QString loadGpx(FlightData& data, LoadStaging& staging, QByteArrayView bytes, const QString& fileName) {
  std::optional<int32_t> count = stageGpxPointsFast(staging, bytes);
  if (!count) count = stageGpxPointsXml(staging, bytes, fileName);
  commit(data, staging, *count);
  return altitudeLabel(-1);
}
