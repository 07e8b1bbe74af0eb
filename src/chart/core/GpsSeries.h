#pragma once
// The per-point values of the chart's GPS curves and the wind model of
// "Air-Speed". X is positive towards west, Y towards north; speeds in m/s.

#include "model/FlightData.h"

#include <QString>

namespace trelvano {

// The wind set on the two bars of the "Wind" group.
struct Wind {
  double speed;      // m/s: (20 - position) / 20 × 20.0, 0 with the bar at its bottom
  double direction;  // degrees clockwise from north the wind comes from: (40 - position) / 40 × 360.0
};
Wind windFromBars(int directionPosition, int speedPosition);

// The wind's displacement over one time step (metres, X and Y of the local frame).
struct WindStep {
  double x, y;
};
WindStep windDisplacement(const Wind& wind, double timeStep);

// The wind estimated from the flight's circles nearest in time to point i; false when the analysis has none.
bool estimatedWindAt(const FlightData& data, long long i, Wind& wind);

// "Wind mit 72 km/h (20 m/s) aus 180 °"
QString windText(const Wind& wind);

// Height of point i in metres over point 0: from the logger's GPS altitude
// column while a new-format recording is loaded, else from the flight's own
// altitudes (the sample table then belongs to an earlier file).
double heightValue(const FlightData& data, long long i);

// Height of point i above the terrain, metres; NaN without terrain under it.
double heightAboveGroundValue(const FlightData& data, long long i);

// Speeds of point i >= 1 over the step from point i - 1. A point with a time
// step of 0 has no speed: NaN, and the curve leaves it out.
double GpsV2Value(const FlightData& data, long long i);
double GpsV3Value(const FlightData& data, long long i);
double GpsAVValue(const FlightData& data, long long i, const WindStep& wind);

}  // namespace trelvano
