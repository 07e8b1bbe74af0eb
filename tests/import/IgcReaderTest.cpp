#include "ImportTestSupport.h"
#include "import/IgcReader.h"

#include <cmath>

namespace igc_reader_test {

using namespace trelvano;

namespace {

Flight read(const QByteArray& text, const QString& name = QStringLiteral("test.igc")) { return readIgc(text, name); }

// Three fixes around Munich, 2 s apart, altitudes 500, 510, 505 m.
std::vector<QByteArray> threeFixes() {
  return {bRecord("120000", "4807038N", "01131456E", "00500"), bRecord("120002", "4807100N", "01131500E", "00510"),
          bRecord("120004", "4807200N", "01131600E", "00505")};
}

std::vector<double> timeSteps(const Flight& f) {
  std::vector<double> steps;
  for (const Fix& p : f.fixes) steps.push_back(p.TimeStep);
  return steps;
}

std::vector<double> altitudes(const Flight& f) {
  std::vector<double> a;
  for (const Fix& p : f.fixes) a.push_back(p.Altitude);
  return a;
}

TEST(IgcReader, FixesStartValuesAndWhatTheFlightIs) {
  const Flight f = read(joinLines(threeFixes()), QStringLiteral("a.igc"));
  EXPECT_EQ(f.fileName, QStringLiteral("a.igc"));
  EXPECT_EQ(f.kind, FlightKind::Igc);
  ASSERT_EQ(f.fixes.size(), 3u);
  EXPECT_EQ(altitudes(f), (std::vector<double>{500, 510, 505}));
  EXPECT_EQ(f.gnssAltitude, (std::vector<double>{150, 150, 150}));
  for (const Fix& p : f.fixes) EXPECT_EQ(p.Aux, 0.0);
  EXPECT_EQ(f.start.latRaw, 4807038);
  EXPECT_EQ(f.start.lonRaw, 1131456);
  EXPECT_EQ(f.start.altitude, 500.0);
  EXPECT_EQ(f.sampleInterval, 2.0);
  EXPECT_EQ(f.altitudeLabel, QStringLiteral("Höhe: Luftdruck"));
  EXPECT_FALSE(f.hasClock());  // no date record
  EXPECT_TRUE(f.samples.empty());
  EXPECT_EQ(f.loggerHeaderId, 0);
  EXPECT_TRUE(f.hasGpsColumns);
}

TEST(IgcReader, CoordinatesTakeTheirSignFromTheHemisphereLetter) {
  const Flight f =
      read(joinLines({bRecord("120000", "4807038N", "01131456W"), bRecord("120001", "4807038S", "01131456E")}));
  ASSERT_EQ(f.fixes.size(), 2u);
  EXPECT_NEAR(f.fixes[0].Lat, 48.1173, 1e-12);
  EXPECT_NEAR(f.fixes[0].Lon, -(11 + 0.31456 / 0.6), 1e-12);
  EXPECT_NEAR(f.fixes[1].Lat, -48.1173, 1e-12);
  EXPECT_NEAR(f.fixes[1].Lon, 11.524267, 1e-6);
  EXPECT_EQ(f.start.latRaw, 4807038);
  EXPECT_EQ(f.start.lonRaw, -1131456);
}

TEST(IgcReader, TimeStepsFromTheTimeOfDay) {
  // Seconds 58, 00, 02 → 2 (first point), 2, 2; the same second twice → 0.
  Flight f = read(joinLines({bRecord("120058", "4807038N", "01131456E"), bRecord("120100", "4807038N", "01131456E"),
                             bRecord("120102", "4807038N", "01131456E"), bRecord("120102", "4807038N", "01131456E")}));
  EXPECT_EQ(timeSteps(f), (std::vector<double>{2, 2, 2, 0}));
  EXPECT_EQ(f.sampleInterval, 0.0);

  // Gaps of a minute or more count in full; past midnight the day wraps.
  f = read(joinLines({bRecord("123642", "4807038N", "01131456E"), bRecord("123905", "4807038N", "01131456E"),
                      bRecord("130005", "4807038N", "01131456E"), bRecord("235958", "4807038N", "01131456E"),
                      bRecord("000001", "4807038N", "01131456E")}));
  EXPECT_EQ(timeSteps(f), (std::vector<double>{2, 143, 1260, 39593, 3}));
  EXPECT_EQ(f.sampleInterval, 3.0);

  // A single fix: its own first step, whatever was loaded before.
  f = read(joinLines({bRecord("120000", "4807038N", "01131456E")}));
  EXPECT_EQ(timeSteps(f), (std::vector<double>{2}));
  EXPECT_EQ(f.sampleInterval, 2.0);
}

// Recorders write 0°0' before their first position: such records are no fixes,
// whatever their hemisphere letters; the time steps run on from the last fix kept.
TEST(IgcReader, PlaceholderPositionsArePassedOver) {
  const Flight f =
      read(joinLines({bRecord("120000", "4807038N", "01131456E"), bRecord("120005", "0000000N", "00000000E"),
                      bRecord("120007", "0000000S", "00000000W"), bRecord("120010", "4807100N", "01131500E"),
                      bRecord("120012", "0000000N", "00000001E"), bRecord("120014", "0000001S", "00000000E")}));
  ASSERT_EQ(f.fixes.size(), 4u);
  EXPECT_EQ(timeSteps(f), (std::vector<double>{2, 10, 2, 2}));
  EXPECT_NEAR(f.fixes[2].Lon, 0.00001 / 0.6, 1e-15);
  EXPECT_LT(f.fixes[3].Lat, 0.0);
}

TEST(IgcReader, PressureAltitudeField) {
  const Flight f = read(joinLines(
      {bRecord("120000", "4807038N", "01131456E", "00000"), bRecord("120001", "4807038N", "01131456E", "00312"),
       bRecord("120002", "4807038N", "01131456E", "-0012"), bRecord("120003", "4807038N", "01131456E", " 0042"),
       bRecord("120004", "4807038N", "01131456E", "00-12")}));
  // The zeros become blanks before the sign: 00-12 is −12.
  EXPECT_EQ(altitudes(f), (std::vector<double>{0, 312, -12, 42, -12}));
}

TEST(IgcReader, WithoutBarometerTheGnssAltitudeStandsIn) {
  Flight f = read(joinLines({bRecord("120000", "4807038N", "01131456E", "00000", "00450"),
                             bRecord("120001", "4807038N", "01131456E", "00000", "00470"),
                             bRecord("120002", "4807038N", "01131456E", "00000", "-0010")}));
  EXPECT_EQ(f.altitudeLabel, QStringLiteral("Höhe: GPS"));
  EXPECT_EQ(altitudes(f), (std::vector<double>{450, 470, -10}));
  EXPECT_EQ(f.start.altitude, 450.0);
  EXPECT_FALSE(f.ellipsoidalHeights);
  // Heights above the ellipsoid where the header says so, and only where they stand in.
  f = read(joinLines({"HFALGALTGPS:ELL", bRecord("120000", "4807038N", "01131456E", "00000", "00450")}));
  EXPECT_TRUE(f.ellipsoidalHeights);
  f = read(joinLines({"HFALGALTGPS:ELL", bRecord("120000", "4807038N", "01131456E", "00300", "00450")}));
  EXPECT_FALSE(f.ellipsoidalHeights);

  // One real pressure altitude: every fix keeps its pressure altitude.
  f = read(joinLines({bRecord("120000", "4807038N", "01131456E", "00000", "00450"),
                      bRecord("120001", "4807038N", "01131456E", "00001", "00470")}));
  EXPECT_EQ(f.altitudeLabel, QStringLiteral("Höhe: Luftdruck"));
  EXPECT_EQ(altitudes(f), (std::vector<double>{0, 1}));

  // All zero with an unreadable GNSS field: the zeros stay.
  for (const char* gnss : {"004", "00a70"}) {
    SCOPED_TRACE(gnss);
    f = read(joinLines({bRecord("120000", "4807038N", "01131456E", "00000", "00450"),
                        bRecord("120001", "4807038N", "01131456E", "00000", gnss)}));
    EXPECT_EQ(altitudes(f), (std::vector<double>{0, 0}));
    EXPECT_EQ(f.gnssAltitude, (std::vector<double>{450, 0}));
    EXPECT_EQ(f.start.altitude, 0.0);
  }
}

// Every field of every fix, for comparing two reads.
bool sameFixes(const Flight& a, const Flight& b) {
  return a.fixes.size() == b.fixes.size() &&
         std::memcmp(a.fixes.data(), b.fixes.data(), a.fixes.size() * sizeof(Fix)) == 0 &&
         a.gnssAltitude == b.gnssAltitude;
}

TEST(IgcReader, OnlyUpperCaseBRecordsAreFixes) {
  const std::vector<QByteArray> fixes = threeFixes();
  const Flight onlyFixes = read(joinLines(fixes));
  const Flight f = read(joinLines({"AXXX001", "HFDTE150423", "I013638FXA", fixes[0], "", "LXNA some comment", fixes[1],
                                   "b" + fixes[2].mid(1), " " + fixes[2], "F1200010102", "E120002PEV", fixes[2],
                                   "G0123456789ABCDEF", ""}));
  EXPECT_TRUE(sameFixes(f, onlyFixes));
}

TEST(IgcReader, EveryLineEndReadsTheSame) {
  const std::vector<QByteArray> fixes = threeFixes();
  const Flight expected = read(joinLines(fixes, "\r\n"));
  const QByteArray lf = joinLines(fixes, "\n");
  const std::pair<const char*, QByteArray> cases[] = {
      {"LF", lf},
      {"CR", joinLines(fixes, "\r")},
      {"CR CR LF", joinLines(fixes, "\r\r\n")},
      {"mixed", fixes[0] + "\n" + fixes[1] + "\r" + fixes[2] + "\r\n"},
      {"no line end after the last line", lf.chopped(1)},
      {"Ctrl-Z ends the file", lf + "\x1a" + bRecord("120006", "4807038N", "01131456E") + "\n"},
  };
  for (const auto& [name, text] : cases) EXPECT_TRUE(sameFixes(read(text), expected)) << name;
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

TEST(IgcReader, BadRecordsStopTheReadWithFileAndLine) {
  const QByteArray good = bRecord("120000", "4807038N", "01131456E");
  auto errorOfRead = [](const QByteArray& text, const char* name) {
    return errorOf([&] { read(text, QString::fromLatin1(name)); });
  };

  // A B line shorter than 30 characters; CR CR LF counts as two lines.
  auto e = errorOfRead(joinLines({good, "", good.left(29), good}, "\r\n"), "a.igc");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->text(), QStringLiteral("Fehler bei Bereichsprüfung"));
  EXPECT_EQ(e->detail(), QStringLiteral("Datei a.igc, Zeile 3"));
  e = errorOfRead(joinLines({good, good.left(29)}, "\r\r\n"), "a.igc");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->detail(), QStringLiteral("Datei a.igc, Zeile 3"));
  EXPECT_EQ(read(joinLines({good.left(30)})).fixes.size(), 1u);  // 30 characters are enough

  const std::pair<QByteArray, const char*> cases[] = {
      {bRecord("1200x0", "4807038N", "01131456E"), "'x0' ist kein gültiger Integerwert"},
      {bRecord("12x000", "4807038N", "01131456E"), "'x0' ist kein gültiger Integerwert"},
      {bRecord("120000", "48O7038N", "01131456E"), "'48O7038' ist kein gültiger Integerwert"},
      {bRecord("120000", "16423468", "S0033273"), "'S0033273' ist kein gültiger Integerwert"},
      {bRecord("120000", "4807038N", "01131456E", "0a012"), "' a012' ist kein gültiger Integerwert"},
      {bRecord("120000", "4807038N", "01131456E", "12 34"), "'12 34' ist kein gültiger Integerwert"},
  };
  for (const auto& [line, text] : cases) {
    SCOPED_TRACE(line.toStdString());
    e = errorOfRead(joinLines({good, line}), "b.igc");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), QString::fromUtf8(text));
    EXPECT_EQ(e->detail(), QStringLiteral("Datei b.igc, Zeile 2"));
  }
}

TEST(IgcReader, FieldsWithBlanksOrSignsReadLikeIntegers) {
  const Flight f =
      read(joinLines({bRecord("10 0 5", "4807038N", "01131456E"), bRecord("1001+9", "  07038N", "-1131456E")}));
  ASSERT_EQ(f.fixes.size(), 2u);
  EXPECT_EQ(f.fixes[1].TimeStep, 64.0);  // 10:00:05 → 10:01:09
  EXPECT_NEAR(f.fixes[1].Lat, 0.07038 / 0.6, 1e-12);
  EXPECT_NEAR(f.fixes[1].Lon, -(11 + 0.31456 / 0.6), 1e-12);
}

TEST(IgcReader, HeaderNamesPilotGliderAndDate) {
  const QByteArray fix = bRecord("120000", "4807038N", "01131456E");
  struct Case {
    std::vector<QByteArray> header;
    const char *pilot, *type, *id;
  } cases[] = {
      {{"HFPLTPILOTINCHARGE: Bloggs Bill D", "HFGTYGLIDERTYPE:ASH 25E", "HFGIDGLIDERID:D-KOOL"},
       "Bloggs Bill D",
       "ASH 25E",
       "D-KOOL"},
      {{"HFPLTPilotincharge:Henrik", "HOGTYGliderType:LS-4,", "HFGIDGLIDERID: "}, "Henrik", "LS-4", ""},
      {{"HFPLTPILOTINCHARGE:NKN", "HFGTYGLIDERTYPE:NIL", "HFPLTPILOT:Max", "HFPLTPILOT:Moritz"}, "Max", "", ""},
      {{"HFPLTPILOT:J\xC3\xBCrgen", "HFGTYGLIDERTYPE:K\xF6nig"}, "Jürgen", "König", ""},  // UTF-8, Latin-1
  };
  for (const Case& c : cases) {
    std::vector<QByteArray> lines = c.header;
    lines.push_back(fix);
    const Flight f = read(joinLines(lines));
    EXPECT_EQ(f.igc.pilot, QString::fromUtf8(c.pilot));
    EXPECT_EQ(f.igc.gliderType, QString::fromUtf8(c.type));
    EXPECT_EQ(f.igc.gliderId, QString::fromUtf8(c.id));
    EXPECT_TRUE(std::isnan(f.igc.date));
  }
  const Flight f = read(joinLines({"HFDTEDATE:150624,01", fix, "HFDTE160624", fix}));
  EXPECT_EQ(f.igc.date, 1718409600.0);  // 2024-06-15 00:00 UTC
}

}  // namespace

}  // namespace igc_reader_test
