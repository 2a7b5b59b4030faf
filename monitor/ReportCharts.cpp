#include "monitor/ReportCharts.h"

#include <cmath>

#include "monitor/ReportRecord.h"

const std::array<ReportChartInfo, kReportChartCount> kReportChartInfo = {{
    {"chCorrection", "Coarse/ Fine Correction", {"Coarse Correction", "Coarse/Fine Correction"}, 0, 0, std::nullopt},
    {"chDebrisQ", "Debris Ref Coarse, Coarse", {"Debris Ref Q", "Debris Q"}, 0, 1, std::nullopt},
    {"chDebrisCount", "Debris Ref Fine, Fine", {"Debris Ref Count", "Debris Count"}, 0, 2, std::nullopt},
    {"chOilCount", "Oil Ref Count, Count", {"Oil Ref Count", "Oil Count"}, 0, 3, std::nullopt},
    {"chCalibrated", "Calibrated Coarse/ Fine", {"Calibrated Coarse", "Calibrated Fine"}, 1, 0, std::nullopt},
    {"chPercent", "Debris Percentage Coarse(Red) Fine (Green)", {"Coarse Percent", "FinePercent"}, 1, 1,
     AxisRange{0, 100, 25}},
    {"chDielectric", "Oil", {"Oil", nullptr}, 1, 2, std::nullopt},
    {"chTemperature", "Internal temperature (Red) External (Green)", {"Internal deg C", "External deg C"}, 1, 3,
     std::nullopt},
}};

ReportCharts::ReportCharts() {
  for (int c = 0; c < kReportChartCount; ++c) {
    charts[static_cast<std::size_t>(c)].seriesCount = kReportChartInfo[static_cast<std::size_t>(c)].series[1] ? 2 : 1;
  }
}

void ReportCharts::Append(const ReportRecord& r, int chartWindow) {
  const auto count = [](std::uint32_t field) { return static_cast<double>(static_cast<int>(field)); };
  const auto signed16 = [](std::uint32_t field) { return static_cast<double>(Signed16(field)); };
  AppendChartPoint(charts[chTemperature], {r.IntDegrees, r.ExtDegrees}, chartWindow);
  AppendChartPoint(charts[chDebrisQ], {count(r.DebrisRefQ), count(r.DebrisQ)}, chartWindow);
  AppendChartPoint(charts[chPercent], {count(r.Coarse), count(r.Fine)}, chartWindow);
  AppendChartPoint(charts[chDebrisCount], {count(r.DebrisRefCount), count(r.DebrisCount)}, chartWindow);
  AppendChartPoint(charts[chOilCount], {count(r.OilRefCount), count(r.OilCount)}, chartWindow);
  AppendChartPoint(charts[chDielectric], {std::floor(static_cast<double>(r.OilValue))}, chartWindow);
  AppendChartPoint(charts[chCalibrated], {signed16(r.CalibratedCoarse), signed16(r.CalibratedFine)}, chartWindow);
  AppendChartPoint(charts[chCorrection], {signed16(r.CoarseCorrection), signed16(r.FineCorrection)}, chartWindow);
}

void ReportCharts::Clear() {
  for (ChartData& chart : charts) ClearChart(chart);
}

AxisRange ReportCharts::ValueAxis(ReportChart chart) const {
  const ReportChartInfo& info = kReportChartInfo[chart];
  return info.fixedValueAxis ? *info.fixedValueAxis : ValueRange(charts[chart]);
}
