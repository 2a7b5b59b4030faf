#include "monitor/ChartWindow.h"

#include <algorithm>

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
  return {0, n > 2 ? static_cast<double>(n - 1) : 1.0};
}

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
  if (!any) return {0, 1};
  if (high == low) return {low - 1, high + 1};
  const double margin = (high - low) / 20;
  return {low - margin, high + margin};
}
