// Several flights on one clock: two flights of the same day that cross at a
// known time and place, the two syncs and the offsets, adding and removing,
// and an add that fails.
#include "analysis/Geodesic.h"
#include "app/core/FlightClock.h"
#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/StateSnapshot.h"
#include "common/TestPaths.h"
#include "model/RunError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace flight_set_test {

using namespace trelvano;

namespace {

constexpr double kCrossLat = 47.0, kCrossLon = 11.0;
constexpr double kMetresNorth = 111195;  // per degree of latitude, near enough for placing fixes
const double kMetresEast = kMetresNorth * std::cos(kCrossLat * M_PI / 180);

// A straight flight over the crossing point at `crossSecond` (second of the
// day, UTC, 15 March 2023): on the ground at its first position until
// `takeoffSecond`, then `speed` m/s towards `bearing` degrees, climbing `climb`
// m/s from `altitude`; a fix a second from `takeoffSecond - 120` for `seconds`.
QByteArray crossingFlight(int takeoffSecond, int crossSecond, double bearing, double speed, double altitude,
                          double climb, int seconds, const char* pilot) {
  QByteArray text = "AXXXTST test\r\nHFDTE150323\r\nHFPLTPILOTINCHARGE:";
  text += QByteArray(pilot) + "\r\nHFGTYGLIDERTYPE:Discus\r\n";
  const double east = std::sin(bearing * M_PI / 180), north = std::cos(bearing * M_PI / 180);
  for (int t = takeoffSecond - 120; t < takeoffSecond - 120 + seconds; ++t) {
    const double flown = speed * (std::max(t, takeoffSecond) - crossSecond);  // metres past the crossing
    const double lat = kCrossLat + flown * north / kMetresNorth, lon = kCrossLon + flown * east / kMetresEast;
    const int alt = int(std::lround(altitude + climb * std::max(0, t - takeoffSecond)));
    auto field = [](double deg, int digits) {
      long long thousandths = std::llround(std::abs(deg) * 60000);
      const long long degrees = thousandths / 60000;
      char buf[16];
      std::snprintf(buf, sizeof buf, "%0*lld%05lld", digits, degrees, thousandths - degrees * 60000);
      return QByteArray(buf);
    };
    char line[64];
    std::snprintf(line, sizeof line, "B%02d%02d%02d%sN%sEA%05d%05d\r\n", t / 3600, t / 60 % 60, t % 60,
                  field(lat, 2).constData(), field(lon, 3).constData(), alt, alt);
    text += line;
  }
  return text;
}

constexpr int kTakeoffA = 12 * 3600, kTakeoffB = kTakeoffA + 600, kCross = kTakeoffA + 1200;
constexpr double kDay = 1678838400;  // 15 March 2023, 00:00 UTC

struct TwoFlights : ::testing::Test {
  ScriptedDialogs dialogs;
  MainController core{dialogs};
  QTemporaryDir dir;
  QString a, b;

  QString write(const char* name, const QByteArray& bytes) {
    QFile f(dir.filePath(QLatin1String(name)));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
  }
  void SetUp() override {
    // A flies east, climbing 1 m/s from 500 m; B north, taking off 10 minutes
    // later and climbing 0.5 m/s from 1200 m: 1500 m at the crossing.
    a = write("a.igc", crossingFlight(kTakeoffA, kCross, 90, 15, 500, 1, 2400, "Anna"));
    b = write("b.igc", crossingFlight(kTakeoffB, kCross, 0, 11, 1200, 0.5, 1800, "Bert"));
    core.openFlightFile(a);
    core.addFlightFile(b);
  }
  FlightComparison at(int index, double clockTime) const { return compareAt(core.flights, clockTime)[size_t(index)]; }
};

TEST_F(TwoFlights, MeetAtTheCrossingOnTheSameClock) {
  ASSERT_EQ(core.flights.count(), 2);
  EXPECT_EQ(core.flights.activeIndex(), 0);
  EXPECT_EQ(core.flights.sync(), ClockSync::SameTime);  // both have clock times
  EXPECT_EQ(core.flights.at(0).name, QStringLiteral("Anna – Discus"));
  EXPECT_NE(core.flights.at(0).colour, core.flights.at(1).colour);

  const FlightComparison cross = at(1, kDay + kCross);
  ASSERT_FALSE(cross.at.waiting);
  EXPECT_LT(geodesicDistance(cross.at.lat, cross.at.lon, kCrossLat, kCrossLon), 10);
  EXPECT_LT(cross.distanceToActive, 10);
  EXPECT_NEAR(cross.heightToActive, 1500 - (500 + 1200), 1);
  EXPECT_NEAR(cross.at.groundSpeed, 11 * 3.6, 0.5);
  EXPECT_NEAR(at(0, kDay + kCross).at.vario, 1, 0.01);
  EXPECT_EQ(at(0, kDay + kCross).distanceToActive, 0);

  // A minute later they are 60 s × √(15² + 11²) apart; halfway between two
  // fixes the positions are interpolated.
  EXPECT_NEAR(at(1, kDay + kCross + 60).distanceToActive, 60 * std::hypot(15, 11), 15);
  EXPECT_NEAR(at(1, kDay + kCross + 60.5).distanceToActive, 60.5 * std::hypot(15, 11), 15);

  // Before B's first fix it waits at its start; compared with nothing.
  const FlightComparison early = at(1, kDay + kTakeoffA);
  EXPECT_TRUE(early.at.waiting);
  EXPECT_EQ(early.at.point, 0);
  EXPECT_TRUE(std::isnan(early.distanceToActive));
  EXPECT_TRUE(at(0, kDay + kTakeoffA + 2400).at.waiting);  // after A's last fix
}

TEST_F(TwoFlights, CommonStartAndOffsetsShiftTheClock) {
  // "Gemeinsamer Start": B's take-off on A's, so at the crossing time B is
  // 20 minutes after its own take-off, 600 s × 11 m/s past the crossing.
  core.flights.setSync(ClockSync::CommonStart);
  EXPECT_NEAR(takeoffTime(core.flights.at(1).analysis) - takeoffTime(core.flights.at(0).analysis), 0, 5);
  EXPECT_NEAR(at(1, kDay + kCross).distanceToActive, 600 * 11, 60);
  // An offset of +600 s puts B back on its own clock: they cross again.
  core.flights.setOffset(1, 600);
  EXPECT_LT(at(1, kDay + kCross).distanceToActive, 60);

  // On the same clock, an offset moves B's whole flight later.
  core.flights.setSync(ClockSync::SameTime);
  EXPECT_NEAR(at(1, kDay + kCross).distanceToActive, 600 * 11, 60);
  EXPECT_LT(std::abs(at(1, kDay + kCross + 600).at.lat - kCrossLat), 1e-4);
  EXPECT_DOUBLE_EQ(clockTimeOf(core.flights, 1, 0) - clockTimeOf(core.flights, 0, 0), 600 + 600);
}

TEST_F(TwoFlights, SwitchingTheActiveFlightShowsItAndKeepsTheSections) {
  core.data.RangeStart = 100, core.data.RangeEnd = 900, core.data.CursorPoint = 400;
  const int32_t lastA = core.data.LastPoint;
  const FrameOrigin scene = core.flights.sceneOrigin;
  core.setActiveFlight(1);
  EXPECT_EQ(core.flights.sceneOrigin.lat, scene.lat);  // the scene's frame stays the first flight's
  EXPECT_EQ(core.flights.sceneOrigin.lon, scene.lon);
  EXPECT_EQ(core.data.LastPoint, 1799);
  EXPECT_EQ(core.data.RangeStart, 0);
  EXPECT_EQ(core.state.flightFile, b);
  EXPECT_EQ(core.data.Analysis.valid, true);
  // The distance compares with the new active flight.
  EXPECT_EQ(at(1, kDay + kCross).distanceToActive, 0);
  EXPECT_LT(at(0, kDay + kCross).distanceToActive, 10);

  core.setActiveFlight(0);
  EXPECT_EQ(core.data.LastPoint, lastA);
  EXPECT_EQ(core.data.RangeStart, 100);
  EXPECT_EQ(core.data.RangeEnd, 900);
  EXPECT_EQ(core.data.CursorPoint, 400);

  // Removing the active flight shows the one left.
  core.removeFlight(0);
  EXPECT_EQ(core.flights.count(), 1);
  EXPECT_EQ(core.state.flightFile, b);
  EXPECT_EQ(core.data.LastPoint, 1799);
  EXPECT_THROW(core.setActiveFlight(3), RunError);
}

TEST_F(TwoFlights, AFailedOrOneTooManyAddChangesNothing) {
  const StateSnapshot before(core.data);
  const QString bad = sourcePath(QStringLiteral("tests/bad-inputs/fixes-65537.igc"));
  EXPECT_THROW(core.addFlightFile(bad), RunError);
  EXPECT_EQ(core.flights.count(), 2);
  EXPECT_EQ(before.differenceTo(core.data), "");

  for (int k = 2; k < kMaxLoadedFlights; ++k) core.addFlightFile(b);
  EXPECT_EQ(core.flights.count(), kMaxLoadedFlights);
  try {
    core.addFlightFile(a);
    ADD_FAILURE() << "a 21st flight was added";
  } catch (const RunError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("Es können höchstens 20 Flüge gleichzeitig geladen sein"));
  }
  EXPECT_EQ(core.flights.count(), kMaxLoadedFlights);
  EXPECT_EQ(before.differenceTo(core.data), "");
  // Every flight has its own colour.
  for (int i = 0; i < kMaxLoadedFlights; ++i)
    for (int j = 0; j < i; ++j) EXPECT_NE(core.flights.at(i).colour, core.flights.at(j).colour);

  // Opening replaces them all by one.
  core.openFlightFile(b);
  EXPECT_EQ(core.flights.count(), 1);
  EXPECT_EQ(core.flights.at(0).path, b);
}

}  // namespace

namespace {

int count(const QByteArray& bytes, const char* what) { return int(bytes.count(what)); }
QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(TwoFlights, ExportsHoldEveryShownFlightAndNoRecordingIsOverwritten) {
  const QString kml = dir.filePath(QStringLiteral("beide.kml")), gpx = dir.filePath(QStringLiteral("beide.gpx"));
  core.exportKml(kml);
  core.exportGpx(gpx);
  EXPECT_EQ(count(readAll(kml), "<Placemark>"), 2);
  EXPECT_EQ(count(readAll(kml), "<color>ff4b19e6</color>"), 1);  // the first palette colour, aabbggrr
  EXPECT_EQ(count(readAll(gpx), "<trk>"), 2);
  EXPECT_EQ(count(readAll(gpx), "<trkpt "), 2400 + 1800);

  // B hidden: A alone, as a flight loaded alone is exported.
  core.flights.setVisible(1, false);
  core.exportKml(kml);
  EXPECT_EQ(count(readAll(kml), "<Placemark>"), 1);
  EXPECT_EQ(count(readAll(kml), "<color>ffff0000</color>"), 1);

  // Not onto any loaded recording, the active one or another.
  const QByteArray recordingB = readAll(b);
  EXPECT_THROW(core.exportGpx(b), RunError);
  EXPECT_EQ(readAll(b), recordingB);
}

}  // namespace

namespace {

// Removing a flight: which one is active afterwards, and whether that changed.
TEST(FlightSetRemove, TheActiveFlightStaysOrTheOneBeforeItFollows) {
  struct Case {
    int count, active, removed;
    int activeAfter;
    bool changed;
  };
  const Case cases[] = {
      {3, 1, 0, 0, false},  // one before the active flight: the same flight, one place up
      {3, 1, 2, 1, false},  // one after it
      {3, 1, 1, 0, true},   // the active one: the one before it
      {3, 0, 0, 0, true},   // the first and active: the new first
      {1, 0, 0, -1, true},  // the last one
  };
  Flight one;
  one.fixes = {Fix{47, 11, 0, 500, 2}};
  auto flight = std::make_shared<const Flight>(one);
  for (const Case& c : cases) {
    FlightSet set;
    set.replaceAll(loadedFlight(flight, QStringLiteral("0.gpx")));
    for (int k = 1; k < c.count; ++k) set.add(loadedFlight(flight, QString::number(k) + QStringLiteral(".gpx")));
    set.setActive(c.active);
    const QString activePath = set.active()->path;
    EXPECT_EQ(set.remove(c.removed), c.changed);
    EXPECT_EQ(set.activeIndex(), c.activeAfter);
    if (!c.changed) {
      EXPECT_EQ(set.active()->path, activePath);
    }
  }
}

}  // namespace

}  // namespace flight_set_test
