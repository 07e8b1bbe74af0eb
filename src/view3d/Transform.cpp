#include "view3d/Transform.h"

#include "model/Numbers.h"
#include "model/RunError.h"
#include "view3d/RedrawWorker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelvano {

Matrix4 buildViewMatrix(const Camera& cam) {
  constexpr double k = std::numbers::pi / 180.0;
  Matrix4 T = Matrix4::identity();
  Matrix4 Rz = Matrix4::identity();
  Matrix4 Rx = Matrix4::identity();
  Matrix4 P = Matrix4::identity();

  T.m[3][0] = -cam.CamX;
  T.m[3][1] = -cam.CamY;
  T.m[3][2] = -cam.CamZ;

  const double a = cam.CamA * k;
  Rz.m[0][0] = std::cos(a);
  Rz.m[1][1] = std::cos(a);
  Rz.m[0][1] = std::sin(a);
  Rz.m[1][0] = -std::sin(a);

  const double e = cam.CamE * k;
  Rx.m[1][1] = std::cos(e);
  Rx.m[2][2] = std::cos(e);
  Rx.m[1][2] = std::sin(e);
  Rx.m[2][1] = -std::sin(e);

  // The eye sits CamD in front of the picture plane: w = 1 + y' / CamD.
  P.m[1][3] = 1.0 / cam.CamD;

  Matrix4 view;
  MulMatrix(Rz, Rx, view);
  MulMatrix(view, T, view);
  MulMatrix(view, P, view);
  return view;
}

namespace {
// The camera's rotation alone: the upper 3 × 3 of its view matrix.
Matrix4 rotationOf(const Camera& cam) {
  Camera turned = cam;
  turned.CamX = turned.CamY = turned.CamZ = 0;
  return buildViewMatrix(turned);
}
}  // namespace

EyePoint eyePoint(const Camera& cam) {
  const Matrix4 r = rotationOf(cam);
  const double eye[3] = {cam.CamX, cam.CamY - cam.CamD, cam.CamZ};
  double at[3];
  for (int i = 0; i < 3; ++i) at[i] = eye[0] * r.m[i][0] + eye[1] * r.m[i][1] + eye[2] * r.m[i][2];
  return {at[0], at[1], at[2]};
}

EyePoint shiftForUp(const Camera& cam) {
  const Matrix4 r = rotationOf(cam);
  return {r.m[2][0], r.m[2][1], r.m[2][2]};
}

void TransformEntries(PointArray& points, int32_t first, int32_t end, const Matrix4& viewMatrix,
                      const trelvano::HeightRule* rule, trelvano::HeightKind kind, const DepthOut* depth) {
  const Projection project(viewMatrix);
  FlightPoint* p = points.data();
  if (depth || (rule && kind != trelvano::HeightKind::AsStored && !rule->plain())) {
    const trelvano::HeightRule asStored;
    if (!rule) rule = &asStored;
    for (int32_t i = first; i <= end; ++i) {
      FlightPoint& pt = p[i];
      const double w = project(pt, pt.X, pt.Y, rule->drawnZ(kind, i, pt.X, pt.Y, pt.Z));
      if (depth && i >= depth->first && i <= depth->last)
        depth->invW[i - depth->first] = w > 0 ? static_cast<float>(1.0 / w) : 0.0f;
    }
    return;
  }
  for (int32_t i = first; i <= end; ++i) project(p[i], p[i].X, p[i].Y, p[i].Z);
}

void TransformPoints(PointArray& points, int32_t last, const Matrix4& viewMatrix) {
  TransformPoints(points, last, viewMatrix, nullptr, trelvano::HeightKind::AsStored);
}

void TransformPoints(PointArray& points, int32_t last, const Matrix4& viewMatrix, const trelvano::HeightRule* rule,
                     trelvano::HeightKind kind) {
  if (last < 0) return;
  // The index check is done once for the whole loop: the entries that exist
  // are transformed, then a last index beyond the array stops with the range error.
  const int32_t end = std::min<int32_t>(last, kPointCapacity - 1);
  TransformEntries(points, 0, end, viewMatrix, rule, kind);
  if (last > end) throw RunError::range();
}

int transformedArrays(FlightData& data, const Layers& layers, TransformedArray (&arrays)[8]) {
  int n = 0;
  if (layers.Gitter) arrays[n++] = {&data.GridPoints, data.GridLast};
  if (layers.NordPfeil) arrays[n++] = {&data.ArrowPoints, data.ArrowLast};
  using trelvano::HeightKind;
  if (layers.Lot) arrays[n++] = {&data.PlumbLines, data.PlumbLast, HeightKind::PlumbPairs};
  if (layers.Schatten) arrays[n++] = {&data.ShadowPath, data.LastPoint, HeightKind::Ground};
  if (layers.Flugbahn) arrays[n++] = {&data.FlightPath, data.LastPoint, HeightKind::Flight};
  if (layers.pixelMapShown() && !data.MapDragMode) arrays[n++] = {&data.MapCells, data.MapCellsLast};
  if (layers.pixelMapShown() && data.MapDragMode) arrays[n++] = {&data.MapFrame, data.MapFrameLast};
  if (layers.VectorKarte) arrays[n++] = {&data.VectorMap, data.VectorMapLast};
  return n;
}

void DDDCalc(FlightData& data, const Camera& cam, const Layers& layers, Matrix4& viewMatrix, RedrawWorker* worker) {
  viewMatrix = buildViewMatrix(cam);
  TransformedArray arrays[8];
  const int n = transformedArrays(data, layers, arrays);
  const trelvano::HeightRule rule = trelvano::heightRule(data, layers);

  // Every point is transformed on its own, so the halves of an array may go
  // to two cores. A last index beyond an array stops the sequence there with
  // the range error, after the arrays before it; that stays on this thread.
  bool allExist = true;
  for (int k = 0; k < n; ++k) allExist = allExist && arrays[k].last < kPointCapacity;
  if (!worker || !allExist) {
    for (int k = 0; k < n; ++k) TransformPoints(*arrays[k].points, arrays[k].last, viewMatrix, &rule, arrays[k].kind);
    return;
  }
  auto halves = [&](int part, int parts) {
    for (int k = 0; k < n; ++k) {
      const int64_t count = int64_t(arrays[k].last) + 1;
      if (count <= 0) continue;
      const auto first = static_cast<int32_t>(count * part / parts);
      const auto end = static_cast<int32_t>(count * (part + 1) / parts) - 1;
      TransformEntries(*arrays[k].points, first, end, viewMatrix, &rule, arrays[k].kind);
    }
  };
  runParts(worker, halves);
}

namespace {

constexpr int32_t kGridLines = 41;                                  // per direction
constexpr int32_t kPointsPerLine = 11;                              // ten segments of 4a
constexpr int32_t kGridLast = 2 * kGridLines * kPointsPerLine - 1;  // 901
constexpr int32_t kArrowLast = 7;

void setGroundPoint(FlightPoint& p, int32_t x, int32_t y, int32_t pen) {
  p.X = x;
  p.Y = y;
  p.Z = 0;
  p.Pen = pen;
}

}  // namespace

void GitterPfeil(FlightData& data, int32_t a) {
  ++data.SceneVersion;
  // Integer arithmetic throughout, overflow-checked like every integer operation.
  const int32_t half = checkedMul(20, a);  // 20a: half the grid's side
  const int32_t step = checkedMul(4, a);   // one segment of a grid line

  FlightPoint* g = data.GridPoints.data();
  for (int32_t n = 0; n < 2 * kGridLines; ++n) {
    const bool northSouth = n < kGridLines;
    const int32_t offset = checkedAdd(checkedMul(a, northSouth ? n : n - kGridLines), -half);
    FlightPoint* line = g + n * kPointsPerLine;
    // A move point is never drawn, so its colour is left alone.
    if (northSouth)
      setGroundPoint(line[0], offset, -half, kPenMove);
    else
      setGroundPoint(line[0], -half, offset, kPenMove);
    for (int32_t j = 1; j < kPointsPerLine; ++j) {
      const int32_t along = checkedAdd(-half, checkedMul(step, j));
      if (northSouth)
        setGroundPoint(line[j], offset, along, kPenLine);
      else
        setGroundPoint(line[j], along, offset, kPenLine);
      line[j].Color = colours::kGrid;
    }
  }
  data.GridLast = kGridLast;

  // North arrow: tail at the origin, tip 3a to the north, shaft a wide.
  const int32_t h = a / 2;  // truncates towards zero
  const int32_t twoA = checkedMul(2, a);
  const int32_t threeA = checkedMul(3, a);
  const int32_t outline[kArrowLast + 1][2] = {
      {-h, 0}, {-h, twoA}, {-a, twoA}, {0, threeA}, {a, twoA}, {h, twoA}, {h, 0}, {-h, 0},
  };
  FlightPoint* arrow = data.ArrowPoints.data();
  for (int32_t i = 0; i <= kArrowLast; ++i) {
    setGroundPoint(arrow[i], outline[i][0], outline[i][1], i == 0 ? kPenMove : kPenLine);
    arrow[i].Color = colours::kDarkGreen;
  }
  data.ArrowLast = kArrowLast;
}

}  // namespace trelvano
