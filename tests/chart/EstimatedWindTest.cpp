// "geschätzt": Air-Speed with the wind estimated from the flight's circles.
#include "common/SyntheticIgc.h"

#include "chart/core/ChartView.h"
#include "chart/core/GpsSeries.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "app/core/AnalyseLoadedFlight.h"

#include <gtest/gtest.h>

#include <cmath>

namespace estimated_wind_test {

using namespace trelvano;

TEST(EstimatedWind, TakesOutTheWindOfTheNearestTurn) {
  using namespace trelvano::synthetic;
  synthetic::Flight f;
  f.windSpeed = 30 / 3.6, f.windFrom = 60, f.airspeed = 25;
  f.legs = {{Manoeuvre::Glide, 60}, {Manoeuvre::Thermal, 200, 18, 2}, {Manoeuvre::Glide, 60}};
  FlightDataPtr data = makeFlightData();
  showFlight(*data, readIgc(igcBytes(f), QStringLiteral("t.igc")));
  Wind none{};
  EXPECT_FALSE(estimatedWindAt(*data, 100, none));  // not analysed yet
  trelvano::analyseLoadedFlight(*data);

  // In the thermal the air speed stays near the airspeed with the estimate,
  // and swings with the wind without it.
  auto spread = [&](bool estimated) {
    double sum = 0, squares = 0;
    int n = 0;
    for (int i = 80; i < 240; ++i) {
      Wind w{0, 0};
      if (estimated) {
        EXPECT_TRUE(estimatedWindAt(*data, i, w));
      }
      const double v = GpsAVValue(*data, i, windDisplacement(w, data->FlightPath[i].TimeStep));
      sum += v, squares += v * v, ++n;
    }
    const double mean = sum / n;
    if (estimated) {
      EXPECT_NEAR(mean, 25, 1.0);
    }
    return std::sqrt(squares / n - mean * mean);
  };
  EXPECT_LT(spread(true), 2.5);
  EXPECT_GT(spread(false), 5.0);

  // The chart draws with it, and the text names it.
  ChartState state;
  ChartView chart(*data, state);
  chart.open();
  chart.setWindEstimated(true);
  EXPECT_TRUE(chart.controls.windEstimated);
  EXPECT_TRUE(chart.controls.gpsTicked[kGpsAV]);  // chosen without Air-Speed, which it ticks
}

}  // namespace estimated_wind_test
