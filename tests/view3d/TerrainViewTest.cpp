// The terrain under the flight, read back from whole redraws: what hides
// what, held to an independent ray test over the same cone; holes and maps;
// the exaggeration.
#include "../../bench/SyntheticTerrain.h"
#include "RenderTestSupport.h"
#include "import/LocalFrame.h"
#include "model/FlightData.h"
#include "view3d/AnalysisMarks.h"
#include "view3d/TerrainSurface.h"
#include "view3d/Transform.h"
#include "view3d/View3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace terrain_view_test {

using namespace trelvano;

namespace {

constexpr int kW = 800, kH = 500;
constexpr double kStart = 1000;  // metres above sea level of the flight's origin
constexpr int32_t kPlumb = colours::kBlue;
constexpr int32_t kMapColour = 0x00C000C0;

// A cone 1200 m high and 1500 m round on flat ground at the start altitude.
double cone(double x, double y) { return kStart + std::max(0.0, 1200 * (1 - std::hypot(x, y) / 1500)); }

// Line i of a plumb line's own colour.
int32_t plumbColour(int i) { return kPlumb | i; }

// Plumb lines, in the loaders' layout, of points `height` m above the ground at (x, y).
void addPlumbLine(FlightData& d, int i, double x, double y, double height) {
  FlightPoint top{};
  top.X = x, top.Y = y, top.Z = height, top.Color = plumbColour(i), top.Pen = i == 0 ? kPenMove : kPenLine;
  FlightPoint foot = top;
  foot.Z = 0, foot.Pen = kPenLine;
  d.FlightPath[i] = d.ShadowPath[i] = top;
  d.ShadowPath[i].Z = 0;
  top.Pen = kPenMove;
  d.PlumbLines[2 * i] = top;
  d.PlumbLines[2 * i + 1] = foot;
  d.LastPoint = d.RangeEnd = i;
  d.PlumbLast = 2 * i + 1;
}

struct TerrainScene {
  TerrainScene() : data(makeFlightData()), view(*data, kW, kH) {
    data->StartAltitude = kStart;
    Layers& l = view.layers;
    l.Flugbahn = l.Schatten = l.NordPfeil = l.Gitter = l.Startkoordinaten = false;
    l.Karte = l.GeoKarteVisible = true;  // a georeferenced map is shown where one is loaded
  }
  void look(double azimuth, double elevation, double back) {
    view.cam = Camera{};
    view.cam.CamA = azimuth;
    view.cam.CamE = elevation;
    view.cam.CamY = -back;
    view.Grafikupdate();
  }
  Matrix4 matrix() const { return buildViewMatrix(view.cam); }
  // The pixel a point of the local frame (Z as drawn) lands on, as the renderer places it.
  QPoint pixelOf(double x, double y, double z) const {
    const auto& m = matrix().m;
    const double w = x * m[0][3] + y * m[1][3] + z * m[2][3] + m[3][3];
    const double px = (x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0]) / w;
    const double py = (x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2]) / w;
    return QPoint(static_cast<int>(kW - std::lround((px + kW) / 2.5) - kW / 10),
                  static_cast<int>(kH - std::lround((py + kH) / 2.5) - kH / 10));
  }
  // The eye: the point where w and both projected coordinates are 0.
  void eye(double e[3]) const {
    const auto& m = matrix().m;
    const double a[3][4] = {{m[0][0], m[1][0], m[2][0], -m[3][0]},
                            {m[0][2], m[1][2], m[2][2], -m[3][2]},
                            {m[0][3], m[1][3], m[2][3], -m[3][3]}};
    auto det = [](double c0[3], double c1[3], double c2[3]) {
      return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
             c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    double col[4][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 4; ++c) col[c][r] = a[r][c];
    const double d = det(col[0], col[1], col[2]);
    e[0] = det(col[3], col[1], col[2]) / d;
    e[1] = det(col[0], col[3], col[2]) / d;
    e[2] = det(col[0], col[1], col[3]) / d;
  }
  int32_t at(QPoint p) const { return pixelAt(view.BackBuffer, p.x(), p.y()); }
  bool plumbNear(QPoint p, int line) const {
    for (int dx = -1; dx <= 1; ++dx)
      if (at(p + QPoint(dx, 0)) == plumbColour(line)) return true;
    return false;
  }
  FlightDataPtr data;
  View3D view;
};

}  // namespace

// Plumb lines all around a cone, seen from eight sides and two heights with
// the exaggeration 1 and 2: a point near each foot shows exactly when a ray
// from the eye to it clears the cone (cases within 25 m of grazing it are
// left out). Both answers must occur from every side.
TEST(TerrainView, TheConeHidesExactlyThePlumbLinesBehindIt) {
  TerrainScene s;
  makeTerrain(s.data->Terrain, 129, 129, 40, cone);
  constexpr int kLines = 24;
  for (int i = 0; i < kLines; ++i) {
    const double a = 2 * std::numbers::pi * i / kLines;
    addPlumbLine(*s.data, i, 1900 * std::cos(a), 1900 * std::sin(a), 400);
  }
  for (double exaggeration : {1.0, 2.0}) {
    s.data->Exaggeration = exaggeration;
    for (double azimuth = 0; azimuth < 360; azimuth += 45)
      for (double elevation : {6.0, 15.0}) {
        s.look(azimuth, elevation, 7000);
        double eye[3];
        s.eye(eye);
        int seen = 0, hidden = 0;
        for (int i = 1; i < kLines; ++i) {  // the first point's line is never drawn
          const FlightPoint& p = s.data->FlightPath[i];
          const double q[3] = {p.X, p.Y, 40.0 * exaggeration};  // 40 m above the foot
          double clearance = 1e9;
          for (int k = 1; k < 400; ++k) {
            const double t = k / 400.0;
            const double x = eye[0] + t * (q[0] - eye[0]), y = eye[1] + t * (q[1] - eye[1]);
            const double z = eye[2] + t * (q[2] - eye[2]);
            clearance = std::min(clearance, z - (cone(x, y) - kStart) * exaggeration);
          }
          if (std::fabs(clearance) < 25) continue;
          const QPoint pixel = s.pixelOf(q[0], q[1], q[2]);
          ASSERT_TRUE(s.view.BackBuffer.rect().adjusted(1, 0, -1, 0).contains(pixel));
          EXPECT_EQ(s.plumbNear(pixel, i), clearance > 0)
              << "line " << i << " azimuth " << azimuth << " elevation " << elevation << " x" << exaggeration;
          (clearance > 0 ? seen : hidden)++;
        }
        EXPECT_GT(seen, 0) << azimuth << " " << elevation;
        EXPECT_GT(hidden, 0) << azimuth << " " << elevation;
      }
  }
}

// Seen from straight above: a hole of nodes without heights shows the
// background; the map's colour replaces the tint where it covers, the tint
// shows where it does not; without heights the map lies flat on its own;
// with the layer off the picture is the one without any terrain.
TEST(TerrainView, HolesMapsAndTheLayerSwitch) {
  TerrainScene s;
  makeTerrain(s.data->Terrain, 65, 65, 50,
              [](double x, double y) { return std::fabs(x) < 400 && std::fabs(y) < 400 ? std::nan("") : kStart; });
  makeDrape(s.data->GeoMap, 65, 65, 50, [](double, double y) { return y > 800 ? kMapColour : -1; });
  s.look(0, 90, 3000);
  const QPoint hole = s.pixelOf(0, 0, 0), mapped = s.pixelOf(600, 1200, 0), tinted = s.pixelOf(-600, -1200, 0);
  EXPECT_EQ(s.at(hole), colours::kBackground);
  EXPECT_EQ(s.at(mapped), kMapColour);
  EXPECT_EQ(s.at(tinted), trelvano::heightTint(0.5));  // a flat grid: the middle tint, lit as flat ground is

  // "Karte" off: the tints where the map lay, the terrain staying.
  s.view.toggleLayer(&Layers::Karte);
  EXPECT_EQ(s.at(mapped), s.at(tinted));
  EXPECT_EQ(s.at(hole), colours::kBackground);
  s.view.toggleLayer(&Layers::Karte);

  s.data->Terrain = TerrainGrid{};
  s.view.Grafikupdate();
  EXPECT_EQ(s.at(hole), colours::kBackground);
  EXPECT_EQ(s.at(mapped), kMapColour);
  EXPECT_EQ(s.at(tinted), colours::kBackground);
  s.view.toggleLayer(&Layers::Karte);  // nothing left to draw
  EXPECT_EQ(s.at(mapped), colours::kBackground);
  s.view.toggleLayer(&Layers::Karte);

  makeTerrain(s.data->Terrain, 65, 65, 50, cone);
  addPlumbLine(*s.data, 0, 300, 200, 500);
  addPlumbLine(*s.data, 1, -500, 300, 400);
  s.view.layers.Schatten = s.view.layers.Flugbahn = true;
  s.look(30, 25, 5000);
  const QImage withTerrain = s.view.BackBuffer;
  s.view.layers.Gelaende = false;
  s.view.Grafikupdate();
  const QImage switchedOff = s.view.BackBuffer;
  s.data->Terrain = TerrainGrid{};
  s.data->GeoMap = MapDrape{};
  s.view.layers.Gelaende = true;
  s.view.Grafikupdate();
  EXPECT_EQ(switchedOff, s.view.BackBuffer);
  EXPECT_NE(withTerrain, s.view.BackBuffer);
}

// Looking level from the height of the start, drawn heights are proportional
// to the projected ones: twice the exaggeration puts the flight, the shadow
// on the cone's flank and the cone's top twice as far above the horizon.
TEST(TerrainView, TheExaggerationScalesFlightShadowAndTerrainAlike) {
  TerrainScene s;
  makeTerrain(s.data->Terrain, 129, 129, 40, cone);
  addPlumbLine(*s.data, 0, 0, -600, 1500);
  s.view.layers.Schatten = s.view.layers.Flugbahn = true;
  const int horizon = s.pixelOf(0, 0, 0).y();
  double flight[2], shadow[2];
  int top[2];
  for (int k = 0; k < 2; ++k) {
    s.data->Exaggeration = k + 1;
    s.look(0, 0, 9000);
    ASSERT_EQ(s.pixelOf(0, 0, 0).y(), horizon);
    flight[k] = s.data->FlightPath[0].ProjY;
    shadow[k] = s.data->ShadowPath[0].ProjY;
    // The topmost tinted row in the column of the cone's tip.
    const int column = s.pixelOf(0, 0, 0).x();
    top[k] = horizon;
    for (int y = horizon; y >= 0; --y)
      if (s.at(QPoint(column, y)) != colours::kBackground && s.at(QPoint(column, y)) != plumbColour(0)) top[k] = y;
  }
  EXPECT_DOUBLE_EQ(flight[1], 2 * flight[0]);
  EXPECT_NEAR(shadow[1], 2 * shadow[0], 1e-9 * std::fabs(shadow[0]));
  EXPECT_NEAR(shadow[0] / flight[0], (cone(0, -600) - kStart) / 1500, 1e-9);
  EXPECT_GT(horizon - top[0], 20);
  EXPECT_NEAR(horizon - top[1], 2 * (horizon - top[0]), 2);

  // "Flug einpassen" frames the flight as drawn, five times as high.
  addPlumbLine(*s.data, 1, 300, 400, 0);
  s.data->Exaggeration = 5;
  s.view.fitFlight();
  for (int i = 0; i < 2; ++i) {
    const FlightPoint& p = s.data->FlightPath[i];
    EXPECT_TRUE(s.view.BackBuffer.rect().contains(s.pixelOf(p.X, p.Y, p.Z * 5))) << i;
  }
}

// A coarse level shows the mean of the cells it covers: a map of stripes two
// nodes wide, and ridges two nodes apart in height tints, seen from straight
// above from ever farther, turn into one even colour, the mean of what is
// seen close up, not into stripes of one node's colour or into that colour.
TEST(TerrainView, CoarseLevelsShowTheMeanOfWhatTheyCover) {
  constexpr int kNodes = 257;
  constexpr double kStep = 20;
  auto stripe = [](double x) { return static_cast<int>(std::floor(x / (2 * kStep) + 0.25)) % 2 != 0; };
  for (bool mapped : {true, false}) {
    TerrainScene s;
    if (mapped) {
      makeTerrain(s.data->Terrain, kNodes, kNodes, kStep, [](double, double) { return kStart; });
      makeDrape(s.data->GeoMap, kNodes, kNodes, kStep,
                [&](double x, double) { return stripe(x) ? 0x00FF0000 : 0x000000FF; });
    } else {
      makeTerrain(s.data->Terrain, kNodes, kNodes, kStep,
                  [&](double x, double) { return kStart + (stripe(x) ? 30 : 0); });
    }
    // The pixels over the middle of the grid, well inside its edges.
    auto middle = [&s](auto each) {
      const QRect inside = QRect(s.pixelOf(-600, -600, 0), s.pixelOf(600, 600, 0)).normalized();
      ASSERT_GT(inside.width(), 10);
      ASSERT_TRUE(s.view.BackBuffer.rect().contains(inside));
      for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) each(s.at(QPoint(x, y)));
    };
    auto stride = [&s] {
      TerrainSurface surface;
      surface.prepare(*s.data, s.view.layers, s.view.cam, s.matrix(), kW, kH);
      return surface.nearStride();
    };
    s.look(0, 90, 1200);
    ASSERT_EQ(stride(), 1);
    double sum[3] = {0, 0, 0}, count = 0;
    middle([&](int32_t c) {
      for (int k = 0; k < 3; ++k) sum[k] += (c >> (8 * k)) & 0xFF;
      ++count;
    });
    for (double back : {15000.0, 30000.0, 60000.0}) {
      s.look(0, 90, back);
      ASSERT_GE(stride(), 4) << back;
      double worst = 0;
      middle([&](int32_t c) {
        for (int k = 0; k < 3; ++k) worst = std::max(worst, std::fabs(((c >> (8 * k)) & 0xFF) - sum[k] / count));
      });
      EXPECT_LE(worst, 6) << (mapped ? "map" : "tints") << " from " << back;
    }
  }
}

// A map finer than the terrain's cells: seen close, each pixel shows the
// texel under it, clear texels the tint beneath; from afar the cells show
// the mean of their texels, as before.
TEST(TerrainView, CloseUpTheMapShowsItsOwnTexels) {
  constexpr int kNodes = 65, kDetail = 8;
  constexpr double kStep = 50;
  constexpr int32_t kLight = 0x00E0E0E0, kDark = 0x00202020;
  // Texels 6.25 m wide in a checkerboard, a clear square of them west of the origin.
  const auto texel = [](double x, double y) {
    if (x > 10 && x < 40 && y > 10 && y < 40) return -1;
    return (int(std::floor(x / 6.25)) + int(std::floor(y / 6.25))) % 2 != 0 ? kLight : kDark;
  };
  TerrainScene s;
  makeTerrain(s.data->Terrain, kNodes, kNodes, kStep, [](double, double) { return kStart; });
  makeDrape(s.data->GeoMap, kNodes, kNodes, kStep, texel, kDetail);
  s.look(0, 90, -1500);  // 500 m above the ground: texels 10 pixels wide
  int checked = 0;
  for (double y = -87.5; y < 90; y += 6.25)
    for (double x = -87.5; x < 90; x += 6.25) {
      const double cx = x + 3.125, cy = y + 3.125;  // the texel's centre
      const int32_t want = texel(cx, cy) < 0 ? trelvano::heightTint(0.5) : texel(cx, cy);
      ASSERT_EQ(s.at(s.pixelOf(cx, cy, 0)), want) << x << " " << y;
      ++checked;
    }
  EXPECT_GT(checked, 500);
  // From afar: one even colour, the texels' mean.
  s.look(0, 90, 40000);
  EXPECT_NEAR(s.at(s.pixelOf(-800, -800, 0)) & 0xFF, (0xE0 + 0x20) / 2, 2);
}

// A declared turnpoint lies on the terrain where the terrain is shown (on
// the cone's tip, 1200 m up, twice that at 2×), else on the ground plane.
TEST(TerrainView, TheTaskLiesOnTheShownTerrain) {
  TerrainScene s;
  makeTerrain(s.data->Terrain, 129, 129, 40, cone);
  addPlumbLine(*s.data, 0, 0, -600, 1500);
  s.view.layers.Lot = false;
  // The frame's origin (0, 0), where the cone's tip is, as the marks find it from point 0.
  const FlightPoint& p0 = s.data->FlightPath[0];
  s.data->Igc.task = {TaskPoint{}};
  s.data->Igc.task[0].lat = p0.Lat - p0.Y / kMetresPerDegree;
  s.data->Igc.task[0].lon = p0.Lon + p0.X / kMetresPerDegree;
  s.data->Igc.task[0].name = QStringLiteral("Gipfel");
  const struct {
    bool terrain;
    double exaggeration, z;
  } cases[] = {{true, 1, 1200}, {true, 2, 2400}, {false, 1, 0}};
  for (const auto& c : cases) {
    s.view.layers.Gelaende = c.terrain;
    s.data->Exaggeration = c.exaggeration;
    s.look(0, 10, 9000);
    // The turnpoint's mark is a white square; nothing else in the scene is white.
    for (const double z : {0.0, 1200.0, 2400.0})
      EXPECT_EQ(s.at(s.pixelOf(0, 0, z)) == colours::kWhite, z == c.z)
          << c.terrain << " " << c.exaggeration << " " << z;
  }
}

}  // namespace terrain_view_test
