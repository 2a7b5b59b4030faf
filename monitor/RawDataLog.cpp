#include "monitor/RawDataLog.h"

#include "monitor/ReportRecord.h"

namespace {
// "%i" of a received 32-bit value: its bits read as a signed int.
int AsInt(std::uint32_t field) { return static_cast<int>(field); }
}  // namespace

void WriteTextMode(std::FILE* file, const std::string& text) {
  if (file == nullptr) return;
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  std::fwrite(out.data(), 1, out.size(), file);
}

const char* RawDataLog::Header() {
  return "\nSeconds,Coarse(%),Fine(%),Dielectric,RawInt,RawExt,IntC,ExtC,DebrisRefQ,DebrisQ,DebrisRefCount,"
         "DebrisCount,OilRefCount,OilCount,CalibratedCoarse,Correction,CalibratedFine,Correction,Status";
}

std::string RawDataLog::Line(std::int64_t seconds, const ReportRecord& r) {
  char line[320];
  std::snprintf(line, sizeof line, "\n%.f,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%02x",
                static_cast<double>(seconds), AsInt(r.Coarse), AsInt(r.Fine), AsInt(r.Dielectric), AsInt(r.RawInt),
                AsInt(r.RawExt), AsInt(r.IntC), AsInt(r.ExtC), AsInt(r.DebrisRefQ), AsInt(r.DebrisQ),
                AsInt(r.DebrisRefCount), AsInt(r.DebrisCount), AsInt(r.OilRefCount), AsInt(r.OilCount),
                AsInt(r.CalibratedCoarse), AsInt(r.CoarseCorrection), AsInt(r.CalibratedFine),
                AsInt(r.FineCorrection), static_cast<unsigned>(r.Status));
  return line;
}

bool RawDataLog::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return false;
  WriteTextMode(file_, Header());
  std::fflush(file_);
  return true;
}

void RawDataLog::Close() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
}

void RawDataLog::Write(std::int64_t seconds, const ReportRecord& record) {
  if (file_ == nullptr) return;
  WriteTextMode(file_, Line(seconds, record));
  // Each line reaches the disk at once, so that the log can be followed
  // while the window polls and survives a program that is killed.
  std::fflush(file_);
}
