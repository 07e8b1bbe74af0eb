// The local frame written by two cores must equal the one written in one
// pass, extents included: NaN and signed zeros wherever they fall.
#include "ImportTestSupport.h"
#include "import/LocalFrame.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace trelvano;

namespace {

constexpr int32_t kLast = 9999;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Odd {
  const char* name;
  int32_t at;   // the point that gets the value
  double value;  // for latitude, longitude and altitude
};

void fill(FlightData& d, const Odd& odd) {
  for (int32_t i = 0; i <= kLast; ++i) {
    FlightPoint& p = d.FlightPath[i];
    p = FlightPoint{};
    p.Lat = 47 + std::sin(i * 0.001) * 0.01;
    p.Lon = 11 + std::cos(i * 0.0013) * 0.01;
    p.Altitude = 500 + 400 * std::sin(i * 0.002);
  }
  if (odd.at >= 0) {
    FlightPoint& p = d.FlightPath[odd.at];
    p.Lat = p.Lon = p.Altitude = odd.value;
  }
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(FrameOnTwoCores, EqualsOnePass) {
  const Odd odds[] = {
      {"plain", -1, 0},
      {"NaN first", 0, kNaN},
      {"NaN at the start of the later half", (kLast + 1) / 2, kNaN},
      {"NaN late", kLast, kNaN},
      {"the largest late", 9000, 1e6},
      {"the smallest early in the later half", 5001, -1e6},
      {"minus zero in the later half", 6000, -0.0},
  };
  const FrameOrigin origin{47, 11, 500};
  auto step = [](int32_t, FlightPoint& p) { p.TimeStep = 2; };
  for (const Odd& odd : odds) {
    SCOPED_TRACE(odd.name);
    FlightDataPtr one = makeFlightData(), two = makeFlightData();
    fill(*one, odd);
    fill(*two, odd);
    writeFlightFrame(*one, kLast, origin, step);
    writeFlightFrameOnTwoCores(*two, kLast, origin, step);
    EXPECT_EQ(StateSnapshot(*one).differenceTo(*two), "");
    for (auto field : {&FlightData::MaxAltitude, &FlightData::MaxLat, &FlightData::MinLat, &FlightData::MaxLon,
                       &FlightData::MinLon})
      EXPECT_TRUE(sameBits((*one).*field, (*two).*field)) << (*one).*field << " " << (*two).*field;
  }
}

}  // namespace
