// A flight into the tables: the local frame, its copies, and nothing left
// over from the flight shown before.
#include "ImportTestSupport.h"
#include "common/StateSnapshot.h"

#include "import/AltitudeSource.h"
#include "import/GpxReader.h"
#include "import/IgcReader.h"
#include "import/LoggerReader.h"
#include "import/ShowFlight.h"

namespace show_flight_test {

using namespace trelvano;

namespace {

class ShowFlight : public ImportTest {};

TEST_F(ShowFlight, LocalFrameAroundTheFirstFixWithShadowAndPlumbLines) {
  // 0.01° east of the first fix at latitude 60°: X = −0.01 × 108000 × cos 60° = −540 m.
  igc(joinLines({bRecord("120000", "6000000N", "00000000E", "00200"),
                 bRecord("120001", "6000000N", "00000600E", "00250"),
                 bRecord("120002", "6001000N", "00000000E", "00150")}));
  const FlightPoint* p = data.FlightPath.pts;
  EXPECT_EQ(p[0].X, 0.0);
  EXPECT_EQ(p[0].Y, 0.0);
  EXPECT_EQ(p[0].Z, 0.0);
  EXPECT_NEAR(p[1].X, -540, 1e-6);
  EXPECT_EQ(p[1].Y, 0.0);
  EXPECT_EQ(p[1].Z, 50.0);
  EXPECT_NEAR(p[2].Y, 0.01 / 0.6 * 108000, 1e-6);
  EXPECT_EQ(p[2].Z, -50.0);
  EXPECT_EQ(data.StartAltitude, 200.0);

  EXPECT_EQ(data.LastPoint, 2);
  EXPECT_EQ(data.RangeStart, 0);
  EXPECT_EQ(data.RangeEnd, 2);
  EXPECT_EQ(data.PlumbLast, 5);
  EXPECT_EQ(data.MaxAltitude, 250.0);
  EXPECT_EQ(data.MinLat, 60.0);
  EXPECT_EQ(data.MaxLat, p[2].Lat);
  EXPECT_EQ(data.MaxLon, p[1].Lon);
  EXPECT_EQ(data.MinLon, 0.0);
  for (int i = 0; i <= 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(p[i].Pen, i == 0 ? kPenMove : kPenLine);
    EXPECT_EQ(p[i].Color, colours::kBlue);
    const FlightPoint& s = data.ShadowPath[i];
    EXPECT_EQ(s.X, p[i].X);
    EXPECT_EQ(s.Y, p[i].Y);
    EXPECT_EQ(s.Z, 0.0);
    EXPECT_EQ(s.Color, colours::kShadow);
    EXPECT_EQ(s.Pen, p[i].Pen);
    FlightPoint top = p[i];
    top.Pen = kPenMove;
    FlightPoint bottom = s;
    bottom.Pen = kPenLine;
    EXPECT_EQ(std::memcmp(&data.PlumbLines[2 * i], &top, sizeof top), 0);
    EXPECT_EQ(std::memcmp(&data.PlumbLines[2 * i + 1], &bottom, sizeof bottom), 0);
  }
}

// A flight shows the same whatever was shown before it: no header value, Aux
// field, IGC record or sample interval of an earlier file stays behind.
TEST_F(ShowFlight, NothingOfTheFlightBeforeStaysBehind) {
  const Flight before[] = {
      readLogger("4807038;-1131456;17;1000\r\n4807138;-1131456;18;1100\r\n", QStringLiteral("old.csv")),
      readLogger(newFormatFile(0, 4, {"1;2;3;4;5;6;7;8;9;10;11;12;13", "21;22;23;24;25;26;27;28;29;30;31;32;33"}),
                 QStringLiteral("no-gps.csv")),
      readIgc(joinLines({"C4745633N01132683ESTART", "E120000PEV", "G1", bRecord("120000", "4807038N", "01131456E"),
                         bRecord("120007", "4807038N", "01131456E")}),
              QStringLiteral("task.igc")),
  };
  const Flight flights[] = {
      readIgc(joinLines({bRecord("120000", "4807038N", "01131456E", "00500")}), QStringLiteral("one.igc")),
      readIgc(joinLines({bRecord("120000", "4807038N", "01131456E"), bRecord("120004", "4807100N", "01131500E")}),
              QStringLiteral("two.igc")),
      readLogger(newFormatFile(64, 9, {newFormatLine(1, 4807038, 1131456, 100)}), QStringLiteral("ng.csv")),
      readGpx("<gpx><trk><trkseg><trkpt lat='48' lon='11'/></trkseg></trk></gpx>", QStringLiteral("one.gpx")),
  };
  for (const Flight& f : flights) {
    const FlightDataPtr alone = makeFlightData();
    showFlight(*alone, f);
    for (const Flight& earlier : before) {
      SCOPED_TRACE((f.fileName + QStringLiteral(" after ") + earlier.fileName).toStdString());
      showFlight(data, earlier);
      showFlight(data, f);
      // Everything up to the flight's own points and samples, as a failed load would be compared.
      EXPECT_EQ(StateSnapshot(*alone, alone->LastPoint + 1, int(f.samples.size())).differenceTo(data), "");
    }
  }
}

TEST_F(ShowFlight, NewFormatSamplesGoIntoBothTablesWithTheAltitudeSource) {
  // Channel 3 reads 1013.25 − raw × 0.01 hPa.
  data.ChannelParams[3].Kind = kKindHoehe;
  data.ChannelParams[3].Startwert = 1013.25;
  data.ChannelParams[3].Koeffizient = 0.01;
  Flight f = readLogger(
      newFormatFile(64, 4, {newFormatLine(1000, 4807038, 1131456, 5120), newFormatLine(1010, 4807138, 1131456, 5370)}),
      QStringLiteral("ng.csv"));
  // Each source from the one before: barometric, back to GPS, barometric again.
  for (bool baro : {true, false, true}) {
    SCOPED_TRACE(baro);
    f = withAltitudeSource(f, data.ChannelParams, data.Temperature, baro);
    EXPECT_EQ(f.altitudeLabel, baro ? QStringLiteral("Höhe: AD2") : QStringLiteral("Höhe: GPS"));
    EXPECT_NEAR(f.fixes[1].Altitude, baro ? 88.0 : 25.0, 1e-9);  // 1003.12 hPa, or 5370 dm − 5120 dm
    data.UseBaroAltitude = !baro;
    showFlight(data, f);
    EXPECT_TRUE(data.LoggerNG);
    EXPECT_EQ(data.UseBaroAltitude, baro);
    EXPECT_EQ(data.FlightPath[1].Altitude, f.fixes[1].Altitude);
    EXPECT_EQ(data.StartAltitude, 512.0);  // the first GPS altitude, whatever the source
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(std::memcmp(&data.RawSamples[i], &f.samples[size_t(i)], sizeof(SampleRow)), 0);
      EXPECT_EQ(std::memcmp(&data.ChannelSamples[i], &f.samples[size_t(i)], sizeof(SampleRow)), 0);
    }
  }
}

TEST_F(ShowFlight, AFlightTheTablesCannotHoldChangesNothing) {
  igc(joinLines({bRecord("120000", "4807038N", "01131456E")}));
  const FlightSnapshot before(data);
  Flight tooLong;
  tooLong.fixes.resize(kMaxFlightPoints + 1, Fix{48, 11, 0, 500, 1});
  Flight empty;
  Flight samplesMissing = readLogger(newFormatFile(64, 4, {newFormatLine(1, 4807038, 1131456, 10)}), "ng.csv");
  samplesMissing.samples.clear();
  Flight timesMissing = tooLong;
  timesMissing.fixes.resize(3);
  timesMissing.utc.resize(2);
  for (const Flight* f : {&tooLong, &empty, &samplesMissing, &timesMissing}) {
    const auto e = errorOf([&] { showFlight(data, *f); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), QStringLiteral("Fehler bei Bereichsprüfung"));
    expectUnchanged(before, data);
  }
}

}  // namespace

}  // namespace show_flight_test
