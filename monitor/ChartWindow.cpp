#include "monitor/ChartWindow.h"

#include <algorithm>
#include <cmath>

void AppendChartPoint(ChartData& chart, std::initializer_list<double> values, int chartWindow) {
  const auto n = static_cast<long>(chart.series[0].size());
  if (n > chartWindow) {
    for (int s = 0; s < chart.seriesCount; ++s) {
      std::vector<double>& series = chart.series[s];
      if (!series.empty()) series.erase(series.begin());
    }
  }
  int s = 0;
  for (double value : values) {
    if (s >= chart.seriesCount) break;
    chart.series[s++].push_back(value);
  }
}

void ClearChart(ChartData& chart) {
  for (std::vector<double>& series : chart.series) series.clear();
}

AxisRange HorizontalRange(const ChartData& chart) {
  std::size_t n = 0;
  for (int s = 0; s < chart.seriesCount; ++s) n = std::max(n, chart.series[s].size());
  return {0, n > 2 ? static_cast<double>(n - 1) : 1.0, 10};
}

namespace {
// The smallest of 1, 2, 2.5 and 5 times a power of ten that cuts `span`
// into at most five steps.
double RoundStep(double span) {
  const double least = span / 5;
  const double power = std::pow(10.0, std::floor(std::log10(least)));
  for (double factor : {1.0, 2.0, 2.5, 5.0}) {
    if (factor * power >= least * (1 - 1e-12)) return factor * power;
  }
  return 10 * power;
}
}  // namespace

AxisRange ValueRange(const ChartData& chart) {
  bool any = false;
  double low = 0;
  double high = 0;
  for (int s = 0; s < chart.seriesCount; ++s) {
    for (double value : chart.series[s]) {
      low = any ? std::min(low, value) : value;
      high = any ? std::max(high, value) : value;
      any = true;
    }
  }
  if (!any) return {0, 1, 0.2};
  if (high == low) {
    low -= 1;
    high += 1;
  }
  const double step = RoundStep(high - low);
  return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}
