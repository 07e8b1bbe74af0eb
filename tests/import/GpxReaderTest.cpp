#include "ImportTestSupport.h"
#include "common/TestPaths.h"
#include "import/GpxReader.h"

#include <QDateTime>
#include <cmath>

namespace gpx_reader_test {

using namespace trelvano;

namespace {

constexpr double kNone = NAN;

Flight gpx(const QByteArray& text) { return readGpx(text, QStringLiteral("t.gpx")); }

double utc(const char* text) {
  return QDateTime::fromString(QLatin1String(text), Qt::ISODateWithMs).toMSecsSinceEpoch() / 1000.0;
}

struct Expected {
  double lat, lon, ele, step, time;
};

TEST(GpxReader, FilesOfOtherProgramsGiveEveryPoint) {
  // Each point as read by eye from the files in tests/data/gpx.
  const std::pair<const char*, std::vector<Expected>> files[] = {
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
  for (const auto& [name, points] : files) {
    SCOPED_TRACE(name);
    const Flight f = gpx(readBytes(dataPath(QStringLiteral("gpx/") + QLatin1String(name))));
    EXPECT_EQ(f.kind, FlightKind::Gpx);
    EXPECT_EQ(f.altitudeLabel, QStringLiteral("Höhe: GPS"));
    ASSERT_EQ(f.fixes.size(), points.size());
    EXPECT_EQ(f.hasClock(), !std::isnan(points[0].time));
    for (size_t i = 0; i < points.size(); ++i) {
      const Expected& e = points[i];
      const Fix& p = f.fixes[i];
      EXPECT_NEAR(p.Lat, e.lat, 1e-12) << i;
      EXPECT_NEAR(p.Lon, e.lon, 1e-12) << i;
      EXPECT_EQ(p.Altitude, e.ele) << i;
      EXPECT_NEAR(p.TimeStep, e.step, 1e-9) << i;
      if (f.hasClock()) {
        EXPECT_EQ(std::isnan(f.utc[i]), std::isnan(e.time)) << i;
        if (!std::isnan(e.time)) {
          EXPECT_NEAR(f.utc[i], e.time, 1e-6) << i;
        }
      }
    }
    EXPECT_EQ(f.sampleInterval, f.fixes.back().TimeStep);
    EXPECT_EQ(f.start.altitude, points[0].ele);
  }
  // Track points win over route points wherever these stand.
  const Flight f =
      gpx("<gpx><rte><rtept lat='1' lon='1'/></rte><trk><trkseg><trkpt lat='2' lon='3'/></trkseg></trk>"
          "<rte><rtept lat='4' lon='4'/></rte><trkpt lat='5' lon='5'/></gpx>");
  ASSERT_EQ(f.fixes.size(), 1u);
  EXPECT_EQ(f.fixes[0].Lon, 3.0);
  EXPECT_EQ(f.sampleInterval, 2.0);  // a single point: its own first step
}

QByteArray track(const QByteArray& points) { return "<gpx><trk><trkseg>" + points + "</trkseg></trk></gpx>"; }

// Whatever XML form a writer chooses, the same points come out.
TEST(GpxReader, AnyWellFormedFormReadsAlike) {
  const QByteArray plain =
      track("<trkpt lat='47.5' lon='-11.25'><ele>612.5</ele><time>2023-06-01T10:00:00Z</time></trkpt>");
  const QByteArray forms[] = {
      "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?>\r\n" + plain,
      "<g:gpx xmlns:g='urn:g'><g:trk><g:trkseg><g:trkpt lat='47.5' lon='-11.25' g:lat='1' xml:lang='de'>"
      "<g:ele>612.5</g:ele><g:time>2023-06-01T10:00:00Z</g:time></g:trkpt></g:trkseg></g:trk></g:gpx>",
      "<gpx xmlns='http://www.topografix.com/GPX/1/1'><trk><trkseg><trkpt lon=\"-11.25\" lat=\" 4&#55;.5\n\">"
      "<ele>6<!-- c -->1<![CDATA[2]]>.5</ele><extensions><ele>9</ele><time>2020-01-01T00:00:00Z</time></extensions>"
      "<time>\t2023-06-01T12:00:00+02:00 </time></trkpt></trkseg></trk></gpx>",
      track(
          "<trkpt lat='+4.75e1' lon='-1125e-2'><ele>5</ele><ele>612.50</ele><time>2023-06-01T10:00:00Z</time></trkpt>"),
      "<!DOCTYPE gpx [<!ENTITY e '612.5'>]>" + track("<trkpt lat='47.5' lon='-11.25'><ele>&e;</ele>"
                                                     "<time>2023-06-01T10:00:00Z</time></trkpt>"),
      "<?xml version='1.0' encoding='ISO-8859-1'?>" +
          track("<trkpt lat='47.5' lon='-11.25'><name>\xE4\x80</name>"
                "<ele>612.5</ele><time>2023-06-01T10:00:00Z</time></trkpt>"),
      "<?xml version='1.0' encoding='windows-1252'?>" +
          track("<trkpt lat='47.5' lon='-11.25'><name>\x80\xE4</name>"
                "<ele>612.5</ele><time>2023-06-01T10:00:00Z</time></trkpt>"),
      [&] {  // UTF-16 with its byte order mark
        const QString text = QString::fromUtf8("<?xml version='1.0' encoding='UTF-16'?>" + plain);
        return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
      }(),
  };
  for (const QByteArray& form : forms) {
    SCOPED_TRACE(form.left(120).constData());
    const Flight f = gpx(form);
    ASSERT_EQ(f.fixes.size(), 1u);
    EXPECT_EQ(f.fixes[0].Lat, 47.5);
    EXPECT_EQ(f.fixes[0].Lon, -11.25);
    EXPECT_EQ(f.fixes[0].Altitude, 612.5);
    EXPECT_EQ(f.utc, std::vector<double>{utc("2023-06-01T10:00:00Z")});
  }
  // An empty ele is 0 m, a time that is none counts as missing; route points
  // after a track point are passed over unread.
  const Flight f =
      gpx("<gpx><trk><trkseg><trkpt lat='1' lon='2'><ele>7</ele><ele> </ele><time>noon</time></trkpt></trkseg></trk>"
          "<rte><rtept lat='x' lon='y'/></rte></gpx>");
  ASSERT_EQ(f.fixes.size(), 1u);
  EXPECT_EQ(f.fixes[0].Altitude, 0.0);
  EXPECT_FALSE(f.hasClock());
}

TEST(GpxReader, BadFilesNameTheLine) {
  const std::pair<QByteArray, int> cases[] = {
      // text, line of "Ungültige GPX-Datei"
      {"", 1},
      {"<gpx>\n<trk><trkseg>\n<trkpt lat='1' lon='2'>\n</trkseg></trk></gpx>", 4},
      {"<gpx><trk><trkseg><trkpt lat='1' lon='2'/></trkseg></trk></gpx>\n<gpx/>", 2},
      {"<gpx><trk><trkseg>\r\n\r\n<trkpt lat='x' lon='2'/></trkseg></trk></gpx>", 3},
      {"<gpx><trk><trkseg>\n<trkpt lat='90.0001' lon='-180.5'/></trkseg></trk></gpx>", 2},
      {"<gpx><trk><trkseg>\n<trkpt lat='nan' lon='2'/></trkseg></trk></gpx>", 2},
      {"<gpx><trk><trkseg>\n<trkpt lat='1' lon='2'>\n<ele>hoch</ele></trkpt></trkseg></trk></gpx>", 3},
      {"<gpx><trk><trkseg>\n<trkpt lat='0x10' lon='2'/></trkseg></trk></gpx>", 2},
      {"<gpx><trk><trkseg>\n<trkpt lat='+-1' lon='2'/></trkseg></trk></gpx>", 2},
      {"<gpx><trk><trkseg>\n<trkpt lat='1' lon='1e999'/></trkseg></trk></gpx>", 2},
      {"<gpx>\n<p:trk><trkseg><trkpt lat='1' lon='2'/></trkseg></p:trk></gpx>", 2},  // the prefix is not declared
      {"<?xml version='1.0' encoding='EBCDIC-XY'?>\n<gpx/>", 1},
  };
  for (const auto& [text, line] : cases) {
    const std::optional<RunError> e = errorOf([&] { gpx(text); });
    ASSERT_TRUE(e) << text.constData();
    EXPECT_EQ(e->boxText(), QStringLiteral("Ungültige GPX-Datei\nDatei t.gpx, Zeile %1").arg(line)) << text.constData();
  }
  // Route points beyond the capacity count only in a file without track points.
  QByteArray routes = "<gpx><rte>\n";
  for (int i = 0; i <= kMaxFlightPoints; ++i) routes += "<rtept lat='1' lon='2'/>";
  const std::optional<RunError> e = errorOf([&] { gpx(routes + "\n</rte></gpx>"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(
      e->boxText(),
      QStringLiteral("Fehler bei Bereichsprüfung\nDie Datei enthält mehr als 65536 Punkte\nDatei t.gpx, Zeile 2"));
  EXPECT_EQ(gpx(routes + "</rte>" + track("<trkpt lat='3' lon='4'/>").mid(5)).fixes.size(), 1u);
}

}  // namespace

}  // namespace gpx_reader_test
