#pragma once
// The 3D view: camera, layer switches, the off-screen picture and the
// navigation commands. Reads and writes the flight data in place; every
// change ends in Grafikupdate(), which repaints BackBuffer.

#include "model/FlightData.h"
#include "view3d/Camera.h"
#include "view3d/LabelBoard.h"
#include "view3d/Layers.h"
#include "view3d/SceneFlights.h"

#include <QImage>

#include <functional>

namespace trelvano {

class View3D {
 public:
  static constexpr int kDefaultWidth = 650;
  static constexpr int kDefaultHeight = 400;

  explicit View3D(FlightData& data, int width = kDefaultWidth, int height = kDefaultHeight);
  ~View3D();
  View3D(const View3D&) = delete;
  View3D& operator=(const View3D&) = delete;

  FlightData& data;
  Camera cam;
  Layers layers;
  bool OutOfView = false;  // the last drawn point array had a point outside the picture or behind the eye
  QImage BackBuffer;       // Format_RGB32, the size of the window's image

  // The other shown flights and the markers at the cursor's time: filled by
  // `sceneSource` before each picture (empty with one flight, which then
  // draws as it always did).
  SceneFlights scene;
  std::function<void(SceneFlights&)> sceneSource;

  // The one redraw entry: grid spacing by distance, transform, draw all layers
  // (inside redrawOnceAfter: only the projection, for OutOfView).
  void Grafikupdate();
  // Redraw after a change of FlightPath colours alone (the "Flugrichtung"
  // animation): when nothing else changed since the last redraw, only the
  // flight path and the layers above it are drawn, on the picture kept below
  // them; otherwise a full Grafikupdate.
  void redrawFlightColours();
  // Keep the picture below the flight path at every redraw (one copy of the
  // picture per redraw); set while the animation runs.
  bool keepUnderlay = false;

  // The labels of the last picture painted (thermal climbs, events, task
  // names), each where it was drawn; none covers another.
  const LabelBoard& labels() const;

  // Points of the other flights projected in the last picture (tracks and shadows).
  size_t otherFlightPoints() const;

  // Number of pictures painted (for tests and the window's repaint); a
  // redraw stopped by a run-time error is not counted.
  long long redrawCount() const { return redraws_; }

  // Runs `command` with its redraws held back: each Grafikupdate inside only
  // projects the scene to learn OutOfView, and the picture is painted once at
  // the end if any was asked for, also when the command fails part way, so
  // the picture shows what it left. Nests.
  void redrawOnceAfter(const std::function<void()>& command);

  // The camera as the commands leave it (settled), then one redraw.
  void setCamera(const Camera& camera);

  // Menu "Navigation".
  void resetCamera();
  void aimAtStart();
  void Autozoom();
  // "Flug einpassen": moves the camera (azimuth, elevation and eye distance
  // kept) so that the shown section of the flight (the whole flight when the
  // section is empty) and every other shown flight fill the picture with a
  // small margin; one redraw.
  void fitFlight();

  // Mouse wheel over the 3D view: each notch away from the user pulls the
  // camera nearer (the distance to the scene shrinks by a factor 1.2, down
  // to 10 m), each notch towards the user pushes it back. Moves CamY, the
  // holder of the right-drag, with its clamps; one redraw.
  void zoomByWheel(int notches);
  // Arrow keys: turn the azimuth and tilt the elevation (held in 0 … 90) as
  // a left-drag would; one redraw.
  void turnCamera(int azimuthDegrees, int elevationDegrees);

  // Mouse on the 3D view's image; coordinates in image pixels.
  void pressMouse(int x, int y);
  void dragMouse(bool leftHeld, bool rightHeld, int x, int y);
  void releaseMouse();

  // Menu "Darstellung": invert one layer item and redraw ("Flugweg zentrieren"
  // only inverts its check mark).
  void toggleLayer(bool Layers::*item);

  // The window's image got a new size: resize BackBuffer and redraw.
  void resizeImage(int width, int height);

 private:
  // Settles the camera, then one redraw.
  void showCamera();
  void paint();
  // The scene from its source, projected; null when there is nothing beside the active flight.
  const class OtherFlights* projectOthers();
  struct Impl;
  Impl* impl_;
  long long redraws_ = 0;
  int heldBack_ = 0;           // open redrawOnceAfter calls
  bool redrawWanted_ = false;  // a held-back Grafikupdate asked for the picture
};

}  // namespace trelvano
