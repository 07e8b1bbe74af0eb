// The real recordings shipped beside the repository.
#include "ImportTestSupport.h"

#include "common/TestPaths.h"
#include "import/IgcReader.h"

#include <QDir>

#include <algorithm>

namespace igc_sample_files_test {

using namespace trelvano;

namespace {

QByteArray fileBytes(const char* name) {
  const QByteArray bytes = readBytes(dataPath(QStringLiteral("igc/") + QString::fromLatin1(name)));
  EXPECT_FALSE(bytes.isEmpty()) << name;
  return bytes;
}

Flight load(const char* name) { return readIgc(fileBytes(name), QString::fromLatin1(name)); }

// How many fixes have this time step.
int stepsOf(const Flight& f, double seconds) {
  return static_cast<int>(
      std::count_if(f.fixes.begin() + 1, f.fixes.end(), [seconds](const Fix& q) { return q.TimeStep == seconds; }));
}

// The lowest and highest latitude or longitude of the flight.
std::pair<double, double> extent(const Flight& f, double Fix::*coordinate) {
  const auto [low, high] =
      std::minmax_element(f.fixes.begin(), f.fixes.end(),
                          [coordinate](const Fix& a, const Fix& b) { return a.*coordinate < b.*coordinate; });
  return {(*low).*coordinate, (*high).*coordinate};
}

// The ten-fix example flight, found by the words of its name that tell what it holds.
QByteArray tinyExampleName() {
  const QStringList found =
      QDir(dataPath(QStringLiteral("igc"))).entryList({QStringLiteral("tiny-*-western-timejump.igc")});
  EXPECT_EQ(found.size(), 1);
  return found.value(0).toLatin1();
}

TEST(IgcSampleFiles, EveryFileLoadsAllItsFixes) {
  const QByteArray tiny = tinyExampleName();
  const std::vector<std::pair<const char*, int>> files = {
      {tiny.constData(), 10},
      {"crlf-southern-midnight-newzealand.igc", 5367},
      {"lf-southern-midnight-xcsoar.igc", 6752},
      {"crlf-gaps-middle-landing-no-a-record.igc", 14819},
      {"crlf-negative-pressure-skytraxx.igc", 2008},
      {"crlf-zero-pressure-xctrack.igc", 294},
      {"crlf-invalid-fixes-null-island-vairbration.igc", 868},  // without the eight at 0°/0°
      {"crcrlf-ctrlz-flarm.igc", 5912},
      {"crlf-corrupt-extension-lx9000.igc", 9},
      {"crlf-long-southwest-oudie.igc", 41703},
      {"crlf-multiday-flarm-backjumps-blanklines.igc", 953},
      {"crlf-greenwich-crossing-lx8000.igc", 4643},
      {"lf-lxnano-60s-interval-negative-pressure.igc", 4502},
  };
  for (const auto& [name, fixes] : files) {
    SCOPED_TRACE(name);
    const Flight f = load(name);
    EXPECT_EQ(f.fixes.size(), size_t(fixes));
    EXPECT_EQ(f.fixes[0].TimeStep, 2.0);
    EXPECT_TRUE(f.hasClock());  // every one has its date record
    EXPECT_EQ(f.utc.size(), f.fixes.size());
  }
}

TEST(IgcSampleFiles, TinyExampleValuesAndTimeJumps) {
  const Flight f = load(tinyExampleName().constData());
  // B1602405407121N00249342WA002800042120509950
  EXPECT_NEAR(f.fixes[0].Lat, 54 + 0.07121 / 0.6, 1e-12);
  EXPECT_NEAR(f.fixes[0].Lon, -(2 + 0.49342 / 0.6), 1e-12);
  EXPECT_EQ(f.fixes[0].Altitude, 280.0);
  EXPECT_EQ(f.start.latRaw, 5407121);
  EXPECT_EQ(f.start.lonRaw, -249342);
  // 16:03:10 → 22:02:48 → 16:02:52 (six hours back: a clock correction) → 16:02:52.
  std::vector<double> steps;
  for (const Fix& p : f.fixes) steps.push_back(p.TimeStep);
  EXPECT_EQ(steps, (std::vector<double>{2, 5, 5, 5, 5, 5, 5, 21578, 0, 0}));
  EXPECT_EQ(f.sampleInterval, 0.0);
  EXPECT_EQ(f.igc.pilot, QStringLiteral("Bloggs Bill D"));
  EXPECT_EQ(f.igc.gliderType, QStringLiteral("Schleicher ASH-25"));
  EXPECT_EQ(f.igc.gliderId, QStringLiteral("ABCD-1234"));
}

TEST(IgcSampleFiles, MidnightGapsAndHemispheres) {
  Flight f = load("crlf-southern-midnight-newzealand.igc");
  EXPECT_LT(extent(f, &Fix::Lat).second, 0.0);
  EXPECT_EQ(f.fixes[296].TimeStep, 3.0);  // 23:59:58 → 00:00:01
  EXPECT_EQ(stepsOf(f, 86397), 0);

  f = load("crlf-gaps-middle-landing-no-a-record.igc");
  EXPECT_EQ(stepsOf(f, 143), 1);
  EXPECT_EQ(stepsOf(f, 226), 1);

  f = load("lf-lxnano-60s-interval-negative-pressure.igc");
  EXPECT_GE(stepsOf(f, 60), 33);
  EXPECT_EQ(f.fixes[0].Altitude, -42.0);
  EXPECT_EQ(f.igc.pilot, QStringLiteral("Max"));  // "Max," as the recorder writes it

  f = load("crlf-long-southwest-oudie.igc");
  // B0900170629993S03539615WA003150033100712
  EXPECT_NEAR(f.fixes[0].Lat, -(6 + 0.29993 / 0.6), 1e-12);
  EXPECT_NEAR(f.fixes[0].Lon, -(35 + 0.39615 / 0.6), 1e-12);
  EXPECT_EQ(f.start.altitude, 315.0);
  EXPECT_LT(extent(f, &Fix::Lat).second, 0.0);
  EXPECT_LT(extent(f, &Fix::Lon).second, 0.0);

  f = load("crlf-greenwich-crossing-lx8000.igc");
  EXPECT_LT(extent(f, &Fix::Lon).first, 0.0);
  EXPECT_GT(extent(f, &Fix::Lon).second, 0.0);
}

TEST(IgcSampleFiles, PlaceholderFixesLeaveALocalFlight) {
  const Flight f = load("crlf-invalid-fixes-null-island-vairbration.igc");
  const auto [south, north] = extent(f, &Fix::Lat);
  const auto [west, east] = extent(f, &Fix::Lon);
  EXPECT_LT(north - south, 0.1);
  EXPECT_LT(east - west, 0.1);
  EXPECT_TRUE(f.igc.pilot.isEmpty());  // "NKN"
}

TEST(IgcSampleFiles, ZeroAndNegativePressureAltitudes) {
  Flight f = load("crlf-zero-pressure-xctrack.igc");
  EXPECT_EQ(f.altitudeLabel, QStringLiteral("Höhe: GPS"));
  EXPECT_GT(extent(f, &Fix::Altitude).second, 0.0);
  // B1134504538365N01256696EA000000000067: the first GNSS fields are 00000 too.
  EXPECT_EQ(f.start.altitude, 0.0);

  f = load("crlf-negative-pressure-skytraxx.igc");
  EXPECT_EQ(extent(f, &Fix::Altitude).first, -53.0);
}

TEST(IgcSampleFiles, MalformedFileFailsWithFileAndLine) {
  const char* name = "lf-malformed-b-records-syride.igc";
  const auto e = errorOf([&] { load(name); });
  ASSERT_TRUE(e);
  // B08590616423468S00332739EA02570-…: an 8-digit latitude shifts the longitude field.
  EXPECT_EQ(e->text(), QStringLiteral("'S0033273' ist kein gültiger Integerwert"));
  EXPECT_EQ(e->detail(), QStringLiteral("Datei lf-malformed-b-records-syride.igc, Zeile 197"));
}

}  // namespace

}  // namespace igc_sample_files_test
