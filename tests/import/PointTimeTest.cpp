// UTC times of the flight files: the GPX time texts, the IGC date record, the
// text the exports write, and the times the IGC reader gives its fixes.
#include "ImportTestSupport.h"
#include "import/IgcReader.h"
#include "import/UtcTime.h"

#include <QDateTime>
#include <cmath>

namespace {

// Qt's own ISO reader is the oracle for every text both accept.
double qtSeconds(const char* text) {
  const QDateTime t = QDateTime::fromString(QLatin1String(text), Qt::ISODateWithMs);
  EXPECT_TRUE(t.isValid()) << text;
  return t.toMSecsSinceEpoch() / 1000.0;
}

TEST(UtcTime, IsoTimesAsQtReadsThem) {
  for (const char* text : {"2023-06-01T10:00:00Z", "2023-06-01T12:00:00.250+02:00", "2023-06-01T05:00:04-05:00",
                           "1999-12-31T23:59:59.5Z", "2024-02-29T00:00:00Z", "1969-07-20T20:17:40Z",
                           "2023-06-01T10:00:01.125+0130"}) {
    const std::optional<double> t = parseIsoTime(QString::fromLatin1(text));
    ASSERT_TRUE(t) << text;
    EXPECT_NEAR(*t, qtSeconds(text), 1e-6) << text;
  }
  // No zone: GPX times are UTC.
  EXPECT_EQ(parseIsoTime(u" 2023-06-01T10:00:00 "), parseIsoTime(u"2023-06-01T10:00:00Z"));
}

TEST(UtcTime, TextsThatAreNoTime) {
  for (const char16_t* text : {u"", u"2023-06-01", u"2023-06-01 10:00:00Z", u"2023-13-01T10:00:00Z",
                               u"2023-02-29T10:00:00Z", u"2023-06-01T24:00:00Z", u"2023-06-01T10:00:00.Z",
                               u"2023-06-01T10:00:00+2", u"2023-06-01T10:00:00Zjunk", u"gestern"})
    EXPECT_FALSE(parseIsoTime(text)) << QString::fromUtf16(text).toStdString();
}

TEST(UtcTime, WrittenTimesReadBack) {
  for (double t : {0.0, 1685613600.0, 1685613601.25, 1685613601.5, -14182940.0, 951782400.125}) {
    const QString text = isoTimeText(t);
    EXPECT_EQ(parseIsoTime(text), t) << text.toStdString();
  }
  EXPECT_EQ(isoTimeText(1685613600.0), QStringLiteral("2023-06-01T10:00:00Z"));
  EXPECT_EQ(isoTimeText(1685613601.25), QStringLiteral("2023-06-01T10:00:01.25Z"));
}

TEST(UtcTime, IgcDateRecords) {
  const double june2023 = qtSeconds("2023-06-01T00:00:00Z");
  EXPECT_EQ(igcDate("HFDTE010623"), june2023);
  EXPECT_EQ(igcDate("HFDTEDATE:010623,01"), june2023);
  EXPECT_EQ(igcDate("HFDTE311299"), qtSeconds("1999-12-31T00:00:00Z"));
  for (const char* line : {"HFDTE", "HFDTE0106", "HFDTE320623", "HFDTE290223", "HFDTEDATE:xx0623", "HFPLTPILOT:x"})
    EXPECT_FALSE(igcDate(line)) << line;
}

class IgcPointTimes : public ImportTest {};

TEST_F(IgcPointTimes, DateRecordPlusFixTimesAcrossMidnight) {
  igc(joinLines({"HFDTEDATE:311223,01", bRecord("235958", "4807038N", "01131456E"),
                 bRecord("000001", "4807100N", "01131500E"), bRecord("000001", "4807200N", "01131600E")}));
  ASSERT_TRUE(data.HasPointTimes);
  const double start = qtSeconds("2023-12-31T23:59:58Z");
  EXPECT_EQ(data.PointTime[0], start);
  EXPECT_EQ(data.PointTime[1], start + 3);  // the next day
  EXPECT_EQ(data.PointTime[2], start + 3);
}

TEST_F(IgcPointTimes, NoOrBadDateRecordLoadsWithoutTimes) {
  for (const QByteArray& header : {QByteArray("HFPLTPILOT:Test"), QByteArray("HFDTE999999")}) {
    data.HasPointTimes = true;
    igc(joinLines({header, bRecord("120000", "4807038N", "01131456E")}));
    EXPECT_EQ(data.LastPoint, 0);
    EXPECT_FALSE(data.HasPointTimes) << header.constData();
  }
}

}  // namespace
