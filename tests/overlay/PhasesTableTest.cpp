// The flight phases window's core: table texts, CSV bytes, the section of a row, the overlay.
#include "common/SyntheticIgc.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "app/core/AnalyseLoadedFlight.h"
#include "overlay/PhaseColours.h"
#include "overlay/ClimbHistogram.h"
#include "overlay/Overlay.h"
#include "overlay/PhasesTable.h"
#include "view3d/AnalysisMarks.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace phases_table_test {

namespace {

using namespace trelvano;

class PhasesTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    synthetic::Flight f;
    f.windSpeed = 5, f.windFrom = 270;
    f.legs = {{synthetic::Manoeuvre::Ground, 120},
              {synthetic::Manoeuvre::Glide, 100},
              {synthetic::Manoeuvre::Thermal, 120, 18, 2},
              {synthetic::Manoeuvre::Glide, 150},
              {synthetic::Manoeuvre::Ground, 100}};
    QByteArray bytes = synthetic::igcBytes(f);
    bytes.insert(bytes.indexOf("B"),
                 "C150701213841160701000102 Tri\r\nC0000000N00000000ETAKEOFF\r\nC4730000N01112000EA\r\n"
                 "C4731000N01112000EB;C\r\nC4732000N01112000ED\r\nC4733000N01112000EL\r\nE100010PEV\r\n");
    showFlight(data, readIgc(bytes, QStringLiteral("t.igc")));
    analyseLoadedFlight(data);
  }
  FlightDataPtr dataPtr = makeFlightData();
  FlightData& data = *dataPtr;
};

TEST_F(PhasesTableTest, RowsSectionsAndCsv) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const FlightAnalysis& a = data.Analysis;
  ASSERT_EQ(a.thermals.size(), 1u);
  const TableText thermals = phasesTable(data, PhasesTable::Thermals);
  ASSERT_EQ(thermals.rows.size(), 1u);
  const QStringList& row = thermals.rows[0];
  EXPECT_TRUE(row[1].startsWith(QStringLiteral("0:03:")));  // elapsed, and the clock beside it
  EXPECT_EQ(row[3], QStringLiteral("10") + row[1].mid(1));
  EXPECT_TRUE(row[7].startsWith(QStringLiteral("2,")));  // the locale's decimal separator
  EXPECT_EQ(row[13], QStringLiteral("links"));

  // The totals: take-off and landing with clock and place, the thermal in its class.
  const TableText totals = phasesTable(data, PhasesTable::Totals);
  auto value = [&totals](const QByteArray& name) {
    for (const QStringList& r : totals.rows)
      if (r[0] == QString::fromUtf8(name)) return r[1];
    return QStringLiteral("(none)");
  };
  EXPECT_TRUE(value("Start").startsWith(QStringLiteral("10:01:5"))) << value("Start").toStdString();
  EXPECT_TRUE(value("Start").contains(QStringLiteral(" UTC (0:01:5")));
  EXPECT_TRUE(value("Start").contains(QStringLiteral("° N, 11,2000")));
  EXPECT_TRUE(value("Landung").startsWith(QStringLiteral("10:08:1"))) << value("Landung").toStdString();
  const std::vector<ClimbClass>& classes = a.totals.climbHistogram;
  ASSERT_EQ(classes.size(), size_t(a.thermals[0].climb / 0.5) + 1);
  QString name =
      QStringLiteral("Thermiken mit %1–%2 m/s").arg(classes.back().from, 0, 'f', 1).arg(classes.back().to, 0, 'f', 1);
  EXPECT_EQ(value(name.replace(QLatin1Char('.'), QLatin1Char(',')).toUtf8()), QStringLiteral("1"));

  // The task: legs measured on the ellipsoid from the start to the finish;
  // the take-off (a placeholder) and the landing with their legs apart.
  const TableText task = phasesTable(data, PhasesTable::Task);
  ASSERT_EQ(task.rows.size(), 8u);
  EXPECT_EQ(task.rows[0][1], QStringLiteral("TAKEOFF (Platzhalter) [Startplatz]"));
  EXPECT_EQ(task.rows[1][4], QStringLiteral("–"));
  EXPECT_EQ(task.rows[2][4], QStringLiteral("1,9"));  // one minute of latitude: 1853 m
  EXPECT_EQ(task.rows[4][4], QStringLiteral("–"));
  EXPECT_EQ(task.rows[5][1], QStringLiteral("Gesamt"));
  EXPECT_EQ(task.rows[5][4], QStringLiteral("3,7"));
  EXPECT_EQ(task.rows[6][4], QStringLiteral("–"));
  EXPECT_EQ(task.rows[7][4], QStringLiteral("1,9"));

  const QByteArray csv = tableCsv(task);
  EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFNr.;Name;"));
  EXPECT_TRUE(csv.contains("\r\n3;\"B;C\";"));

  // A thermal's row selects its points up to the glide after it; the event
  // its fix; events, take-off and landing in the order of time.
  const RowSection s = rowSection(data, PhasesTable::Thermals, 0);
  EXPECT_EQ(s.from, a.thermals[0].from);
  EXPECT_EQ(s.to, a.thermals[0].to + 1);
  EXPECT_EQ(rowSection(data, PhasesTable::Thermals, 1).from, -1);
  EXPECT_EQ(rowSection(data, PhasesTable::Totals, 0).from, -1);
  const TableText events = phasesTable(data, PhasesTable::Events);
  ASSERT_EQ(events.rows.size(), 3u);
  EXPECT_EQ(events.rows[0][0], QStringLiteral("Ereignis PEV"));
  EXPECT_EQ(events.rows[1][0], QStringLiteral("Start"));
  EXPECT_EQ(events.rows[2][0], QStringLiteral("Landung"));
  const RowSection event = rowSection(data, PhasesTable::Events, 0);
  EXPECT_EQ(event.from, 0);  // the fix after it in the file
  EXPECT_EQ(event.to, 0);
  ASSERT_TRUE(selectRowSection(data, PhasesTable::Glides, 1));
  EXPECT_EQ(data.RangeStart, a.glides[1].from);
  EXPECT_EQ(data.RangeEnd, a.glides[1].to + 1);

  // A recording over more than one day gives its clocks with the day.
  data.PointTime[data.LastPoint] += 86400;
  analyseLoadedFlight(data);
  EXPECT_EQ(phasesTable(data, PhasesTable::Thermals).rows[0][3], QStringLiteral("15.06. ") + row[3]);
  QLocale::setDefault(QLocale::c());
}

TEST_F(PhasesTableTest, OverlayColoursCirclingAndGliding) {
  View3D view(data);
  SidePanels panels;
  chooseOverlay(data, view, panels, kModeFlugphasen);
  EXPECT_TRUE(panels.overlayChecked[kModeFlugphasen - 1]);
  EXPECT_TRUE(panels.image2Visible);
  const Thermal& t = data.Analysis.thermals.at(0);
  EXPECT_EQ(data.FlightPath[t.from + 5].Color, kCirclingColour);
  EXPECT_EQ(data.FlightPath[t.from - 5].Color, kGlidingColour);
  EXPECT_EQ(data.FlightPath[data.LastPoint].Color, kGroundColour);

  // The thermal's marker shows while the overlay is on, and only then.
  auto markPixels = [&view] {
    view.fitFlight();
    int count = 0;
    const QImage& image = view.BackBuffer;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == qRgb(0xE0, 0x60, 0x00);
    return count;
  };
  EXPECT_GT(markPixels(), 10);
  chooseOverlay(data, view, panels, kModeFlugphasen);
  EXPECT_EQ(markPixels(), 0);
}

// The bars of the climb histogram: one per class, as tall as its count, none for an empty class.
TEST(ClimbHistogram, BarsStandForTheCounts) {
  const QImage image = climbHistogramPicture({{0, 0.5, 0}, {0.5, 1, 2}, {1, 1.5, 1}}, 306, 180);
  const QRgb bar = QColor(0xFF, 0x80, 0x00).rgb();
  auto barHeight = [&](int slot) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) rows += image.pixel(6 + 98 * slot + 49, y) == bar;
    return rows;
  };
  EXPECT_EQ(barHeight(0), 0);
  EXPECT_GT(barHeight(2), 20);
  EXPECT_NEAR(barHeight(1), 2 * barHeight(2), 2);
}

}  // namespace

}  // namespace phases_table_test
