// A redraw on two cores that stops with an error: the picture, OutOfView and
// the error must be those of one pass stroking the array point by point.
#include "RenderTestSupport.h"
#include "model/FlightData.h"
#include "model/RunError.h"
#include "view3d/RedrawWorker.h"
#include "view3d/RenderPass.h"
#include "view3d/Renderer.h"

#include <gtest/gtest.h>

#include <limits>

namespace banded_redraw_test {

using namespace trelvano;

namespace {

constexpr int kW = 650, kH = 400, kLast = 599;

// The shadow alone: a zigzag over the whole picture, entry `bad` projected to
// `badProj`, entry `behind` behind the viewer.
struct Case {
  const char* name;
  int bad;
  double badProj;
  int behind;
};

void fillShadow(FlightData& d, const Case& c) {
  for (int i = 0; i <= kLast; ++i) {
    placePoint(d.ShadowPath[i], (i * 37) % kW, (i * 53) % (kH + 200) - 100, kW, kH, i == 0 ? kPenMove : kPenLine,
               i % 3 ? colours::kShadow : colours::kBlue);
  }
  if (c.behind >= 0) d.ShadowPath[c.behind].Pen = kPenLineBehind;
  if (c.bad >= 0) d.ShadowPath[c.bad].ProjX = c.badProj;
  d.LastPoint = kLast;
}

// Runs `draw`, returning the error text ("" for none).
template <class Draw>
QString errorOf(Draw&& draw) {
  try {
    draw();
  } catch (const RunError& e) {
    return e.text();
  }
  return {};
}

TEST(BandedRedraw, StopsWhereOnePassStops) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"no error", -1, 0, 250},
      {"infinite in the first half", 100, kInf, 40},
      {"NaN in the second half", 450, std::numeric_limits<double>::quiet_NaN(), 400},
      {"behind the viewer after the error", 200, -kInf, 500},
      {"the first entry", 0, kInf, -1},
  };
  RedrawWorker worker;
  Layers layers;
  layers.Flugbahn = layers.NordPfeil = layers.Gitter = layers.Lot = layers.Startkoordinaten = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FlightDataPtr data = makeFlightData();
    fillShadow(*data, c);

    QImage want = blankImage(kW, kH, 0);
    bool wantOut = true;
    const QString wantError = errorOf([&] {
      Canvas canvas(want);
      canvas.setPenColor(colours::kWhite);
      canvas.setBrushColor(colours::kBackground);
      canvas.fillRect(0, 0, kW, kH);
      RenderPass pass(canvas, wantOut);
      pass.DrawPointArray(data->ShadowPath, 0, kLast);
    });
    EXPECT_EQ(wantError.isEmpty(), c.bad < 0);

    for (RedrawWorker* w : {&worker, static_cast<RedrawWorker*>(nullptr)}) {
      QImage got = blankImage(kW, kH, 0);
      bool gotOut = true;
      EXPECT_EQ(errorOf([&] { DDDGraf(*data, layers, Camera{}, got, gotOut, nullptr, w); }), wantError);
      EXPECT_EQ(got, want);
      EXPECT_EQ(gotOut, wantOut);
    }
  }
}

TEST(BandedRedraw, RangeErrorsOfThePlumbLinesLeaveOutOfViewAsOnePass) {
  // 2·RangeStart overflows before the plumb lines start: OutOfView stays;
  // an end beyond the array fails the index check after clearing it.
  struct Range {
    int32_t start, end;
    const char* error;
    bool outOfView;
  };
  const Range ranges[] = {{1 << 30, 0, "Integerüberlauf", true}, {0, 70000, "Fehler bei Bereichsprüfung", false}};
  RedrawWorker worker;
  Layers layers;
  layers.Flugbahn = layers.Schatten = layers.NordPfeil = layers.Gitter = layers.Startkoordinaten = false;
  for (const Range& r : ranges) {
    FlightDataPtr data = makeFlightData();
    data->RangeStart = r.start;
    data->RangeEnd = r.end;
    QImage got = blankImage(kW, kH, 0);
    bool out = true;
    EXPECT_EQ(errorOf([&] { DDDGraf(*data, layers, Camera{}, got, out, nullptr, &worker); }),
              QString::fromUtf8(r.error));
    EXPECT_EQ(out, r.outOfView);
  }
}

}  // namespace

}  // namespace banded_redraw_test
