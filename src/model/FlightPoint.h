#pragma once
// One point of any point array: a flight fix, a shadow or plumb-line point, a
// grid or arrow vertex, a map cell or a vector-map vertex.

#include "model/FlightLimits.h"
#include "model/RunError.h"

#include <cstdint>

namespace trelvano {

// Pen states of a point.
enum PenState : int32_t {
  kPenMove = 0,        // start a new stroke here
  kPenLine = 1,        // line from the previous point to this one
  kPenLineBehind = 2,  // as kPenLine, but the point lies behind the viewer
  kPenMoveBehind = 3,  // as kPenMove, but the point lies behind the viewer
};

struct FlightPoint {
  double Lat;       // latitude, decimal degrees, north positive
  double Lon;       // longitude, decimal degrees, east positive
  double Aux;       // third field of an old-format logger line; nothing reads it
  double Altitude;  // metres
  double X;         // local frame, metres, positive towards west
  double Y;         // local frame, metres, positive towards north
  double Z;         // metres above the origin point
  double ProjY;     // projected vertical coordinate; 0 while behind the viewer
  double ProjX;     // projected horizontal coordinate; 0 while behind the viewer
  int32_t Pen;      // PenState
  int32_t Color;    // $00BBGGRR, red in the low byte; colour of the segment ending here
  double TimeStep;  // seconds from the previous point to this one
};
static_assert(sizeof(FlightPoint) == 88, "FlightPoint is a plain fixed-layout record");

constexpr int kPointCapacity = 131072;
// Plumb lines need two entries per flight point.
static_assert(kPointCapacity == 2 * kMaxFlightPoints);

// 131072 points; indexes 0 .. 131071. The owner keeps the last valid index
// (-1 = empty); entries above it keep old values and are never read.
struct PointArray {
  FlightPoint pts[kPointCapacity];

  FlightPoint& operator[](long long i) { return pts[checkIndex(i, kPointCapacity)]; }
  const FlightPoint& operator[](long long i) const { return pts[checkIndex(i, kPointCapacity)]; }
  // Unchecked access for loops whose bounds were checked once up front.
  FlightPoint* data() { return pts; }
  const FlightPoint* data() const { return pts; }
};

// Colours used across the program ($00BBGGRR).
namespace colours {
constexpr int32_t kBlue = 0x00FF0000;
constexpr int32_t kRed = 0x000000FF;
constexpr int32_t kGreen = 0x0000FF00;
constexpr int32_t kGreen254 = 0x0000FE00;
constexpr int32_t kDarkGreen = 0x00008000;
constexpr int32_t kBlack = 0x00000000;
constexpr int32_t kWhite = 0x00FFFFFF;
constexpr int32_t kShadow = 0x00E0E0E0;
constexpr int32_t kGrid = 0x00F0F0F0;
constexpr int32_t kBackground = 0x00F8F8F8;
}  // namespace colours

}  // namespace trelvano
