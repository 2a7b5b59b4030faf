#include "monitor/UserLog.h"

#include "monitor/RawDataLog.h"
#include "monitor/ReportRecord.h"

const char* UserLog::Header() {
  return "Time(s),Resistance,Coarse(%),Fine(%),Dielectric,TIntRaw,TExtRaw,TInt(C),TExt(C),DebrisRefQ,DebrisQ,"
         "DebrisRefC,DebrisC,OilRef,OilC,CalibratedCoarse,Correction,CalibratedFine,Correction,Status";
}

std::string UserLog::Columns(const ReportRecord& r) {
  char text[320];
  std::snprintf(text, sizeof text, "%u,%u,%.f,%u,%u,%.2f,%.2f,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,%02x",
                r.Coarse, r.Fine, static_cast<double>(r.OilValue), r.RawInt, r.RawExt,
                static_cast<double>(r.IntDegrees), static_cast<double>(r.ExtDegrees), r.DebrisRefQ, r.DebrisQ,
                r.DebrisRefCount, r.DebrisCount, r.OilRefCount, r.OilCount, r.CalibratedCoarse,
                r.CoarseCorrection, r.CalibratedFine, r.FineCorrection, r.Status);
  return text;
}

bool UserLog::Choose(const std::string& path) {
  if (path.empty() || path.size() > kUserLogNameLimit) return false;
  Close();
  name_ = path;
  enabled_ = true;
  if (std::FILE* file = std::fopen(name_.c_str(), "wb")) {
    WriteTextMode(file, Header());
    std::fclose(file);
  }
  return true;
}

void UserLog::BeginLine(std::int64_t seconds) {
  Close();
  if (!enabled_) return;
  file_ = std::fopen(name_.c_str(), "ab");
  if (file_ == nullptr) return;
  char start[40];
  std::snprintf(start, sizeof start, "\n%.f,", static_cast<double>(seconds));
  WriteTextMode(file_, std::string(start) + ",");
}

void UserLog::EndWithoutReply() {
  if (file_ != nullptr) std::fputs(",,,", file_);
  Close();
}

void UserLog::EndRejected() { Close(); }

void UserLog::EndWithRecord(const ReportRecord& record) {
  if (file_ != nullptr) WriteTextMode(file_, Columns(record));
  Close();
}

void UserLog::Close() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
}
