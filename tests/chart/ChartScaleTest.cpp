// The chart's mappings, their inverse, the value grid and the probe texts.
#include "chart/core/ChartScale.h"
#include "common/TestPaths.h"

#include <gtest/gtest.h>

namespace chart_scale_test {

using namespace trelvano;

TEST(ChartMapping, ColumnsSpanTheWindowWithHalvesToEven) {
  const struct {
    int width, start, end;
    long long i;
    int x;
  } cases[] = {
      {778, 0, 299, 0, 0},     {778, 0, 299, 299, 778},   {778, 0, 299, 150, 390},
      {10, 0, 4, 1, 2},        {10, 0, 4, 3, 8},  // 2.5 -> 2, 7.5 -> 8
      {778, 100, 200, 100, 0}, {778, 100, 200, 200, 778}, {778, 100, 200, 99, -8},
  };
  for (const auto& c : cases) EXPECT_EQ(ColumnMap(c.width, c.start, c.end)(c.i), c.x) << c.i;
  EXPECT_TRUE(ColumnMap(778, 10, 10).empty());
  EXPECT_FALSE(ColumnMap(778, 10, 11).empty());
}

TEST(ChartMapping, RowsKeepFivePixelMarginsAndInvert) {
  const struct {
    double min, max, v;
    int y;
  } cases[] = {
      {0, 100, 0, 300},   {0, 100, 100, 5},  {0, 100, 50, 152},  // 147.5 -> 148
      {0, 100, -10, 330},                                        // -29.5 -> -30
      {7, 7, 7, 152},     {7, 7, 1000, 152},                     // zero width: the middle row
  };
  for (const auto& c : cases) EXPECT_EQ(RowMap(305, c.min, c.max)(c.v), c.y) << c.min << ".." << c.max << " " << c.v;

  // PunktWert inverts the row mapping on every row between the margins.
  for (const auto& [min, max] : {std::pair{0.0, 100.0}, {-3.7, 12.9}, {1000.0, 1000.5}}) {
    const RowMap row(305, min, max);
    EXPECT_DOUBLE_EQ(rowValue(305, min, max, 5), max);
    EXPECT_DOUBLE_EQ(rowValue(305, min, max, 300), min);
    for (int y = 5; y <= 300; ++y) EXPECT_EQ(row(rowValue(305, min, max, y)), y) << min << " " << y;
  }
}

TEST(ValueGrid, StepLinesAndWholeNumberLabels) {
  const auto grid = valueGrid(305, 0, 100);
  ASSERT_EQ(grid.size(), 11u);  // log10(20) rounds to 1: step 10
  for (size_t k = 0; k < grid.size(); ++k) {
    EXPECT_EQ(grid[k].label, int64_t(10 * k));
    EXPECT_EQ(grid[k].zero, k == 0);
    EXPECT_EQ(grid[k].y, RowMap(305, 0, 100)(10.0 * k));
  }
  EXPECT_EQ(grid[1].y, 270);

  // Step 0.1: the labels are the values rounded to whole numbers.
  std::vector<int64_t> labels;
  for (const GridLine& line : valueGrid(305, 0.2, 0.8)) labels.push_back(line.label);
  EXPECT_EQ(labels, (std::vector<int64_t>{0, 0, 0, 0, 1, 1, 1}));

  std::vector<std::pair<int64_t, bool>> negative;
  for (const GridLine& line : valueGrid(305, -250, 40)) negative.emplace_back(line.label, line.zero);
  EXPECT_EQ(negative, (std::vector<std::pair<int64_t, bool>>{{-200, false}, {-100, false}, {0, true}}));

  EXPECT_TRUE(valueGrid(305, 1000000, -1000000).empty());  // "einheitlich" with no curve
  EXPECT_TRUE(valueGrid(305, 3, 3).empty());
}

TEST(ProbeTexts, ValueTruncatedToOneDecimalAndRateInFourDigits) {
  const struct {
    double v;
    const char* text;
  } values[] = {
      {-3.75, "-3.7"}, {-0.5, "-0.5"}, {12.96, "12.9"}, {0.04, "0.0"}, {-0.04, "0.0"}, {1234.56, "1234.5"},
  };
  for (const auto& c : values) EXPECT_EQ(probeValueText(c.v), QLatin1String(c.text)) << c.v;

  const struct {
    double rate;
    const char* de;
    const char* c;
  } rates[] = {
      {2.0 / 3.0, "0,6667", "0.6667"},
      {-12.5, "-12,5", "-12.5"},
      {0, "0", "0"},
      {1234.4, "1234", "1234"},
      {123456, "1,235E05", "1.235E05"},
      {99999, "1E05", "1E05"},
      {0.000001234, "1,234E-06", "1.234E-06"},
  };
  for (const auto& r : rates) {
    ScopedLocale de("de_DE");
    EXPECT_EQ(rateText(r.rate), QString::fromUtf8(r.de)) << r.rate;
  }
  for (const auto& r : rates) EXPECT_EQ(rateText(r.rate), QString::fromUtf8(r.c)) << r.rate;
}

}  // namespace chart_scale_test
