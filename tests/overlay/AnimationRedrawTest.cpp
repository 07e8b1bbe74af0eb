// The "Flugrichtung" animation repaints only the flight path on the picture
// kept below it. Whatever happens in between, every tick must show exactly
// what a full redraw shows.
#include "common/VectorMapBytes.h"
#include "import/FlightFrame.h"
#include "import/PixelMapReader.h"
#include "import/VectorMapReader.h"
#include "model/FlightData.h"
#include "overlay/Overlay.h"
#include "view3d/View3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace animation_redraw_test {

using namespace trelvano;

namespace {

struct AnimatedFlight {
  FlightDataPtr data = makeFlightData();
  View3D view{*data};
  SidePanels panels;

  AnimatedFlight() {
    FlightData& d = *data;
    d.LastPoint = 599;
    for (int i = 0; i <= d.LastPoint; ++i) {
      // A climbing circle drifting north-east, 0.0001° apart in longitude per step.
      d.FlightPath[i].Lat = 48.1 + 0.0008 * std::sin(i * 0.2) + i * 0.000005;
      d.FlightPath[i].Lon = 11.5 + 0.0012 * std::cos(i * 0.2) + i * 0.000005;
      d.FlightPath[i].Altitude = 400 + i * 0.5;
      d.FlightPath[i].Pen = i == 0 ? 0 : 1;
    }
    d.RangeEnd = d.LastPoint;
    MaxMinusw(d);
    view.resetCamera();
    d.OverlayMode = 1;
    Overlay(d, view, panels);
  }

  // The tick's picture against a full redraw of the same state.
  void expectTickEqualsFullRedraw(const char* when) {
    animateDirections(*data, view);
    const QImage tick = view.BackBuffer.copy();
    const bool tickOutOfView = view.OutOfView;
    view.Grafikupdate();
    EXPECT_EQ(tick, view.BackBuffer) << when;
    EXPECT_EQ(tickOutOfView, view.OutOfView) << when;
  }
};

}  // namespace

TEST(AnimationRedraw, TicksShowWhatAFullRedrawShows) {
  AnimatedFlight f;
  ASSERT_TRUE(f.view.keepUnderlay);
  for (int tick = 0; tick < 3; ++tick) f.expectTickEqualsFullRedraw("plain tick");

  // Changes that happen without a redraw in between must not leave an old picture behind.
  f.view.cam.CamA += 30;
  f.expectTickEqualsFullRedraw("camera turned");
  f.view.layers.Lot = false;
  f.expectTickEqualsFullRedraw("plumb lines switched off");
  f.data->RangeStart = 100;
  MaxMinusw(*f.data);
  f.expectTickEqualsFullRedraw("origin moved");
  f.data->RangeEnd = 300;
  f.expectTickEqualsFullRedraw("section cut");
  f.view.layers.Flugbahn = false;
  f.expectTickEqualsFullRedraw("flight path off: OutOfView comes from the shadow");
  f.view.resizeImage(320, 200);
  f.expectTickEqualsFullRedraw("smaller picture");
}

TEST(AnimationRedraw, MapsLoadedBetweenTicksAreShown) {
  AnimatedFlight f;
  f.view.layers.Karte = f.view.layers.VectorKarte = true;
  // Each map is replaced by one of the same size, so only its contents tell them apart.
  for (int32_t colour : {colours::kGreen, colours::kRed}) {
    const std::vector<int32_t> cells(kMapCellCount, colour);
    setMapCells(*f.data, cells.data());
    f.expectTickEqualsFullRedraw(colour == colours::kRed ? "pixel map replaced" : "pixel map loaded");
  }
  for (int32_t colour : {colours::kBlue, colours::kBlack}) {
    const double lat = 48.1, lon = 11.5;
    const QByteArray file = vectorMapBytes(
        {{lat, lon, 0, colour, 0}, {lat + 0.003, lon, 0, colour, 1}, {lat + 0.003, lon + 0.004, 0, colour, 1}});
    loadVectorMap(*f.data, file, QStringLiteral("test.map"));
    f.expectTickEqualsFullRedraw(colour == colours::kBlack ? "vector map replaced" : "vector map loaded");
  }
}

TEST(AnimationRedraw, OtherOverlaysDoNotKeepAPicture) {
  AnimatedFlight f;
  f.data->OverlayMode = 2;
  Overlay(*f.data, f.view, f.panels);
  EXPECT_FALSE(f.view.keepUnderlay);
  const long long before = f.view.redrawCount();
  f.view.redrawFlightColours();  // falls back to the full redraw
  EXPECT_EQ(f.view.redrawCount(), before + 1);
}

}  // namespace animation_redraw_test
