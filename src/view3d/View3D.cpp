#include "view3d/View3D.h"

#include "canvas/Canvas.h"
#include "import/FlightFrame.h"
#include "model/Numbers.h"
#include "model/RunError.h"
#include "view3d/Framing.h"
#include "view3d/Heights.h"
#include "view3d/Matrix4.h"
#include "view3d/OtherFlights.h"
#include "view3d/RedrawWorker.h"
#include "view3d/RenderPass.h"
#include "view3d/Renderer.h"
#include "view3d/Transform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace trelvano {

namespace {

// Grid spacing by the distance of CamY from its home value.
constexpr double kFineGridBand = 5000;    // closer than this: lines every 100 m
constexpr double kCoarseGridBand = 9000;  // farther than this: every 1000 m
constexpr double kAutozoomStep = 5000;
constexpr double kAutozoomLimit = -50000;
constexpr double kWheelFactor = 1.2;                               // distance change per wheel notch
constexpr double kWheelNearest = 10;                               // metres: the wheel stops this close
constexpr double kFarthest = std::numeric_limits<int32_t>::min();  // CamY's end of range

// "Flug einpassen": the flight should span a third of the picture at least;
// turning is tried in these steps and must gain this much to be taken.
constexpr double kLeastFill = 1.0 / 3;
constexpr int kTurnStep = 45;
constexpr double kBetterFill = 0.05;

}  // namespace

// Everything the picture below the flight path depends on. A kept underlay
// is used only while all of it is as it was when the underlay was drawn.
struct SceneKey {
  Camera cam;
  Layers layers;
  QSize size;
  bool mapDragMode;
  int32_t lastPoint, rangeStart, rangeEnd, plumbLast, gridLast, arrowLast, mapCellsLast, mapFrameLast, vectorMapLast;
  uint64_t sceneVersion;
  double exaggeration;

  bool operator==(const SceneKey&) const = default;
};

struct View3D::Impl {
  int mouseLastX = 0;
  int mouseLastY = 0;
  Matrix4 viewMatrix = Matrix4::identity();
  Underlay underlay;
  bool underlayValid = false;
  SceneKey underlayKey{};
  RedrawWorker worker;  // the second core of every redraw
  OtherFlights others;
  bool othersProjected = false;
};

namespace {
SceneKey sceneKey(const View3D& v) {
  const FlightData& d = v.data;
  return {v.cam,          v.layers,       v.BackBuffer.size(), d.MapDragMode,  d.LastPoint,
          d.RangeStart,   d.RangeEnd,     d.PlumbLast,         d.GridLast,     d.ArrowLast,
          d.MapCellsLast, d.MapFrameLast, d.VectorMapLast,     d.SceneVersion, d.Exaggeration};
}
}  // namespace

View3D::View3D(FlightData& d, int width, int height)
    : data(d), BackBuffer(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32), impl_(new Impl) {
  GitterPfeil(data, 100);
}

View3D::~View3D() { delete impl_; }

const LabelBoard& View3D::labels() const { return impl_->worker.labels; }

size_t View3D::otherFlightPoints() const { return impl_->othersProjected ? impl_->others.projectedPoints() : 0; }

const OtherFlights* View3D::projectOthers() {
  if (sceneSource) {
    scene.clear();
    sceneSource(scene);
  }
  impl_->othersProjected = false;
  if (scene.empty() || data.LastPoint < 0) return nullptr;
  const FrameOrigin origin = flightOrigin(data);
  if (!std::isfinite(origin.lon) || !std::isfinite(origin.lat)) return nullptr;
  Canvas canvas(BackBuffer);
  bool unused = false;  // OutOfView is the active flight's
  RenderPass pass(canvas, unused);
  impl_->others.project(scene, origin, heightRule(data, layers), buildViewMatrix(cam), pass);
  impl_->othersProjected = true;
  return &impl_->others;
}

void View3D::Grafikupdate() {
  const double distance = std::abs(cam.CamY - 2000);
  if (distance < kFineGridBand) GitterPfeil(data, 100);
  if (distance > kCoarseGridBand) GitterPfeil(data, 1000);
  if (heldBack_ > 0) {
    // Deciding whether the flight is in view needs its projection, not a picture.
    redrawWanted_ = true;
    TransformAndMeasure(data, cam, layers, impl_->viewMatrix, BackBuffer, OutOfView, impl_->worker);
    return;
  }
  paint();
}

void View3D::paint() {
  impl_->underlayValid = false;
  const OtherFlights* others = projectOthers();
  TransformAndDraw(data, cam, layers, impl_->viewMatrix, BackBuffer, OutOfView,
                   keepUnderlay ? &impl_->underlay : nullptr, impl_->worker, others);
  if (keepUnderlay) {
    impl_->underlayKey = sceneKey(*this);
    impl_->underlayValid = true;
  }
  ++redraws_;
}

void View3D::redrawOnceAfter(const std::function<void()>& command) {
  ++heldBack_;
  try {
    command();
  } catch (...) {
    --heldBack_;
    if (heldBack_ == 0 && redrawWanted_) {
      redrawWanted_ = false;
      try {
        paint();
      } catch (...) {
        // The command's own error is the one to show.
      }
    }
    throw;
  }
  --heldBack_;
  if (heldBack_ == 0 && redrawWanted_) {
    redrawWanted_ = false;
    paint();
  }
}

void View3D::redrawFlightColours() {
  if (heldBack_ > 0 || !keepUnderlay || !impl_->underlayValid || !(sceneKey(*this) == impl_->underlayKey)) {
    Grafikupdate();
    return;
  }
  // Same camera, layers and scene: the projections of the last redraw still hold.
  DDDGrafOnUnderlay(data, layers, cam, impl_->underlay, BackBuffer, OutOfView, &impl_->worker, projectOthers());
  ++redraws_;
}

void View3D::setCamera(const Camera& camera) {
  cam = camera;
  showCamera();
}

void View3D::resetCamera() {
  cam.CamD = 2000;
  cam.CamX = 0;
  cam.CamY = 0;
  cam.CamZ = 0;
  if (data.MaxAltitude < 3000) cam.CamZ = data.MaxAltitude / 4;
  cam.CamE = 20;
  cam.CamA = 0;
  showCamera();
}

void View3D::aimAtStart() {
  cam.CamX = 0;
  cam.CamZ = 0;
  showCamera();
}

void View3D::Autozoom() {
  // Each step back only projects the flight; the picture is painted once, at the end.
  redrawOnceAfter([&] {
    while (OutOfView && cam.CamY > kAutozoomLimit) {
      cam.CamY -= kAutozoomStep;
      cam = cam.settled();
      Grafikupdate();
    }
  });
}

void View3D::fitFlight() {
  const bool section = data.RangeStart <= data.RangeEnd;
  const int32_t first = section ? data.RangeStart : 0, last = section ? data.RangeEnd : data.LastPoint;
  // The other shown flights in the active flight's frame, framed with it.
  std::vector<FlightPoint> others;
  if (sceneSource) {
    scene.clear();
    sceneSource(scene);
  }
  if (!scene.tracks.empty() && data.LastPoint >= 0) {
    const FrameOrigin origin = flightOrigin(data);
    for (const SceneTrack& t : scene.tracks)
      for (const Fix& f : t.flight->fixes) {
        FlightPoint p{};
        p.X = frameX(f.Lat, f.Lon, origin), p.Y = frameY(f.Lat, origin), p.Z = f.Altitude - origin.altitude;
        others.push_back(p);
      }
  }
  auto frame = [&](const Camera& c) {
    return framingShift(data, c, BackBuffer.width(), BackBuffer.height(), first, last, others);
  };
  std::optional<CameraShift> shift = frame(cam);
  // Looking the other way is the last resort: when the camera's shifts alone
  // cannot show the flight as a third of the picture (it lies far behind the
  // camera and far below the view), the azimuth that shows it largest.
  if (!shift || shift->fill < kLeastFill) {
    Camera turned = cam;
    for (int azimuth = 0; azimuth < 360; azimuth += kTurnStep) {
      turned.CamA = azimuth;
      const std::optional<CameraShift> s = frame(turned);
      if (s && (!shift || s->fill > shift->fill + kBetterFill)) {
        shift = s;
        cam.CamA = azimuth;
      }
    }
  }
  if (shift) {
    cam.CamX = shift->CamX;
    cam.CamY = shift->CamY;
    cam.CamZ = shift->CamZ;
  }
  showCamera();
}

void View3D::pressMouse(int x, int y) {
  if (data.HideMapWhileDragging) data.MapDragMode = true;
  impl_->mouseLastX = x;
  impl_->mouseLastY = y;
  data.MouseDragBlocked = false;
}

void View3D::dragMouse(bool leftHeld, bool rightHeld, int x, int y) {
  if (data.MouseDragBlocked) return;
  int& lastX = impl_->mouseLastX;
  int& lastY = impl_->mouseLastY;

  // Left: one pixel is one degree of elevation (0 … 90) or azimuth.
  if (leftHeld) {
    if (y != lastY) {
      cam.CamE += static_cast<double>(y) - lastY;
      lastY = y;
      if (cam.CamE > 90) cam.CamE = 90;
      if (cam.CamE < 0) cam.CamE = 0;
    }
    if (x != lastX) {
      cam.CamA += static_cast<double>(x) - lastX;
      lastX = x;
    }
  }
  // Right: move along the line of sight and sideways; the step grows with the
  // distance from the home value. Sees nothing the left button already used.
  if (rightHeld) {
    if (y != lastY) {
      cam.CamY += (std::abs((cam.CamY - 2000) / 100) + 5) * (static_cast<double>(y) - lastY);
      lastY = y;
      if (cam.CamY > cam.CamD) cam.CamY = cam.CamD;
    }
    if (x != lastX) {
      cam.CamX += (std::abs((cam.CamY - 2000) / 500) + 5) * (static_cast<double>(x) - lastX);
      lastX = x;
    }
  }
  if (!leftHeld && !rightHeld) return;
  showCamera();
}

void View3D::showCamera() {
  cam = cam.settled();
  Grafikupdate();
}

void View3D::turnCamera(int azimuthDegrees, int elevationDegrees) {
  cam.CamA += azimuthDegrees;
  cam.CamE = std::clamp(cam.CamE + elevationDegrees, 0.0, 90.0);
  showCamera();
}

void View3D::zoomByWheel(int notches) {
  if (notches == 0) return;
  // The distance from the eye to the scene's centre plane shrinks or grows by
  // a fifth per notch, so each notch looks the same near and far.
  const double distance = std::max(cam.CamD - cam.CamY, kWheelNearest);
  const double scaled = distance * std::pow(kWheelFactor, -notches);
  // CamY is held in 32 bits: far out the wheel stops at its end.
  cam.CamY = std::clamp(cam.CamD - std::max(scaled, kWheelNearest), kFarthest, cam.CamD);
  showCamera();
}

void View3D::releaseMouse() {
  data.MapDragMode = false;
  Grafikupdate();
}

void View3D::toggleLayer(bool Layers::*item) {
  layers.*item = !(layers.*item);
  if (item != &Layers::FollowReplay) Grafikupdate();
}

void View3D::resizeImage(int width, int height) {
  // A window narrower than its frame leaves no room; keep one pixel to draw on.
  BackBuffer = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  Grafikupdate();
}

}  // namespace trelvano
