// A load that fails leaves the flight exactly as it was; the capacity limits.
#include "ImportTestSupport.h"

#include "import/FlightFrame.h"

namespace failed_load_test {

using namespace trelvano;

namespace {

class FailedLoad : public ImportTest {
 protected:
  void SetUp() override {
    // An earlier flight with colours of an overlay, a moved origin and samples of an older file.
    logger(newFormatFile(64, 9, {newFormatLine(1, 4700000, 900000, 100), newFormatLine(2, 4700100, 900000, 140)}));
    igc(joinLines({bRecord("100000", "4807038N", "01131456E", "00500"),
                   bRecord("100004", "4807100N", "01131500E", "00520"),
                   bRecord("100008", "4807200N", "01131600E", "00510")}));
    data.FlightPath[1].Color = colours::kGreen;
    data.RangeStart = 1;
    moveOriginToRangeStart(data);
  }
  // `cause`: the reason line under the text ("Die Datei enthält mehr als …"), empty for none.
  void expectFailureKeepsFlight(const char* what, const std::function<void()>& load, const QString& text,
                                const QString& cause = {}) {
    SCOPED_TRACE(what);
    const FlightSnapshot before(data);
    const auto e = errorOf(load);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), text);
    EXPECT_EQ(e->cause(), cause);
    expectUnchanged(before, data);
  }
};

const QString kRange = QStringLiteral("Fehler bei Bereichsprüfung");
const QString kMorePoints = QStringLiteral("Die Datei enthält mehr als 65536 Punkte");
const QString kMoreSamples = QStringLiteral("Die Datei enthält mehr als 32768 Messwerte");

// `count` fixes one second apart, with CR LF.
QByteArray manyFixes(int count) {
  QByteArray text = "AXXX001\r\nHFDTE150423\r\n";
  text.reserve(count * 45 + 64);
  char line[64];
  for (int i = 0; i < count; ++i) {
    const int t = 36000 + i;
    std::snprintf(line, sizeof line, "B%02d%02d%02d%07dN%08dEA%05d%05d\r\n", t / 3600 % 24, t / 60 % 60, t % 60,
                  4800000 + i % 50000, 1100000 + i % 30000, 500 + i % 300, 550 + i % 300);
    text += line;
  }
  return text;
}

// `count` new-format samples, CR LF.
QByteArray manySamples(int count) {
  std::vector<QByteArray> lines;
  lines.reserve(count);
  for (int i = 0; i < count; ++i)
    lines.push_back(newFormatLine(i % 1000, 4800000 + i % 50000, 1100000, 5000 + i % 500));
  return newFormatFile(64, 4, lines);
}

// `count` old-format lines, CR LF.
QByteArray manyOldLines(int count) {
  QByteArray text;
  for (int i = 0; i < count; ++i)
    text += QByteArray::number(4800000 + i % 50000) + ";1100000;" + QByteArray::number(i) + ";1000\r\n";
  return text;
}

TEST_F(FailedLoad, BadIgcRecordsChangeNothing) {
  const QByteArray good = bRecord("120000", "4807038N", "01131456E");
  expectFailureKeepsFlight(
      "short B line",
      [&] {
        igc(joinLines({good, good, good.left(20)}));
      },
      kRange);
  expectFailureKeepsFlight(
      "bad field",
      [&] {
        igc(joinLines({good, good, bRecord("120000", "48070x8N", "01131456E")}));
      },
      QStringLiteral("'48070x8' ist kein gültiger Integerwert"));
}

TEST_F(FailedLoad, BadLoggerFilesChangeNothing) {
  expectFailureKeepsFlight(
      "overflow in a new-format line",
      [&] {
        logger(newFormatFile(64, 3, {newFormatLine(1, 4800000, 1100000, 10), "1;99999999999;3"}));
      },
      QStringLiteral("Integerüberlauf"));
  expectFailureKeepsFlight(
      "overflow in the header", [&] { logger("1;2;2147483647;4;5;6\r\n\r\n"); }, QStringLiteral("Integerüberlauf"));
  expectFailureKeepsFlight(
      "overflow in an old-format line", [&] { logger("4800000;1100000;1;1000\r\n4800000;1100000;1;3000000000\r\n"); },
      QStringLiteral("Integerüberlauf"));
}

// A file that holds no fix or sample at all is refused like a broken one,
// naming the file, instead of emptying the flight.
TEST_F(FailedLoad, FilesWithoutFlightDataChangeNothing) {
  const QString noData = QStringLiteral("Keine Flugdaten in der Datei");
  const QByteArray readme = "# Trelvano\n\nShows the recordings of a flight data logger.\n";
  const struct {
    const char* what;
    bool igcFile;
    QByteArray text;
  } cases[] = {
      {"empty .igc", true, ""},
      {"text renamed to .igc", true, readme},
      {"IGC file without B records", true, "AXXX001\r\nHFDTE150423\r\nb1200004807038N01131456EA0010000150\r\n"},
      {"IGC file with placeholder fixes only", true,
       joinLines({bRecord("120000", "0000000N", "00000000E"), bRecord("120001", "0000000S", "00000000W")})},
      {"text offered as an old-format file", false,
       "Hallo Welt;dies ist keine Aufzeichnung\r\nnur Text\r\nkeine Zahl\r\n"},
      {"text below a new-format header", false, newFormatFile(64, 4, {"a;b;c;d;e;f;g;h;i;j;k;l;m;n;o;p"})},
      {"empty .csv", false, ""},
      {"new-format header lines only", false, newFormatFile(64, 4, {})},
      {"old-format line whose first field ends it", false, "4807038\r\n"},
  };
  for (const auto& c : cases) {
    const QString name = QString::fromLatin1(c.igcFile ? "leer.igc" : "leer.csv");
    expectFailureKeepsFlight(
        c.what, [&] { c.igcFile ? igc(c.text, name) : logger(c.text, name); }, noData);
    const auto e = c.igcFile ? igcError(c.text, name) : loggerError(c.text, name);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->boxText(), noData + QStringLiteral("\nDatei ") + name) << c.what;
  }
}

TEST_F(FailedLoad, NegativeSamplePeriodCodeIsABrokenHeader) {
  for (int code : {-1, -51}) {
    expectFailureKeepsFlight(
        "negative period code", [&] { logger(newFormatFile(64, code, {newFormatLine(1, 4800000, 1100000, 10)})); },
        kRange);
    const auto e = loggerError(newFormatFile(64, code, {newFormatLine(1, 4800000, 1100000, 10)}), "neg.csv");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->detail(), QStringLiteral("Datei neg.csv, Zeile 1"));
  }
}

TEST_F(FailedLoad, FailingAltitudeConversionChangesNothing) {
  data.UseBaroAltitude = true;
  data.ChannelParams[2].Kind = kKindHoehe;
  data.ChannelParams[2].Startwert = 10;  // the second sample's raw value 10 gives a negative pressure
  data.ChannelParams[2].Koeffizient = 2;
  expectFailureKeepsFlight(
      "negative pressure",
      [&] {
        logger(newFormatFile(64, 3, {newFormatLine(0, 4800000, 1100000, 10), newFormatLine(8, 4800000, 1100000, 10)}));
      },
      QStringLiteral("Ungültige Gleitkommaoperation"));
  EXPECT_TRUE(data.UseBaroAltitude);
}

TEST_F(FailedLoad, ErrorsNameFileAndLine) {
  auto e =
      errorOf([&] { logger("4800000;1100000;1;1000\n\n4800000;1100000;1;3000000000\n", QStringLiteral("x.csv")); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->detail(), QStringLiteral("Datei x.csv, Zeile 3"));
  e = errorOf([&] { igc(manyFixes(65537), QStringLiteral("big.igc")); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->detail(), QStringLiteral("Datei big.igc, Zeile 65539"));
}

TEST_F(FailedLoad, IgcFlightsHoldUpTo65536Fixes) {
  const QByteArray text = manyFixes(65537);
  expectFailureKeepsFlight(
      "65537 fixes", [&] { igc(text); }, kRange, kMorePoints);
  igc(text.left(text.lastIndexOf('B')));
  EXPECT_EQ(data.LastPoint, 65535);
  EXPECT_EQ(data.PlumbLast, 131071);
  EXPECT_EQ(data.FlightPath[65535].TimeStep, 1.0);
  EXPECT_EQ(data.SampleInterval, 1.0);
  EXPECT_EQ(data.PlumbLines[131071].Lat, data.FlightPath[65535].Lat);
}

TEST_F(FailedLoad, OldFormatFlightsHoldUpTo65536Points) {
  const QByteArray text = manyOldLines(65536);
  expectFailureKeepsFlight(
      "65537 lines", [&] { logger(text + "4800000;1100000;1;1000\r\n"); }, kRange, kMorePoints);
  // An empty last line after the last point is not a point.
  logger(text + "\r\n");
  EXPECT_EQ(data.LastPoint, 65535);
  EXPECT_EQ(data.FlightPath[65535].Aux, 65535.0);
  EXPECT_EQ(data.PlumbLast, 131071);
}

TEST_F(FailedLoad, NewFormatFlightsHoldUpTo32768Samples) {
  const QByteArray text = manySamples(32768);
  expectFailureKeepsFlight(
      "32769 samples", [&] { logger(text + newFormatLine(7, 4800000, 1100000, 10) + "\r\n"); }, kRange, kMoreSamples);
  // Row 32768 is written even for an empty line.
  expectFailureKeepsFlight(
      "32768 samples and an empty line", [&] { logger(text + "\r\n"); }, kRange, kMoreSamples);
  logger(text);
  EXPECT_EQ(data.LastPoint, 32767);
  EXPECT_EQ(data.ChannelSamples[32767][0], 767);
  EXPECT_EQ(data.RawSamples[32767][kColGpsAlt], 5000 + 32767 % 500);
}

TEST_F(FailedLoad, FailedIgcLoadKeepsANewFormatFlight) {
  logger(newFormatFile(64, 9, {newFormatLine(1, 4700000, 900000, 100), newFormatLine(2, 4700100, 900000, 140)}));
  ASSERT_TRUE(data.LoggerNG);
  expectFailureKeepsFlight(
      "short B line", [&] { igc("B1200\r\n"); }, kRange);
  EXPECT_TRUE(data.LoggerNG);
}

}  // namespace

}  // namespace failed_load_test
