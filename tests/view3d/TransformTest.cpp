#include "view3d/Transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace transform_test {

using namespace trelvano;

namespace {
constexpr double kDeg = std::numbers::pi / 180;

FlightPoint at(double x, double y, double z, int32_t pen) {
  FlightPoint p{};
  p.X = x, p.Y = y, p.Z = z, p.Pen = pen;
  return p;
}
}  // namespace

TEST(Transform, StartCameraProjectsTheWorkedExample) {
  const FlightDataPtr d = makeFlightData();
  Camera cam;  // CamA 0, CamE 20, CamD 2000
  cam.CamZ = 50;
  PointArray& a = d->FlightPath;
  a[0] = at(0, 100, 0, kPenLine);
  TransformPoints(a, 0, buildViewMatrix(cam));
  const double yv = 100 * std::cos(20 * kDeg), w = 1 + yv / 2000;
  EXPECT_NEAR(yv, 93.97, 0.005);
  EXPECT_NEAR(w, 1.047, 0.0005);
  EXPECT_NEAR(a[0].ProjY, (100 * std::sin(20 * kDeg) - 50) / w, 1e-12);
  EXPECT_NEAR(a[0].ProjX, 0, 1e-12);

  cam.CamZ = 0;
  a[0] = at(0, 0, 0, kPenMove);
  TransformPoints(a, 0, buildViewMatrix(cam));
  EXPECT_EQ(a[0].ProjX, 0);
  EXPECT_EQ(a[0].ProjY, 0);

  // Turned by 90 degrees the camera looks west (growing X): such a point moves
  // away (w > 1) and stays on the centre line.
  cam = Camera{};
  cam.CamA = 90, cam.CamE = 0;
  const Matrix4 m = buildViewMatrix(cam);
  EXPECT_NEAR(1000 * m.m[0][3] + m.m[3][3], 1.5, 1e-12);
  EXPECT_NEAR(1000 * m.m[0][0] + m.m[3][0], 0, 1e-9);
}

TEST(Transform, MatchesTheFullRowVectorProductExactly) {
  const FlightDataPtr d = makeFlightData();
  Camera cam{12.5, -3000, 40, 33, 61, 1500};
  const Matrix4 m = buildViewMatrix(cam);
  for (int i = 0; i < 50; ++i) d->ShadowPath[i] = at(i * 97.3 - 2000, i * -41.7 + 900, i * 3.1, kPenLine);
  TransformPoints(d->ShadowPath, 49, m);
  for (int i = 0; i < 50; ++i) {
    const FlightPoint& p = d->ShadowPath[i];
    Matrix4 row{};
    row.m[0][0] = p.X, row.m[0][1] = p.Y, row.m[0][2] = p.Z, row.m[0][3] = 1;
    MulMatrix(row, m, row);
    ASSERT_GT(row.m[0][3], 0);
    EXPECT_EQ(p.ProjX, row.m[0][0] / row.m[0][3]) << i;
    EXPECT_EQ(p.ProjY, row.m[0][2] / row.m[0][3]) << i;
  }
}

TEST(Transform, PenFollowsThePointAcrossTheEyePlane) {
  const FlightDataPtr d = makeFlightData();
  Camera cam;
  cam.CamE = 0;
  cam.CamD = 2048;  // w = 1 + (Y - CamY) / 2048, exact in binary
  PointArray& a = d->FlightPath;
  const int32_t pens[] = {kPenMove, kPenLine, kPenLineBehind, kPenMoveBehind, 7};
  const int32_t inFront[] = {kPenMove, kPenLine, kPenLine, kPenMove, 7};
  const int32_t behind[] = {kPenMoveBehind, kPenLineBehind, kPenLineBehind, kPenMoveBehind, kPenMoveBehind};
  for (int i = 0; i < 5; ++i) a[i] = at(10, 0, 5, pens[i]);
  TransformPoints(a, 4, buildViewMatrix(cam));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a[i].Pen, inFront[i]) << i;

  for (double camY : {2048.0, 5000.0}) {  // on the eye plane (w = 0), then behind it
    for (int i = 0; i < 5; ++i) a[i].Pen = pens[i];
    cam.CamY = camY;
    TransformPoints(a, 4, buildViewMatrix(cam));
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(a[i].Pen, behind[i]) << camY << " " << i;
      EXPECT_EQ(a[i].ProjX, 0);
      EXPECT_EQ(a[i].ProjY, 0);
    }
  }
  cam.CamY = 0;  // back in front: 1 -> 2 -> 1 and 0 -> 3 -> 0
  TransformPoints(a, 4, buildViewMatrix(cam));
  EXPECT_EQ(a[0].Pen, kPenMove);
  EXPECT_EQ(a[1].Pen, kPenLine);
  EXPECT_NEAR(a[0].ProjX, 10, 1e-12);
}

TEST(Transform, LastIndexBoundsAndLayerSwitches) {
  const FlightDataPtr d = makeFlightData();
  const Matrix4 m = buildViewMatrix(Camera{});
  d->GridPoints[0] = at(100, 0, 0, kPenMove);
  d->GridPoints[0].ProjX = 777;
  TransformPoints(d->GridPoints, -1, m);
  EXPECT_EQ(d->GridPoints[0].ProjX, 777);

  // Beyond the array: everything that exists is done, then the range error.
  d->VectorMap[131071] = at(100, 0, 0, kPenMove);
  EXPECT_THROW(TransformPoints(d->VectorMap, 131072, m), RunError);
  EXPECT_NEAR(d->VectorMap[131071].ProjX, 100, 1e-9);

  PointArray FlightData::*arrays[] = {&FlightData::GridPoints, &FlightData::ArrowPoints, &FlightData::PlumbLines,
                                      &FlightData::ShadowPath, &FlightData::FlightPath,  &FlightData::MapCells,
                                      &FlightData::MapFrame,   &FlightData::VectorMap};
  struct Case {
    bool Layers::*layer;
    bool dragging;
    int transformed;
  };
  const Case cases[] = {
      {&Layers::Gitter, false, 0},   {&Layers::NordPfeil, false, 1},   {&Layers::Lot, false, 2},
      {&Layers::Schatten, false, 3}, {&Layers::Flugbahn, false, 4},    {&Layers::Karte, false, 5},
      {&Layers::Karte, true, 6},     {&Layers::VectorKarte, false, 7}, {&Layers::Startkoordinaten, false, -1}};
  for (const Case& c : cases) {
    for (auto arr : arrays) {
      (d.get()->*arr)[0] = at(100, 0, 0, kPenMove);
      (d.get()->*arr)[0].ProjX = 777;
    }
    d->GridLast = d->ArrowLast = d->PlumbLast = d->LastPoint = 0;
    d->MapCellsLast = d->MapFrameLast = d->VectorMapLast = 0;
    Layers layers;
    layers.Flugbahn = layers.Schatten = layers.NordPfeil = layers.Gitter = layers.Lot = false;
    layers.Karte = layers.VectorKarte = layers.Startkoordinaten = false;
    layers.*c.layer = true;
    d->MapDragMode = c.dragging;
    Matrix4 built;
    DDDCalc(*d, Camera{}, layers, built);
    for (int i = 0; i < 8; ++i)
      EXPECT_EQ((d.get()->*arrays[i])[0].ProjX == 777, i != c.transformed) << c.transformed << " " << i;
  }
}

}  // namespace transform_test
