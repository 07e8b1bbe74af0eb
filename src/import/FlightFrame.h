#pragma once
// Finishing a flight: altitude source, extents, local frame, shadow and plumb lines.

#include "import/LocalFrame.h"
#include "model/FlightData.h"

#include <QString>
#include <optional>

namespace trelvano {

// New-format flights only: altitudes from the GPS column relative to the first
// sample, or with UseBaroAltitude from the lowest channel of kind Höhe.
// Returns the altitude label ("Höhe: GPS", "Höhe: AD2", …), or nothing when
// the flight is not a new-format one (then nothing changes). May switch
// UseBaroAltitude off when no channel has kind Höhe. A conversion that fails
// (a range error, "Ungültige Gleitkommaoperation", …) throws and changes nothing.
std::optional<QString> Altitude(FlightData& data);

// Extents over all points, local frame around RangeStart, TimeStep =
// SampleInterval for every point, ShadowPath, PlumbLines, PlumbLast. More than
// 65536 points: the range error, and nothing changes.
void MaxMinusw(FlightData& data);

// "Startpunkt des Flugzeuges an Begin des Ausschnitts setzen" without its
// closing calls: MaxMinusw, then StartLatRaw, StartLonRaw, StartAltitude of
// the point RangeStart. The caller then runs Track and Grafikupdate.
void moveOriginToRangeStart(FlightData& data);

// The origin of the flight's local frame (the place where X = Y = Z = 0),
// from the point RangeStart and its place in the frame.
FrameOrigin flightOrigin(const FlightData& data);

}  // namespace trelvano
