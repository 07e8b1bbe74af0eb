#include "overlay/Legend.h"

#include "model/Numbers.h"
#include "overlay/ColourScale.h"
#include "canvas/Canvas.h"
#include "overlay/PhaseColours.h"
#include "overlay/SidePanels.h"

#include <utility>

namespace trelvano {

int legendStep(int x, int width) { return static_cast<int>(Round(static_cast<double>(x) / width * 255)); }

int64_t legendSpeedKmh(int c, const ColourScale& scale) {
  return Round(((scale.max - scale.min) * c / 254 + scale.min) * 3.6);
}

void drawLegend(QImage& image, int mode, const ColourScale& scale) {
  Canvas canvas(image);
  const int w = canvas.width();
  const int h = canvas.height();
  canvas.setBrushColor(colours::kWhite);
  canvas.fillRect(0, 0, w, h);
  if (w <= 0) return;

  if (mode == kModeFlugphasen) {
    // Colour boxes with their names instead of a scale, three in a row.
    const std::pair<int32_t, const char*> items[5] = {{trelvano::kCirclingColour, "Kreisen"},
                                                      {trelvano::kGlidingColour, "Gleiten"},
                                                      {trelvano::kEngineColour, "Motor"},
                                                      {trelvano::kLaunchColour, "Start"},
                                                      {trelvano::kGroundColour, "am Boden"}};
    for (int k = 0; k < 5; ++k) {
      const int x = 5 + k % 3 * w / 3, y = k / 3 * 16;
      canvas.setBrushColor(items[k].first);
      canvas.fillRect(x, y + 2, x + 10, y + 12);
      canvas.setBrushColor(colours::kWhite);
      canvas.textOut(x + 14, y + 1, QString::fromUtf8(items[k].second));
    }
    return;
  }
  if (mode == 5) {
    canvas.textOut(5, 10, QStringLiteral("min"));
    canvas.textOut(w - 25, 10, QStringLiteral("max"));
  } else if (mode == 6) {
    canvas.textOut(5, 10, QStringLiteral("+++"));
    canvas.textOut(w - 30, 10, QStringLiteral("_ _ _"));
  }

  const bool figures = mode == 2 && scale.hasWidth();
  // x = w lies just outside the image and only matters for its figure.
  for (int x = 0; x <= w; ++x) {
    const int c = legendStep(x, w);
    if (figures && x % 50 == 49) canvas.textOut(x, 10, QString::number(legendSpeedKmh(c, scale)));
    if (mode == 2 && x == 5) canvas.textOut(5, 10, QStringLiteral("km/h"));
    if (x < w) {
      const int32_t colour = ScaleColour(c);
      for (int y = 1; y <= 4 && y < h; ++y) canvas.setPixel(x, y, colour);
    }
  }
}

}  // namespace trelvano
