#include "chart/core/GpsSeries.h"

#include "chart/core/ChartControls.h"
#include "model/Numbers.h"

#include <cmath>
#include <limits>

namespace trelvano {

namespace {

constexpr double kDegree = 0.017453292519943295;  // π / 180
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

struct Step {
  double dx, dy, dz, time;
};

Step stepTo(const FlightData& data, long long i) {
  const FlightPoint& p = data.FlightPath[i];
  const FlightPoint& before = data.FlightPath[i - 1];
  return {p.X - before.X, p.Y - before.Y, p.Z - before.Z, p.TimeStep};
}

}  // namespace

Wind windFromBars(int directionPosition, int speedPosition) {
  return {double(kWindSpeedMax - speedPosition) / kWindSpeedMax * 20.0,
          double(kWindDirectionMax - directionPosition) / kWindDirectionMax * 360.0};
}

WindStep windDisplacement(const Wind& wind, double timeStep) {
  return {-wind.speed * std::sin(wind.direction * kDegree) * timeStep,
          wind.speed * std::cos(wind.direction * kDegree) * timeStep};
}

bool estimatedWindAt(const FlightData& data, long long i, Wind& wind) {
  const trelvano::FlightAnalysis& a = data.Analysis;
  if (!a.valid || i < 0 || size_t(i) >= a.time.size()) return false;
  const trelvano::WindEstimate* w = trelvano::nearestWind(a.wind, a.time[size_t(i)]);
  if (!w) return false;
  wind = {w->speed / 3.6, w->windFrom};
  return true;
}

QString windText(const Wind& wind) {
  return QStringLiteral("Wind mit %1 km/h (%2 m/s) aus %3 °")
      .arg(Round(3.6 * wind.speed))
      .arg(Round(wind.speed))
      .arg(Round(wind.direction));
}

double heightValue(const FlightData& data, long long i) {
  if (data.LoggerNG) return (double(data.RawSamples[i][kColGpsAlt]) - double(data.RawSamples[0][kColGpsAlt])) * 0.1;
  return data.FlightPath[i].Altitude - data.FlightPath[0].Altitude;
}

double heightAboveGroundValue(const FlightData& data, long long i) {
  return data.HasHeightAboveGround ? data.HeightAboveGround[checkIndex(i, kMaxFlightPoints)] : kNoValue;
}

double GpsV2Value(const FlightData& data, long long i) {
  const Step s = stepTo(data, i);
  if (s.time == 0) return kNoValue;
  return std::sqrt(s.dx * s.dx + s.dy * s.dy) / s.time;
}

double GpsV3Value(const FlightData& data, long long i) {
  const Step s = stepTo(data, i);
  if (s.time == 0) return kNoValue;
  return std::sqrt(s.dx * s.dx + s.dy * s.dy + s.dz * s.dz) / s.time;
}

double GpsAVValue(const FlightData& data, long long i, const WindStep& wind) {
  const Step s = stepTo(data, i);
  if (s.time == 0) return kNoValue;
  const double x = s.dx + wind.x, y = s.dy + wind.y;
  return std::sqrt(x * x + y * y + s.dz * s.dz) / s.time;
}

}  // namespace trelvano
