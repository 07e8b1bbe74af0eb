#pragma once
// Helpers of the canvas and renderer tests: pictures, pixel sets, and the
// projected coordinates that land on a chosen pixel.

#include "model/FlightPoint.h"
#include "model/Colour.h"

#include <QImage>
#include <QPoint>
#include <algorithm>
#include <vector>

namespace trelvano {

inline QImage blankImage(int w, int h, int32_t bgr = colours::kBackground) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(toRgb32(bgr));
  return img;
}

inline int32_t pixelAt(const QImage& img, int x, int y) { return fromRgb32(img.pixel(x, y)); }

// Every pixel of the given colour, in row order.
inline std::vector<QPoint> pixelsOf(const QImage& img, int32_t bgr) {
  std::vector<QPoint> out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (pixelAt(img, x, y) == bgr) out.emplace_back(x, y);
  return out;
}

inline std::vector<QPoint> sortedRowOrder(std::vector<QPoint> pts) {
  std::sort(pts.begin(), pts.end(), [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
  return pts;
}

inline int countOf(const QImage& img, int32_t bgr) { return static_cast<int>(pixelsOf(img, bgr).size()); }

// Projected coordinates that the renderer maps onto pixel (x, y) of a
// w × h picture (scale 2.5 units per pixel, offsets a tenth of the size);
// sizes must be multiples of ten.
inline double projXFor(int x, int w) { return (w - w / 10 - x) * 2.5 - w; }
inline double projYFor(int y, int h) { return (h - h / 10 - y) * 2.5 - h; }

inline void placePoint(FlightPoint& p, int x, int y, int w, int h, int32_t pen, int32_t colour) {
  p = FlightPoint{};
  p.ProjX = projXFor(x, w);
  p.ProjY = projYFor(y, h);
  p.Pen = pen;
  p.Color = colour;
}

}  // namespace trelvano
