#include "common/TestPaths.h"
#include "import/ChannelConversion.h"
#include "model/RunError.h"

#include <gtest/gtest.h>

#include <optional>

namespace channel_conversion_test {

using namespace trelvano;

namespace {

ChannelParam param(int32_t kind, double offset, double koeffizient, double startwert = 0) {
  ChannelParam p;
  p.Kind = kind;
  p.Offset = offset;
  p.Koeffizient = koeffizient;
  p.Startwert = startwert;
  return p;
}

// The run-time text a conversion fails with, or nothing when it succeeds.
std::optional<QString> failureText(int32_t raw, const ChannelParam& p, double temperature = 25, double altitude = 0) {
  try {
    convertChannelValue(raw, p, temperature, altitude);
    return std::nullopt;
  } catch (const RunError& e) {
    return e.text();
  }
}

struct Case {
  const char* what;
  ChannelParam p;
  int32_t raw;
  double temperature, altitude;
  const char* de;
  const char* c;
};

}  // namespace

TEST(ChannelConversion, EveryKindGivesItsExactTextInBothLocales) {
  const Case cases[] = {
      {"linear", param(kKindLinear, 100, 0.5), 300, 25, 0, "100", "100"},
      {"linear below offset", param(kKindLinear, 100, 0.5), 0, 25, 0, "-50", "-50"},
      {"linear, 15 digits", param(kKindLinear, 0, 0.1), 3, 25, 0, "0,3", "0.3"},
      {"speed at rest", param(kKindSpeed, 0, 1), 0, 25, 0, "0", "0"},
      {"speed", param(kKindSpeed, 0, 1), 100, 25, 0, "126,2", "126.2"},
      {"speed below offset", param(kKindSpeed, 50, 1), 40, 25, 0, "0", "0"},
      {"speed on the offset", param(kKindSpeed, 50, 1), 50, 25, 0, "0", "0"},
      // 375093.77344336084 / q * 60 / n
      {"rpm raw 0 counts as 1", param(kKindDrehzahl, 0, 1), 0, 25, 0, "22505626,4066017", "22505626.4066017"},
      {"rpm raw 1", param(kKindDrehzahl, 0, 1), 1, 25, 0, "22505626,4066017", "22505626.4066017"},
      {"rpm two pulses", param(kKindDrehzahl, 0, 2), 1, 25, 0, "11252813,2033008", "11252813.2033008"},
      {"rpm divisor 2.5 rounds to 2", param(kKindDrehzahl, 0, 2.5), 1, 25, 0, "11252813,2033008", "11252813.2033008"},
      {"rpm divisor 3.5 rounds to 4", param(kKindDrehzahl, 0, 3.5), 1, 25, 0, "5626406,60165041", "5626406.60165041"},
      {"rpm divisor rounding to 0 counts as 1", param(kKindDrehzahl, 0, 0.4), 1, 25, 0, "22505626,4066017",
       "22505626.4066017"},
      {"rpm in flight", param(kKindDrehzahl, 0, 2), 1875, 25, 0, "6001,50037509377", "6001.50037509377"},
      {"rpm negative raw", param(kKindDrehzahl, 0, 1), -1, 25, 0, "-22505626,4066017", "-22505626.4066017"},
      // (1 - (p / 1013.25)^0.1902849) * (T + 273 - 0.0065 * altitude) / 0.0065 - Offset
      {"height, standard pressure", param(kKindHoehe, 0, 0, 1013.25), 12345, 25, 0, "0", "0"},
      {"height 913.25 hPa", param(kKindHoehe, 0, 1, 1013.25), 100, 25, 0, "898", "898"},  // 897.578
      {"height with temperature term and offset", param(kKindHoehe, 100, 0.01, 1100), 14540, 15, 300, "396",
       "396"},                                                                                           // 396.485
      {"height above standard pressure", param(kKindHoehe, 0, -1, 1013.25), 20, 25, 0, "-171", "-171"},  // -170.835
      {"height at pressure 0", param(kKindHoehe, 0, 1, 1000), 1000, 25, 0, "45846", "45846"},            // 298 / 0.0065
      {"unknown kind", param(5, 1, 1), 77, 25, 0, "0", "0"},
      {"negative kind", param(-1, 1, 1), 77, 25, 0, "0", "0"},
  };
  for (const Case& c : cases) {
    {
      ScopedLocale de("de_DE");
      EXPECT_EQ(convertChannelValue(c.raw, c.p, c.temperature, c.altitude), QString::fromUtf8(c.de)) << c.what;
    }
    ScopedLocale cl("C");
    EXPECT_EQ(convertChannelValue(c.raw, c.p, c.temperature, c.altitude), QString::fromUtf8(c.c)) << c.what;
  }
}

TEST(ChannelConversion, FormulasWithoutARealResultFail) {
  const QString invalidOp = QStringLiteral("Ungültige Gleitkommaoperation");
  const QString range = QStringLiteral("Fehler bei Bereichsprüfung");
  EXPECT_EQ(failureText(1001, param(kKindHoehe, 0, 1, 1000)), invalidOp);  // p = -1 hPa
  EXPECT_EQ(failureText(100, param(kKindSpeed, 0, -1)), invalidOp);        // negative product
  EXPECT_EQ(failureText(1, param(kKindDrehzahl, 0, 3e9)), range);
  EXPECT_EQ(failureText(1, param(kKindDrehzahl, 0, -3e9)), range);
  EXPECT_EQ(failureText(1, param(kKindDrehzahl, 0, 2147483647.0)), std::nullopt);
}

TEST(ChannelConversion, DefaultTableShowsTheRawIntegers) {
  ChannelParamTable table;
  Parameterinit(table);
  ScopedLocale de("de_DE");
  for (int k = 0; k < kChannelCount; ++k) {
    EXPECT_EQ(table[k].Name, defaultChannelName(k));
    for (int32_t raw : {0, 1, -5, 1234567, 2147483647, -2147483647 - 1})
      EXPECT_EQ(convertChannelValue(raw, table[k], 25, 0), QString::number(raw)) << k;
  }
  EXPECT_EQ(table[7].Name, QStringLiteral("Frequenz"));
}

class ParameterToStringTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { data_ = makeFlightData().release(); }
  static void TearDownTestSuite() { FreeDeleter()(data_); }
  static FlightData* data_;
};
FlightData* ParameterToStringTest::data_ = nullptr;

TEST_F(ParameterToStringTest, ReadsTheChannelTableAndTheFlightPoint) {
  FlightData& d = *data_;
  Parameterinit(d.ChannelParams);
  for (int k = 0; k < kChannelCount; ++k) {
    d.ChannelSamples[32767][k] = 1000 * k - 7;
    d.RawSamples[32767][k] = 5;  // only ChannelSamples counts
  }
  for (int k = 0; k < kChannelCount; ++k) EXPECT_EQ(ParameterToString(d, 32767, k), QString::number(1000 * k - 7));

  // Kind Höhe takes the point's altitude and the air temperature.
  d.ChannelParams[4] = param(kKindHoehe, 100, 0.01, 1100);
  d.ChannelSamples[20][4] = 14540;
  d.FlightPath[20].Altitude = 300;
  d.Temperature = 15;
  EXPECT_EQ(ParameterToString(d, 20, 4), QStringLiteral("396"));
  d.Temperature = 25;
  EXPECT_EQ(ParameterToString(d, 20, 4), convertChannelValue(14540, d.ChannelParams[4], 25, 300));
}

TEST_F(ParameterToStringTest, IndicesOutsideTheTablesFail) {
  FlightData& d = *data_;
  for (auto [sample, channel] : {std::pair{32768LL, 0LL}, {-1LL, 0LL}, {0LL, 13LL}, {0LL, -1LL}, {131071LL, 0LL}}) {
    try {
      ParameterToString(d, sample, channel);
      ADD_FAILURE() << sample << "/" << channel;
    } catch (const RunError& e) {
      EXPECT_EQ(e.kind(), RunErrorKind::Range) << sample << "/" << channel;
    }
  }
}

}  // namespace channel_conversion_test
