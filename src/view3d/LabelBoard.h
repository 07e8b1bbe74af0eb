#pragma once
// Where the labels over the 3D view's picture go, so that none covers another
// or a marker. Markers (and any other drawing a label must leave visible) are
// reserved first; then each label, most important first, takes the first
// spot beside its marker that lies in the picture and is free: to the right,
// right above, right below, to the left, left above, left below, above,
// below. A label with no free spot is left out; its marker stays. Kept by
// the renderer between redraws, so a test can read what the last picture
// placed.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

namespace trelvano {

class LabelBoard {
 public:
  // Starts a picture of `size`: nothing reserved or placed.
  void clear(QSize picture);
  // Space labels must not cover (a marker, a line of text drawn elsewhere).
  void reserve(const QRect& area);
  // A label of `size` beside the marker `marker`, `gap` pixels off it: the
  // rectangle taken, or none when every spot is outside or taken.
  std::optional<QRect> place(const QRect& marker, QSize size, int gap = 2);

  // The labels placed since clear(), in the order they were placed.
  const std::vector<QRect>& placed() const { return placed_; }
  // Labels that found no spot since clear().
  int leftOut() const { return leftOut_; }

 private:
  bool free(const QRect& r) const;
  QRect picture_;
  std::vector<QRect> reserved_;
  std::vector<QRect> placed_;
  int leftOut_ = 0;
};

}  // namespace trelvano
