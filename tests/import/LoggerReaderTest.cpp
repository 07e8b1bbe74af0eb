#include "ImportTestSupport.h"

#include "import/LoggerReader.h"

using namespace trelvano;

namespace {

class LoggerReader : public ImportTest {};

constexpr int kLat = 4807038;   // 48.1173°
constexpr int kLon = -1131456;  // −11.524267°

TEST_F(LoggerReader, SixFieldsInTheFirstLineMakeTheNewFormat) {
  logger("5;64;9;0;0\r\n4807038;1131456;7;1000\r\n");
  EXPECT_FALSE(data.LoggerNG);
  EXPECT_EQ(data.LoggerHeaderId, 5);
  EXPECT_EQ(data.LoggerHeaderFlags, 64);
  EXPECT_TRUE(data.HasGpsColumns);
  EXPECT_EQ(data.LastPoint, 1);  // the first line is a sample of the old format too

  logger(newFormatFile(64, 9, {newFormatLine(100, kLat, kLon, 5120)}));
  EXPECT_TRUE(data.LoggerNG);
  EXPECT_EQ(data.LastPoint, 0);
}

TEST_F(LoggerReader, HeaderGivesTheSampleIntervalAndTheGpsColumns) {
  const QByteArray line = newFormatLine(1, 4800000, 1100000, 10);
  logger(newFormatFile(64, 0, {line}));
  EXPECT_EQ(data.SampleInterval, 0.02);
  logger(newFormatFile(64, 49, {line}));
  EXPECT_EQ(data.SampleInterval, 1.0);

  // Without flag 64 a line holds the 13 channels only; position and GPS altitude are 0.
  const QString label =
      logger(newFormatFile(0, 4, {"1;2;3;4;5;6;7;8;9;10;11;12;13", "21;22;23;24;25;26;27;28;29;30;31;32;33;34"}));
  EXPECT_FALSE(data.HasGpsColumns);
  EXPECT_EQ(data.LastPoint, 1);
  EXPECT_EQ(data.RawSamples[1][12], 33);
  EXPECT_EQ(data.RawSamples[1][kColLat], 0);
  EXPECT_EQ(data.RawSamples[1][kColGpsAlt], 0);
  EXPECT_EQ(data.FlightPath[1].Lat, 0.0);
  EXPECT_EQ(data.FlightPath[1].Lon, 0.0);
  EXPECT_EQ(label, QStringLiteral("Höhe: GPS"));
}

TEST_F(LoggerReader, NewFormatSamples) {
  data.SampleInterval = 2.0;
  const QString label = logger(newFormatFile(
      64, 4, {newFormatLine(100, kLat, kLon, 5120), newFormatLine(200, kLat + 100, kLon, 5370) + ";99;98"}));
  ASSERT_EQ(data.LastPoint, 1);
  EXPECT_EQ(label, QStringLiteral("Höhe: GPS"));
  EXPECT_EQ(data.RangeStart, 0);
  EXPECT_EQ(data.RangeEnd, 1);
  for (int k = 0; k < 13; ++k) EXPECT_EQ(data.RawSamples[1][k], 200 + k);
  EXPECT_EQ(data.RawSamples[1][kColLat], kLat + 100);
  EXPECT_EQ(data.RawSamples[1][kColLon], kLon);
  EXPECT_EQ(data.RawSamples[1][kColGpsAlt], 5370);
  EXPECT_EQ(std::memcmp(&data.ChannelSamples[1], &data.RawSamples[1], sizeof(SampleRow)), 0);
  // GPS altitude relative to the first sample: 5120 dm and 5370 dm give 0 and 25 m.
  EXPECT_EQ(data.FlightPath[0].Altitude, 0.0);
  EXPECT_NEAR(data.FlightPath[1].Altitude, 25.0, 1e-9);
  EXPECT_NEAR(data.FlightPath[1].Z, 25.0, 1e-9);
  EXPECT_NEAR(data.FlightPath[0].Lat, 48.1173, 1e-12);
  EXPECT_NEAR(data.FlightPath[0].Lon, -11.524267, 1e-6);
  EXPECT_NEAR(data.FlightPath[1].Y, 0.1 / 60 * 108000, 1e-6);
  EXPECT_EQ(data.StartLatRaw, kLat);
  EXPECT_EQ(data.StartLonRaw, kLon);
  EXPECT_EQ(data.StartAltitude, 512.0);
  EXPECT_NEAR(data.SampleInterval, 0.1, 1e-15);
  EXPECT_EQ(data.FlightPath[0].TimeStep, data.SampleInterval);
  EXPECT_EQ(data.FlightPath[1].TimeStep, data.SampleInterval);
  EXPECT_EQ(data.FlightPath[1].Pen, kPenLine);
  EXPECT_EQ(data.FlightPath[1].Color, colours::kBlue);
  EXPECT_EQ(data.ShadowPath[1].Color, colours::kShadow);
  EXPECT_EQ(data.PlumbLast, 3);
}

TEST_F(LoggerReader, OldFormatSamples) {
  const QString label = logger("4807038;-1131456;17;1000\r\n4807138;-1131456;18;1100\r\n");
  EXPECT_FALSE(data.LoggerNG);
  EXPECT_EQ(label, QStringLiteral("Höhe: GPS"));
  ASSERT_EQ(data.LastPoint, 1);
  EXPECT_EQ(data.FlightPath[0].Altitude, 130.0);
  EXPECT_NEAR(data.FlightPath[1].Altitude, 143.0, 1e-9);
  EXPECT_NEAR(data.FlightPath[1].Z, 13.0, 1e-9);
  EXPECT_EQ(data.FlightPath[1].Aux, 18.0);
  EXPECT_EQ(data.StartAltitude, 130.0);
  EXPECT_EQ(data.SampleInterval, 2.0);
  EXPECT_EQ(data.FlightPath[1].TimeStep, 2.0);
  EXPECT_NEAR(data.MaxAltitude, 143.0, 1e-9);
}

TEST_F(LoggerReader, EmptyLinesAndSingleFieldLines) {
  // An empty line: the first field runs on into the next line, which takes its place.
  logger("4807038;-1131456;1;100\r\n\r\n4807238;-1131456;3;300\r\n4807338;-1131456;4;400\r\n");
  ASSERT_EQ(data.LastPoint, 2);
  EXPECT_EQ(data.FlightPath[1].Aux, 3.0);
  EXPECT_EQ(data.FlightPath[2].Aux, 4.0);

  // A single-field line is not counted; the rest of its row comes from the next line, which is lost too.
  logger("4807038;-1131456;1;100\r\n77\r\n4807238;-1131456;3;300\r\n4807338;-1131456;4;400\r\n");
  ASSERT_EQ(data.LastPoint, 1);
  EXPECT_EQ(data.FlightPath[1].Aux, 4.0);
  // The overwritten slot after the last point still holds what the lost lines wrote.
  logger("4807038;-1131456;1;100\r\n77\r\n4807238;-1131456;3;300\r\n");
  ASSERT_EQ(data.LastPoint, 0);
  EXPECT_EQ(data.FlightPath[1].Lat, 0.00077 / 0.6);
  EXPECT_NEAR(data.FlightPath[1].Lon, 48.1206333, 1e-6);
  EXPECT_EQ(data.FlightPath[1].Aux, -1131456.0);
  EXPECT_EQ(data.FlightPath[1].Altitude, 3 * 0.13);

  // A trailing empty line is not a sample.
  logger(newFormatFile(64, 4, {newFormatLine(1, kLat, kLon, 10), newFormatLine(2, kLat, kLon, 20), ""}));
  EXPECT_EQ(data.LastPoint, 1);
}

TEST_F(LoggerReader, EveryLineEndReadsTheSame) {
  const std::vector<QByteArray> lines = {"1;64;4;0;0;0",
                                         "header",
                                         newFormatLine(10, kLat, kLon, 5120),
                                         "11;12",  // a short line: its missing fields run on
                                         newFormatLine(30, kLat + 10, kLon - 10, 5220),
                                         newFormatLine(40, kLat + 20, kLon - 20, 5320)};
  logger(joinLines(lines, "\r\n"));
  const FlightSnapshot expected(data);
  ASSERT_EQ(data.LastPoint, 2);
  EXPECT_EQ(data.RawSamples[1][1], 12);
  EXPECT_EQ(data.RawSamples[1][2], 30);  // the short line's row goes on with the next line's fields

  const QByteArray lf = joinLines(lines, "\n");
  for (const QByteArray& text : {lf, joinLines(lines, "\r"), lf.chopped(1), lf + "\x1a" + lines[5] + "\n"}) {
    logger(newFormatFile(64, 9, {newFormatLine(70, 0, 0, 1)}));
    logger(text);
    expectUnchanged(expected, data);
  }
  // CR CR LF is a line end and an empty line, as if every line were followed by one.
  std::vector<QByteArray> doubled;
  for (const QByteArray& l : lines) doubled.insert(doubled.end(), {l, ""});
  logger(joinLines(doubled, "\r\n"));
  const FlightSnapshot doubledCrlf(data);
  logger(newFormatFile(64, 9, {newFormatLine(70, 0, 0, 1)}));
  logger(joinLines(lines, "\r\r\n"));
  expectUnchanged(doubledCrlf, data);
}

}  // namespace
