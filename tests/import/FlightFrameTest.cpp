#include "ImportTestSupport.h"

#include "import/ChannelConversion.h"
#include "import/FlightFrame.h"
#include "model/Numbers.h"

#include "common/TestPaths.h"

namespace flight_frame_test {

using namespace trelvano;

namespace {

class FlightFrame : public ImportTest {
 protected:
  // Three new-format samples; channel k of sample s holds 1000 + 10 s + k.
  QByteArray threeSamples() {
    return newFormatFile(64, 4,
                         {newFormatLine(1000, 4807038, 1131456, 5120), newFormatLine(1010, 4807138, 1131556, 5370),
                          newFormatLine(1020, 4807238, 1131656, 5000)});
  }
  // Kind Höhe on `channel`: pressure = 1013.25 − raw × 0.01 hPa.
  void makeHeightChannel(int channel) {
    ChannelParam& p = data.ChannelParams[channel];
    p.Kind = kKindHoehe;
    p.Startwert = 1013.25;
    p.Koeffizient = 0.01;
    p.Offset = 0;
  }
};

TEST_F(FlightFrame, AltitudeLeavesIgcAndOldFormatFlightsAlone) {
  data.UseBaroAltitude = true;
  makeHeightChannel(3);
  igc(joinLines({bRecord("120000", "4807038N", "01131456E", "00500")}));
  FlightSnapshot before(data);
  EXPECT_EQ(Altitude(data), std::nullopt);
  expectUnchanged(before, data);

  logger("4807038;1131456;1;1000\r\n");
  const FlightSnapshot old(data);
  EXPECT_EQ(Altitude(data), std::nullopt);
  expectUnchanged(old, data);
}

TEST_F(FlightFrame, BarometricAltitudeFromTheLowestHeightChannel) {
  makeHeightChannel(3);
  makeHeightChannel(9);
  data.ChannelParams[9].Startwert = 900;  // would give other heights
  data.UseBaroAltitude = true;
  EXPECT_EQ(logger(threeSamples()), QStringLiteral("Höhe: AD2"));
  EXPECT_TRUE(data.UseBaroAltitude);
  // Each sample's temperature term uses its GPS altitude (0, 25, −12 m).
  const double gps[3] = {0, 25, -12};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const QString text = convertChannelValue(1000 + 10 * i + 3, data.ChannelParams[3], data.Temperature, gps[i]);
    EXPECT_EQ(data.FlightPath[i].Altitude, parseFloat(text));
    EXPECT_EQ(data.FlightPath[i].Z, data.FlightPath[i].Altitude - data.FlightPath[0].Altitude);
  }
  EXPECT_EQ(data.FlightPath[1].Altitude, 88.0);  // 1003.12 hPa

  // Called again (the option switched on later) it gives the same and the same label.
  EXPECT_EQ(Altitude(data), QStringLiteral("Höhe: AD2"));
  EXPECT_EQ(data.FlightPath[1].Altitude, 88.0);
  data.UseBaroAltitude = false;
  EXPECT_EQ(Altitude(data), QStringLiteral("Höhe: GPS"));
  EXPECT_NEAR(data.FlightPath[1].Altitude, 25.0, 1e-9);

  data.ChannelParams[3].Kind = kKindKeine;
  data.ChannelParams[9].Kind = kKindKeine;
  makeHeightChannel(7);
  data.UseBaroAltitude = true;
  EXPECT_EQ(Altitude(data), QStringLiteral("Höhe: Frequenz"));
}

TEST_F(FlightFrame, WithoutHeightChannelTheOptionSwitchesOff) {
  data.UseBaroAltitude = true;
  EXPECT_EQ(logger(threeSamples()), QStringLiteral("Höhe: GPS"));
  EXPECT_FALSE(data.UseBaroAltitude);
  EXPECT_NEAR(data.FlightPath[1].Altitude, 25.0, 1e-9);
  EXPECT_NEAR(data.FlightPath[2].Altitude, -12.0, 1e-9);
}

TEST_F(FlightFrame, AFailedConversionChangesNeitherAltitudesNorTheOption) {
  logger(threeSamples());
  makeHeightChannel(3);
  // Pressure 17, 7 and −3 hPa: the third sample has no real height.
  data.ChannelParams[3].Startwert = 1020;
  data.ChannelParams[3].Koeffizient = 1;
  data.UseBaroAltitude = true;
  const FlightSnapshot before(data);
  const std::optional<RunError> e = errorOf([&] { Altitude(data); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->text(), QStringLiteral("Ungültige Gleitkommaoperation"));
  expectUnchanged(before, data);
}

TEST_F(FlightFrame, SecondFileIsConvertedFromItsOwnSamples) {
  makeHeightChannel(0);
  data.UseBaroAltitude = true;
  logger(threeSamples());
  logger(newFormatFile(64, 4, {newFormatLine(5000, 4807038, 1131456, 5120)}));
  const QString text = convertChannelValue(5000, data.ChannelParams[0], data.Temperature, 0);
  EXPECT_EQ(data.FlightPath[0].Altitude, parseFloat(text));
  EXPECT_EQ(data.FlightPath[0].Altitude, 439.0);  // 963.25 hPa
}

TEST_F(FlightFrame, MaxMinuswAroundRangeStart) {
  logger(threeSamples());
  data.SampleInterval = 0.5;
  data.RangeStart = 1;
  data.FlightPath[2].Color = colours::kRed;  // an overlay colour of the moment goes into the copies
  MaxMinusw(data);
  const FlightPoint* p = data.FlightPath.pts;
  EXPECT_EQ(p[1].X, 0.0);
  EXPECT_EQ(p[1].Y, 0.0);
  EXPECT_EQ(p[1].Z, 0.0);
  EXPECT_NEAR(p[0].Z, -25.0, 1e-9);
  EXPECT_NEAR(p[0].Y, -0.1 / 60 * 108000, 1e-6);
  EXPECT_GT(p[0].X, 0.0);  // west of the origin
  for (int i = 0; i < 3; ++i) EXPECT_EQ(p[i].TimeStep, 0.5);
  EXPECT_NEAR(data.MaxAltitude, 25.0, 1e-9);
  EXPECT_EQ(data.ShadowPath[2].Color, colours::kShadow);
  EXPECT_EQ(data.PlumbLines[4].Color, colours::kRed);
  EXPECT_EQ(data.PlumbLines[4].Z, p[2].Z);
  EXPECT_EQ(data.PlumbLines[5].Z, 0.0);
  EXPECT_EQ(data.PlumbLast, 5);
}

TEST_F(FlightFrame, MovingTheOriginKeepsTheExtents) {
  igc(readBytes(dataPath(QStringLiteral("igc/crlf-gaps-middle-landing-no-a-record.igc"))));
  const std::vector<double> extents{data.MaxAltitude, data.MaxLat, data.MinLat, data.MaxLon, data.MinLon};
  const double interval = data.SampleInterval;
  const int k = 5000;
  data.RangeStart = k;
  moveOriginToRangeStart(data);
  const FlightPoint& o = data.FlightPath[k];
  EXPECT_EQ(o.X, 0.0);
  EXPECT_EQ(o.Y, 0.0);
  EXPECT_EQ(o.Z, 0.0);
  EXPECT_EQ(data.ShadowPath[k].X, 0.0);
  EXPECT_EQ(data.FlightPath[0].TimeStep, interval);
  EXPECT_EQ(data.StartAltitude, o.Altitude);
  EXPECT_EQ(std::vector<double>({data.MaxAltitude, data.MaxLat, data.MinLat, data.MaxLon, data.MinLon}), extents);
  // Back to the logger form DDMMmmm, up to rounding.
  const double minutes = (o.Lat - std::trunc(o.Lat)) * 60;
  EXPECT_NEAR(data.StartLatRaw, std::trunc(o.Lat) * 100000 + minutes * 1000, 1e-6);
}

TEST_F(FlightFrame, OriginOfANewFormatFlight) {
  logger(threeSamples());
  data.RangeStart = 1;
  moveOriginToRangeStart(data);
  EXPECT_NEAR(data.StartLatRaw, 4807138, 1e-6);
  EXPECT_NEAR(data.StartLonRaw, 1131556, 1e-6);
  EXPECT_EQ(data.StartAltitude, 537.0);  // GPS altitude 5370 dm
  EXPECT_EQ(data.FlightPath[1].Z, 0.0);

  data.RangeStart = 0;
  moveOriginToRangeStart(data);
  EXPECT_NEAR(data.StartLatRaw, 4807038, 1e-6);
  EXPECT_EQ(data.StartAltitude, 512.0);
}

TEST_F(FlightFrame, LoggerFormOfDecimalDegrees) {
  igc(joinLines({bRecord("120000", "4807038N", "01131456W")}));
  moveOriginToRangeStart(data);
  EXPECT_NEAR(data.StartLatRaw, 4807038, 1e-6);
  EXPECT_NEAR(data.StartLonRaw, -1131456, 1e-6);
}

}  // namespace

}  // namespace flight_frame_test
