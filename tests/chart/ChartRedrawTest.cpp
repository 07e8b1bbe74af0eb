// GrafikUpdate: background, zoom and window, scale modes, grid, temperature
// bar, channel boxes and the faults a redraw must survive.
#include "ChartTestSupport.h"

#include "chart/core/ChartScale.h"
#include "model/RunError.h"
#include "canvas/Canvas.h"

#include <algorithm>
#include <cmath>

namespace chart_redraw_test {

using namespace trelvano;

using namespace chart_colours;
using colours::kWhite;
constexpr int32_t kGrey = kOutsideSection;
constexpr int32_t kGrid = kMarks;

namespace {

// The chart as it would look with a polyline through `values` (NaN: left out)
// drawn segment by segment on `background` with the chart's mapping now.
QImage withPolyline(const ChartFixture& f, QImage background, int32_t colour, const std::vector<double>& values,
                    int first) {
  const ColumnMap column(f.view->width(), f.state.WindowStart, f.state.WindowEnd);
  const RowMap row(f.view->height(), f.state.ChartMin, f.state.ChartMax);
  Canvas canvas(background);
  canvas.setPenColor(colour);
  bool started = false;
  for (size_t k = 0; k < values.size(); ++k) {
    if (std::isnan(values[k])) continue;
    const int x = column(first + int(k)), y = row(values[k]);
    if (started)
      canvas.lineTo(x, y);
    else
      canvas.moveTo(x, y);
    started = true;
  }
  return background;
}

int longestRun(const ChartFixture& f, int y, int32_t colour, int fromX) {
  int best = 0, run = 0;
  for (int x = fromX; x < f.view->width(); ++x) {
    run = f.pixel(x, y) == colour ? run + 1 : 0;
    best = std::max(best, run);
  }
  return best;
}

}  // namespace

TEST(ChartRedraw, NoCurveLeavesTheReversedRangeAndOnlyTheBackground) {
  ChartFixture f;
  f.makeFlight(300);
  f.view->open();
  EXPECT_TRUE(f.state.UniformScale);
  EXPECT_EQ(f.state.ChartMax, -1000000);
  EXPECT_EQ(f.state.ChartMin, 1000000);
  EXPECT_EQ(f.state.SelTop, 305);
  // The whole flight is the section: white but the bottom row.
  EXPECT_EQ(f.count(kWhite), 778 * 304);
  for (int x = 0; x < 778; x += 97) EXPECT_EQ(f.pixel(x, 304), kGrey);
  EXPECT_FALSE(f.view->controls.zoomEnabled);
  EXPECT_EQ(f.view->controls.channelCaption[7], QStringLiteral("Frequenz"));  // named from the table
}

TEST(ChartRedraw, SectionAndBandWhiteOnGreyUnlessZoomed) {
  ChartFixture f;
  f.makeFlight(300);
  f.d.RangeStart = 100;
  f.d.RangeEnd = 200;
  f.state.SelTop = 200;
  f.state.SelBottom = 50;
  f.state.bandSelected = true;
  f.view->GrafikUpdate();
  // Columns round(778 / 299 × 100) = 260 and round(520.4) = 520; rows 304 - 200 and 304 - 50.
  const struct {
    int x, y;
    int32_t colour;
  } probes[] = {
      {259, 150, kGrey}, {260, 150, kWhite}, {519, 150, kWhite}, {520, 150, kGrey},
      {300, 103, kGrey}, {300, 104, kWhite}, {300, 253, kWhite}, {300, 254, kGrey},
  };
  for (const auto& p : probes) EXPECT_EQ(f.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;

  f.view->setZoomTicked(true);
  EXPECT_EQ(f.count(kWhite), 778 * 305);
  EXPECT_EQ(f.state.WindowStart, 100);
  EXPECT_EQ(f.state.WindowEnd, 200);
  f.view->setZoomTicked(false);
  EXPECT_EQ(f.pixel(259, 150), kGrey);
  EXPECT_EQ(f.state.WindowEnd, 299);
}

TEST(ChartRedraw, ZoomBoxEnabledOnlyForASmallerSection) {
  const struct {
    int start, end;
    bool enabled;
  } cases[] = {
      {0, 299, false},
      {1, 299, true},
      {0, 298, true},
      {120, 80, true},
  };
  for (const auto& c : cases) {
    ChartFixture f;
    f.makeFlight(300);
    f.view->controls.zoomTicked = true;
    f.d.RangeStart = c.start;
    f.d.RangeEnd = c.end;
    f.view->GrafikUpdate();
    EXPECT_EQ(f.view->controls.zoomEnabled, c.enabled) << c.start << ".." << c.end;
    EXPECT_EQ(f.view->controls.zoomTicked, c.enabled);
    EXPECT_EQ(f.state.WindowStart, c.enabled ? c.start : 0);
  }
}

TEST(ChartRedraw, UniformScaleGathersAllCurvesBeforeDrawingThemWithTheGrid) {
  ChartFixture f;
  f.makeFlight(300);  // "Höhe" 0 … 299 m, channel 2 from 200 to 499
  f.tickGps({kGpsH});
  f.tickChannels({2});
  f.view->open();
  EXPECT_EQ(f.state.ChartMin, 0);
  EXPECT_EQ(f.state.ChartMax, 499);
  // The first curve is drawn to the common scale, not to its own.
  const RowMap row(305, 0, 499);
  const int x = ColumnMap(778, 0, 299)(150);
  EXPECT_EQ(f.rowsOf(x, kHoehe), std::vector<int>{row(150)});
  EXPECT_EQ(f.rowsOf(x, kChannels[2]), std::vector<int>{row(350)});
  // Step 100: dash-dot at 0 (on the bottom margin), dotted at 100 … 400.
  EXPECT_GT(longestRun(f, row(0), kGrid, 60), 2);
  for (int v = 100; v <= 400; v += 100) {
    EXPECT_EQ(longestRun(f, row(v), kGrid, 60), 1) << v;
    int dots = 0;
    for (int px = 0; px < 778; ++px) dots += f.pixel(px, row(v)) == kGrid;
    EXPECT_GT(dots, 200) << v;  // across the width
  }

  f.view->setScaleIndex(1);  // "individuell": every curve fills the height, no grid
  EXPECT_FALSE(f.state.UniformScale);
  EXPECT_EQ(f.state.ChartMin, 200);  // the last curve's range
  EXPECT_EQ(f.rowsOf(x, kChannels[2]), std::vector<int>{RowMap(305, 200, 499)(350)});
  EXPECT_EQ(f.count(kGrid), 0);
  f.view->setChannelTicked(2, false);
  EXPECT_EQ(f.rowsOf(x, kHoehe), std::vector<int>{RowMap(305, 0, 299)(150)});
}

TEST(ChartRedraw, TemperatureBarStoresItsWholeNumberWhenItMoves) {
  const struct {
    double before;
    int barBefore;
    double after;
    int bar;
    const char* label;
  } cases[] = {
      {25.4, 10, 25, -25, "25°"},    {40, 10, 35, -35, "35°"},  // the bar's top
      {-15, 0, -10, 10, "-10°"},                                // its bottom
      {25.4, -25, 25.4, -25, "25°"},                            // already in place: the temperature stays
      {-0.4, 10, 0, 0, "0°"},
  };
  for (const auto& c : cases) {
    ChartFixture f;
    f.makeFlight(50);
    f.d.Temperature = c.before;
    f.view->controls.temperaturePosition = c.barBefore;
    f.view->open();
    EXPECT_EQ(f.d.Temperature, c.after) << c.before;
    EXPECT_EQ(f.view->controls.temperaturePosition, c.bar) << c.before;
    EXPECT_EQ(f.view->controls.LabelTemp, QString::fromUtf8(c.label)) << c.before;
  }
  ChartFixture f;
  f.makeFlight(50);
  f.view->open();
  f.view->setTemperaturePosition(-30);
  EXPECT_EQ(f.d.Temperature, 30);
  EXPECT_EQ(f.view->controls.LabelTemp, QStringLiteral("30°"));
}

TEST(ChartRedraw, ConstantChannelsAreDisabledAndUntickThemselves) {
  ChartFixture f;
  f.makeFlight(300);
  f.setChannel(4, [](int) { return 7; });                        // constant over the flight
  f.setChannel(9, [](int i) { return i < 100 ? 5 : 900 + i; });  // constant before point 100
  f.tickGps({kGpsH});
  f.tickChannels({4, 9});
  f.view->open();
  // Disabled but ticked, drawn flat on the common scale widened by "Höhe".
  EXPECT_FALSE(f.view->controls.channelEnabled[4]);
  EXPECT_TRUE(f.view->controls.channelEnabled[9]);
  EXPECT_TRUE(f.view->controls.channelTicked[4]);
  EXPECT_EQ(f.rowsOf(400, kChannels[4]), std::vector<int>{RowMap(305, 0, 1199)(7)});

  f.state.SelTop = 100;
  f.state.bandSelected = true;
  f.view->setScaleIndex(1);  // alone in its own range it unticks, which resets the band
  EXPECT_FALSE(f.view->controls.channelTicked[4]);
  EXPECT_TRUE(f.view->controls.channelTicked[9]);
  EXPECT_EQ(f.state.SelTop, 305);
  EXPECT_FALSE(f.state.bandSelected);

  // Zoomed into points 10 … 90 channel 9 is constant at its first sample's value.
  f.d.RangeStart = 10;
  f.d.RangeEnd = 90;
  f.view->setZoomTicked(true);
  EXPECT_FALSE(f.view->controls.channelTicked[9]);
  EXPECT_TRUE(f.view->controls.channelEnabled[9]);

  // In "einheitlich" a constant channel that is the only curve unticks too.
  f.view->setZoomTicked(false);
  f.view->setScaleIndex(0);
  f.view->setGpsTicked(kGpsH, false);
  f.view->setChannelTicked(4, true);
  EXPECT_FALSE(f.view->controls.channelTicked[4]);
}

TEST(ChartRedraw, DrehzahlIsCappedAt100000) {
  ChartFixture f;
  f.makeFlight(300);
  f.setChannel(7, [](int i) { return i * 1000; });  // up to 299000
  f.tickChannels({7});
  f.view->setScaleIndex(1);
  EXPECT_EQ(f.state.ChartMax, 100000);
  const std::vector<int> at100 = f.rowsOf(ColumnMap(778, 0, 299)(100), kChannels[7]);
  EXPECT_NE(std::find(at100.begin(), at100.end(), 5), at100.end());          // 100000 on the top margin …
  EXPECT_TRUE(f.rowsOf(ColumnMap(778, 0, 299)(200), kChannels[7]).empty());  // … the rest above the image
}

// The curves' polylines drawn column by column cover exactly the pixels of
// their segments drawn one by one.
TEST(ChartRedraw, CurvesAreTheSegmentByTheSegmentPolylines) {
  const struct {
    int points, width, height, zoomStart, zoomEnd;
  } cases[] = {
      {300, 778, 305, 0, 0}, {20000, 778, 305, 0, 0},       {20000, 1600, 900, 0, 0},
      {5000, 60, 40, 0, 0},  {20000, 778, 305, 4000, 4800}, {300, 778, 305, 10, 12},
  };
  for (const auto& c : cases) {
    ChartFixture f;
    f.view = std::make_unique<ChartView>(f.d, f.state, c.width, c.height);
    f.makeFlight(c.points);
    uint32_t seed = 1;
    f.setChannel(3, [&seed](int i) {
      seed = seed * 1664525u + 1013904223u;
      return int(seed >> 20) % 300 + (i / 50) % 40 * 5;
    });
    const bool zoom = c.zoomEnd > 0;
    f.d.RangeStart = zoom ? c.zoomStart : 0;
    f.d.RangeEnd = zoom ? c.zoomEnd : c.points - 1;
    f.view->controls.zoomTicked = zoom;
    f.view->controls.scaleIndex = 1;
    f.view->open();
    const QImage background = f.view->image;
    f.view->setChannelTicked(3, true);
    std::vector<double> values;
    for (int i = f.state.WindowStart; i <= f.state.WindowEnd; ++i) values.push_back(f.state.values.value(i, 3));
    EXPECT_TRUE(f.view->image == withPolyline(f, background, kChannels[3], values, f.state.WindowStart))
        << c.points << " points in " << c.width << "x" << c.height;
  }
}

// Faults a redraw must survive without an error box.
TEST(ChartRedraw, FlatCurvesAndEmptyWindowsDrawWithoutErrors) {
  ChartFixture f;
  f.makeFlight(300);
  for (int i = 0; i < 300; ++i) {
    f.d.RawSamples[i][kColGpsAlt] = 4000;           // height 0 throughout
    f.d.FlightPath[i].Y = f.d.FlightPath[i].Z = 0;  // standing still
  }
  f.tickGps({kGpsH});
  f.view->controls.scaleIndex = 1;
  EXPECT_NO_THROW(f.view->open());
  // Flat lines at mid-height, the speed from its first column on.
  EXPECT_EQ(f.rowsOf(300, kHoehe), std::vector<int>{152});
  EXPECT_NO_THROW(f.view->setGpsTicked(kGpsV2, true));
  EXPECT_EQ(f.rowsOf(300, kGroundspeed), std::vector<int>{152});
  EXPECT_EQ(f.pixel(3, 152), kGroundspeed);
  EXPECT_EQ(f.pixel(2, 152), kHoehe);

  f.view->setScaleIndex(0);  // a common range of zero width
  EXPECT_EQ(f.rowsOf(300, kGroundspeed), std::vector<int>{152});
  EXPECT_EQ(f.count(kGrid), 0);

  f.d.RangeStart = f.d.RangeEnd = 40;  // a window of one point: nothing to draw
  EXPECT_NO_THROW(f.view->setZoomTicked(true));
  EXPECT_EQ(f.count(kWhite), 778 * 305);

  ChartFixture single;  // a flight of one point
  single.makeFlight(1);
  single.tickGps({kGpsH, kGpsV3});
  EXPECT_NO_THROW(single.view->open());
  EXPECT_EQ(single.count(kWhite), 778 * 304);
}

TEST(ChartRedraw, ASpeedPointWithoutTimeStepIsLeftOut) {
  ChartFixture f;
  f.makeFlight(300);
  for (int i = 0; i < 300; ++i) f.d.FlightPath[i].Y = 0.05 * i * i;
  f.d.FlightPath[120].TimeStep = 0;
  f.d.FlightPath[1].TimeStep = 0;  // the curve's first point
  f.view->controls.scaleIndex = 1;
  f.view->open();
  const QImage background = f.view->image;
  EXPECT_NO_THROW(f.view->setGpsTicked(kGpsV2, true));
  std::vector<double> speeds;
  for (int i = 1; i < 300; ++i)
    speeds.push_back(i == 1 || i == 120 ? std::nan("") : std::fabs(f.d.FlightPath[i].Y - f.d.FlightPath[i - 1].Y));
  EXPECT_TRUE(f.view->image == withPolyline(f, background, kGroundspeed, speeds, 1));
}

// After an IGC or old-format file the sample tables are not this flight's.
TEST(ChartRedraw, AFlightWithoutLoggerSamplesDrawsNoChannels) {
  ChartFixture f;
  f.makeFlight(40000, false);  // more points than the sample table has rows
  f.tickGps({kGpsH});
  f.tickChannels({2, 5});
  f.view->controls.scaleIndex = 1;
  EXPECT_NO_THROW(f.view->open());
  for (int c = 0; c < kChannelCount; ++c) EXPECT_FALSE(f.view->controls.channelEnabled[c]) << c;
  EXPECT_TRUE(f.view->controls.channelTicked[2]);  // ticked, but nothing drawn
  EXPECT_EQ(f.count(kChannels[2]) + f.count(kChannels[5]), 0);
  EXPECT_EQ(f.state.ChartMax, 39999);  // "Höhe" from the flight's altitudes
  EXPECT_EQ(f.rowsOf(0, kHoehe), std::vector<int>{300});
  EXPECT_GT(f.count(kHoehe), 0);
}

}  // namespace chart_redraw_test
