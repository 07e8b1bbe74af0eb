#include "view3d/LabelBoard.h"

#include <algorithm>

namespace trelvano {

void LabelBoard::clear(QSize picture) {
  picture_ = QRect(QPoint(0, 0), picture);
  reserved_.clear();
  placed_.clear();
  leftOut_ = 0;
}

void LabelBoard::reserve(const QRect& area) {
  if (!area.isEmpty()) reserved_.push_back(area);
}

bool LabelBoard::free(const QRect& r) const {
  if (!picture_.contains(r)) return false;
  const auto overlaps = [&](const QRect& o) { return o.intersects(r); };
  return std::none_of(placed_.begin(), placed_.end(), overlaps) &&
         std::none_of(reserved_.begin(), reserved_.end(), overlaps);
}

std::optional<QRect> LabelBoard::place(const QRect& marker, QSize size, int gap) {
  const int w = size.width(), h = size.height();
  // QRect's right() and bottom() are the last pixel inside.
  const int right = marker.right() + 1 + gap, left = marker.left() - gap - w;
  const int middle = marker.center().y() - h / 2, centre = marker.center().x() - w / 2;
  const int above = marker.top() - h, below = marker.bottom() + 1;
  const QPoint spots[] = {{right, middle}, {right, above}, {right, below},        {left, middle},
                          {left, above},   {left, below},  {centre, above - gap}, {centre, below + gap}};
  for (const QPoint& at : spots) {
    const QRect r(at, size);
    if (free(r)) {
      placed_.push_back(r);
      return r;
    }
  }
  ++leftOut_;
  return std::nullopt;
}

}  // namespace trelvano
