// The real recordings shipped beside the repository.
#include "ImportTestSupport.h"

#include "common/TestPaths.h"

#include <QDir>

#include <algorithm>

using namespace trelvano;

namespace {

class IgcSampleFiles : public ImportTest {
 protected:
  void load(const char* name) {
    const QByteArray bytes = readBytes(dataPath(QStringLiteral("igc/") + QString::fromLatin1(name)));
    ASSERT_FALSE(bytes.isEmpty());
    igc(bytes, QString::fromLatin1(name));
  }
  // How many points have this time step.
  int stepsOf(double seconds) const {
    const FlightPoint* p = data.FlightPath.pts;
    return static_cast<int>(std::count_if(p + 1, p + data.LastPoint + 1,
                                          [seconds](const FlightPoint& q) { return q.TimeStep == seconds; }));
  }
};

// The ten-fix example flight, found by the words of its name that tell what it holds.
QByteArray tinyExampleName() {
  const QStringList found =
      QDir(dataPath(QStringLiteral("igc"))).entryList({QStringLiteral("tiny-*-western-timejump.igc")});
  EXPECT_EQ(found.size(), 1);
  return found.value(0).toLatin1();
}

TEST_F(IgcSampleFiles, EveryFileLoadsAllItsFixes) {
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
    load(name);
    EXPECT_EQ(data.LastPoint, fixes - 1);
    EXPECT_EQ(data.PlumbLast, 2 * fixes - 1);
    EXPECT_EQ(data.FlightPath[0].TimeStep, 2.0);
  }
}

TEST_F(IgcSampleFiles, TinyExampleValuesAndTimeJumps) {
  load(tinyExampleName().constData());
  // B1602405407121N00249342WA002800042120509950
  EXPECT_NEAR(data.FlightPath[0].Lat, 54 + 0.07121 / 0.6, 1e-12);
  EXPECT_NEAR(data.FlightPath[0].Lon, -(2 + 0.49342 / 0.6), 1e-12);
  EXPECT_EQ(data.FlightPath[0].Altitude, 280.0);
  EXPECT_EQ(data.StartLatRaw, 5407121);
  EXPECT_EQ(data.StartLonRaw, -249342);
  // 16:03:10 → 22:02:48 → 16:02:52 (six hours back: a clock correction) → 16:02:52.
  std::vector<double> steps;
  for (int i = 0; i <= data.LastPoint; ++i) steps.push_back(data.FlightPath[i].TimeStep);
  EXPECT_EQ(steps, (std::vector<double>{2, 5, 5, 5, 5, 5, 5, 21578, 0, 0}));
  EXPECT_EQ(data.SampleInterval, 0.0);
  EXPECT_LT(data.MaxLon, 0.0);
}

TEST_F(IgcSampleFiles, MidnightGapsAndHemispheres) {
  load("crlf-southern-midnight-newzealand.igc");
  EXPECT_LT(data.MaxLat, 0.0);
  EXPECT_EQ(data.FlightPath[296].TimeStep, 3.0);  // 23:59:58 → 00:00:01
  EXPECT_EQ(stepsOf(86397), 0);

  load("crlf-gaps-middle-landing-no-a-record.igc");
  EXPECT_EQ(stepsOf(143), 1);
  EXPECT_EQ(stepsOf(226), 1);

  load("lf-lxnano-60s-interval-negative-pressure.igc");
  EXPECT_GE(stepsOf(60), 33);
  EXPECT_EQ(data.FlightPath[0].Altitude, -42.0);

  load("crlf-long-southwest-oudie.igc");
  // B0900170629993S03539615WA003150033100712
  EXPECT_NEAR(data.FlightPath[0].Lat, -(6 + 0.29993 / 0.6), 1e-12);
  EXPECT_NEAR(data.FlightPath[0].Lon, -(35 + 0.39615 / 0.6), 1e-12);
  EXPECT_EQ(data.StartAltitude, 315.0);
  EXPECT_LT(data.MaxLat, 0.0);
  EXPECT_LT(data.MaxLon, 0.0);

  load("crlf-greenwich-crossing-lx8000.igc");
  EXPECT_GT(data.MaxLon, 0.0);
  EXPECT_LT(data.MinLon, 0.0);
}

TEST_F(IgcSampleFiles, PlaceholderFixesLeaveALocalFlight) {
  load("crlf-invalid-fixes-null-island-vairbration.igc");
  EXPECT_LT(data.MaxLat - data.MinLat, 0.1);
  EXPECT_LT(data.MaxLon - data.MinLon, 0.1);
}

TEST_F(IgcSampleFiles, ZeroPressureRecorderUsesGnssAltitudes) {
  load("crlf-zero-pressure-xctrack.igc");
  EXPECT_GT(data.MaxAltitude, 0.0);
  // B1134504538365N01256696EA000000000067: the first GNSS fields are 00000 too.
  EXPECT_EQ(data.StartAltitude, 0.0);
}

TEST_F(IgcSampleFiles, NegativePressureAltitudes) {
  load("crlf-negative-pressure-skytraxx.igc");
  const FlightPoint* p = data.FlightPath.pts;
  const auto lowest = std::min_element(
      p, p + data.LastPoint + 1, [](const FlightPoint& a, const FlightPoint& b) { return a.Altitude < b.Altitude; });
  EXPECT_EQ(lowest->Altitude, -53.0);
}

TEST_F(IgcSampleFiles, MalformedFileFailsAndKeepsTheFlight) {
  load("crlf-negative-pressure-skytraxx.igc");
  const FlightSnapshot before(data);
  const char* name = "lf-malformed-b-records-syride.igc";
  const auto e =
      igcError(readBytes(dataPath(QStringLiteral("igc/") + QString::fromLatin1(name))), QString::fromLatin1(name));
  ASSERT_TRUE(e);
  // B08590616423468S00332739EA02570-…: an 8-digit latitude shifts the longitude field.
  EXPECT_EQ(e->text(), QStringLiteral("'S0033273' ist kein gültiger Integerwert"));
  EXPECT_EQ(e->detail(), QStringLiteral("Datei lf-malformed-b-records-syride.igc, Zeile 197"));
  expectUnchanged(before, data);
}

}  // namespace
