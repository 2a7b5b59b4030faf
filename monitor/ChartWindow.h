#pragma once
// The rolling window of a reporting chart, as plain data: one or two series
// of values at the horizontal positions 0, 1, 2 ... (one point per poll).
// A chart fills up to 61 points (positions 0 to 60); from then on every new
// point drops the oldest and moves the others one position to the left, so
// the newest always sits at position 60. The axis ranges are worked out
// from the points, because the chart toolkit does not re-range an axis when
// a series' points are replaced.

#include <initializer_list>
#include <vector>

struct ChartData {
  // The values of the chart's series, oldest first; the position of a value
  // is its index. A chart of one series leaves the second empty.
  std::vector<double> series[2];
  int seriesCount = 1;
};

// An axis from `min` to `max` with a labelled tick every `step`, from `min`.
struct AxisRange {
  double min = 0;
  double max = 1;
  double step = 1;
  bool operator==(const AxisRange&) const = default;
};

// Appends one value to each series of the chart (as many values as it has
// series). Once the first series holds more than `chartWindow` points, the
// oldest value of every series is dropped first.
void AppendChartPoint(ChartData& chart, std::initializer_list<double> values, int chartWindow);

// Empties every series; the next point goes to position 0 again.
void ClearChart(ChartData& chart);

// The horizontal range: position 0 to the last position (at least 0 to 1,
// so that an empty or one-point chart has a range to draw in), a tick
// every ten polls.
AxisRange HorizontalRange(const ChartData& chart);

// The value range: the lowest to the highest value of all series, widened
// to whole steps of 1, 2, 2.5 or 5 times a power of ten, the step chosen so
// that the span takes at most five; a flat chart gets one unit either side,
// an empty chart 0 to 1.
AxisRange ValueRange(const ChartData& chart);
