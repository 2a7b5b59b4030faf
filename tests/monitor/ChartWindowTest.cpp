// The reporting charts' rolling window and the axis ranges worked out from
// their points.
#include <gtest/gtest.h>

#include "monitor/ChartWindow.h"
#include "monitor/ReportCharts.h"

namespace {

ChartData TwoSeries() {
  ChartData chart;
  chart.seriesCount = 2;
  return chart;
}

TEST(ChartWindow, FillsSixtyOnePointsThenShiftsOneToTheLeft) {
  ChartData chart = TwoSeries();
  for (int poll = 0; poll < 61; ++poll) AppendChartPoint(chart, {double(poll), double(-poll)}, 60);
  ASSERT_EQ(chart.series[0].size(), 61u);
  ASSERT_EQ(chart.series[1].size(), 61u);
  EXPECT_EQ(chart.series[0].front(), 0);
  EXPECT_EQ(chart.series[0][60], 60);

  AppendChartPoint(chart, {61, -61}, 60);
  ASSERT_EQ(chart.series[0].size(), 61u) << "the 62nd poll drops the oldest";
  ASSERT_EQ(chart.series[1].size(), 61u);
  EXPECT_EQ(chart.series[0].front(), 1) << "the value of poll 1 is now at position 0";
  EXPECT_EQ(chart.series[0][59], 60);
  EXPECT_EQ(chart.series[0][60], 61) << "the newest at position 60";
  EXPECT_EQ(chart.series[1][60], -61);

  for (int poll = 62; poll < 200; ++poll) AppendChartPoint(chart, {double(poll), 0}, 60);
  EXPECT_EQ(chart.series[0].size(), 61u);
  EXPECT_EQ(chart.series[0].front(), 139);
  EXPECT_EQ(HorizontalRange(chart), (AxisRange{0, 60, 10}));
}

TEST(ChartWindow, ClearStartsAgainAtPositionZero) {
  ChartData chart = TwoSeries();
  for (int poll = 0; poll < 70; ++poll) AppendChartPoint(chart, {1, 2}, 60);
  ClearChart(chart);
  EXPECT_TRUE(chart.series[0].empty());
  EXPECT_TRUE(chart.series[1].empty());
  AppendChartPoint(chart, {7, 8}, 60);
  EXPECT_EQ(chart.series[0], std::vector<double>{7});
  EXPECT_EQ(chart.series[1], std::vector<double>{8});
}

TEST(ChartWindow, AChartOfOneSeriesKeepsItsSecondEmpty) {
  ChartData chart;
  AppendChartPoint(chart, {5, 6}, 60);
  EXPECT_EQ(chart.series[0], std::vector<double>{5});
  EXPECT_TRUE(chart.series[1].empty());
}

TEST(ChartWindow, AxisRangesComeFromThePoints) {
  struct Case {
    const char* name;
    std::vector<double> first, second;
    AxisRange horizontal, value;
  };
  const Case cases[] = {
      {"empty", {}, {}, {0, 1, 10}, {0, 1, 0.2}},
      {"one point", {40}, {38}, {0, 1, 10}, {38, 40, 0.5}},
      {"flat", {5, 5, 5}, {5, 5, 5}, {0, 2, 10}, {4, 6, 0.5}},
      {"both series count", {0, 10, 20}, {-20, 0, 0}, {0, 2, 10}, {-20, 20, 10}},
      {"widened to whole steps", {1977.4, 2100}, {2430.6, 2001}, {0, 1, 10}, {1900, 2500, 100}},
      {"a long chart", std::vector<double>(61, 1000), std::vector<double>(61, 1020), {0, 60, 10}, {1000, 1020, 5}},
      {"temperatures", {39.9375, 38.75}, {37.5, 38.0625}, {0, 1, 10}, {37.5, 40, 0.5}},
  };
  for (const Case& c : cases) {
    ChartData chart = TwoSeries();
    chart.series[0] = c.first;
    chart.series[1] = c.second;
    EXPECT_EQ(HorizontalRange(chart), c.horizontal) << c.name;
    const AxisRange value = ValueRange(chart);
    EXPECT_NEAR(value.min, c.value.min, 1e-9) << c.name;
    EXPECT_NEAR(value.max, c.value.max, 1e-9) << c.name;
    EXPECT_NEAR(value.step, c.value.step, 1e-12) << c.name;
  }
}

TEST(ChartWindow, ThePercentagesHaveAFixedScale) {
  ReportCharts charts;
  charts.charts[chPercent].series[0] = {250, 300};
  charts.charts[chPercent].series[1] = {-5, 7};
  EXPECT_EQ(charts.ValueAxis(chPercent), (AxisRange{0, 100, 25}));
  charts.charts[chOilCount].series[0] = {100, 200};
  charts.charts[chOilCount].series[1] = {150, 150};
  EXPECT_EQ(charts.ValueAxis(chOilCount), (AxisRange{100, 200, 20}));
  EXPECT_EQ(charts.charts[chDielectric].seriesCount, 1);
  EXPECT_EQ(charts.charts[chTemperature].seriesCount, 2);
}

}  // namespace
