// The sample files in examples/ must stay readable by the program and
// consistent with each other: default.par converts ng-flug.csv sensibly.

#include "common/TestPaths.h"
#include "import/ChannelConversion.h"
#include "import/ParameterFile.h"
#include "model/Numbers.h"

#include <QByteArrayList>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace example_files_test {

using namespace trelvano;

namespace {

// Lines of a file whose lines all end in CR LF.
QList<QByteArray> crlfLines(const char* name) {
  QByteArray bytes = readBytes(sourcePath(QStringLiteral("examples/") + QLatin1String(name)));
  EXPECT_TRUE(bytes.endsWith("\r\n")) << name;
  EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << name;
  EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n")) << name;
  bytes.chop(2);
  return bytes.split('\n');
}

std::vector<int32_t> fields(QByteArray line) {
  if (line.endsWith('\r')) line.chop(1);
  std::vector<int32_t> out;
  for (const QByteArray& f : line.split(';')) out.push_back(parseInt(std::string_view(f.constData(), f.size())));
  return out;
}

constexpr int kHeaderLines = 2;

}  // namespace

TEST(ExampleFiles, HaveTheShapeTheReadersExpect) {
  const auto igc = crlfLines("rundflug.igc");
  int fixes = 0;
  for (const QByteArray& l : igc) {
    if (!l.startsWith('B')) continue;
    ++fixes;
    ASSERT_GE(l.size(), 36) << l.constData();  // 35 characters and the CR
    EXPECT_TRUE(l[14] == 'N' && l[23] == 'E' && l[24] == 'A') << l.constData();
    EXPECT_NO_THROW(parseInt(std::string_view(l.constData() + 25, 5)));
  }
  EXPECT_GE(fixes, 250);

  const auto ng = crlfLines("ng-flug.csv");
  const auto header = fields(ng[0]);
  ASSERT_GE(header.size(), 6u);
  EXPECT_EQ(header[1], 64);  // GPS columns present
  EXPECT_EQ(header[2], 49);  // (49 + 1) * 0.02 s
  EXPECT_GE(ng.size(), 250);
  for (qsizetype i = kHeaderLines; i < ng.size(); ++i) EXPECT_EQ(fields(ng[i]).size(), 16u) << i;

  const auto old = crlfLines("alt-flug.csv");
  EXPECT_GE(old.size(), 150);
  for (const QByteArray& l : old) EXPECT_EQ(fields(l).size(), 4u) << l.constData();
}

TEST(ExampleFiles, DefaultParametersConvertTheLoggerFlight) {
  ChannelParamTable table;
  Parameterinit(table);
  Ladeparameter(table, sourcePath(QStringLiteral("examples/default.par")));
  const char* const names[kChannelCount] = {"Baro",  "AD0", "AD1", "AD2", "AD3",     "AD4",    "Fahrt",
                                            "Motor", "RC1", "RC2", "RC3", "Zusatz1", "Zusatz2"};
  const int32_t kinds[kChannelCount] = {kKindHoehe, 0, 0, 0, 0, 0, kKindSpeed, kKindDrehzahl, 0, 0, 0, 0, 0};
  for (int k = 0; k < kChannelCount; ++k) {
    EXPECT_EQ(table[k].Name, QString::fromLatin1(names[k]));
    EXPECT_EQ(table[k].Kind, kinds[k]);
  }

  ScopedLocale de("de_DE");
  const auto lines = crlfLines("ng-flug.csv");
  const int32_t gps0 = fields(lines[kHeaderLines])[15];
  auto convert = [&](const std::vector<int32_t>& row, int k) {
    const double gpsRelative = (row[15] - gps0) * 0.1;  // the flight point's altitude
    return convertChannelValue(row[k], table[k], 25.0, gpsRelative);
  };

  // A sample of the motor climb, 40 s after the launch.
  const auto climb = fields(lines[kHeaderLines + 40]);
  EXPECT_NEAR(parseFloat(convert(climb, 0)), (climb[15] - gps0) * 0.1, 3.0);
  EXPECT_GT(parseFloat(convert(climb, 0)), 50);
  const double airspeed = parseFloat(convert(climb, 6));
  EXPECT_TRUE(airspeed >= 10 && airspeed <= 30) << airspeed;
  const double rpm = parseFloat(convert(climb, 7));
  EXPECT_TRUE(rpm > 5000 && rpm < 9000) << rpm;
  for (int k : {8, 9, 10}) {
    const int32_t stick = convert(climb, k).toInt();
    EXPECT_TRUE(stick >= 1000 && stick <= 2000) << k;
  }
  EXPECT_EQ(convert(climb, 1), QStringLiteral("0"));

  // The barometric height follows the GPS height all the way; in the air the
  // airspeed stays within what the model flies.
  for (qsizetype i = kHeaderLines; i < lines.size(); ++i) {
    const auto row = fields(lines[i]);
    EXPECT_NEAR(parseFloat(convert(row, 0)), (row[15] - gps0) * 0.1, 3.0) << i;
    const double v = parseFloat(convert(row, 6));
    EXPECT_LE(v, 30.0) << i;
    if (i >= kHeaderLines + 10) {
      EXPECT_GE(v, 10.0) << i;
    }
  }
}

}  // namespace example_files_test
