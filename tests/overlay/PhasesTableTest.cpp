// The flight phases window's core: table texts, CSV bytes, the section of a row, the overlay.
#include "common/SyntheticIgc.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "overlay/FlightAnalysis.h"
#include "overlay/Overlay.h"
#include "overlay/PhasesTable.h"
#include "view3d/AnalysisMarks.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using namespace trelvano;

class PhasesTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    synthetic::Flight f;
    f.windSpeed = 5, f.windFrom = 270;
    f.legs = {{synthetic::Manoeuvre::Glide, 100},
              {synthetic::Manoeuvre::Thermal, 120, 18, 2},
              {synthetic::Manoeuvre::Glide, 100}};
    QByteArray bytes = synthetic::igcBytes(f);
    bytes.insert(bytes.indexOf("B"),
                 "C150701213841160701000102 Tri\r\nC0000000N00000000ETAKEOFF\r\n"
                 "C4730000N01112000EA\r\nC4731000N01112000EB;C\r\nE100010PEV\r\n");
    showFlight(data, readIgc(bytes, QStringLiteral("t.igc")));
    analyseFlight(data);
  }
  FlightDataPtr dataPtr = makeFlightData();
  FlightData& data = *dataPtr;
};

TEST_F(PhasesTableTest, RowsSectionsAndCsv) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const TableText thermals = phasesTable(data, PhasesTable::Thermals);
  ASSERT_EQ(thermals.rows.size(), 1u);
  EXPECT_EQ(thermals.rows[0][6], QStringLiteral("links"));
  EXPECT_TRUE(thermals.rows[0][5].startsWith(QStringLiteral("2,")));  // the locale's decimal separator

  // The task: the placeholder listed without a leg, the legs measured on the ellipsoid.
  const TableText task = phasesTable(data, PhasesTable::Task);
  ASSERT_EQ(task.rows.size(), 4u);
  EXPECT_EQ(task.rows[0][1], QStringLiteral("TAKEOFF (Platzhalter)"));
  EXPECT_EQ(task.rows[1][4], QStringLiteral("–"));
  EXPECT_EQ(task.rows[2][4], QStringLiteral("1,9"));  // one minute of latitude: 1853 m
  EXPECT_EQ(task.rows[3][1], QStringLiteral("Gesamt"));

  const QByteArray csv = tableCsv(task);
  EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFNr.;Name;"));
  EXPECT_TRUE(csv.contains("\r\n3;\"B;C\";"));

  // A thermal's row selects its points up to the glide after it; the event its fix.
  const RowSection s = rowSection(data, PhasesTable::Thermals, 0);
  EXPECT_EQ(s.from, data.Analysis.thermals[0].from);
  EXPECT_EQ(s.to, data.Analysis.thermals[0].to + 1);
  EXPECT_EQ(rowSection(data, PhasesTable::Thermals, 1).from, -1);
  EXPECT_EQ(rowSection(data, PhasesTable::Totals, 0).from, -1);
  const RowSection event = rowSection(data, PhasesTable::Events, 0);
  EXPECT_EQ(event.from, 0);  // the fix after it in the file
  EXPECT_EQ(event.to, 0);
  ASSERT_TRUE(selectRowSection(data, PhasesTable::Glides, 1));
  EXPECT_EQ(data.RangeStart, data.Analysis.glides[1].from);
  EXPECT_EQ(data.RangeEnd, data.LastPoint);
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
  EXPECT_EQ(data.FlightPath[data.LastPoint].Color, kGlidingColour);

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

}  // namespace
