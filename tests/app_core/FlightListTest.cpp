// The flight list "Flüge": its rows, the offsets typed into it, "Summen" per
// flight, files named together, and a click that keeps the camera.
#include "app/core/FlightList.h"
#include "app/core/FlightScene.h"
#include "chart/core/ChartView.h"
#include "model/Colour.h"
#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "import/FlightFrame.h"
#include "model/Numbers.h"
#include "view3d/Transform.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace flight_list_test {

using namespace trelvano;

namespace {

// The example flight with every fix `minutes` of latitude further north.
QByteArray movedNorth(QByteArray igc, int minutes) {
  QList<QByteArray> lines = igc.split('\n');
  for (QByteArray& line : lines) {
    if (!line.startsWith('B') || line.size() < 24) continue;
    const int thousandths = line.mid(9, 5).toInt() + minutes * 1000;  // DDMMmmm: MMmmm at 9
    line.replace(9, 5, QByteArray::number(thousandths).rightJustified(5, '0'));
  }
  return lines.join('\n');
}

struct FlightListTest : ::testing::Test {
  ScriptedDialogs dialogs;
  MainController core{dialogs};
  QTemporaryDir dir;

  QString write(const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
  }
  void SetUp() override {
    const QByteArray igc = readBytes(sourcePath(QStringLiteral("examples/rundflug.igc")));
    core.openFlightFile(write(QStringLiteral("a.igc"), igc));
    core.addFlightFile(write(QStringLiteral("b.igc"), movedNorth(igc, 2)));
  }
};

TEST_F(FlightListTest, RowsNameEachFlightAndCompareItWithTheActiveOne) {
  core.moveCursorTo(200);
  const std::vector<FlightListRow> rows = flightListRows(core.flights);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[0].active);
  EXPECT_FALSE(rows[1].active);
  EXPECT_NE(rows[0].colour, rows[1].colour);
  ASSERT_EQ(rows[1].texts.size(), size_t(kListColumns));
  EXPECT_EQ(rows[0].texts[kListDate], rows[1].texts[kListDate]);
  EXPECT_EQ(rows[0].texts[kListStart], rows[1].texts[kListStart]);
  EXPECT_EQ(rows[0].texts[kListDistance], QStringLiteral("–"));
  // Two minutes of latitude north at the same time: 3.71 km, the same height.
  EXPECT_EQ(rows[1].texts[kListDistance], QStringLiteral("3,71 km").replace(QLatin1Char(','), decimalSeparator()));
  EXPECT_EQ(rows[1].texts[kListHeightDifference], QStringLiteral("0"));
  EXPECT_EQ(rows[0].texts[kListHeight], rows[1].texts[kListHeight]);

  core.flights.setOffset(1, 30);
  EXPECT_EQ(flightListRows(core.flights)[1].texts[kListOffset], QStringLiteral("30"));
}

TEST(FlightListOffset, TakesSecondsWithEitherSeparator) {
  const struct {
    const char* text;
    std::optional<double> seconds;
  } cases[] = {{"30", 30},           {" -12,5 ", -12.5},      {"+7.25", 7.25},
               {"", std::nullopt},   {"1 min", std::nullopt}, {"nan", std::nullopt},
               {"inf", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(parseOffset(QString::fromUtf8(c.text)), c.seconds) << c.text;
}

// Each flight's column says what its own "Summen" say when it is the active one.
TEST_F(FlightListTest, TotalsHaveAColumnPerFlight) {
  const TableText t = flightTotalsTable(core.flights);
  ASSERT_EQ(t.headers.size(), 3);
  ASSERT_EQ(t.rows.size(), 6u);
  for (int flight : {1, 0}) {
    chooseActiveFlight(core, flight);
    const TableText own = phasesTable(core.data, PhasesTable::Totals);
    for (const QStringList& row : t.rows) {
      ASSERT_EQ(row.size(), 3);
      for (const QStringList& ownRow : own.rows)
        if (ownRow[0] == row[0]) {
          EXPECT_EQ(ownRow[1], row[1 + flight]) << row[0].toStdString();
        }
    }
  }
}

TEST_F(FlightListTest, FilesNamedTogetherOpenTheFirstFlightAndAddTheOthers) {
  const QString igc = write(QStringLiteral("c.igc"), readBytes(sourcePath(QStringLiteral("examples/rundflug.igc"))));
  const QString par = write(QStringLiteral("d.par"), "");
  const QString gpx = write(QStringLiteral("e.gpx"), "<gpx></gpx>");
  EXPECT_EQ(addedAsFlights({par, igc, gpx, par, igc}), (std::vector<bool>{false, false, true, false, true}));
  EXPECT_EQ(addedAsFlights({}), std::vector<bool>{});
}

TEST_F(FlightListTest, ChoosingAnotherFlightKeepsTheCameraOnTheSamePlace) {
  core.view.fitFlight();
  const Fix place = core.flights.at(1).flight->fixes[150];
  auto screen = [&] {
    const FrameOrigin o = flightOrigin(core.data);
    FlightPoint p{};
    Projection(buildViewMatrix(core.view.cam))(p, frameX(place.Lat, place.Lon, o), frameY(place.Lat, o),
                                               (place.Altitude - o.altitude) * core.data.Exaggeration);
    return QPointF(p.ProjX, p.ProjY);
  };
  core.moveCursorTo(120);
  const double clock = core.flights.cursorTime;
  const QPointF before = screen();
  const long long redraws = core.view.redrawCount();
  chooseActiveFlight(core, 1);
  EXPECT_EQ(core.flights.activeIndex(), 1);
  EXPECT_EQ(core.view.redrawCount(), redraws + 1);
  EXPECT_LE((screen() - before).manhattanLength(), 2 * 2.5);  // within a pixel each way
  EXPECT_EQ(core.data.CursorPoint, 120);                      // the copy flew the same fixes at the same times
  EXPECT_EQ(core.flights.cursorTime, clock);
}

}  // namespace

namespace {

// "Alle Flüge": the other flight's barogram on the active flight's time axis,
// in its colour; the copy flew the same heights at the same times.
TEST_F(FlightListTest, ChartShowsTheOtherFlightsHeightsOnTheCommonTimeAxis) {
  std::vector<ChartView::OtherHeights> heights;
  fillOtherHeights(core.flights, 10, 200, heights);
  ASSERT_EQ(heights.size(), 1u);
  ASSERT_EQ(heights[0].metres.size(), 191u);
  for (int32_t i = 10; i <= 200; ++i)
    EXPECT_NEAR(heights[0].metres[size_t(i - 10)], core.data.FlightPath[i].Altitude - core.data.FlightPath[0].Altitude,
                1e-6);

  core.flights.setOffset(1, 60);  // a minute later: now it is drawn apart from the active curve
  ChartView chart(core.data, core.chart);
  chart.otherHeights = [this](int32_t first, int32_t last, std::vector<ChartView::OtherHeights>& out) {
    fillOtherHeights(core.flights, first, last, out);
  };
  chart.open();
  chart.setGpsTicked(kGpsH, true);
  const int32_t colour = heights[0].colour;
  auto pixels = [&] {
    int n = 0;
    for (int y = 0; y < chart.image.height(); ++y)
      for (int x = 0; x < chart.image.width(); ++x) n += fromRgb32(chart.image.pixel(x, y)) == colour;
    return n;
  };
  EXPECT_EQ(pixels(), 0);
  chart.setAllFlightsTicked(true);
  EXPECT_GT(pixels(), 100);
}

}  // namespace

}  // namespace flight_list_test
