#include "ImportTestSupport.h"

#include "import/LoggerReader.h"

namespace logger_reader_test {

using namespace trelvano;

namespace {

constexpr int kLat = 4807038;   // 48.1173°
constexpr int kLon = -1131456;  // −11.524267°

Flight read(const QByteArray& text) { return readLogger(text, QStringLiteral("test.csv")); }

std::vector<double> auxes(const Flight& f) {
  std::vector<double> a;
  for (const Fix& p : f.fixes) a.push_back(p.Aux);
  return a;
}

TEST(LoggerReader, SixFieldsInTheFirstLineMakeTheNewFormat) {
  Flight f = read("5;64;9;0;0\r\n4807038;1131456;7;1000\r\n");
  EXPECT_EQ(f.kind, FlightKind::LoggerOld);
  EXPECT_EQ(f.loggerHeaderId, 5);
  EXPECT_EQ(f.loggerHeaderFlags, 64);
  EXPECT_TRUE(f.hasGpsColumns);
  EXPECT_EQ(f.fixes.size(), 2u);  // the first line is a sample of the old format too
  EXPECT_TRUE(f.samples.empty());

  f = read(newFormatFile(64, 9, {newFormatLine(100, kLat, kLon, 5120)}));
  EXPECT_EQ(f.kind, FlightKind::LoggerNew);
  EXPECT_EQ(f.fixes.size(), 1u);
  EXPECT_EQ(f.samples.size(), 1u);
}

TEST(LoggerReader, HeaderGivesTheSampleIntervalAndTheGpsColumns) {
  const QByteArray line = newFormatLine(1, 4800000, 1100000, 10);
  EXPECT_EQ(read(newFormatFile(64, 0, {line})).sampleInterval, 0.02);
  EXPECT_EQ(read(newFormatFile(64, 49, {line})).sampleInterval, 1.0);

  // Without flag 64 a line holds the 13 channels only; position and GPS altitude are 0.
  const Flight f =
      read(newFormatFile(0, 4, {"1;2;3;4;5;6;7;8;9;10;11;12;13", "21;22;23;24;25;26;27;28;29;30;31;32;33;34"}));
  EXPECT_FALSE(f.hasGpsColumns);
  ASSERT_EQ(f.samples.size(), 2u);
  EXPECT_EQ(f.samples[1][12], 33);
  EXPECT_EQ(f.samples[1][kColLat], 0);
  EXPECT_EQ(f.samples[1][kColGpsAlt], 0);
  EXPECT_EQ(f.fixes[1].Lat, 0.0);
  EXPECT_EQ(f.fixes[1].Lon, 0.0);
  EXPECT_EQ(f.altitudeLabel, QStringLiteral("Höhe: GPS"));
}

TEST(LoggerReader, NewFormatSamples) {
  const Flight f = read(newFormatFile(
      64, 4, {newFormatLine(100, kLat, kLon, 5120), newFormatLine(200, kLat + 100, kLon, 5370) + ";99;98"}));
  ASSERT_EQ(f.fixes.size(), 2u);
  EXPECT_EQ(f.altitudeLabel, QStringLiteral("Höhe: GPS"));
  EXPECT_FALSE(f.baroAltitudes);
  for (int k = 0; k < 13; ++k) EXPECT_EQ(f.samples[1][k], 200 + k);
  EXPECT_EQ(f.samples[1][kColLat], kLat + 100);
  EXPECT_EQ(f.samples[1][kColLon], kLon);
  EXPECT_EQ(f.samples[1][kColGpsAlt], 5370);
  // GPS altitude relative to the first sample: 5120 dm and 5370 dm give 0 and 25 m.
  EXPECT_EQ(f.fixes[0].Altitude, 0.0);
  EXPECT_NEAR(f.fixes[1].Altitude, 25.0, 1e-9);
  EXPECT_NEAR(f.fixes[0].Lat, 48.1173, 1e-12);
  EXPECT_NEAR(f.fixes[0].Lon, -11.524267, 1e-6);
  EXPECT_EQ(f.start.latRaw, kLat);
  EXPECT_EQ(f.start.lonRaw, kLon);
  EXPECT_EQ(f.start.altitude, 512.0);
  EXPECT_NEAR(f.sampleInterval, 0.1, 1e-15);
  EXPECT_EQ(f.fixes[0].TimeStep, f.sampleInterval);
  EXPECT_EQ(f.fixes[1].TimeStep, f.sampleInterval);
  EXPECT_EQ(auxes(f), (std::vector<double>{0, 0}));
  EXPECT_FALSE(f.hasClock());
}

TEST(LoggerReader, OldFormatSamples) {
  const Flight f = read("4807038;-1131456;17;1000\r\n4807138;-1131456;18;1100\r\n");
  EXPECT_EQ(f.kind, FlightKind::LoggerOld);
  EXPECT_EQ(f.altitudeLabel, QStringLiteral("Höhe: GPS"));
  ASSERT_EQ(f.fixes.size(), 2u);
  EXPECT_EQ(f.fixes[0].Altitude, 130.0);
  EXPECT_NEAR(f.fixes[1].Altitude, 143.0, 1e-9);
  EXPECT_EQ(auxes(f), (std::vector<double>{17, 18}));
  EXPECT_EQ(f.start.altitude, 130.0);
  EXPECT_EQ(f.sampleInterval, 2.0);
  EXPECT_EQ(f.fixes[1].TimeStep, 2.0);
}

TEST(LoggerReader, EmptyLinesAndSingleFieldLines) {
  // An empty line: the first field runs on into the next line, which takes its place.
  EXPECT_EQ(auxes(read("4807038;-1131456;1;100\r\n\r\n4807238;-1131456;3;300\r\n4807338;-1131456;4;400\r\n")),
            (std::vector<double>{1, 3, 4}));
  // A single-field line is not counted; the rest of its row comes from the next line, which is lost too.
  EXPECT_EQ(auxes(read("4807038;-1131456;1;100\r\n77\r\n4807238;-1131456;3;300\r\n4807338;-1131456;4;400\r\n")),
            (std::vector<double>{1, 4}));
  EXPECT_EQ(auxes(read("4807038;-1131456;1;100\r\n77\r\n4807238;-1131456;3;300\r\n")), (std::vector<double>{1}));
  // A trailing empty line is not a sample.
  EXPECT_EQ(read(newFormatFile(64, 4, {newFormatLine(1, kLat, kLon, 10), newFormatLine(2, kLat, kLon, 20), ""}))
                .samples.size(),
            2u);
}

// Every field of every fix and sample, for comparing two reads.
bool sameFlight(const Flight& a, const Flight& b) {
  return a.fixes.size() == b.fixes.size() && a.samples.size() == b.samples.size() &&
         std::memcmp(a.fixes.data(), b.fixes.data(), a.fixes.size() * sizeof(Fix)) == 0 &&
         std::memcmp(a.samples.data(), b.samples.data(), a.samples.size() * sizeof(SampleRow)) == 0;
}

TEST(LoggerReader, EveryLineEndReadsTheSame) {
  const std::vector<QByteArray> lines = {"1;64;4;0;0;0",
                                         "header",
                                         newFormatLine(10, kLat, kLon, 5120),
                                         "11;12",  // a short line: its missing fields run on
                                         newFormatLine(30, kLat + 10, kLon - 10, 5220),
                                         newFormatLine(40, kLat + 20, kLon - 20, 5320)};
  const Flight expected = read(joinLines(lines, "\r\n"));
  ASSERT_EQ(expected.samples.size(), 3u);
  EXPECT_EQ(expected.samples[1][1], 12);
  EXPECT_EQ(expected.samples[1][2], 30);  // the short line's row goes on with the next line's fields

  const QByteArray lf = joinLines(lines, "\n");
  for (const QByteArray& text : {lf, joinLines(lines, "\r"), lf.chopped(1), lf + "\x1a" + lines[5] + "\n"})
    EXPECT_TRUE(sameFlight(read(text), expected)) << text.toStdString();
  // CR CR LF is a line end and an empty line, as if every line were followed by one.
  std::vector<QByteArray> doubled;
  for (const QByteArray& l : lines) doubled.insert(doubled.end(), {l, ""});
  EXPECT_TRUE(sameFlight(read(joinLines(lines, "\r\r\n")), read(joinLines(doubled, "\r\n"))));
}

}  // namespace

}  // namespace logger_reader_test
