#include "monitor/ReportBoxes.h"

#include <cstdio>

#include "monitor/ReportRecord.h"

const std::array<ReportBoxInfo, kReportBoxes> kReportBoxInfo = {{
    {"Edit1", "Raw Internal", "RawInternal"},
    {"Edit2", "Internal C", "InternalC"},
    {"Edit3", "Raw External", "RawExternal"},
    {"Edit4", "External C", "ExternalC"},
    {"Edit5", "Debris Ref Coarse", "DebrisRefCoarse"},
    {"Edit6", "Debris Coarse", "DebrisCoarse"},
    {"Edit7", "Coarse %", "Coarse%"},
    {"Edit15", "Calibrated", "CalibratedCoarse"},
    {"Edit16", "Correction", "CoarseCorrection"},
    {"Edit8", "Debris Ref Fine", "DebrisRefFine"},
    {"Edit9", "Debris Fine", "DebrisFine"},
    {"Edit10", "Fine %", "Fine%"},
    {"Edit17", "Calibrated", "CalibratedFine"},
    {"Edit18", "Correction", "FineCorrection"},
    {"Edit11", "Oil Ref Count", "OilRefCount"},
    {"Edit12", "Oil Count", "OilCount"},
    {"Edit13", "Oil", "Oil"},
    {"Edit14", "Status", "Status"},
}};

namespace {
std::string Format(const char* format, int value) {
  char text[24];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// "%d" of a received 32-bit value: its bits read as a signed int.
std::string Count(std::uint32_t field) { return Format("%d", static_cast<int>(field)); }

std::string Celsius(float degrees) {
  char text[24];
  std::snprintf(text, sizeof text, "%5.2f", static_cast<double>(degrees));
  return text;
}
}  // namespace

std::array<std::string, kReportBoxes> ReportBoxTexts(const ReportRecord& r) {
  char status[16];
  std::snprintf(status, sizeof status, "%02x", static_cast<unsigned>(r.Status));
  return {
      Count(r.RawInt),
      Celsius(r.IntDegrees),
      Count(r.RawExt),
      Celsius(r.ExtDegrees),
      Count(r.DebrisRefQ),
      Count(r.DebrisQ),
      Format("%i", static_cast<int>(r.Coarse)),
      Format("%d", Signed16(r.CalibratedCoarse)),
      Format("%d", Signed16(r.CoarseCorrection)),
      Count(r.DebrisRefCount),
      Count(r.DebrisCount),
      Format("%i", static_cast<int>(r.Fine)),
      Format("%d", Signed16(r.CalibratedFine)),
      Format("%d", Signed16(r.FineCorrection)),
      Count(r.OilRefCount),
      Count(r.OilCount),
      Format("%d", TruncateToInt(r.OilValue)),
      status,
  };
}
