#pragma once
// The local metric frame of a flight and the copies taken from it: one pass
// over the points that writes FlightPath, ShadowPath and PlumbLines and finds
// the extents. Used by the IGC reader (origin point 0), the logger reader and
// MaxMinusw (origin RangeStart).

#include "model/FlightData.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <thread>

namespace trelvano {

constexpr double kMetresPerDegree = 108000;

// Latitude, longitude (degrees) and altitude (metres) of the origin point.
struct FrameOrigin {
  double lat;
  double lon;
  double altitude;
};

// X in metres, positive towards west, using the point's own latitude.
// Written as (origin − lon) rather than −(lon − origin): the same value, but
// +0 instead of −0 for the origin itself.
inline double latitudeCosine(double lat) { return std::cos(lat * std::numbers::pi / 180); }
inline double frameXAt(double lon, double cosLat, const FrameOrigin& o) {
  return (o.lon - lon) * kMetresPerDegree * cosLat;
}
inline double frameX(double lat, double lon, const FrameOrigin& o) { return frameXAt(lon, latitudeCosine(lat), o); }
inline double frameY(double lat, const FrameOrigin& o) { return (lat - o.lat) * kMetresPerDegree; }

// The extents of a run of points: the sequential rule of writeFlightFrame,
// where the first point starts every value (NaN too) and later ones replace
// it only when strictly greater or smaller, so a NaN never does.
struct FrameExtents {
  double maxAlt, maxLat, minLat, maxLon, minLon;
};

// Points from … to - 1 of writeFlightFrame, folding their extents into `e`.
// kFirstStarts: point `from` starts the values; else `e` starts as NaN and
// the first number replaces it, so that the extents of a later run combine
// with those of an earlier one as if read in one pass.
template <bool kFirstStarts, class Fill>
void writeFrameRun(FlightData& data, int32_t from, int32_t to, const FrameOrigin& origin, Fill& fill,
                   FrameExtents& e) {
  FlightPoint* const path = data.FlightPath.data();
  FlightPoint* const shadow = data.ShadowPath.data();
  FlightPoint* const plumb = data.PlumbLines.data();
  auto above = [](double v, double acc) { return v > acc || (!kFirstStarts && acc != acc && v == v); };
  auto below = [](double v, double acc) { return v < acc || (!kFirstStarts && acc != acc && v == v); };
  // A piece at a time: the points filled in place and their cosines taken
  // in a loop of little more than calls, then the frame. The cosine's wait
  // for its rounding mode overlaps the next one's work, rather than
  // holding up the records.
  constexpr int32_t kPiece = 32;
  double cosLat[kPiece];
  for (int32_t start = from; start < to; start += kPiece) {
    const int32_t n = std::min(kPiece, to - start);
    for (int32_t k = 0; k < n; ++k) {
      FlightPoint& p = path[start + k];  // keeps what the caller does not write (Aux, projections)
      fill(start + k, p);
      cosLat[k] = latitudeCosine(p.Lat);
    }
    for (int32_t k = 0; k < n; ++k) {
      const int32_t i = start + k;
      FlightPoint p = path[i];
      p.X = frameXAt(p.Lon, cosLat[k], origin);
      p.Y = frameY(p.Lat, origin);
      p.Z = p.Altitude - origin.altitude;
      if (kFirstStarts && i == from) {
        e.maxAlt = p.Altitude;
        e.maxLat = e.minLat = p.Lat;
        e.maxLon = e.minLon = p.Lon;
      } else {
        if (above(p.Altitude, e.maxAlt)) e.maxAlt = p.Altitude;
        if (above(p.Lat, e.maxLat)) e.maxLat = p.Lat;
        if (below(p.Lat, e.minLat)) e.minLat = p.Lat;
        if (above(p.Lon, e.maxLon)) e.maxLon = p.Lon;
        if (below(p.Lon, e.minLon)) e.minLon = p.Lon;
      }
      path[i] = p;
      FlightPoint s = p;
      s.Z = 0;
      s.Color = colours::kShadow;
      shadow[i] = s;
      p.Pen = kPenMove;
      s.Pen = kPenLine;
      plumb[2 * i] = p;
      plumb[2 * i + 1] = s;
    }
  }
}

inline void storeFrameExtents(FlightData& data, int32_t last, const FrameExtents& e) {
  data.MaxAltitude = e.maxAlt;
  data.MaxLat = e.maxLat;
  data.MinLat = e.minLat;
  data.MaxLon = e.maxLon;
  data.MinLon = e.minLon;
  data.PlumbLast = 2 * last + 1;
}

// For i = 0 … last (last < kMaxFlightPoints, checked by the caller): starts
// from FlightPath[i] as it is, lets fill(i, point) set what the caller writes,
// then sets X, Y, Z around `origin` and writes the point, its shadow (Z 0,
// colour $00E0E0E0) and its plumb line (2i: the point with Pen 0, 2i+1: the
// shadow with Pen 1). Sets PlumbLast and the extents (MaxAltitude, Max/MinLat,
// Max/MinLon over points 0 … last; from point 0 as it stands when last < 0).
template <class Fill>
void writeFlightFrame(FlightData& data, int32_t last, const FrameOrigin& origin, Fill&& fill) {
  ++data.SceneVersion;
  const FlightPoint& first = data.FlightPath.data()[0];
  FrameExtents e{first.Altitude, first.Lat, first.Lat, first.Lon, first.Lon};
  writeFrameRun<true>(data, 0, last + 1, origin, fill, e);
  storeFrameExtents(data, last, e);
}

// The same with the later half of the points on a second thread; fill must
// be safe to call from both at once for different points.
template <class Fill>
void writeFlightFrameOnTwoCores(FlightData& data, int32_t last, const FrameOrigin& origin, Fill&& fill) {
  constexpr int32_t kWorthASecondCore = 4096;  // points
  if (last < kWorthASecondCore) {
    writeFlightFrame(data, last, origin, fill);
    return;
  }
  ++data.SceneVersion;
  const int32_t middle = (last + 1) / 2;
  constexpr double kNothing = std::numeric_limits<double>::quiet_NaN();
  FrameExtents later{kNothing, kNothing, kNothing, kNothing, kNothing};
  std::thread second([&] { writeFrameRun<false>(data, middle, last + 1, origin, fill, later); });
  FrameExtents e{};
  writeFrameRun<true>(data, 0, middle, origin, fill, e);
  second.join();
  // A NaN on either side compares false and keeps the earlier value.
  if (later.maxAlt > e.maxAlt) e.maxAlt = later.maxAlt;
  if (later.maxLat > e.maxLat) e.maxLat = later.maxLat;
  if (later.minLat < e.minLat) e.minLat = later.minLat;
  if (later.maxLon > e.maxLon) e.maxLon = later.maxLon;
  if (later.minLon < e.minLon) e.minLon = later.minLon;
  storeFrameExtents(data, last, e);
}

}  // namespace trelvano
