#pragma once
// The local metric frame of a flight and the copies taken from it: one pass
// over the points that writes FlightPath, ShadowPath and PlumbLines and finds
// the extents. Used by the IGC reader (origin point 0), the logger reader and
// MaxMinusw (origin RangeStart).

#include "model/FlightData.h"

#include <cmath>
#include <numbers>

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
inline double frameX(double lat, double lon, const FrameOrigin& o) {
  return (o.lon - lon) * kMetresPerDegree * latitudeCosine(lat);
}
inline double frameY(double lat, const FrameOrigin& o) { return (lat - o.lat) * kMetresPerDegree; }
// The inverses: the latitude of a Y, and the longitude of an X at that latitude.
inline double frameLat(double y, const FrameOrigin& o) { return o.lat + y / kMetresPerDegree; }
inline double frameLon(double x, double lat, const FrameOrigin& o) {
  return o.lon - x / (kMetresPerDegree * latitudeCosine(lat));
}

// For i = 0 … last (last < kMaxFlightPoints, checked by the caller): starts
// from FlightPath[i] as it is, lets fill(i, point) set what the caller writes,
// then sets X, Y, Z around `origin` and writes the point, its shadow (Z 0,
// colour $00E0E0E0) and its plumb line (2i: the point with Pen 0, 2i+1: the
// shadow with Pen 1). Sets PlumbLast and the extents (MaxAltitude, Max/MinLat,
// Max/MinLon over points 0 … last; from point 0 as it stands when last < 0):
// point 0 starts every value (NaN too), later ones replace it only when
// strictly greater or smaller, so a NaN never does.
template <class Fill>
void writeFlightFrame(FlightData& data, int32_t last, const FrameOrigin& origin, Fill&& fill) {
  ++data.SceneVersion;
  FlightPoint* const path = data.FlightPath.data();
  FlightPoint* const shadow = data.ShadowPath.data();
  FlightPoint* const plumb = data.PlumbLines.data();
  double maxAlt = path[0].Altitude, maxLat = path[0].Lat, minLat = path[0].Lat, maxLon = path[0].Lon,
         minLon = path[0].Lon;
  for (int32_t i = 0; i <= last; ++i) {
    fill(i, path[i]);  // keeps what the caller does not write (Aux, projections)
    FlightPoint p = path[i];
    p.X = frameX(p.Lat, p.Lon, origin);
    p.Y = frameY(p.Lat, origin);
    p.Z = p.Altitude - origin.altitude;
    if (i == 0) {
      maxAlt = p.Altitude;
      maxLat = minLat = p.Lat;
      maxLon = minLon = p.Lon;
    } else {
      if (p.Altitude > maxAlt) maxAlt = p.Altitude;
      if (p.Lat > maxLat) maxLat = p.Lat;
      if (p.Lat < minLat) minLat = p.Lat;
      if (p.Lon > maxLon) maxLon = p.Lon;
      if (p.Lon < minLon) minLon = p.Lon;
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
  data.MaxAltitude = maxAlt;
  data.MaxLat = maxLat;
  data.MinLat = minLat;
  data.MaxLon = maxLon;
  data.MinLon = minLon;
  data.PlumbLast = 2 * last + 1;
}

}  // namespace trelvano
