// The GPS curves' values and the wind model.
#include "ChartTestSupport.h"

#include "chart/core/GpsSeries.h"

#include <cmath>

namespace gps_series_test {

using namespace trelvano;

TEST(Wind, AirSpeedOfAFlightNorthAt10MetresASecond) {
  ChartFixture f;
  f.makeFlight(10);
  for (int i = 0; i < 10; ++i) f.d.FlightPath[i].Z = 0;
  const struct {
    int direction, speed;
    double airSpeed;
  } cases[] = {
      {40, 15, 15},                // from the north (0°) at 5 m/s: head wind
      {0, 15, 15},                 // 360° acts as 0°
      {20, 15, 5},                 // from the south: tail wind
      {30, 15, std::sqrt(125.0)},  // from the east
      {30, 20, 10},                // no wind: the 3D speed
  };
  for (const auto& c : cases) {
    const WindStep w = windDisplacement(windFromBars(c.direction, c.speed), 1.0);
    EXPECT_NEAR(GpsAVValue(f.d, 5, w), c.airSpeed, 1e-9) << c.direction << " " << c.speed;
  }
  EXPECT_DOUBLE_EQ(GpsV3Value(f.d, 5), 10);
  // The wind's displacement grows with the time step it is taken over.
  const WindStep two = windDisplacement(windFromBars(40, 15), 2.0);
  EXPECT_NEAR(two.y, 10, 1e-12);
  EXPECT_NEAR(windDisplacement(windFromBars(40, 15), 0).y, 0, 0);
}

TEST(Wind, BarsGiveTheTextAndLabels) {
  EXPECT_EQ(windText(windFromBars(20, 20)), QStringLiteral("Wind mit 0 km/h (0 m/s) aus 180 °"));
  EXPECT_EQ(windText(windFromBars(20, 0)), QStringLiteral("Wind mit 72 km/h (20 m/s) aus 180 °"));
  EXPECT_EQ(windText(windFromBars(39, 19)), QStringLiteral("Wind mit 4 km/h (1 m/s) aus 9 °"));

  ChartFixture f;
  f.makeFlight(100);
  f.tickGps({kGpsAV});
  f.view->controls.windSpeedPosition = 0;
  f.view->controls.windDirectionPosition = 10;
  f.view->open();
  EXPECT_TRUE(f.view->controls.windGroupVisible);
  EXPECT_EQ(f.view->controls.LabelWindrichtung, QStringLiteral("270°"));
  EXPECT_EQ(f.view->controls.LabelWindstaerke, QStringLiteral("20m/s"));
  f.view->setGpsTicked(kGpsAV, false);
  EXPECT_FALSE(f.view->controls.windGroupVisible);
}

TEST(GpsValues, HeightFromTheLoggerOrFromTheFlight) {
  ChartFixture f;
  f.makeFlight(40);
  EXPECT_DOUBLE_EQ(heightValue(f.d, 25), 25);  // (4250 - 4000) dm
  f.d.RawSamples[25][kColGpsAlt] = 3990;
  EXPECT_DOUBLE_EQ(heightValue(f.d, 25), -1);
  f.d.LoggerNG = false;  // the samples belong to another file: the flight's altitudes
  EXPECT_DOUBLE_EQ(heightValue(f.d, 25), 25);
  f.d.FlightPath[7].TimeStep = 0;
  EXPECT_TRUE(std::isnan(GpsV2Value(f.d, 7)));
  EXPECT_TRUE(std::isnan(GpsV3Value(f.d, 7)));
  EXPECT_TRUE(std::isnan(GpsAVValue(f.d, 7, {1, 1})));
}

}  // namespace gps_series_test
