#pragma once
// The reporting window's eight charts as plain data: their names, titles and
// series, and the points of the last minute of polls.

#include <array>
#include <optional>

#include "monitor/ChartWindow.h"

struct ReportRecord;

enum ReportChart {
  chCorrection,
  chDebrisQ,
  chDebrisCount,
  chOilCount,
  chCalibrated,
  chPercent,
  chDielectric,
  chTemperature,
  kReportChartCount
};

struct ReportChartInfo {
  const char* name;            // the chart's object name, "chCorrection" ...
  const char* title;
  const char* series[2];       // the second is null for a chart of one series
  int column;                  // 0 left, 1 right
  int row;                     // 0 to 3, top to bottom
  std::optional<AxisRange> fixedValueAxis;  // none: worked out from the points
};

extern const std::array<ReportChartInfo, kReportChartCount> kReportChartInfo;

struct ReportCharts {
  ReportCharts();
  std::array<ChartData, kReportChartCount> charts;

  // One point per series of every chart from the record: the numbers the
  // boxes show (the oil value rounded down, the temperatures in degrees C,
  // the calibrated values and corrections as signed 16-bit numbers).
  void Append(const ReportRecord& record, int chartWindow);
  // Empties every series of the eight charts.
  void Clear();

  // The value axis of a chart: its fixed range, or the one of its points.
  AxisRange ValueAxis(ReportChart chart) const;
};
