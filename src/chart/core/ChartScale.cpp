#include "chart/core/ChartScale.h"

#include <cmath>
#include <cstdlib>

namespace trelvano {

double gridStep(double min, double max) {
  return std::pow(10.0, static_cast<double>(Round(std::log10(std::fabs(max - min) / 5))));
}

std::vector<GridLine> valueGrid(int height, double min, double max) {
  std::vector<GridLine> lines;
  if (max == min) return lines;
  const double step = gridStep(min, max);
  const RowMap row(height, min, max);
  for (int64_t k = Round(min / step), last = Round(max / step); k <= last; ++k)
    lines.push_back({row(double(k) * step), k == 0, Round(double(k) * step)});
  return lines;
}

QString probeValueText(double v) {
  const int64_t tenths = Trunc(v * 10);
  const uint64_t magnitude = tenths < 0 ? 0 - static_cast<uint64_t>(tenths) : static_cast<uint64_t>(tenths);
  return (tenths < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 10) + QLatin1Char('.') +
         QString::number(magnitude % 10);
}

QString rateText(double rate) { return formatGeneral(rate, 4, 2); }

}  // namespace trelvano
