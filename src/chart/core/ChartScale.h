#pragma once
// The chart's mappings between flight point indexes, values and image pixels,
// the grid step and the texts of the mouse probe. W and H are the image's
// width and height; rows count from the top.

#include "model/Numbers.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace trelvano {

// Column of point i: round(W / (end - start) × (i - start)), so `start` lies on
// column 0 and `end` on column W. A window of one point (end = start) has no
// columns: `empty`, and nothing may be mapped.
class ColumnMap {
 public:
  ColumnMap(int width, int32_t start, int32_t end)
      : start_(start), empty_(end == start), factor_(empty_ ? 0.0 : double(width) / (double(end) - start)) {}
  bool empty() const { return empty_; }
  int operator()(long long i) const { return checkedInt32(Round(factor_ * double(i - start_))); }

 private:
  int32_t start_;
  bool empty_;
  double factor_;
};

// Row of value v: (H - 5) - round((v - min) / (max - min) × (H - 10)): `min` on
// row H - 5, `max` on row 5. A range of zero width maps every value to the
// middle row between them.
class RowMap {
 public:
  RowMap(int height, double min, double max) : bottom_(height - 5), span_(height - 10), min_(min), range_(max - min) {}
  int operator()(double v) const {
    if (range_ == 0) return checkedInt32(bottom_ - Round(span_ / 2.0));
    return checkedInt32(bottom_ - Round((v - min_) / range_ * span_));
  }

 private:
  int64_t bottom_;
  int span_;
  double min_, range_;
};

// Value at row y, the inverse of RowMap: (max - min) / (H - 10) × ((H - 5) - y) + min.
inline double rowValue(int height, double min, double max, int y) {
  return (max - min) / (height - 10) * ((height - 5) - y) + min;
}

// Value grid: 10 to the power round(log10(|max - min| / 5)), about five lines
// over the range. Not for a range of zero width.
double gridStep(double min, double max);

// One line of the value grid: its row, whether it is the line of value 0
// (dash-dot, the others dotted), and its label, the value as a whole number.
struct GridLine {
  int y;
  bool zero;
  int64_t label;
};
// The lines at k × step for every whole k from round(min / step) to
// round(max / step); none for a reversed range or one of zero width.
std::vector<GridLine> valueGrid(int height, double min, double max);

// Probe value: truncated toward zero to one decimal, "." as the decimal point
// (-3.75 -> "-3.7", 12.96 -> "12.9").
QString probeValueText(double v);

// Rate of the measurement line: 4 significant digits, exponent of at least
// two digits, the locale's separator ("1,235E05").
QString rateText(double rate);

}  // namespace trelvano
