// The converted channel values: exactly the point display's texts read back,
// converted again only when their inputs change.
#include "ChartTestSupport.h"

#include "chart/core/ChannelValues.h"
#include "common/TestPaths.h"
#include "import/ChannelConversion.h"
#include "model/Numbers.h"
#include "model/RunError.h"

namespace channel_values_test {

using namespace trelvano;

namespace {

// One channel of every kind, with fractions that the 15-digit text rounds.
void setKinds(FlightData& d) {
  d.ChannelParams[1] = {3, 0.37, QStringLiteral("lin"), 0, kKindLinear};
  d.ChannelParams[2] = {500, 0.01, QStringLiteral("Baro"), 1100, kKindHoehe};
  d.ChannelParams[3] = {10, 1.0 / 3.0, QStringLiteral("Fahrt"), 0, kKindSpeed};
  d.ChannelParams[4] = {0, 2, QStringLiteral("Motor"), 0, kKindDrehzahl};
  d.ChannelParams[5] = {-1e16, 0.01, QStringLiteral("hoch"), 1100, kKindHoehe};  // beyond 15 digits
}

void expectOracle(const FlightData& d, const ChannelValues& v) {
  ASSERT_EQ(v.count(), d.LastPoint + 1);
  for (int c = 0; c < kChannelCount; ++c) {
    double lo = v.value(0, c), hi = lo;
    for (int i = 0; i <= d.LastPoint; ++i) {
      const double expected = parseFloat(ParameterToString(d, i, c));
      ASSERT_EQ(v.value(i, c), expected) << "sample " << i << " channel " << c;
      lo = std::min(lo, expected), hi = std::max(hi, expected);
    }
    EXPECT_EQ(v.minimum(c), lo);
    EXPECT_EQ(v.maximum(c), hi);
  }
}

}  // namespace

TEST(ChannelValues, EqualTheDisplayTextsReadBackInEveryKindAndLocale) {
  for (const char* locale : {"C", "de_DE"}) {
    ScopedLocale scoped(locale);
    ChartFixture f;
    f.makeFlight(300);
    setKinds(f.d);
    f.setChannel(2, [](int i) { return 14000 + (i * 7) % 23; });
    f.d.FlightPath[17].Altitude = 401.123456789;
    ChannelValues values;
    values.refresh(f.d);
    expectOracle(f.d, values);
  }
}

TEST(ChannelValues, ConvertAgainOnlyWhatChanged) {
  ChartFixture f;
  f.makeFlight(300);
  setKinds(f.d);
  ChannelValues values;
  values.refresh(f.d);
  long long done = values.conversions();
  auto converted = [&] {
    values.refresh(f.d);
    const long long n = values.conversions() - done;
    done = values.conversions();
    expectOracle(f.d, values);
    return n;
  };
  EXPECT_EQ(converted(), 0);
  f.d.Temperature = 10;  // the two "Höhe" channels, every sample distinct
  EXPECT_EQ(converted(), 2 * 300);
  f.d.ChannelParams[3].Koeffizient = 0.5;
  EXPECT_EQ(converted(), 300);
  f.d.ChannelParams[3].Name = QStringLiteral("neu");  // the name converts nothing
  EXPECT_EQ(converted(), 0);
  f.d.ChannelSamples[42][7] = 5;
  EXPECT_EQ(converted(), 300);
  f.d.FlightPath[9].Altitude += 50;  // "Höhe" reads the altitude
  EXPECT_EQ(converted(), 2 * 300);
  f.d.LastPoint = 199;
  EXPECT_GT(converted(), 0);
  EXPECT_EQ(values.count(), 200);
  // Repeated raw values are converted once.
  f.setChannel(8, [](int i) { return i % 4; });
  EXPECT_EQ(converted(), 4);
}

TEST(ChannelValues, AFailedConversionStopsAndIsTriedAgain) {
  ChartFixture f;
  f.makeFlight(50);
  f.d.ChannelParams[6] = {0, 1, QStringLiteral("x"), 0, kKindHoehe};  // negative pressure
  ChannelValues values;
  try {
    values.refresh(f.d);
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("Ungültige Gleitkommaoperation"));
  }
  f.d.ChannelParams[6].Startwert = 1100;
  values.refresh(f.d);
  expectOracle(f.d, values);
  f.d.LastPoint = kSampleRows;  // one more sample than the table holds
  EXPECT_THROW(values.refresh(f.d), RunError);
}

}  // namespace channel_values_test
