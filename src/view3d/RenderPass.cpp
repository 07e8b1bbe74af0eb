#include "view3d/RenderPass.h"

#include "model/Numbers.h"
#include "model/RunError.h"

#include <algorithm>
#include <cmath>
#include <exception>

RenderPass::RenderPass(Canvas& c, bool& outOfView) : canvas(c), OutOfView(outOfView) { InitScreenScale(); }

void RenderPass::InitScreenScale() {
  W = canvas.width();
  H = canvas.height();
  OffX = static_cast<int>(Round(0.1 * W));
  OffY = static_cast<int>(Round(0.1 * H));
}

QPoint RenderPass::toScreenFar(double px, double py) {
  while (std::fabs(px) + std::fabs(py) > kHalvingLimit) {
    // Halving never brings an infinity back into range.
    if (std::isinf(px) || std::isinf(py)) throw RunError::invalidFloatOp();
    px /= 2;
    py /= 2;
  }
  return ToScreen(px, py);
}

void RenderPass::PenMoveTo(int x, int y) {
  PenLastX = x;
  PenLastY = y;
  canvas.moveTo(x, y);
}

QPoint RenderPass::ClipToImage(QPoint outside, QPoint anchor) const {
  const double ax = anchor.x(), ay = anchor.y();
  double ox = outside.x(), oy = outside.y();
  if (ox < 0) {
    oy = static_cast<double>(Round((0 - ax) / (ox - ax) * (oy - ay) + ay));
    ox = 0;
  }
  if (ox >= W) {
    oy = static_cast<double>(Round((W - 1 - ax) / (ox - ax) * (oy - ay) + ay));
    ox = W - 1;
  }
  if (oy < 0) {
    ox = static_cast<double>(Round((0 - ay) / (oy - ay) * (ox - ax) + ax));
    oy = 0;
  }
  if (oy >= H) {
    ox = static_cast<double>(Round((H - 1 - ay) / (oy - ay) * (ox - ax) + ax));
    oy = H - 1;
  }
  return QPoint(static_cast<int>(ox), static_cast<int>(oy));
}

// The four cases of a clipped line from (fromX, fromY) to (x, y).
inline void RenderPass::clippedLine(int fromX, int fromY, int x, int y) {
  const bool fromInside = inside(fromX, fromY);
  const bool toInside = inside(x, y);
  if (fromInside && toInside) {
    canvas.moveTo(fromX, fromY);
    canvas.lineTo(x, y);
  } else if (fromInside) {
    const QPoint cut = ClipToImage(QPoint(x, y), QPoint(fromX, fromY));
    canvas.moveTo(fromX, fromY);
    canvas.lineTo(cut.x(), cut.y());
  } else if (toInside) {
    const QPoint cut = ClipToImage(QPoint(fromX, fromY), QPoint(x, y));
    canvas.moveTo(cut.x(), cut.y());
    canvas.lineTo(x, y);
  } else {
    canvas.moveTo(x, y);
  }
}

void RenderPass::ClippedLineTo(int x, int y) {
  clippedLine(PenLastX, PenLastY, x, y);
  PenLastX = x;
  PenLastY = y;
}

void RenderPass::DrawPointArray(const PointArray& points, int32_t first, int32_t last) {
  OutOfView = false;
  if (first > last) return;
  checkIndex(first, kPointCapacity);
  checkIndex(last, kPointCapacity);
  const FlightPoint* p = points.data();
  bool hidden = false;
  int lastX = PenLastX, lastY = PenLastY;  // the pen position, kept in registers
  // Pixel positions are worked out a block ahead of the drawing, so the
  // divisions of neighbouring points overlap instead of waiting on each other.
  constexpr int kBlock = 256;
  QPoint screen[kBlock];
  for (int32_t base = first; base <= last; base += kBlock) {
    const int n = std::min<int32_t>(kBlock, last - base + 1);
    int ready = 0;
    std::exception_ptr failure;
    try {
      for (; ready < n; ++ready) screen[ready] = ToScreen(p[base + ready]);
    } catch (...) {
      failure = std::current_exception();  // draw the points before it, then stop
    }
    for (int k = 0; k < ready; ++k) {
      const FlightPoint& pt = p[base + k];
      const int x = screen[k].x(), y = screen[k].y();
      canvas.setPenColor(pt.Color);
      if (pt.Pen != kPenLine || base + k == first) {
        canvas.moveTo(x, y);
        hidden = pt.Pen > kPenLine;
        if (hidden) OutOfView = true;
      } else if (hidden) {
        canvas.moveTo(x, y);
        hidden = false;
      } else {
        clippedLine(lastX, lastY, x, y);
      }
      lastX = x;
      lastY = y;
    }
    if (failure || base + n > last) {
      PenLastX = lastX;
      PenLastY = lastY;
    }
    if (failure) std::rethrow_exception(failure);
  }
}
