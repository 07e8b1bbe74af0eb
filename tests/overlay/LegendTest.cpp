#include "overlay/Legend.h"
#include "overlay/Overlay.h"
#include "canvas/Canvas.h"
#include "model/Colour.h"

#include "FlightFixture.h"

#include <utility>
#include <vector>

namespace legend_test {

using namespace trelvano;

namespace {

using PlacedTexts = std::vector<std::pair<int, QString>>;

// The part of the legend below the colour bar, as it looks with these texts at y = 10.
QImage textArea(const QImage& legend) { return legend.copy(0, 5, legend.width(), legend.height() - 5); }

QImage expectedTextArea(const PlacedTexts& texts) {
  QImage image(289, 33, QImage::Format_RGB32);
  {
    Canvas canvas(image);
    canvas.setBrushColor(colours::kWhite);
    canvas.fillRect(0, 0, 289, 33);
    for (const auto& [x, text] : texts) canvas.textOut(x, 10, text);
  }
  return textArea(image);
}

int32_t barPixel(const QImage& legend, int x, int y) { return fromRgb32(legend.pixel(x, y)); }

}  // namespace

using LegendTest = FlightTest;

TEST_F(LegendTest, SpeedFiguresEveryFiftyColumnsInKmh) {
  setSpeeds(data, {10, 10, 60, 10, 6, 1, 10});  // scale 2 … 10 m/s
  data.OverlayMode = 2;
  Overlay(data, view, panels);
  ASSERT_TRUE(panels.image2Visible);
  const QImage& legend = panels.Image2;

  EXPECT_EQ(textArea(legend),
            expectedTextArea({{5, "km/h"}, {49, "12"}, {99, "17"}, {149, "22"}, {199, "27"}, {249, "32"}}));

  // The bar: rows 1 … 4, green at the left, red at the right, white around it.
  for (int y = 1; y <= 4; ++y) {
    EXPECT_EQ(barPixel(legend, 0, y), ScaleColour(0));
    EXPECT_EQ(barPixel(legend, 144, y), ScaleColour(127));
    EXPECT_EQ(barPixel(legend, 288, y), ScaleColour(254));
  }
  EXPECT_EQ(barPixel(legend, 144, 0), colours::kWhite);
  EXPECT_EQ(barPixel(legend, 144, 5), colours::kWhite);
}

TEST_F(LegendTest, NoFiguresOnAZeroWidthScale) {
  setSpeeds(data, {0, 0});
  data.OverlayMode = 2;
  Overlay(data, view, panels);
  EXPECT_EQ(textArea(panels.Image2), expectedTextArea({{5, "km/h"}}));
  EXPECT_EQ(barPixel(panels.Image2, 288, 1), ScaleColour(254));
}

TEST_F(LegendTest, EnergyLegendsNameTheirEnds) {
  setSpeeds(data, {10, 20, 10});
  data.OverlayMode = 5;
  Overlay(data, view, panels);
  EXPECT_EQ(textArea(panels.Image2), expectedTextArea({{5, "min"}, {289 - 25, "max"}}));

  data.OverlayMode = 6;
  Overlay(data, view, panels);
  EXPECT_EQ(textArea(panels.Image2), expectedTextArea({{5, "+++"}, {289 - 30, "_ _ _"}}));
  EXPECT_EQ(barPixel(panels.Image2, 0, 4), ScaleColour(0));
}

}  // namespace legend_test
