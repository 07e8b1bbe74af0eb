#pragma once
// The colour legend of the scaled overlays, drawn into the image Image2.

#include "overlay/ColourScale.h"

#include <QImage>

namespace trelvano {

// Column of the legend whose colour stands for scale step c: x / W × 255.
int legendStep(int x, int width);

// The speed in km/h that legend step c stands for.
int64_t legendSpeedKmh(int c, const ColourScale& scale);

// Fills the image white and draws the four-pixel colour bar along the top
// (rows 1 … 4), plus the texts of the mode: 2 = speed figures every 50
// columns (at x mod 50 = 49, none on a zero-width scale) and "km/h";
// 5 = "min" / "max"; 6 = "+++" / "_ _ _"; 7 (Flugphasen) colour boxes named
// "Kreisen", "Gleiten", "Motor", "Start" and "am Boden" instead of the bar.
// image must be Format_RGB32.
void drawLegend(QImage& image, int mode, const ColourScale& scale);

}  // namespace trelvano
