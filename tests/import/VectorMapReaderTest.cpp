// Vector maps: records, the local frame around flight point 0, and failed loads.
#include "import/VectorMapReader.h"

#include "ImportTestSupport.h"
#include "common/VectorMapBytes.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace vector_map_reader_test {

using namespace trelvano;

namespace {

class VectorMapLoad : public ImportTest {
 protected:
  VectorMapLoad() {
    data.FlightPath[0].Lat = 48.0;
    data.FlightPath[0].Lon = 11.0;
  }
  void load(const QByteArray& bytes) { loadVectorMap(data, bytes, QStringLiteral("karte.map")); }
};

}  // namespace

TEST_F(VectorMapLoad, RecordsLieInTheFrameAroundFlightPointZero) {
  // The origin of the flight's frame is elsewhere: the map still refers to point 0.
  data.RangeStart = 5;
  data.FlightPath[5].Lat = 47.0;
  QByteArray file = vectorMapBytes({{48.0, 11.0, 7.5, 0x00112233, 0},
                                    {48.001, 11.0, 0, 0x00FF0000, 1},
                                    {49.0, 11.01, 0, 0, 7},
                                    {48.0, 10.99, 0, 0, 3}});
  file += QByteArray(31, '\x55');  // a partial record at the end is ignored
  load(file);
  ASSERT_EQ(data.VectorMapLast, 3);
  const FlightPoint& at0 = data.VectorMap[0];
  EXPECT_EQ(at0.X, 0);
  EXPECT_EQ(at0.Y, 0);
  EXPECT_EQ(at0.Altitude, 7.5);
  EXPECT_EQ(at0.Color, 0x00112233);
  EXPECT_NEAR(data.VectorMap[1].Y, 108, 1e-6);
  // East is negative X, scaled by the cosine of the point's own latitude.
  EXPECT_NEAR(data.VectorMap[2].X, -0.01 * 108000 * std::cos(49.0 * std::numbers::pi / 180), 1e-6);
  EXPECT_NEAR(data.VectorMap[3].X, 0.01 * 108000 * std::cos(48.0 * std::numbers::pi / 180), 1e-6);
  // Pen 0 starts a polygon; any other value continues it (3 would read as "behind the viewer").
  const int32_t pens[] = {kPenMove, kPenLine, kPenLine, kPenLine};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(data.VectorMap[i].Pen, pens[i]) << i;
    EXPECT_EQ(data.VectorMap[i].Z, 0);
  }

  load(QByteArray());
  EXPECT_EQ(data.VectorMapLast, -1);
}

TEST_F(VectorMapLoad, AFailedLoadKeepsTheEarlierMap) {
  load(vectorMapBytes({{48.0, 11.0, 0, 1, 0}, {48.1, 11.0, 0, 2, 1}, {48.1, 11.1, 0, 3, 1}}));
  const std::vector<FlightPoint> before(data.VectorMap.data(), data.VectorMap.data() + 3);
  const uint64_t version = data.SceneVersion;
  auto expectKept = [&](const char* what) {
    EXPECT_EQ(data.VectorMapLast, 2) << what;
    EXPECT_EQ(data.SceneVersion, version) << what;
    EXPECT_EQ(std::memcmp(before.data(), data.VectorMap.data(), sizeof(FlightPoint) * 3), 0) << what;
  };

  const std::vector<VectorRecord> full(kPointCapacity + 1, VectorRecord{48.2, 11.2, 0, 9, 1});
  const auto tooMany = errorOf([&] { load(vectorMapBytes(full)); });
  ASSERT_TRUE(tooMany);
  EXPECT_EQ(tooMany->text(), QStringLiteral("Fehler bei Bereichsprüfung"));
  EXPECT_EQ(tooMany->detail(), QStringLiteral("Datei karte.map"));
  expectKept("131073 records");

  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto notANumber = errorOf([&] { load(vectorMapBytes({{48.2, 11.2, 0, 9, 0}, {nan, 11.2, 0, 9, 1}})); });
  ASSERT_TRUE(notANumber);
  EXPECT_EQ(notANumber->text(), QStringLiteral("Ungültige Gleitkommaoperation"));
  EXPECT_EQ(notANumber->detail(), QStringLiteral("Datei karte.map, Datensatz 2"));
  expectKept("a position that is not a number");

  // The largest map fits.
  const std::vector<VectorRecord> largest(kPointCapacity, VectorRecord{48.2, 11.2, 0, 9, 1});
  load(vectorMapBytes(largest));
  EXPECT_EQ(data.VectorMapLast, kPointCapacity - 1);
}

}  // namespace vector_map_reader_test
