// UTC times of the flight files: GPX time texts, the IGC date record, the
// texts the exports write, and the times the IGC reader gives its fixes.
#include "ImportTestSupport.h"
#include "import/IgcReader.h"
#include "import/UtcTime.h"

#include <QDateTime>
#include <cmath>

namespace point_time_test {

using namespace trelvano;

namespace {

// Qt's own ISO reader is the oracle for every text both accept.
double qtSeconds(const char* text) {
  return QDateTime::fromString(QLatin1String(text), Qt::ISODateWithMs).toMSecsSinceEpoch() / 1000.0;
}

TEST(UtcTime, IsoTimesReadWrittenAndRefused) {
  for (const char* text : {"2023-06-01T10:00:00Z", "2023-06-01T12:00:00.250+02:00", "2023-06-01T05:00:04-05:00",
                           "2024-02-29T23:59:59.5Z", "1969-07-20T20:17:40+0130"}) {
    const std::optional<double> t = parseIsoTime(text);
    ASSERT_TRUE(t) << text;
    EXPECT_NEAR(*t, qtSeconds(text), 1e-6) << text;
    EXPECT_EQ(parseIsoTime(isoTimeText(*t).toStdString()), *t) << text;
  }
  EXPECT_EQ(isoTimeText(qtSeconds("2023-06-01T10:00:01.25Z")), QStringLiteral("2023-06-01T10:00:01.25Z"));
  EXPECT_EQ(parseIsoTime(" 2023-06-01T10:00:00\t"), qtSeconds("2023-06-01T10:00:00Z"));  // no zone: UTC
  for (const char* text : {"", "2023-06-01 10:00:00Z", "2023-02-29T10:00:00Z", "2023-06-01T24:00:00Z",
                           "2023-17-01T00:00:00Z", "2023-06-01T10:00:00.Z", "2023-06-01T10:00:00+2",
                           "2023-06-01T10:00:00Zjunk", "2023-06-01T10:00:00.5+15:00", "2023-06-01T10:00:0\xD9\xA0Z"})
    EXPECT_FALSE(parseIsoTime(text)) << text;
}

TEST(IgcPointTimes, DateRecordPlusFixTimesAcrossMidnight) {
  const Flight f = readIgc(joinLines({"HFDTEDATE:311223,01", bRecord("235958", "4807038N", "01131456E"),
                                      bRecord("000001", "4807100N", "01131500E")}),
                           QStringLiteral("t.igc"));
  EXPECT_EQ(f.utc, (std::vector<double>{qtSeconds("2023-12-31T23:59:58Z"), qtSeconds("2024-01-01T00:00:01Z")}));
  for (const char* badDate : {"HFDTE999999", "HFDTE0106", "HFDTEDATE:xx0623"})  // loads without times
    EXPECT_FALSE(readIgc(joinLines({badDate, bRecord("120000", "4807038N", "01131456E")}), "t.igc").hasClock())
        << badDate;
}

}  // namespace

}  // namespace point_time_test
