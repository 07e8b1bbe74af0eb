// The other shown flights in the 3D view: drawn in their colour beside the
// active one, their markers (dimmed while waiting) and names, framed with it,
// and a camera that keeps its picture when the frame moves to another flight.
#include "common/TestPaths.h"
#include "import/FlightFrame.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "model/Colour.h"
#include "view3d/Framing.h"
#include "view3d/RenderPass.h"
#include "view3d/Transform.h"
#include "view3d/View3D.h"

#include <gtest/gtest.h>

#include <memory>

namespace other_flights_test {

using namespace trelvano;

namespace {

constexpr int32_t kOther = 0x0000C0FF;        // orange, in no other layer
constexpr int32_t kOtherDimmed = 0x007FDFFF;  // half way to white

int pixelsOf(const QImage& picture, int32_t bgr) {
  int n = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) n += fromRgb32(picture.pixel(x, y)) == bgr;
  return n;
}

// The example flight shown, and beside it a copy of it `north` degrees further north.
struct OtherFlightsTest : ::testing::Test {
  FlightDataPtr owner = makeFlightData();
  FlightData& d = *owner;
  View3D view{d, 800, 500};
  std::shared_ptr<Flight> copy;

  void SetUp() override {
    const Flight flight =
        readIgc(readBytes(sourcePath(QStringLiteral("examples/rundflug.igc"))), QStringLiteral("r.igc"));
    showFlight(d, flight);
    copy = std::make_shared<Flight>(flight);
  }
  void moveCopyNorth(double degrees) {
    for (Fix& f : copy->fixes) f.Lat += degrees;
  }
  // Where a place shows in the last picture's camera, in the active flight's frame.
  QPoint screenOf(double lat, double lon, double altitude) {
    const FrameOrigin o = flightOrigin(d);
    FlightPoint p{};
    Projection(buildViewMatrix(view.cam))(p, frameX(lat, lon, o), frameY(lat, o), altitude - o.altitude);
    bool out = false;
    Canvas canvas(view.BackBuffer);
    RenderPass pass(canvas, out);
    return pass.ToScreen(p.ProjX, p.ProjY);
  }
};

TEST_F(OtherFlightsTest, AnotherFlightIsDrawnInItsColourWithItsMarkerAndName) {
  moveCopyNorth(0.004);
  view.fitFlight();
  EXPECT_EQ(pixelsOf(view.BackBuffer, kOther), 0);
  view.scene.tracks.push_back({copy, kOther});
  view.Grafikupdate();
  EXPECT_GT(pixelsOf(view.BackBuffer, kOther), 200);
  EXPECT_EQ(view.otherFlightPoints(), 2 * copy->fixes.size());  // the track and its shadow

  // A waiting flight's marker is dimmed; the named one gets its label beside it.
  const Fix& f = copy->fixes[100];
  view.scene.markers.push_back({f.Lat, f.Lon, f.Altitude, kOther, true, QStringLiteral("Bert – Discus")});
  view.Grafikupdate();
  const QPoint at = screenOf(f.Lat, f.Lon, f.Altitude);
  EXPECT_EQ(fromRgb32(view.BackBuffer.pixel(at)), kOtherDimmed);
  ASSERT_EQ(view.labels().placed().size(), 1u);
  EXPECT_LE((view.labels().placed().front().center() - at).manhattanLength(), 80);

  // The view's arrays are kept: the same scene again projects into them without growing.
  view.scene.markers.clear();
  view.scene.tracks.clear();
  view.Grafikupdate();
  EXPECT_EQ(pixelsOf(view.BackBuffer, kOther), 0);
  EXPECT_EQ(view.otherFlightPoints(), 0u);
}

TEST_F(OtherFlightsTest, FittingShowsEveryShownFlight) {
  moveCopyNorth(0.1);  // some 11 km away
  view.scene.tracks.push_back({copy, kOther});
  view.fitFlight();
  for (size_t i : {size_t(0), copy->fixes.size() / 2, copy->fixes.size() - 1}) {
    const Fix& f = copy->fixes[i];
    const QPoint p = screenOf(f.Lat, f.Lon, f.Altitude);
    EXPECT_TRUE(QRect(QPoint(0, 0), view.BackBuffer.size()).contains(p)) << i;
  }
  const QPoint start = screenOf(d.FlightPath[0].Lat, d.FlightPath[0].Lon, d.FlightPath[0].Altitude);
  EXPECT_TRUE(QRect(QPoint(0, 0), view.BackBuffer.size()).contains(start));
}

// A place keeps its pixel when the frame moves to another origin, whatever the camera's turn.
TEST(CameraAfterFrameMove, KeepsEveryPlaceWhereItWas) {
  const FrameOrigin from{48.1, 11.5, 500}, to{48.13, 11.56, 820};
  const struct { double azimuth, elevation, scale; } cases[] = {{0, 20, 1}, {135, 45, 1}, {290, 5, 3}, {45, 90, 2}};
  for (const auto& c : cases) {
    Camera cam;
    cam.CamA = c.azimuth, cam.CamE = c.elevation, cam.CamY = -3000, cam.CamX = 120, cam.CamZ = 300;
    const Camera moved = cameraAfterFrameMove(cam, from, to, c.scale);
    for (const auto& [lat, lon, alt] : {std::tuple{48.11, 11.52, 900.0}, {48.14, 11.6, 1500.0}}) {
      FlightPoint a{}, b{};
      Projection(buildViewMatrix(cam))(a, frameX(lat, lon, from), frameY(lat, from), (alt - from.altitude) * c.scale);
      Projection(buildViewMatrix(moved))(b, frameX(lat, lon, to), frameY(lat, to), (alt - to.altitude) * c.scale);
      EXPECT_NEAR(a.ProjX, b.ProjX, RenderPass::S) << c.azimuth;
      EXPECT_NEAR(a.ProjY, b.ProjY, RenderPass::S) << c.azimuth;
    }
  }
}

}  // namespace

}  // namespace other_flights_test
