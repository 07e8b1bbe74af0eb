#include "ImportTestSupport.h"
#include "common/TestPaths.h"
#include "import/GpxReader.h"
#include "import/IgcReader.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

class GpxReader : public ImportTest {
 protected:
  QString gpx(const QByteArray& text) { return loadGpx(data, *staging, text, QStringLiteral("t.gpx")); }
  std::optional<RunError> gpxError(const QByteArray& text) {
    return errorOf([&] { gpx(text); });
  }
};

double utc(const char* text) {
  return QDateTime::fromString(QLatin1String(text), Qt::ISODateWithMs).toMSecsSinceEpoch() / 1000.0;
}

struct Expected {
  double lat, lon, ele, step, time;
};
struct GpxFile {
  const char* name;
  std::vector<Expected> points;
};

// The files in tests/data/gpx, each point as read by eye from the file.
std::vector<GpxFile> gpxFiles() {
  return {
      {"unit-extensions-segments.gpx",
       {{47.1234567, 11.7654321, 612.4, 2, utc("2023-06-01T10:00:00Z")},
        {47.124, 11.766, 630, 2, utc("2023-06-01T10:00:02Z")},
        {47.125, 11.767, 655.5, 5, utc("2023-06-01T10:00:07Z")},
        {-47.126, -11.768, -12.5, 1, utc("2023-06-01T10:00:08Z")}}},
      {"phone-prefixed-crlf-zones.gpx",
       {{52.5200001, 13.4049999, 0, 2, utc("2023-06-01T10:00:00.250Z")},
        {52.5201, 13.4051, 35.75, 1.5, utc("2023-06-01T10:00:01.750Z")},
        {52.5202, 13.4052, 36, 1, kNone},
        {52.5203, 13.4053, 37, 1, utc("2023-06-01T10:00:04Z")},
        {52.5204, 13.4054, 38, 0, utc("2023-06-01T10:00:03.5Z")}}},  // the time goes back: 0 s
      {"route-only-gpx10.gpx", {{46, 7, 1500, 2, kNone}, {46.01, 7.02, 0, 1, kNone}, {46.02, 7.01, 1600.5, 1, kNone}}},
  };
}

TEST_F(GpxReader, FilesOfOtherProgramsGiveEveryPoint) {
  for (const GpxFile& f : gpxFiles()) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(gpx(readBytes(dataPath(QStringLiteral("gpx/") + QLatin1String(f.name)))), QStringLiteral("Höhe: GPS"));
    ASSERT_EQ(data.LastPoint + 1, int(f.points.size()));
    bool anyTime = false;
    for (int i = 0; i <= data.LastPoint; ++i) {
      SCOPED_TRACE(i);
      const Expected& e = f.points[i];
      const FlightPoint& p = data.FlightPath[i];
      EXPECT_NEAR(p.Lat, e.lat, 1e-12);
      EXPECT_NEAR(p.Lon, e.lon, 1e-12);
      EXPECT_EQ(p.Altitude, e.ele);
      EXPECT_EQ(p.Z, e.ele - f.points[0].ele);
      EXPECT_NEAR(p.TimeStep, e.step, 1e-9);
      if (std::isnan(e.time))
        EXPECT_TRUE(std::isnan(data.PointTime[i]));
      else
        EXPECT_NEAR(data.PointTime[i], e.time, 1e-6);
      anyTime = anyTime || !std::isnan(e.time);
    }
    EXPECT_EQ(data.HasPointTimes, anyTime);
    EXPECT_EQ(data.SampleInterval, data.FlightPath[data.LastPoint].TimeStep);
  }
}

// The same flight as IGC fixes and as GPX points gives the same frame, copies and extents.
TEST_F(GpxReader, FinishesTheFlightAsTheIgcReaderDoes) {
  std::vector<QByteArray> fixes;
  QByteArray points;
  const char* const lats[] = {"4807038N", "4807100N", "4806900S", "4807400N"};
  const char* const lons[] = {"01131456E", "01131500W", "01131700E", "01131300E"};
  for (int i = 0; i < 4; ++i) {
    const QByteArray alt = QByteArray::number(500 + 37 * i).rightJustified(5, '0');
    const QByteArray time = "1200" + QByteArray::number(10 + 2 * i);
    fixes.push_back(bRecord(time.constData(), lats[i], lons[i], alt.constData()));
  }
  const FlightDataPtr fromIgc = makeFlightData();
  loadIgc(*fromIgc, *staging, joinLines(fixes), QStringLiteral("t.igc"));
  for (int i = 0; i < 4; ++i) {
    const FlightPoint& p = fromIgc->FlightPath[i];
    points += "<trkpt lat='" + QByteArray::number(p.Lat, 'g', 17) + "' lon='" + QByteArray::number(p.Lon, 'g', 17) +
              "'><ele>" + QByteArray::number(p.Altitude) + "</ele><time>2023-06-01T12:00:" +
              QByteArray::number(10 + 2 * i) + "Z</time></trkpt>";
  }
  gpx("<gpx><trk><trkseg>" + points + "</trkseg></trk></gpx>");

  for (int i = 0; i <= 7; ++i) {
    SCOPED_TRACE(i);
    if (i < 4) {
      EXPECT_EQ(std::memcmp(&data.FlightPath[i], &fromIgc->FlightPath[i], sizeof(FlightPoint)), 0);
      EXPECT_EQ(std::memcmp(&data.ShadowPath[i], &fromIgc->ShadowPath[i], sizeof(FlightPoint)), 0);
    }
    EXPECT_EQ(std::memcmp(&data.PlumbLines[i], &fromIgc->PlumbLines[i], sizeof(FlightPoint)), 0);
  }
  for (auto field : {&FlightData::MaxAltitude, &FlightData::MaxLat, &FlightData::MinLat, &FlightData::MaxLon,
                     &FlightData::MinLon, &FlightData::SampleInterval, &FlightData::StartAltitude})
    EXPECT_EQ(data.*field, (*fromIgc).*field);
  EXPECT_NEAR(data.StartLatRaw, fromIgc->StartLatRaw, 1e-6);
  EXPECT_NEAR(data.StartLonRaw, fromIgc->StartLonRaw, 1e-6);
  EXPECT_EQ(data.PlumbLast, 7);
  EXPECT_EQ(data.RangeEnd, 3);
}

TEST_F(GpxReader, TracksWinOverRoutesWhereverTheyStand) {
  gpx("<gpx><rte><rtept lat='1' lon='1'/></rte><trk><trkseg><trkpt lat='2' lon='3'/></trkseg></trk>"
      "<rte><rtept lat='4' lon='4'/></rte><trkpt lat='5' lon='5'/></gpx>");
  ASSERT_EQ(data.LastPoint, 0);
  EXPECT_EQ(data.FlightPath[0].Lat, 2.0);
  EXPECT_EQ(data.FlightPath[0].Lon, 3.0);
}

TEST_F(GpxReader, BadFilesNameTheLineAndKeepTheFlight) {
  const struct {
    QByteArray text;
    const char* error;
    int line;  // 0: no line
  } cases[] = {
      {"", "Ungültige GPX-Datei", 1},
      {"<gpx>\n<trk><trkseg>\n<trkpt lat='1' lon='2'>\n</trkseg></trk></gpx>", "Ungültige GPX-Datei", 4},
      {"<gpx><trk><trkseg><trkpt lat='1' lon='2'/></trkseg></trk></gpx>\n<gpx/>", "Ungültige GPX-Datei", 2},
      {"<gpx><trk><trkseg>\r\n\r\n<trkpt lat='x' lon='2'/></trkseg></trk></gpx>", "Ungültige GPX-Datei", 3},
      {"<gpx><trk><trkseg>\n<trkpt lat='90.0001' lon='2'/></trkseg></trk></gpx>", "Ungültige GPX-Datei", 2},
      {"<gpx><trk><trkseg>\n<trkpt lat='1' lon='-180.5'/></trkseg></trk></gpx>", "Ungültige GPX-Datei", 2},
      {"<gpx><trk><trkseg>\n<trkpt lon='2'/></trkseg></trk></gpx>", "Ungültige GPX-Datei", 2},
      {"<gpx><trk><trkseg>\n<trkpt lat='nan' lon='2'/></trkseg></trk></gpx>", "Ungültige GPX-Datei", 2},
      {"<gpx><trk><trkseg>\n<trkpt lat='1' lon='2'>\n<ele>hoch</ele></trkpt></trkseg></trk></gpx>",
       "Ungültige GPX-Datei", 3},
      {"<gpx version='1.1'><wpt lat='1' lon='2'/></gpx>", "Keine Flugdaten in der Datei", 0},
      {"<kml><trkpt lat='1' lon='2'/></kml>", "Keine Flugdaten in der Datei", 0},
  };
  igc(joinLines({bRecord("120000", "4807038N", "01131456E"), bRecord("120002", "4807100N", "01131500E")}));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    const FlightSnapshot before(data);
    const std::optional<RunError> e = gpxError(c.text);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), QString::fromUtf8(c.error));
    EXPECT_EQ(e->detail(), c.line ? QStringLiteral("Datei t.gpx, Zeile %1").arg(c.line) : QStringLiteral("Datei t.gpx"));
    expectUnchanged(before, data);
  }
}

TEST_F(GpxReader, MoreThan65536PointsAreARangeError) {
  QByteArray text = "<gpx><trk><trkseg>\n";
  for (int i = 0; i < kMaxFlightPoints; ++i) text += "<trkpt lat='1' lon='2'/>\n";
  gpx(text + "</trkseg></trk></gpx>");
  EXPECT_EQ(data.LastPoint, kMaxFlightPoints - 1);
  for (const char* point : {"trkpt", "rtept"}) {
    const bool track = point[0] == 't';
    QByteArray big = track ? "<gpx><trk><trkseg>\n" : "<gpx><rte>\n";
    for (int i = 0; i <= kMaxFlightPoints; ++i) big += QByteArray("<") + point + " lat='1' lon='2'/>\n";
    big += track ? "</trkseg></trk></gpx>" : "</rte></gpx>";
    const std::optional<RunError> e = gpxError(big);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), QStringLiteral("Fehler bei Bereichsprüfung"));
    EXPECT_EQ(e->detail(), QStringLiteral("Datei t.gpx, Zeile %1").arg(kMaxFlightPoints + 2));
  }
}

TEST(GpxFileName, AnyCase) {
  EXPECT_TRUE(isGpxFileName(QStringLiteral("/a/Flug.GPX")));
  EXPECT_TRUE(isGpxFileName(QStringLiteral("flug.gpx")));
  EXPECT_FALSE(isGpxFileName(QStringLiteral("flug.gpx.igc")));
}

}  // namespace
