#include "view3d/RenderPass.h"

#include "model/Numbers.h"
#include "model/RunError.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

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
    // Both ends outside: the canvas cuts the line to the pixels inside the
    // picture, so a segment that crosses it is still drawn.
    canvas.moveTo(fromX, fromY);
    canvas.lineTo(x, y);
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
  int lastX = 0, lastY = 0;  // the pen position, kept in registers
  for (int32_t i = first; i <= last; ++i) {
    const FlightPoint& pt = p[i];
    canvas.setPenColor(pt.Color);
    const QPoint s = ToScreen(pt.ProjX, pt.ProjY);
    if (pt.Pen != kPenLine || i == first) {
      canvas.moveTo(s.x(), s.y());
      hidden = pt.Pen > kPenLine;
      if (hidden) OutOfView = true;
    } else if (hidden) {
      canvas.moveTo(s.x(), s.y());
      hidden = false;
    } else {
      clippedLine(lastX, lastY, s.x(), s.y());
    }
    lastX = PenLastX = s.x();
    lastY = PenLastY = s.y();
  }
}

void RenderPass::DrawScreenPoints(const ScreenPoint* entries, const RowSpan* blockRows, int32_t count, int rowTop,
                                  int rowBottom) {
  bool hidden = false;
  int lastX = 0, lastY = 0;
  for (int32_t from = 0; from < count; from += kStrokeBlock) {
    const int32_t to = std::min(from + kStrokeBlock, count);
    // Every segment of the block ends at one of its entries and starts at the
    // one before; none reaches the band when all of their rows miss it.
    const RowSpan rows = blockRows[from / kStrokeBlock];
    if (from > 0 && (std::max(rows.bottom, lastY) < rowTop - 1 || std::min(rows.top, lastY) >= rowBottom)) {
      // What the entries would have left: the last one's position, and
      // hidden exactly when it lies behind the viewer.
      const ScreenPoint& s = entries[to - 1];
      hidden = s.pen > kPenLine;
      lastX = s.x;
      lastY = s.y;
      continue;
    }
    for (int32_t i = from; i < to; ++i) {
      const ScreenPoint& s = entries[i];
      if (s.pen != kPenLine || i == 0) {
        hidden = s.pen > kPenLine;
      } else if (hidden) {
        hidden = false;
      } else if (std::max(lastY, s.y) >= rowTop - 1 && std::min(lastY, s.y) < rowBottom) {
        // Every pixel of a segment lies between its end rows; a wide line's
        // second pixel one row below.
        canvas.setPenColor(s.color);
        clippedLine(lastX, lastY, s.x, s.y);
      }
      lastX = s.x;
      lastY = s.y;
    }
  }
  if (count > 0) {
    PenLastX = lastX;
    PenLastY = lastY;
  }
}

}  // namespace trelvano
