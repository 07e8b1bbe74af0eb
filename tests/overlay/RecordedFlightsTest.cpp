#include "import/FileBytes.h"
#include "app/core/AnalyseLoadedFlight.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "overlay/Infobox.h"
#include "overlay/Overlay.h"
#include "overlay/Replay.h"

#include "FlightFixture.h"
#include "common/TestPaths.h"

#include <QDir>
#include <algorithm>
#include <cmath>

namespace recorded_flights_test {

using namespace trelvano;

using RecordedFlightsTest = FlightTest;

// Real recordings bring time jumps, repeated seconds and long gaps: no overlay,
// replay step or statistic may fail on any of them.
TEST_F(RecordedFlightsTest, EveryRoutineRunsOnEveryIgcFile) {
  const QStringList files = QDir(dataPath("igc")).entryList({"*.igc"}, QDir::Files);
  ASSERT_FALSE(files.isEmpty());
  int loaded = 0;
  for (const QString& name : files) {
    SCOPED_TRACE(name.toStdString());
    const QByteArray bytes = readBytes(dataPath("igc/" + name));
    try {
      showFlight(data, readIgc(bytes, name));
    } catch (const RunError&) {
      continue;  // the reader's own failures are its tests' business
    }
    ++loaded;
    EXPECT_NO_THROW(Infobox(data, panels));
    // The analysis: its phases cover every fix, thermals lie in free flight, which lies in the air.
    analyseLoadedFlight(data);
    const FlightAnalysis& a = data.Analysis;
    ASSERT_FALSE(a.phases.empty());
    EXPECT_EQ(a.phases.back().to, data.LastPoint);
    auto inside = [](const FlightSection& s, const auto& outer) {
      return std::any_of(outer.begin(), outer.end(),
                         [&](const FlightSection& o) { return s.from >= o.from && s.to <= o.to; });
    };
    for (const FlightSection& f : a.freeFlight) EXPECT_TRUE(inside(f, a.airborne));
    for (const Thermal& t : a.thermals) {
      EXPECT_TRUE(inside(t, a.freeFlight)) << "thermal at " << t.start;
      EXPECT_GE(t.gain, 30);
    }
    for (const Glide& g : a.glides) EXPECT_TRUE(g.ratio == 0 || (g.heightLoss >= 100 && std::isfinite(g.ratio)));
    EXPECT_TRUE(std::isfinite(a.totals.averageRatio) && std::isfinite(a.totals.best30sClimb));
    for (int mode = 0; mode <= 7; ++mode) {
      data.OverlayMode = mode;
      EXPECT_NO_THROW(Overlay(data, view, panels)) << "mode " << mode;
    }
    data.OverlayMode = 3;
    Overlay(data, view, panels);
    EXPECT_TRUE(panels.infoVisible && panels.navVisible && panels.trackPanelVisible);
    EXPECT_FALSE(panels.adcVisible || panels.miscVisible);
    for (int step = 0; step < 3; ++step) EXPECT_NO_THROW(stepReplay(data, view, panels));
    takeTrackBar(panels);
    for (int position : {0, 333, 1000}) EXPECT_NO_THROW(moveTrackBar(data, view, panels, position));
    EXPECT_EQ(data.CursorPoint, data.LastPoint);
  }
  EXPECT_GE(loaded, files.size() / 2);
}

}  // namespace recorded_flights_test
