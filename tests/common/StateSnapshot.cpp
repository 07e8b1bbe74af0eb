#include "common/StateSnapshot.h"

#include <algorithm>
#include <cstring>

namespace trelvano {

namespace {

constexpr int kMapCellsArray = 5;
constexpr int kMapCellsWritten = 10000;
const char* const kArrayNames[8] = {"FlightPath", "ShadowPath", "GridPoints", "ArrowPoints",
                                    "PlumbLines", "MapCells",   "MapFrame",   "VectorMap"};

const PointArray& arrayAt(const FlightData& d, int k) {
  const PointArray* const all[8] = {&d.FlightPath, &d.ShadowPath, &d.GridPoints, &d.ArrowPoints,
                                    &d.PlumbLines, &d.MapCells,   &d.MapFrame,   &d.VectorMap};
  return *all[k];
}

// Every flight-wide value, in a fixed order; names for the report. The
// SceneVersion counter is left out: it counts redraw-relevant writes, it is
// not a value of the flight.
const char* const kValueNames[] = {"LastPoint",
                                   "GridLast",
                                   "ArrowLast",
                                   "PlumbLast",
                                   "MapCellsLast",
                                   "MapFrameLast",
                                   "VectorMapLast",
                                   "RangeStart",
                                   "RangeEnd",
                                   "CursorPoint",
                                   "OverlayMode",
                                   "MaxAltitude",
                                   "MaxLat",
                                   "MinLat",
                                   "MaxLon",
                                   "MinLon",
                                   "StartLatRaw",
                                   "StartLonRaw",
                                   "StartAltitude",
                                   "SampleInterval",
                                   "LoggerNG",
                                   "Temperature",
                                   "UseBaroAltitude",
                                   "FastMapLoading",
                                   "HideMapWhileDragging",
                                   "MapDragMode",
                                   "HasGpsColumns",
                                   "LoggerHeaderId",
                                   "LoggerHeaderFlags",
                                   "HasPointTimes",
                                   "HasGnssAltitudes",
                                   "Igc.task",
                                   "Igc.events",
                                   "Igc.enl",
                                   "Igc.security",
                                   "Analysis.version"};

std::vector<double> valuesOf(const FlightData& d) {
  return {double(d.LastPoint),
          double(d.GridLast),
          double(d.ArrowLast),
          double(d.PlumbLast),
          double(d.MapCellsLast),
          double(d.MapFrameLast),
          double(d.VectorMapLast),
          double(d.RangeStart),
          double(d.RangeEnd),
          double(d.CursorPoint),
          double(d.OverlayMode),
          d.MaxAltitude,
          d.MaxLat,
          d.MinLat,
          d.MaxLon,
          d.MinLon,
          d.StartLatRaw,
          d.StartLonRaw,
          d.StartAltitude,
          d.SampleInterval,
          double(d.LoggerNG),
          d.Temperature,
          double(d.UseBaroAltitude),
          double(d.FastMapLoading),
          double(d.HideMapWhileDragging),
          double(d.MapDragMode),
          double(d.HasGpsColumns),
          double(d.LoggerHeaderId),
          double(d.LoggerHeaderFlags),
          double(d.HasPointTimes),
          double(d.HasGnssAltitudes),
          double(d.Igc.task.size()),
          double(d.Igc.events.size()),
          double(d.Igc.enl.size()),
          double(d.Igc.securityRecord),
          double(d.Analysis.version)};
}

template <class T>
long firstChange(const std::vector<T>& before, const T* after) {
  for (size_t i = 0; i < before.size(); ++i)
    if (std::memcmp(&before[i], &after[i], sizeof(T)) != 0) return long(i);
  return -1;
}

std::string at(const char* name, long index) { return std::string(name) + "[" + std::to_string(index) + "]"; }

}  // namespace

int StateSnapshot::reachOf(const char* input, size_t size, const FlightData& d) {
  const long lines = std::count_if(input, input + size, [](char b) { return b == '\r' || b == '\n'; }) + 1;
  const long reach = std::max(2 * (std::max<long>(lines, d.LastPoint + 1) + 2), long(size / 32)) + 16;
  return int(std::min<long>(reach, kPointCapacity));
}

StateSnapshot::StateSnapshot(const FlightData& d, int points, int rows)
    : raw_(d.RawSamples.rows, d.RawSamples.rows + rows),
      channel_(d.ChannelSamples.rows, d.ChannelSamples.rows + rows),
      params_(d.ChannelParams.rows, d.ChannelParams.rows + kChannelCount),
      paramImage_(d.ChannelParams.fileImage),
      values_(valuesOf(d)),
      pointTimes_(d.PointTime, d.PointTime + std::min(points, kMaxFlightPoints)) {
  for (int k = 0; k < 8; ++k) {
    // A pixel map writes all of its cells, whatever the file's size.
    const int n = k == kMapCellsArray ? std::max(points, kMapCellsWritten) : points;
    arrays_[k].assign(arrayAt(d, k).pts, arrayAt(d, k).pts + n);
  }
}

std::string StateSnapshot::differenceTo(const FlightData& d) const {
  for (int k = 0; k < 8; ++k)
    if (const long i = firstChange(arrays_[k], arrayAt(d, k).pts); i >= 0) return at(kArrayNames[k], i);
  if (const long i = firstChange(pointTimes_, d.PointTime); i >= 0) return at("PointTime", i);
  if (const long i = firstChange(raw_, d.RawSamples.rows); i >= 0) return at("RawSamples", i);
  if (const long i = firstChange(channel_, d.ChannelSamples.rows); i >= 0) return at("ChannelSamples", i);
  for (int k = 0; k < kChannelCount; ++k) {
    const ChannelParam &a = params_[k], &b = d.ChannelParams.rows[k];
    if (a.Name != b.Name || std::memcmp(&a.Offset, &b.Offset, sizeof a.Offset) != 0 ||
        std::memcmp(&a.Koeffizient, &b.Koeffizient, sizeof a.Koeffizient) != 0 ||
        std::memcmp(&a.Startwert, &b.Startwert, sizeof a.Startwert) != 0 || a.Kind != b.Kind)
      return at("ChannelParams", k);
  }
  if (paramImage_ != d.ChannelParams.fileImage) return "ChannelParams.fileImage";
  const std::vector<double> now = valuesOf(d);
  for (size_t i = 0; i < now.size(); ++i)
    if (std::memcmp(&now[i], &values_[i], sizeof(double)) != 0) return kValueNames[i];
  return {};
}

}  // namespace trelvano
