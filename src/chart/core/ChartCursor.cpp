// Where the replay cursor stands in the chart, and which point a column picks.
#include "chart/core/ChartScale.h"
#include "chart/core/ChartView.h"

#include <algorithm>

namespace trelvano {

int ChartView::pointColumn(long long point) const {
  const ColumnMap column(width(), chart.WindowStart, chart.WindowEnd);
  if (column.empty() || point < chart.WindowStart || point > chart.WindowEnd) return -1;
  return std::min(column(point), width() - 1);
}

int32_t ChartView::columnPoint(int x) const {
  const int32_t first = chart.WindowStart, last = chart.WindowEnd;
  const double point = first + double(x) / width() * (double(last) - first);
  return static_cast<int32_t>(std::clamp<int64_t>(Round(point), std::min(first, last), std::max(first, last)));
}

}  // namespace trelvano
