#pragma once
// Painting the projected point arrays into the 3D view's off-screen picture.

#include "model/FlightData.h"
#include "view3d/Camera.h"
#include "view3d/Layers.h"
#include "view3d/Matrix4.h"

#include <QImage>
#include <QString>

namespace trelvano {

class RedrawWorker;
class OtherFlights;

// The start coordinates line, e.g.
// "Startpunkt: Breite: N 48°7'2''   Länge: E 11°34'34''   Höhe: 512m".
QString startCoordinatesText(double startLatRaw, double startLonRaw, double startAltitude);

// The picture below the flight path (layers 1 … 8) and OutOfView as that
// part of the redraw left it.
struct Underlay {
  QImage picture;
  bool outOfView = false;
};

// Draws every layer in its fixed order into backBuffer (Format_RGB32), reading
// the projections written by DDDCalc. Sets outOfView as the last drawn point
// array (and the "Flugweg" line after it) left it. With `keep`, the picture
// below the flight path is copied into it on the way. With a worker, the
// upper and lower half of the picture are drawn at the same time.
void DDDGraf(const FlightData& data, const Layers& layers, const Camera& cam, QImage& backBuffer, bool& outOfView,
             Underlay* keep = nullptr, RedrawWorker* worker = nullptr);

// DDDCalc followed by DDDGraf with the same results, in one pass over the
// points: each core transforms its half of every array and projects it to
// the screen while the records are in the cache.
// `others`: the other shown flights, projected for this redraw, drawn below
// the active flight, their markers and names with the labels.
void TransformAndDraw(FlightData& data, const Camera& cam, const Layers& layers, Matrix4& viewMatrix,
                      QImage& backBuffer, bool& outOfView, Underlay* keep, RedrawWorker& worker,
                      const OtherFlights* others = nullptr);

// TransformAndDraw without painting: the projections and OutOfView exactly
// as the redraw would leave them, for commands that step the camera until
// the flight is in view. `backBuffer` only gives the size.
void TransformAndMeasure(FlightData& data, const Camera& cam, const Layers& layers, Matrix4& viewMatrix,
                         QImage& backBuffer, bool& outOfView, RedrawWorker& worker);

// The flight path and the layers above it (9 … 11) drawn on a copy of
// `underlay`: the picture DDDGraf paints when nothing but FlightPath colours
// changed since the underlay was kept.
void DDDGrafOnUnderlay(const FlightData& data, const Layers& layers, const Camera& cam, const Underlay& underlay,
                       QImage& backBuffer, bool& outOfView, RedrawWorker* worker = nullptr,
                       const OtherFlights* others = nullptr);

}  // namespace trelvano
