#include "ImportTestSupport.h"
#include "import/IgcReader.h"

#include <cmath>

using namespace trelvano;

namespace {

class IgcReader : public ImportTest {};

// Three fixes around Munich, 2 s apart, altitudes 500, 510, 505 m.
std::vector<QByteArray> threeFixes() {
  return {bRecord("120000", "4807038N", "01131456E", "00500"), bRecord("120002", "4807100N", "01131500E", "00510"),
          bRecord("120004", "4807200N", "01131600E", "00505")};
}

std::vector<double> timeSteps(const FlightData& d) {
  std::vector<double> steps;
  for (int i = 0; i <= d.LastPoint; ++i) steps.push_back(d.FlightPath[i].TimeStep);
  return steps;
}

TEST_F(IgcReader, CoordinatesTakeTheirSignFromTheHemisphereLetter) {
  igc(joinLines({bRecord("120000", "4807038N", "01131456W"), bRecord("120001", "4807038S", "01131456E")}));
  ASSERT_EQ(data.LastPoint, 1);
  EXPECT_NEAR(data.FlightPath[0].Lat, 48.1173, 1e-12);
  EXPECT_NEAR(data.FlightPath[0].Lon, -(11 + 0.31456 / 0.6), 1e-12);
  EXPECT_NEAR(data.FlightPath[0].Lon, -11.524267, 1e-6);
  EXPECT_NEAR(data.FlightPath[1].Lat, -48.1173, 1e-12);
  EXPECT_NEAR(data.FlightPath[1].Lon, 11.524267, 1e-6);
  EXPECT_EQ(data.StartLatRaw, 4807038);
  EXPECT_EQ(data.StartLonRaw, -1131456);
}

TEST_F(IgcReader, LocalFrameAroundTheFirstFix) {
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
}

TEST_F(IgcReader, ExtentsShadowAndPlumbLines) {
  data.FlightPath[1].Aux = 7.5;  // left from an earlier flight; the IGC reader does not write it
  igc(joinLines(threeFixes()));
  EXPECT_EQ(data.LastPoint, 2);
  EXPECT_EQ(data.RangeStart, 0);
  EXPECT_EQ(data.RangeEnd, 2);
  EXPECT_EQ(data.PlumbLast, 5);
  EXPECT_EQ(data.MaxAltitude, 510.0);
  EXPECT_EQ(data.MinLat, data.FlightPath[0].Lat);
  EXPECT_EQ(data.MaxLat, data.FlightPath[2].Lat);
  EXPECT_EQ(data.MaxLon, data.FlightPath[2].Lon);
  EXPECT_FALSE(data.LoggerNG);
  for (int i = 0; i <= 2; ++i) {
    SCOPED_TRACE(i);
    const FlightPoint& p = data.FlightPath[i];
    EXPECT_EQ(p.Pen, i == 0 ? kPenMove : kPenLine);
    EXPECT_EQ(p.Color, colours::kBlue);
    const FlightPoint& s = data.ShadowPath[i];
    EXPECT_EQ(s.X, p.X);
    EXPECT_EQ(s.Y, p.Y);
    EXPECT_EQ(s.Z, 0.0);
    EXPECT_EQ(s.Color, colours::kShadow);
    EXPECT_EQ(s.Pen, p.Pen);
    FlightPoint top = p;
    top.Pen = kPenMove;
    FlightPoint bottom = s;
    bottom.Pen = kPenLine;
    EXPECT_EQ(std::memcmp(&data.PlumbLines[2 * i], &top, sizeof top), 0);
    EXPECT_EQ(std::memcmp(&data.PlumbLines[2 * i + 1], &bottom, sizeof bottom), 0);
  }
  EXPECT_EQ(data.FlightPath[1].Aux, 7.5);
}

TEST_F(IgcReader, TimeStepsFromTheTimeOfDay) {
  // Seconds 58, 00, 02 → 2 (first point), 2, 2; the same second twice → 0.
  igc(joinLines({bRecord("120058", "4807038N", "01131456E"), bRecord("120100", "4807038N", "01131456E"),
                 bRecord("120102", "4807038N", "01131456E"), bRecord("120102", "4807038N", "01131456E")}));
  EXPECT_EQ(timeSteps(data), (std::vector<double>{2, 2, 2, 0}));
  EXPECT_EQ(data.SampleInterval, 0.0);

  // Gaps of a minute or more count in full; past midnight the day wraps.
  igc(joinLines({bRecord("123642", "4807038N", "01131456E"), bRecord("123905", "4807038N", "01131456E"),
                 bRecord("130005", "4807038N", "01131456E"), bRecord("235958", "4807038N", "01131456E"),
                 bRecord("000001", "4807038N", "01131456E")}));
  EXPECT_EQ(timeSteps(data), (std::vector<double>{2, 143, 1260, 39593, 3}));
  EXPECT_EQ(data.SampleInterval, 3.0);
}

// Recorders write 0°0' before their first position: such records are no fixes,
// whatever their hemisphere letters; the time steps run on from the last fix kept.
TEST_F(IgcReader, PlaceholderPositionsArePassedOver) {
  igc(joinLines({bRecord("120000", "4807038N", "01131456E"), bRecord("120005", "0000000N", "00000000E"),
                 bRecord("120007", "0000000S", "00000000W"), bRecord("120010", "4807100N", "01131500E"),
                 bRecord("120012", "0000000N", "00000001E"), bRecord("120014", "0000001S", "00000000E")}));
  EXPECT_EQ(data.LastPoint, 3);
  EXPECT_EQ(timeSteps(data), (std::vector<double>{2, 10, 2, 2}));
  EXPECT_EQ(data.MaxLat, data.FlightPath[1].Lat);
  EXPECT_NEAR(data.FlightPath[2].Lon, 0.00001 / 0.6, 1e-15);
  EXPECT_LT(data.FlightPath[3].Lat, 0.0);
}

TEST_F(IgcReader, SampleIntervalNeedsTwoFixes) {
  data.SampleInterval = 4.0;
  igc(joinLines({bRecord("120000", "4807038N", "01131456E")}));
  EXPECT_EQ(data.LastPoint, 0);
  EXPECT_EQ(data.FlightPath[0].TimeStep, 2.0);
  EXPECT_EQ(data.SampleInterval, 4.0);
}

TEST_F(IgcReader, PressureAltitudeField) {
  igc(joinLines(
      {bRecord("120000", "4807038N", "01131456E", "00000"), bRecord("120001", "4807038N", "01131456E", "00312"),
       bRecord("120002", "4807038N", "01131456E", "-0012"), bRecord("120003", "4807038N", "01131456E", " 0042"),
       bRecord("120004", "4807038N", "01131456E", "00-12")}));
  EXPECT_EQ(data.FlightPath[0].Altitude, 0.0);
  EXPECT_EQ(data.FlightPath[1].Altitude, 312.0);
  EXPECT_EQ(data.FlightPath[2].Altitude, -12.0);
  EXPECT_EQ(data.FlightPath[3].Altitude, 42.0);
  EXPECT_EQ(data.FlightPath[4].Altitude, -12.0);  // the zeros become blanks before the sign
  EXPECT_EQ(data.MaxAltitude, 312.0);
}

TEST_F(IgcReader, WithoutBarometerTheGnssAltitudeStandsIn) {
  EXPECT_EQ(igc(joinLines({bRecord("120000", "4807038N", "01131456E", "00000", "00450"),
                           bRecord("120001", "4807038N", "01131456E", "00000", "00470"),
                           bRecord("120002", "4807038N", "01131456E", "00000", "-0010")})),
            QStringLiteral("Höhe: GPS"));
  EXPECT_EQ(data.FlightPath[0].Altitude, 450.0);
  EXPECT_EQ(data.FlightPath[1].Altitude, 470.0);
  EXPECT_EQ(data.FlightPath[2].Altitude, -10.0);
  EXPECT_EQ(data.FlightPath[1].Z, 20.0);
  EXPECT_EQ(data.StartAltitude, 450.0);
  EXPECT_EQ(data.MaxAltitude, 470.0);

  // One real pressure altitude: every fix keeps its pressure altitude.
  EXPECT_EQ(igc(joinLines({bRecord("120000", "4807038N", "01131456E", "00000", "00450"),
                           bRecord("120001", "4807038N", "01131456E", "00001", "00470")})),
            QStringLiteral("Höhe: Luftdruck"));
  EXPECT_EQ(data.FlightPath[0].Altitude, 0.0);
  EXPECT_EQ(data.FlightPath[1].Altitude, 1.0);
}

TEST_F(IgcReader, AllZeroWithAnUnreadableGnssFieldKeepsTheZeros) {
  for (const char* gnss : {"004", "00a70"}) {
    SCOPED_TRACE(gnss);
    igc(joinLines({bRecord("120000", "4807038N", "01131456E", "00000", "00450"),
                   bRecord("120001", "4807038N", "01131456E", "00000", gnss)}));
    ASSERT_EQ(data.LastPoint, 1);
    EXPECT_EQ(data.FlightPath[0].Altitude, 0.0);
    EXPECT_EQ(data.FlightPath[1].Altitude, 0.0);
    EXPECT_EQ(data.StartAltitude, 0.0);
  }
}

// The flight's points 0 … LastPoint as they are now.
std::vector<FlightPoint> points(const FlightData& d) { return {d.FlightPath.pts, d.FlightPath.pts + d.LastPoint + 1}; }

bool samePoints(const std::vector<FlightPoint>& a, const std::vector<FlightPoint>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(FlightPoint)) == 0;
}

TEST_F(IgcReader, OnlyUpperCaseBRecordsAreFixes) {
  const std::vector<QByteArray> fixes = threeFixes();
  igc(joinLines(fixes));
  const std::vector<FlightPoint> onlyFixes = points(data);

  igc(joinLines({"AXXX001", "HFDTE150423", "I013638FXA", fixes[0], "", "LXNA some comment", fixes[1],
                 "b" + fixes[2].mid(1), " " + fixes[2], "F1200010102", "E120002PEV", fixes[2], "G0123456789ABCDEF",
                 ""}));
  EXPECT_EQ(data.LastPoint, 2);
  EXPECT_TRUE(samePoints(points(data), onlyFixes));
}

TEST_F(IgcReader, EveryLineEndReadsTheSame) {
  const std::vector<QByteArray> fixes = threeFixes();
  igc(joinLines(fixes, "\r\n"));
  const std::vector<FlightPoint> expected = points(data);

  struct Case {
    const char* name;
    QByteArray text;
  };
  const QByteArray lf = joinLines(fixes, "\n");
  const std::vector<Case> cases = {
      {"LF", lf},
      {"CR", joinLines(fixes, "\r")},
      {"CR CR LF", joinLines(fixes, "\r\r\n")},
      {"mixed", fixes[0] + "\n" + fixes[1] + "\r" + fixes[2] + "\r\n"},
      {"no line end after the last line", lf.chopped(1)},
      {"Ctrl-Z ends the file", lf + "\x1a" + bRecord("120006", "4807038N", "01131456E") + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    igc("B170000" + fixes[0].mid(7) + "\r\n");  // something else in between
    igc(c.text);
    EXPECT_EQ(data.LastPoint, 2);
    EXPECT_TRUE(samePoints(points(data), expected));
  }
}

// Backward steps of the clock: a midnight crossing when the clock ran from
// the evening into the morning, otherwise a correction that counts 0 s.
TEST(IgcTimeSteps, MidnightCrossingsAndClockCorrections) {
  const struct {
    int from, to, step;
  } cases[] = {
      {36000, 36004, 4},                                            // forward
      {36000, 36000, 0},                                            // same second
      {86398, 1, 3},                                                // 23:59:58 -> 00:00:01
      {79200, 3600, 10800},                                         // 22:00 -> 01:00
      {43201, 0, 43199},                                            // 12:00:01 -> 00:00:00, just under 12 h on
      {43200, 0, 0},                                                // exactly 12 h: not a crossing
      {86399, 43198, 43199}, {86399, 43200, 0}, {50000, 49993, 0},  // clock set back by 7 s
      {79368, 57772, 0},                                            // 22:02:48 -> 16:02:52, six hours back
  };
  for (const auto& c : cases) EXPECT_EQ(fixTimeStep(c.from, c.to), c.step) << c.from << " -> " << c.to;
}

TEST_F(IgcReader, BadRecordsStopTheLoadWithFileAndLine) {
  const QByteArray good = bRecord("120000", "4807038N", "01131456E");

  // A B line shorter than 30 characters; CR CR LF counts as two lines.
  auto e = igcError(joinLines({good, "", good.left(29), good}, "\r\n"), QStringLiteral("a.igc"));
  ASSERT_TRUE(e);
  EXPECT_EQ(e->text(), QStringLiteral("Fehler bei Bereichsprüfung"));
  EXPECT_EQ(e->detail(), QStringLiteral("Datei a.igc, Zeile 3"));
  e = igcError(joinLines({good, good.left(29)}, "\r\r\n"), QStringLiteral("a.igc"));
  ASSERT_TRUE(e);
  EXPECT_EQ(e->detail(), QStringLiteral("Datei a.igc, Zeile 3"));
  igc(joinLines({good.left(30)}));  // 30 characters are enough
  EXPECT_EQ(data.LastPoint, 0);

  struct Case {
    QByteArray line;
    const char* text;
  };
  const std::vector<Case> cases = {
      {bRecord("1200x0", "4807038N", "01131456E"), "'x0' ist kein gültiger Integerwert"},
      {bRecord("12x000", "4807038N", "01131456E"), "'x0' ist kein gültiger Integerwert"},
      {bRecord("120000", "48O7038N", "01131456E"), "'48O7038' ist kein gültiger Integerwert"},
      {bRecord("120000", "16423468", "S0033273"), "'S0033273' ist kein gültiger Integerwert"},
      {bRecord("120000", "4807038N", "01131456E", "0a012"), "' a012' ist kein gültiger Integerwert"},
      {bRecord("120000", "4807038N", "01131456E", "12 34"), "'12 34' ist kein gültiger Integerwert"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.toStdString());
    e = igcError(joinLines({good, c.line}), QStringLiteral("b.igc"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), QString::fromUtf8(c.text));
    EXPECT_EQ(e->detail(), QStringLiteral("Datei b.igc, Zeile 2"));
  }
}

TEST_F(IgcReader, FieldsWithBlanksOrSignsReadLikeIntegers) {
  igc(joinLines({bRecord("10 0 5", "4807038N", "01131456E"), bRecord("1001+9", "  07038N", "-1131456E")}));
  ASSERT_EQ(data.LastPoint, 1);
  EXPECT_EQ(data.FlightPath[1].TimeStep, 64.0);  // 10:00:05 → 10:01:09
  EXPECT_NEAR(data.FlightPath[1].Lat, 0.07038 / 0.6, 1e-12);
  EXPECT_NEAR(data.FlightPath[1].Lon, -(11 + 0.31456 / 0.6), 1e-12);
}

}  // namespace
