#include "view3d/StrokeArray.h"

#include "model/RunError.h"
#include "view3d/RenderPass.h"
#include "view3d/TerrainSurface.h"

#include <algorithm>

namespace trelvano {

void StrokeArray::set(const PointArray& array, int32_t firstEntry, int32_t lastEntry) {
  points = &array;
  first = firstEntry;
  last = lastEntry;
  startError = nullptr;
  if (first > last) return;
  try {
    checkIndex(first, kPointCapacity);
    checkIndex(last, kPointCapacity);
  } catch (...) {
    startError = std::current_exception();
    clearsOutOfView = true;
  }
}

void StrokeArray::project(RenderPass& pass, int part, int parts) {
  startHalf(part, parts);
  projectEntries(pass, part, halfBegin(part, parts), halfBegin(part + 1, parts));
}

void StrokeArray::startHalf(int part, int parts) {
  end_[part] = stop_[part] = halfBegin(part + 1, parts);
  error_[part] = nullptr;
  outOfView_[part] = false;
  if (parts == 1) end_[1] = stop_[1] = end_[0], error_[1] = nullptr, outOfView_[1] = false;
}

void StrokeArray::projectEntries(RenderPass& pass, int part, int32_t from, int32_t to) {
  if (error_[part] || from >= to) return;  // this half already stopped
  const FlightPoint* const p = points->data();
  pass.OutOfView = false;
  bool behind = false;
  int32_t i = from;
  try {
    for (; i < to; ++i) {
      const FlightPoint& pt = p[i];
      const QPoint at = pass.ToScreen(pt.ProjX, pt.ProjY);
      const int32_t k = i - first;
      screen[k] = {at.x(), at.y(), pt.Pen, pt.Color};
      if (depthOf && !depthsGiven) invW[k] = depthOf->invW(pt, i);
      behind |= pt.Pen > kPenLine;
      RowSpan& rows = blockRows[k / kStrokeBlock];
      if (k % kStrokeBlock == 0) {
        rows = {at.y(), at.y()};
      } else {
        rows.top = std::min(rows.top, at.y());
        rows.bottom = std::max(rows.bottom, at.y());
      }
    }
  } catch (...) {
    stop_[part] = i;
    error_[part] = std::current_exception();
  }
  outOfView_[part] = outOfView_[part] || pass.OutOfView || behind;
}

void StrokeArray::draw(RenderPass& pass, int rowTop, int rowBottom, const trelvano::DepthTarget* surface) const {
  if (!points) return;
  if (startError) {
    if (clearsOutOfView) pass.OutOfView = false;
    std::rethrow_exception(startError);
  }
  pass.OutOfView = false;
  if (first > last) return;
  // The strokes end at the first entry ToScreen refused.
  const int half = stop_[0] < end_[0] ? 0 : 1;
  if (surface && invW)
    trelvano::drawDepthStrokes(pass, *surface, screen, invW, stop_[half] - first,
                               depthOf && depthOf->kind == trelvano::HeightKind::PlumbPairs);
  else
    pass.DrawScreenPoints(screen, blockRows, stop_[half] - first, rowTop, rowBottom);
  pass.OutOfView = outOfView_[0] || (half == 1 && outOfView_[1]);
  if (error_[half]) std::rethrow_exception(error_[half]);
}

}  // namespace trelvano
