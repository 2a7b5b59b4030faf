#include "monitor/ReportRecord.h"

#include <cmath>
#include <limits>

#include "link/Reply.h"

std::optional<ReportRecord> ParseReportReply(std::string_view reply) {
  if (!HasReplyHeader(reply, 'a')) return std::nullopt;
  std::uint32_t f[kReportFields] = {};
  if (ScanHexFields(ReplyFields(reply), kReportFields, f) != kReportFields) return std::nullopt;
  ReportRecord r;
  r.Coarse = f[0];
  r.Fine = f[1];
  r.Dielectric = f[2];
  r.RawInt = f[3];
  r.RawExt = f[4];
  r.IntC = f[5];
  r.ExtC = f[6];
  r.DebrisRefQ = f[7];
  r.DebrisQ = f[8];
  r.DebrisRefCount = f[9];
  r.DebrisCount = f[10];
  r.OilRefCount = f[11];
  r.OilCount = f[12];
  r.CalibratedCoarse = f[13];
  r.CoarseCorrection = f[14];
  r.CalibratedFine = f[15];
  r.FineCorrection = f[16];
  r.Status = f[17];
  r.IntDegrees = Degrees(r.IntC);
  r.ExtDegrees = Degrees(r.ExtC);
  r.OilValue = OilValue(r.Dielectric);
  return r;
}

std::optional<ReportRecord> ParseReportReply(const ReplyBuffer& reply) { return ParseReportReply(ReplyText(reply)); }

float OilValue(std::int64_t rawCounts) { return static_cast<float>(rawCounts) * 1000.0f * 0.0009765625f; }

float Degrees(std::uint32_t field) { return static_cast<float>(Signed16(field)) * 0.0625f; }

int Signed16(std::uint32_t field) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(field & 0xFFFFu)); }

int TruncateToInt(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0f) return std::numeric_limits<int>::max();
  if (value <= -2147483648.0f) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}
