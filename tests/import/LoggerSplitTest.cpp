// A long logger file read in two halves on two cores must load exactly as
// when read in one pass: same flight, same error, same line number. Each file
// puts odd lines around its middle, where the halves meet.
#include "ImportTestSupport.h"
#include "import/LoggerReader.h"

#include <QList>
#include <cstring>
#include <limits>
#include <random>

using namespace trelvano;

namespace {

struct Shape {
  const char* name;
  int lines;
  const char* middle;  // put five times around the middle line (null: none)
  QByteArray lineEnd;
  bool oldFormat;
  QByteArray first = {};  // replaces the first data lines (as many as it has lines)
};

QByteArray fileOf(const Shape& s) {
  std::vector<QByteArray> lines;
  for (int i = 0; i < s.lines; ++i) {
    if (s.middle && std::abs(i - s.lines / 2) <= 2) lines.push_back(s.middle);
    else if (s.oldFormat) lines.push_back(QByteArray::number(4700000 + i) + ";1100000;" + QByteArray::number(i) + ";800");
    else lines.push_back(newFormatLine(i % 500, 4700000 + 7 * i, 1100000 + 11 * i, 5000 + i % 300));
  }
  if (!s.first.isEmpty()) {
    const QList<QByteArray> first = s.first.split('\n');
    for (qsizetype k = 0; k < first.size(); ++k) lines[k] = first[k];
  }
  return s.oldFormat ? joinLines(lines, s.lineEnd) : newFormatFile(64, 4, lines, s.lineEnd);
}

// The load's outcome: the error with its detail, or nothing.
QString outcome(FlightData& data, LoadStaging& staging, const QByteArray& text, size_t splitFrom) {
  try {
    loadLoggerFile(data, staging, text, QStringLiteral("lang.csv"), splitFrom);
  } catch (const RunError& e) {
    return e.text() + " / " + e.detail();
  }
  return {};
}

TEST(LoggerSplit, TwoHalvesLoadAsOnePass) {
  const Shape shapes[] = {
      {"plain", 3000, nullptr, "\r\n", false},
      {"LF", 3000, nullptr, "\n", false},
      {"CR", 3000, nullptr, "\r", false},
      {"old format", 5000, nullptr, "\r\n", true},
      {"a short line runs on across the middle", 3000, "1;2;3", "\r\n", false},
      {"uncounted lines at the middle", 3000, "5", "\r\n", false},
      {"empty lines at the middle", 3000, "", "\r\n", false},
      {"the earlier half holds no counted line", 3000, nullptr, "\r\n", false,
       QByteArray("7\n").repeated(1600).chopped(1)},
      {"an overflow in the later half", 3000, "99999999999;1", "\r\n", false},
      {"an overflow in the earlier half", 3000, nullptr, "\r\n", false, "1;2;99999999999"},
      {"Ctrl-Z in the later half", 3000, "1;2\x1a", "\r\n", false},
      {"more sample rows than the table holds", 32770, nullptr, "\n", false},
      {"more points than a flight holds", 65540, nullptr, "\n", true},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.name);
    const QByteArray text = fileOf(s);
    ASSERT_GT(static_cast<size_t>(text.size()), size_t{20000});
    FlightDataPtr one = makeFlightData(), two = makeFlightData();
    LoadStagingPtr stagingOne = makeLoadStaging(), stagingTwo = makeLoadStaging();
    const QString wholeOutcome = outcome(*one, *stagingOne, text, std::numeric_limits<size_t>::max());
    EXPECT_EQ(outcome(*two, *stagingTwo, text, 0), wholeOutcome);
    EXPECT_EQ(StateSnapshot(*one).differenceTo(*two), "");
  }
}

// A shorter flight after a longer one: the sample tables come out as one
// pass leaves them, ChannelSamples a copy of RawSamples to the last row.
TEST(LoggerSplit, ShorterFlightAfterALongerLeavesTheTablesAsOnePass) {
  const QByteArray longer = fileOf({"plain", 3000, nullptr, "\r\n", false});
  const QByteArray shorter = fileOf({"plain", 2500, nullptr, "\n", false}) + "\n9";  // and an uncounted last line
  FlightDataPtr one = makeFlightData(), two = makeFlightData();
  LoadStagingPtr staging = makeLoadStaging();
  for (const QByteArray& text : {longer, shorter}) {
    EXPECT_EQ(outcome(*one, *staging, text, std::numeric_limits<size_t>::max()), "");
    EXPECT_EQ(outcome(*two, *staging, text, 0), "");
  }
  EXPECT_EQ(std::memcmp(one->RawSamples.rows, two->RawSamples.rows, sizeof one->RawSamples.rows), 0);
  EXPECT_EQ(std::memcmp(two->ChannelSamples.rows, two->RawSamples.rows, sizeof two->RawSamples.rows), 0);
  EXPECT_EQ(StateSnapshot(*one).differenceTo(*two), "");
}

TEST(LoggerSplit, RandomBytesNearTheMiddleLoadAsOnePass) {
  const QByteArray plain = fileOf({"plain", 3000, nullptr, "\r\n", false});
  const char alphabet[] = "0123456789;;;--\r\n\r\n\x1a x";
  std::mt19937 rng(17);
  LoadStagingPtr stagingOne = makeLoadStaging(), stagingTwo = makeLoadStaging();
  // Kept equal from variant to variant: a failed load leaves both as they were.
  FlightDataPtr one = makeFlightData(), two = makeFlightData();
  for (int variant = 0; variant < 100; ++variant) {
    QByteArray text = plain;
    const int changes = 1 + variant % 6;
    for (int k = 0; k < changes; ++k) {
      // Within a few lines of the middle, where the halves meet.
      const qsizetype at = text.size() / 2 + std::uniform_int_distribution<int>(-300, 300)(rng);
      text[at] = alphabet[std::uniform_int_distribution<int>(0, sizeof alphabet - 2)(rng)];
    }
    SCOPED_TRACE(variant);
    const QString wholeOutcome = outcome(*one, *stagingOne, text, std::numeric_limits<size_t>::max());
    ASSERT_EQ(outcome(*two, *stagingTwo, text, 0), wholeOutcome);
    ASSERT_EQ(StateSnapshot(*one, 2 * 3000 + 2, 3000).differenceTo(*two), "");
  }
}

}  // namespace
