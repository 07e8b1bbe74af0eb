#pragma once
// The drawing steps of one 3D-view redraw: projected coordinates to pixels,
// clipped lines and the stroke drawing of a point array. One RenderPass lives
// for one DDDGraf call and holds all of its state.

#include "model/FlightPoint.h"
#include "model/Numbers.h"
#include "canvas/Canvas.h"
#include "view3d/StrokeArray.h"

#include <QPoint>
#include <cmath>
#include <cstdint>

namespace trelvano {

struct RenderPass {
  static constexpr double S = 2.5;  // projected units per pixel

  // Runs InitScreenScale for the canvas size. outOfView is the flag the
  // passes set and clear; it lives on after the pass.
  RenderPass(Canvas& canvas, bool& outOfView);

  Canvas& canvas;
  bool& OutOfView;                 // a drawn point lay outside the picture or behind the viewer
  int W = 0, H = 0;                // picture size, pixels
  int OffX = 0, OffY = 0;          // Round(0.1 W), Round(0.1 H)
  int PenLastX = 0, PenLastY = 0;  // unclipped end of the last PenMoveTo / ClippedLineTo

  void InitScreenScale();

  // Projected coordinates (ProjX, ProjY) to pixels. Huge values are halved
  // until |px| + |py| <= 1e9, which keeps the direction from the centre; a
  // result left of or above the picture, or beyond W or H, sets OutOfView.
  // Infinite or NaN input raises the invalid floating-point operation error.
  QPoint ToScreen(double px, double py) {
    if (std::fabs(px) + std::fabs(py) > kHalvingLimit) return toScreenFar(px, py);
    const int x = static_cast<int>(W - Round((px + W) / S) - OffX);
    const int y = static_cast<int>(H - Round((py + H) / S) - OffY);
    if (x < 0 || y < 0 || x > W || y > H) OutOfView = true;
    return QPoint(x, y);
  }
  QPoint ToScreen(const FlightPoint& p) { return ToScreen(p.ProjX, p.ProjY); }

  // Inside the picture: 0 <= x < W and 0 <= y < H.
  bool inside(int x, int y) const {
    return static_cast<unsigned>(x) < static_cast<unsigned>(W) && static_cast<unsigned>(y) < static_cast<unsigned>(H);
  }

  void PenMoveTo(int x, int y);
  void PenMoveTo(QPoint p) { PenMoveTo(p.x(), p.y()); }
  // Line from (PenLastX, PenLastY) to (x, y), cut at the picture's border:
  // an outside end is moved to the border towards the inside one; with both
  // ends outside, the pixels of the line that fall inside are drawn.
  void ClippedLineTo(int x, int y);
  void ClippedLineTo(QPoint p) { ClippedLineTo(p.x(), p.y()); }
  // Moves `outside` along the line towards the inside point `anchor` until it
  // lies in the picture: the left, right, top and bottom cuts in this order.
  QPoint ClipToImage(QPoint outside, QPoint anchor) const;

  // Strokes of entries first … last: each segment in the colour of its end
  // point, broken at Pen 0 and around points behind the viewer (Pen 2, 3).
  // Clears OutOfView first. Indexes outside the array raise the range error.
  void DrawPointArray(const PointArray& points, int32_t first, int32_t last);
  // The same strokes of `count` entries projected before, drawn only where
  // a segment may reach rows [rowTop, rowBottom); blocks of entries whose
  // rows (blockRows) miss them are passed over whole. OutOfView is left alone.
  void DrawScreenPoints(const ScreenPoint* entries, const RowSpan* blockRows, int32_t count, int rowTop, int rowBottom);

 private:
  void clippedLine(int fromX, int fromY, int x, int y);
  static constexpr double kHalvingLimit = 1000000000.0;
  QPoint toScreenFar(double px, double py);  // halves, then ToScreen
};

}  // namespace trelvano
